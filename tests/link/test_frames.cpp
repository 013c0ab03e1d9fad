// Frame bytes, recognition of received chunks, and the receive area.

#include "link/frames.h"
#include "link/link_io.h"
#include "tests/link/link_fakes.h"

#include <QTest>

using namespace gnc;
using gnc::test::Bytes;

namespace {

Bytes transmitted(const LinkBuffer& buffer, std::size_t count) {
    return Bytes(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(count));
}

// Puts `bytes` where a read stores them and returns how many were "read".
std::size_t put_received(LinkBuffer& buffer, const Bytes& bytes) {
    std::copy(bytes.begin(), bytes.end(), buffer.begin() + receive_offset);
    return bytes.size();
}

ImageBuffer filled(std::uint8_t value) {
    ImageBuffer image;
    image.fill(value);
    return image;
}

} // namespace

class TestFrames : public QObject {
    Q_OBJECT
  private slots:
    void composed_frames_are_exact_and_touch_nothing_else();
    void write_frame_carries_its_page_of_the_image();
    void write_frame_beyond_the_image_is_not_composed();
    void page_reply_needs_a_matching_check_byte();
    void acknowledgement_needs_a_matching_check_byte();
    void connect_frame_ignores_what_follows();
    void only_the_first_frame_of_a_chunk_counts();
    void only_bytes_of_the_latest_read_count();
    void read_never_runs_past_the_buffer();
};

void TestFrames::composed_frames_are_exact_and_touch_nothing_else() {
    LinkBuffer buffer;
    buffer.fill(0x55);
    QCOMPARE(compose_connect_answer(buffer), std::size_t{3});
    QCOMPARE(transmitted(buffer, 4), (Bytes{0xAA, 0x01, 0x01, 0x55}));

    const Bytes expected[] = {{0xAA, 0x03, 0x00, 0x03},
                              {0xAA, 0x03, 0x01, 0x02},
                              {0xAA, 0x03, 0x02, 0x01},
                              {0xAA, 0x03, 0x03, 0x00}};
    for (std::uint8_t page = 0; page < 4; ++page) {
        QCOMPARE(compose_read_request(buffer, page), std::size_t{4});
        QCOMPARE(transmitted(buffer, 4), expected[page]);
        QCOMPARE(buffer[4], std::uint8_t{0x55});
    }
}

void TestFrames::write_frame_carries_its_page_of_the_image() {
    LinkBuffer buffer{};
    const ImageBuffer erased = filled(0xFF);
    QCOMPARE(compose_write_frame(buffer, erased, 0), std::size_t{516});
    QCOMPARE(buffer[515], std::uint8_t{0x02});
    QCOMPARE(compose_write_frame(buffer, erased, 1), std::size_t{516});
    QCOMPARE(buffer[515], std::uint8_t{0x03});

    ImageBuffer image = filled(0xFF);
    const Bytes data = test::page_pattern(2);
    std::copy(data.begin(), data.end(), image.begin() + 2 * 512);
    compose_write_frame(buffer, image, 2);
    QCOMPARE(transmitted(buffer, 3), (Bytes{0xAA, 0x02, 0x02}));
    QVERIFY(std::equal(data.begin(), data.end(), buffer.begin() + 3));
    QCOMPARE(buffer[515], check_byte(buffer.data(), 515));
    QCOMPARE(buffer[516], std::uint8_t{0x00}); // nothing written past the frame
}

void TestFrames::write_frame_beyond_the_image_is_not_composed() {
    LinkBuffer buffer{};
    const ImageBuffer image = filled(0x11);
    QCOMPARE(compose_write_frame(buffer, image, 7), std::size_t{516});
    QCOMPARE(compose_write_frame(buffer, image, 8), std::size_t{0});
    QCOMPARE(compose_write_frame(buffer, image, 255), std::size_t{0});
}

void TestFrames::page_reply_needs_a_matching_check_byte() {
    LinkBuffer buffer{};
    const Bytes zeros(512, 0x00);
    Bytes reply = test::page_reply(3, zeros.data());
    QCOMPARE(reply.back(), std::uint8_t{0x00});
    ReceivedChunk chunk = recognise_chunk(buffer, put_received(buffer, reply));
    QCOMPARE(chunk.kind, ChunkKind::page_reply);
    QCOMPARE(chunk.page, std::uint8_t{3});
    QCOMPARE(chunk.data, buffer.data() + receive_offset + 3);

    reply[100] = 0x01;
    chunk = recognise_chunk(buffer, put_received(buffer, reply));
    QCOMPARE(chunk.kind, ChunkKind::nothing);

    // Recognition reports the page byte; whether it is wanted is the
    // controller's business.
    const Bytes other = test::page_reply(1, zeros.data());
    chunk = recognise_chunk(buffer, put_received(buffer, other));
    QCOMPARE(chunk.kind, ChunkKind::page_reply);
    QCOMPARE(chunk.page, std::uint8_t{1});
}

