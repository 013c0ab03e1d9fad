// Link controller: fed any byte stream over any sequence of ticks and
// actions, through the fake port and view of the link tests. The image
// changes only when a read erases it, or in a Timer1 tick whose chunk is a
// page reply with a correct check byte for the page being read, and then
// that page alone gets the reply's data. Every frame sent is well formed;
// page_index stays 0 to 3, flags 0 or 1, tick counters within their limits.
//
// Input: a script of steps; each step's first byte picks what happens.

#include "link/frames.h"
#include "link/link_controller.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/link/link_fakes.h"

#include <algorithm>
#include <deque>

using namespace gnc;
using gnc::fuzz::ByteReader;
using gnc::test::Bytes;

namespace {

struct Rig {
    LinkState link;
    LinkBuffer buffer{};
    ImageBuffer image{};
    std::string port_name = "COM1";
    test::FakePort port;
    test::FakeView view;
    LinkController controller{link, buffer, image, port_name, port, view};
    std::deque<std::uint8_t> queued; // what the port holds, as the device sent it
    std::size_t frames_checked = 0;

    void arrive(const Bytes& bytes) {
        port.arrive(bytes);
        queued.insert(queued.end(), bytes.begin(), bytes.end());
    }
};

std::uint8_t xor_check(const Bytes& bytes, std::size_t count) {
    std::uint8_t check = 0xAA;
    for (std::size_t i = 0; i < count; ++i) {
        check = static_cast<std::uint8_t>(check ^ bytes[i]);
    }
    return check;
}

// ---- What the device sends -------------------------------------------------------

Bytes page_data(ByteReader& in) {
    Bytes data(page_size);
    const std::uint8_t seed = in.byte();
    const std::uint8_t step = in.byte();
    for (std::size_t i = 0; i < page_size; ++i) {
        data[i] = static_cast<std::uint8_t>(seed + i * (step | 1));
    }
    return data;
}

void device_sends(Rig& rig, ByteReader& in) {
    switch (in.choice(6)) {
    case 0:
        rig.arrive(test::connect_frame());
        break;
    case 1:
        rig.arrive(test::acknowledgement(in.byte() % 5));
        break;
    case 2: {
        const std::uint8_t page = in.byte() % 5;
        const Bytes data = page_data(in);
        rig.arrive(test::page_reply(page, data.data()));
        break;
    }
    case 3: { // a page reply with one byte changed
        const std::uint8_t page = in.byte() % 5;
        const Bytes data = page_data(in);
        Bytes reply = test::page_reply(page, data.data());
        const std::size_t at = in.word() % reply.size();
        reply[at] = static_cast<std::uint8_t>(reply[at] ^ (in.byte() | 1));
        rig.arrive(reply);
        break;
    }
    case 4: { // part of a frame: the line cut it short
        const Bytes data = page_data(in);
        Bytes reply = test::page_reply(in.byte() % 4, data.data());
        reply.resize(in.word() % reply.size());
        rig.arrive(reply);
        break;
    }
    default:
        rig.arrive(in.bytes(in.byte() + 1));
        break;
    }
}

// ---- Properties ---------------------------------------------------------------

bool is_flag(std::int32_t value) {
    return value == 0 || value == 1;
}

void check_state(const LinkState& s) {
    FUZZ_CHECK(s.page_index <= 3);
    for (std::int32_t flag :
         {std::int32_t{s.link_up}, std::int32_t{s.connecting_on}, std::int32_t{s.answer_connect},
          std::int32_t{s.watchdog_armed}, std::int32_t{s.close_connect_pending},
          std::int32_t{s.read_watch_on}, std::int32_t{s.read_request}, s.read_failed,
          std::int32_t{s.programming_on}, std::int32_t{s.program_watch_on}}) {
        FUZZ_CHECK(is_flag(flag));
    }
    FUZZ_CHECK(s.connect_ticks >= 0 && s.connect_ticks <= 60);
    FUZZ_CHECK(s.watchdog_ticks >= 0 && s.watchdog_ticks <= 80);
    FUZZ_CHECK(s.close_connect_ticks >= 0 && s.close_connect_ticks <= 6);
    FUZZ_CHECK(s.read_watch_ticks >= 0 && s.read_watch_ticks <= 50);
    FUZZ_CHECK(s.program_watch_ticks >= 0 && s.program_watch_ticks <= 50);
}

// Connect answers, read requests for pages 0 to 3, and write frames whose
// 512 bytes are the image's page as it stands.
void check_sent_frames(Rig& rig) {
    for (; rig.frames_checked < rig.port.sent.size(); ++rig.frames_checked) {
        const Bytes& f = rig.port.sent[rig.frames_checked];
        FUZZ_CHECK(f.size() >= 3 && f[0] == 0xAA);
        if (f[1] == 0x01) {
            FUZZ_CHECK(f.size() == 3 && f[2] == 0x01);
        } else if (f[1] == 0x03) {
            FUZZ_CHECK(f.size() == 4 && f[2] <= 3 && f[3] == (0x03 ^ f[2]));
        } else {
            FUZZ_CHECK(f[1] == 0x02 && f.size() == 516 && f[2] <= 3);
            FUZZ_CHECK(f[515] == xor_check(f, 515));
            FUZZ_CHECK(std::equal(f.begin() + 3, f.begin() + 515, rig.image.begin() + f[2] * 512));
        }
    }
}

// The image a Timer1 tick may leave: the page being read gets the data of
// a page reply for that page with a correct check byte; nothing else moves.
ImageBuffer image_after_tick(const Rig& rig) {
    ImageBuffer expected = rig.image;
    const std::size_t received = std::min<std::size_t>(rig.queued.size(), 521);
    const Bytes chunk(rig.queued.begin(),
                      rig.queued.begin() + static_cast<std::ptrdiff_t>(received));
    const bool page_reply = received >= 516 && chunk[0] == 0xAA && chunk[1] == 0x03 &&
                            chunk[515] == xor_check(chunk, 515);
    const bool being_read =
        rig.link.read_request == 1 && chunk.size() > 2 && chunk[2] == rig.link.page_index;
    if (page_reply && being_read) {
        std::copy(chunk.begin() + 3, chunk.begin() + 515,
                  expected.begin() + rig.link.page_index * 512);
    }
    return expected;
}

void timer1_tick(Rig& rig) {
    const ImageBuffer expected = image_after_tick(rig);
    const std::size_t taken = std::min<std::size_t>(rig.queued.size(), 521);
    rig.controller.timer1_tick();
    rig.queued.erase(rig.queued.begin(), rig.queued.begin() + static_cast<std::ptrdiff_t>(taken));
    FUZZ_CHECK(rig.image == expected);
}

// An action leaves the image alone, or erases it all for a read.
void action(Rig& rig, ByteReader& in) {
    const ImageBuffer before = rig.image;
    switch (in.choice(4)) {
    case 0:
        rig.port.open_result = in.flag();
        rig.controller.connect_action();
        break;
    case 1:
        rig.controller.read_action();
        break;
    case 2:
        rig.controller.start_programming();
        break;
    default: // the messages window's template save ends a programming
        rig.link.programming_on = 0;
        break;
    }
    const bool erased =
        std::all_of(rig.image.begin(), rig.image.end(), [](std::uint8_t b) { return b == 0xFF; });
    FUZZ_CHECK(rig.image == before || erased);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ByteReader in(data, size);
    Rig rig;
    for (std::size_t i = 0; i < rig.image.size(); ++i) {
        rig.image[i] = static_cast<std::uint8_t>(i * 31 + 7);
    }
    while (!in.empty()) {
        switch (in.choice(5)) {
        case 0:
            device_sends(rig, in);
            break;
        case 1:
            timer1_tick(rig);
            break;
        case 2: {
            const ImageBuffer before = rig.image;
            for (unsigned n = 1 + in.byte() % 90; n > 0; --n) {
                rig.controller.timer2_tick();
                check_state(rig.link);
            }
            FUZZ_CHECK(rig.image == before);
            break;
        }
        case 3:
            action(rig, in);
            break;
        default: { // edits in the windows between ticks
            const std::size_t at = in.word() % rig.image.size();
            rig.image[at] = in.byte();
            break;
        }
        }
        check_state(rig.link);
        check_sent_frames(rig);
    }
    return 0;
}
