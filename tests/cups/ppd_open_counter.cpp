// Preloaded into a kvx-dialog run: counts the process's calls of libcups'
// PPD readers (by the dialog, the host and the plug-in alike) and appends
// the count as one line to the file that KVX_PPD_OPEN_COUNT_FILE names when
// the process ends.
#include <cups/ppd.h>
#include <dlfcn.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace {

std::atomic<int> opens{0};

template <typename Function>
Function Next(const char *name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

__attribute__((destructor)) void WriteCount() {
    const char *path = std::getenv("KVX_PPD_OPEN_COUNT_FILE");
    if (path == nullptr) return;
    if (FILE *file = std::fopen(path, "a")) {
        std::fprintf(file, "%d\n", opens.load());
        std::fclose(file);
    }
}

}  // namespace

extern "C" {

ppd_file_t *ppdOpenFile(const char *filename) {
    static const auto next = Next<ppd_file_t *(*)(const char *)>("ppdOpenFile");
    ++opens;
    return next(filename);
}

ppd_file_t *ppdOpenFd(int fd) {
    static const auto next = Next<ppd_file_t *(*)(int)>("ppdOpenFd");
    ++opens;
    return next(fd);
}

ppd_file_t *ppdOpen2(cups_file_t *file) {
    static const auto next = Next<ppd_file_t *(*)(cups_file_t *)>("ppdOpen2");
    ++opens;
    return next(file);
}

ppd_file_t *ppdOpen(FILE *file) {
    static const auto next = Next<ppd_file_t *(*)(FILE *)>("ppdOpen");
    ++opens;
    return next(file);
}

}  // extern "C"
