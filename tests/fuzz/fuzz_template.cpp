// Template files: any file of up to 20,000 bytes loads as exactly its first
// 4096 bytes, padded with 0x1A; saving that buffer and loading it again gives
// it back byte for byte, and a save leaves no temporary file behind.
//
// Input: the file's contents.

#include "image/template_file.h"
#include "tests/fuzz/fuzz_support.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

using namespace gnc;
namespace fs = std::filesystem;

namespace {

constexpr std::size_t longest_file = 20000;

// One folder for the whole run, removed when the program ends.
class Workspace {
  public:
    Workspace() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/gnc-fuzz-XXXXXX";
        FUZZ_CHECK(::mkdtemp(pattern.data()) != nullptr);
        folder_ = pattern;
    }
    ~Workspace() {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    const fs::path& folder() const { return folder_; }

  private:
    fs::path folder_;
};

Workspace& workspace() {
    static Workspace space;
    return space;
}

void write_file(const fs::path& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    FUZZ_CHECK(file.good());
}

std::vector<std::uint8_t> read_file(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<std::string> folder_entries() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(workspace().folder())) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    size = std::min(size, longest_file);
    const fs::path source = workspace().folder() / "source.sbn";
    const fs::path copy = workspace().folder() / "copy.sbn";
    write_file(source, data, size);

    ImageBuffer image;
    image.fill(0x00);
    FUZZ_CHECK(load_template(source.string(), image));
    const std::size_t kept = std::min<std::size_t>(size, image.size());
    FUZZ_CHECK(std::equal(data, data + kept, image.begin()));
    FUZZ_CHECK(std::all_of(image.begin() + static_cast<std::ptrdiff_t>(kept), image.end(),
                           [](std::uint8_t b) { return b == 0x1A; }));

    // Saved over an older file of another length, then loaded back.
    write_file(copy, data, size / 2);
    FUZZ_CHECK(save_template(copy.string(), image));
    const std::vector<std::uint8_t> saved = read_file(copy);
    FUZZ_CHECK(saved.size() == image.size() &&
               std::equal(saved.begin(), saved.end(), image.begin()));
    ImageBuffer again;
    again.fill(0x00);
    FUZZ_CHECK(load_template(copy.string(), again));
    FUZZ_CHECK(again == image);
    FUZZ_CHECK((folder_entries() == std::vector<std::string>{"copy.sbn", "source.sbn"}));

    // A file that is not there changes nothing.
    const ImageBuffer before = again;
    FUZZ_CHECK(!load_template((workspace().folder() / "missing.sbn").string(), again));
    FUZZ_CHECK(again == before);
    return 0;
}