void TestFrames::acknowledgement_needs_a_matching_check_byte() {
    LinkBuffer buffer{};
    const Bytes acks[] = {{0xAA, 0x02, 0x00, 0x02},
                          {0xAA, 0x02, 0x01, 0x03},
                          {0xAA, 0x02, 0x02, 0x00},
                          {0xAA, 0x02, 0x03, 0x01}};
    for (std::uint8_t page = 0; page < 4; ++page) {
        const ReceivedChunk chunk = recognise_chunk(buffer, put_received(buffer, acks[page]));
        QCOMPARE(chunk.kind, ChunkKind::acknowledgement);
        QCOMPARE(chunk.page, page);
    }
    const Bytes wrong{0xAA, 0x02, 0x01, 0x02};
    QCOMPARE(recognise_chunk(buffer, put_received(buffer, wrong)).kind, ChunkKind::nothing);
    const Bytes wrong_start{0xAB, 0x02, 0x01, 0x03};
    QCOMPARE(recognise_chunk(buffer, put_received(buffer, wrong_start)).kind, ChunkKind::nothing);
    const Bytes unknown_command{0xAA, 0x04, 0x01, 0x05};
    QCOMPARE(recognise_chunk(buffer, put_received(buffer, unknown_command)).kind,
             ChunkKind::nothing);
}

void TestFrames::connect_frame_ignores_what_follows() {
    LinkBuffer buffer{};
    QCOMPARE(recognise_chunk(buffer, put_received(buffer, {0xAA, 0x01, 0x01})).kind,
             ChunkKind::connect);
    QCOMPARE(
        recognise_chunk(buffer, put_received(buffer, {0xAA, 0x01, 0x01, 0x7E, 0x00, 0xAA})).kind,
        ChunkKind::connect);
    QCOMPARE(recognise_chunk(buffer, put_received(buffer, {0xAA, 0x01, 0x02})).kind,
             ChunkKind::nothing);
}

void TestFrames::only_the_first_frame_of_a_chunk_counts() {
    LinkBuffer buffer{};
    const Bytes data(512, 0x42);
    Bytes chunk = test::acknowledgement(2);
    const Bytes reply = test::page_reply(0, data.data());
    chunk.insert(chunk.end(), reply.begin(), reply.end() - 3); // 521 bytes
    const ReceivedChunk found = recognise_chunk(buffer, put_received(buffer, chunk));
    QCOMPARE(found.kind, ChunkKind::acknowledgement);
    QCOMPARE(found.page, std::uint8_t{2});
}

// Bytes an earlier read left in the receive area must not complete a frame
// that the latest read delivered only in part.
void TestFrames::only_bytes_of_the_latest_read_count() {
    LinkBuffer buffer{};
    const Bytes data(512, 0x42);
    const Bytes reply = test::page_reply(1, data.data());
    put_received(buffer, reply);
    QCOMPARE(recognise_chunk(buffer, reply.size()).kind, ChunkKind::page_reply);

    // The same reply again, but this read brought only its first 300 bytes.
    QCOMPARE(recognise_chunk(buffer, 300).kind, ChunkKind::nothing);
    QCOMPARE(recognise_chunk(buffer, 515).kind, ChunkKind::nothing);

    put_received(buffer, test::acknowledgement(1));
    QCOMPARE(recognise_chunk(buffer, 3).kind, ChunkKind::nothing);
    QCOMPARE(recognise_chunk(buffer, 4).kind, ChunkKind::acknowledgement);

    put_received(buffer, test::connect_frame());
    QCOMPARE(recognise_chunk(buffer, 2).kind, ChunkKind::nothing);
    QCOMPARE(recognise_chunk(buffer, 0).kind, ChunkKind::nothing);
}

// The pseudo-terminal tests cover what reads store; here only the bound.
void TestFrames::read_never_runs_past_the_buffer() {
    LinkBuffer buffer{};
    test::FakePort port;
    port.open("COM1");
    port.arrive(Bytes(2000, 0x33));
    QCOMPARE(Read_Comm(port, buffer, 5000), link_buffer_size - receive_offset);
    QCOMPARE(port.queued(), std::size_t{2000 - 524});
}

QTEST_APPLESS_MAIN(TestFrames)
#include "test_frames.moc"
