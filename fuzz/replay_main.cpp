// Replays fuzz inputs without libFuzzer: runs LLVMFuzzerTestOneInput once on
// every file named on the command line or found in a folder named there, in
// name order, each file's name handed on (fuzz_check.hpp). A broken invariant
// aborts; finding no input at all fails too, so that a mistyped corpus path
// cannot pass as a clean run.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz_check.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv) {
    size_t replayed = 0;
    bool missing = argc < 2;
    for (int index = 1; index < argc; ++index) {
        std::vector<std::filesystem::path> inputs;
        if (std::filesystem::is_directory(argv[index])) {
            for (const auto &entry : std::filesystem::recursive_directory_iterator(argv[index]))
                if (entry.is_regular_file()) inputs.push_back(entry.path());
            std::sort(inputs.begin(), inputs.end());
        } else if (std::filesystem::is_regular_file(argv[index])) {
            inputs.push_back(argv[index]);
        }
        if (inputs.empty()) std::fprintf(stderr, "no inputs in %s\n", argv[index]);
        missing = missing || inputs.empty();
        for (const auto &input : inputs) {
            std::fprintf(stderr, "replaying %s\n", input.c_str());
            std::ifstream stream(input, std::ios::binary);
            const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
            setenv(kvx::fuzz::kReplayedNameVariable, input.filename().c_str(), 1);
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++replayed;
        }
    }
    std::printf("replayed %zu inputs\n", replayed);
    return missing ? 1 : 0;
}
