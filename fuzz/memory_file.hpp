// A fuzz input as a file that code which only takes paths can open: an
// anonymous memory file, reached through /proc/self/fd, gone when closed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kvx::fuzz {

class MemoryFile {
public:
    MemoryFile(const uint8_t *data, size_t size);
    ~MemoryFile();
    MemoryFile(const MemoryFile &) = delete;
    MemoryFile &operator=(const MemoryFile &) = delete;

    // Empty when the file could not be made.
    const std::string &path() const { return path_; }

private:
    int descriptor_ = -1;
    std::string path_;
};

}  // namespace kvx::fuzz
