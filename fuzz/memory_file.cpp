#include "memory_file.hpp"

#include <sys/mman.h>
#include <unistd.h>

namespace kvx::fuzz {

MemoryFile::MemoryFile(const uint8_t *data, size_t size) : descriptor_(memfd_create("kvx-fuzz-input", MFD_CLOEXEC)) {
    if (descriptor_ < 0) return;
    size_t written = 0;
    while (written < size) {
        const ssize_t count = write(descriptor_, data + written, size - written);
        if (count <= 0) return;
        written += static_cast<size_t>(count);
    }
    path_ = "/proc/self/fd/" + std::to_string(descriptor_);
}

MemoryFile::~MemoryFile() {
    if (descriptor_ >= 0) close(descriptor_);
}

}  // namespace kvx::fuzz
