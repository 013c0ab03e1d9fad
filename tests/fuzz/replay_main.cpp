// A main for the fuzz targets where libFuzzer is not at hand (the g++ build
// that ./test uses): runs the target once over every file named on the
// command line, or over every file of a folder named there. A broken
// property aborts the program, so CTest sees the failure.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> inputs_of(const fs::path& argument) {
    std::vector<fs::path> inputs;
    if (fs::is_directory(argument)) {
        for (const auto& entry : fs::directory_iterator(argument)) {
            if (entry.is_regular_file()) {
                inputs.push_back(entry.path());
            }
        }
        std::sort(inputs.begin(), inputs.end());
    } else if (fs::is_regular_file(argument)) {
        inputs.push_back(argument);
    }
    return inputs;
}

bool run_one(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                                  std::istreambuf_iterator<char>());
    std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
    std::fprintf(stderr, "Running %s (%zu bytes)\n", path.c_str(), data.size());
    // Copied to a block of exactly the input's size, as libFuzzer hands it
    // over, so that a read past its end is caught by the address sanitizer.
    LLVMFuzzerTestOneInput(data.data(), data.size());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    std::size_t count = 0;
    for (int i = 1; i < argc; ++i) {
        const auto inputs = inputs_of(argv[i]);
        if (inputs.empty()) {
            std::fprintf(stderr, "No input in %s\n", argv[i]);
            return 1;
        }
        for (const auto& path : inputs) {
            if (!run_one(path)) {
                std::fprintf(stderr, "Cannot read %s\n", path.c_str());
                return 1;
            }
            ++count;
        }
    }
    if (count == 0) {
        std::fprintf(stderr, "usage: %s FILE_OR_FOLDER...\n", argv[0]);
        return 1;
    }
    std::printf("%zu inputs replayed without a broken property\n", count);
    return 0;
}
