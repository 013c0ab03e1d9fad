// Link frames: whatever chunk arrives, recognition agrees with a reading of
// the frame rules written out here on their own; composers write only the
// bytes of their frame; Read_Comm never stores past the limit it was given.
//
// Input: page byte, image fill byte, limit (2 bytes), then the bytes the
// port delivers.

#include "link/frames.h"
#include "link/link_io.h"
#include "tests/fuzz/fuzz_support.h"

#include <algorithm>
#include <vector>

using namespace gnc;
using gnc::fuzz::ByteReader;

namespace {

// Hands out the fuzzer's bytes and checks that the destination it is given
// lies inside the receive area.
class ChunkPort : public LinkPort {
  public:
    ChunkPort(const LinkBuffer& buffer, std::vector<std::uint8_t> chunk)
        : buffer_(buffer), chunk_(std::move(chunk)) {}

    std::size_t asked_limit = 0;

    bool open(const std::string&) override { return true; }
    void send(const std::uint8_t*, std::size_t) override {}
    std::size_t read_available(std::uint8_t* dest, std::size_t limit) override {
        asked_limit = limit;
        FUZZ_CHECK(dest == buffer_.data() + receive_offset);
        FUZZ_CHECK(limit <= link_buffer_size - receive_offset);
        const std::size_t count = std::min(limit, chunk_.size());
        std::copy_n(chunk_.begin(), count, dest);
        return count;
    }

  private:
    const LinkBuffer& buffer_;
    std::vector<std::uint8_t> chunk_;
};

std::uint8_t xor_check(const std::uint8_t* bytes, std::size_t count) {
    std::uint8_t check = 0xAA;
    for (std::size_t i = 0; i < count; ++i) {
        check = static_cast<std::uint8_t>(check ^ bytes[i]);
    }
    return check;
}

// The frame rules read afresh: only the bytes the read delivered count; a
// connect frame is AA 01 01; an acknowledgement AA 02 p (02^p); a page reply
// AA 03 p, 512 data bytes and a check over the 515 bytes before it.
ReceivedChunk expected_recognition(const LinkBuffer& buffer, std::size_t received) {
    const std::uint8_t* c = buffer.data() + 524;
    received = std::min<std::size_t>(received, 1048 - 524);
    if (received >= 3 && c[0] == 0xAA && c[1] == 0x01 && c[2] == 0x01) {
        return {ChunkKind::connect, 0, nullptr};
    }
    if (received >= 4 && c[0] == 0xAA && c[1] == 0x02 && c[3] == (0x02 ^ c[2])) {
        return {ChunkKind::acknowledgement, c[2], nullptr};
    }
    if (received >= 516 && c[0] == 0xAA && c[1] == 0x03 && c[515] == xor_check(c, 515)) {
        return {ChunkKind::page_reply, c[2], c + 3};
    }
    return {};
}

void check_recognition(const LinkBuffer& buffer, std::size_t received) {
    const ReceivedChunk got = recognise_chunk(buffer, received);
    const ReceivedChunk want = expected_recognition(buffer, received);
    FUZZ_CHECK(got.kind == want.kind);
    if (want.kind == ChunkKind::acknowledgement || want.kind == ChunkKind::page_reply) {
        FUZZ_CHECK(got.page == want.page);
    }
    FUZZ_CHECK(got.data == want.data);
}

// Bytes outside [0, count) are as before, and the first `count` are `frame`.
void check_only_frame_written(const LinkBuffer& before, const LinkBuffer& after,
                              const std::vector<std::uint8_t>& frame) {
    FUZZ_CHECK(std::equal(frame.begin(), frame.end(), after.begin()));
    FUZZ_CHECK(std::equal(before.begin() + static_cast<std::ptrdiff_t>(frame.size()), before.end(),
                          after.begin() + static_cast<std::ptrdiff_t>(frame.size())));
}

void check_composers(LinkBuffer& buffer, const ImageBuffer& image, std::uint8_t page) {
    LinkBuffer before = buffer;
    FUZZ_CHECK(compose_connect_answer(buffer) == 3);
    check_only_frame_written(before, buffer, {0xAA, 0x01, 0x01});

    before = buffer;
    FUZZ_CHECK(compose_read_request(buffer, page) == 4);
    check_only_frame_written(before, buffer,
                             {0xAA, 0x03, page, static_cast<std::uint8_t>(0x03 ^ page)});

    before = buffer;
    const std::size_t count = compose_write_frame(buffer, image, page);
    if (page >= 4096 / 512) {
        FUZZ_CHECK(count == 0);
        FUZZ_CHECK(buffer == before);
        return;
    }
    std::vector<std::uint8_t> frame{0xAA, 0x02, page};
    frame.insert(frame.end(), image.begin() + page * 512, image.begin() + page * 512 + 512);
    frame.push_back(xor_check(frame.data(), frame.size()));
    FUZZ_CHECK(count == 516);
    check_only_frame_written(before, buffer, frame);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ByteReader in(data, size);
    const std::uint8_t page = in.byte();
    const std::uint8_t fill = in.byte();
    const std::size_t limit = in.word() % 1200;

    LinkBuffer buffer;
    buffer.fill(fill); // whatever earlier reads left behind
    ChunkPort port(buffer, in.bytes(in.left()));

    const LinkBuffer before = buffer;
    const std::size_t received = Read_Comm(port, buffer, limit);
    const std::size_t stored_limit = std::min<std::size_t>(limit, 1048 - 524);
    FUZZ_CHECK(received <= stored_limit);
    FUZZ_CHECK(port.asked_limit <= stored_limit);
    FUZZ_CHECK(std::equal(before.begin(), before.begin() + 524, buffer.begin()));
    FUZZ_CHECK(std::equal(before.begin() + 524 + static_cast<std::ptrdiff_t>(received),
                          before.end(),
                          buffer.begin() + 524 + static_cast<std::ptrdiff_t>(received)));

    check_recognition(buffer, received);
    check_recognition(buffer, limit); // a count larger than what arrived, too

    ImageBuffer image;
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>(fill + i * 7 + (i >> 9));
    }
    check_composers(buffer, image, page);
    return 0;
}
