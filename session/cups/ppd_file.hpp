// A PPD file opened with libcups' PPD reader, closed when the holder goes.
#pragma once

#include <cups/ppd.h>

#include <string>

namespace kvx::session {

// libcups marks its PPD reader deprecated in favour of IPP queries, but a
// queue's PPD is exactly what the pane and the job options are checked on.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
class PPDFile {
public:
    explicit PPDFile(const std::string &path) : ppd_(ppdOpenFile(path.c_str())) {}
    ~PPDFile() {
        if (ppd_ != nullptr) ppdClose(ppd_);
    }
    PPDFile(const PPDFile &) = delete;
    PPDFile &operator=(const PPDFile &) = delete;

    explicit operator bool() const { return ppd_ != nullptr; }
    ppd_file_t *get() const { return ppd_; }

    // The choice of option `key` named `value`, or null when the PPD offers
    // no such option or no such choice of it.
    ppd_choice_t *FindChoice(const char *key, const char *value) const {
        ppd_option_t *option = ppdFindOption(ppd_, key);
        return option != nullptr ? ppdFindChoice(option, value) : nullptr;
    }
    bool HasOption(const char *key) const { return ppdFindOption(ppd_, key) != nullptr; }

private:
    ppd_file_t *ppd_;
};
#pragma GCC diagnostic pop

}  // namespace kvx::session
