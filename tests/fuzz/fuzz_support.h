#pragma once
// Shared pieces of the fuzz targets: a property check that stops the run
// loudly, and a reader that turns the fuzzer's bytes into values.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define GNC_FUZZ_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define GNC_FUZZ_ASAN 1
#endif
#ifdef GNC_FUZZ_ASAN
#include <sanitizer/asan_interface.h>
#endif

// A broken property aborts, which both libFuzzer and the corpus replay
// report as a failure of the input being run.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition);  \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

namespace gnc::fuzz {

// Hands out the input's bytes in order; once they run out, every value is 0
// and every byte string empty, so any input is a complete script.
class ByteReader {
  public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool empty() const { return pos_ >= size_; }
    std::size_t left() const { return empty() ? 0 : size_ - pos_; }

    std::uint8_t byte() { return empty() ? 0 : data_[pos_++]; }
    bool flag() { return (byte() & 1) != 0; }
    std::uint16_t word() {
        const std::uint16_t high = byte();
        return static_cast<std::uint16_t>(high << 8 | byte());
    }
    // A value from 0 to `count` - 1.
    unsigned choice(unsigned count) { return count == 0 ? 0 : byte() % count; }

    std::vector<std::uint8_t> bytes(std::size_t count) {
        count = count < left() ? count : left();
        std::vector<std::uint8_t> out(data_ + pos_, data_ + pos_ + count);
        pos_ += count;
        return out;
    }
    std::string text(std::size_t count) {
        const auto raw = bytes(count);
        return std::string(raw.begin(), raw.end());
    }
    // A length byte (at most `longest`) followed by that many bytes.
    std::string sized_text(std::size_t longest) { return text(byte() % (longest + 1)); }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// Under AddressSanitizer, makes every access to the range fail at once.
inline void forbid_access(const void* data, std::size_t size) {
#ifdef GNC_FUZZ_ASAN
    ASAN_POISON_MEMORY_REGION(data, size);
#else
    (void)data;
    (void)size;
#endif
}

inline void allow_access(const void* data, std::size_t size) {
#ifdef GNC_FUZZ_ASAN
    ASAN_UNPOISON_MEMORY_REGION(data, size);
#else
    (void)data;
    (void)size;
#endif
}

} // namespace gnc::fuzz
