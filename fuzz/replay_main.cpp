// Replays fuzz inputs without libFuzzer: runs LLVMFuzzerTestOneInput once on
// every file named on the command line or found in a folder named there, in
// name order. A broken invariant aborts; finding no input at all fails too,
// so that a mistyped corpus path cannot pass as a clean run.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int *argc, char ***argv);

namespace {

std::vector<std::filesystem::path> InputsIn(const std::filesystem::path &place) {
    std::vector<std::filesystem::path> inputs;
    if (std::filesystem::is_directory(place)) {
        for (const auto &entry : std::filesystem::recursive_directory_iterator(place))
            if (entry.is_regular_file()) inputs.push_back(entry.path());
        std::sort(inputs.begin(), inputs.end());
    } else if (std::filesystem::is_regular_file(place)) {
        inputs.push_back(place);
    }
    return inputs;
}

std::vector<uint8_t> ReadAll(const std::filesystem::path &file) {
    std::ifstream stream(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

}  // namespace

int main(int argc, char **argv) {
    if (LLVMFuzzerInitialize != nullptr) LLVMFuzzerInitialize(&argc, &argv);
    size_t replayed = 0;
    bool missing = argc < 2;
    for (int index = 1; index < argc; ++index) {
        const auto inputs = InputsIn(argv[index]);
        if (inputs.empty()) {
            std::fprintf(stderr, "no inputs in %s\n", argv[index]);
            missing = true;
        }
        for (const auto &input : inputs) {
            std::fprintf(stderr, "replaying %s\n", input.c_str());
            const std::vector<uint8_t> bytes = ReadAll(input);
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++replayed;
        }
    }
    std::printf("replayed %zu inputs\n", replayed);
    return missing ? 1 : 0;
}
