#pragma once
// Frames exchanged with the device. Every frame starts with 0xAA and a
// command byte (1 connect, 2 write page, 3 read page); frames carrying a page
// end in a check byte. Frames are composed at offset 0 of the link buffer and
// received chunks are examined at the start of its receive area.

#include "image/check.h"
#include "image/image_buffer.h"
#include "link/link_buffer.h"

#include <cstddef>
#include <cstdint>

namespace gnc {

inline constexpr std::uint8_t frame_start = 0xAA;
inline constexpr std::uint8_t command_connect = 0x01;
inline constexpr std::uint8_t command_write = 0x02;
inline constexpr std::uint8_t command_read = 0x03;

inline constexpr std::size_t connect_frame_size = 3;
inline constexpr std::size_t short_frame_size = 4;  // read request, write acknowledgement
inline constexpr std::size_t page_frame_size = 516; // write frame, page reply
inline constexpr std::size_t page_data_offset = 3;
// Pages the image buffer can hold; frames for higher pages are never composed.
inline constexpr int image_page_count = static_cast<int>(image_buffer_size / page_size);

// Frames use the same check byte as the settings image (image/check.h).

// Each composer writes only the bytes of its frame into the transmit area and
// returns how many bytes to send.
std::size_t compose_connect_answer(LinkBuffer& buffer);
std::size_t compose_read_request(LinkBuffer& buffer, std::uint8_t page);
// Builds the write frame from image bytes page * 512 .. page * 512 + 511.
// A page beyond the image buffer composes nothing and returns 0.
std::size_t compose_write_frame(LinkBuffer& buffer, const ImageBuffer& image, std::uint8_t page);

enum class ChunkKind { nothing, connect, acknowledgement, page_reply };

struct ReceivedChunk {
    ChunkKind kind = ChunkKind::nothing;
    std::uint8_t page = 0;              // acknowledgement and page reply
    const std::uint8_t* data = nullptr; // page reply: its 512 bytes, inside the buffer
};

// Recognises the chunk that the latest read stored at the start of the
// receive area. Only the `received` bytes of that read count: a connect frame
// needs 3 of them, an acknowledgement 4, a page reply 516. Only the first
// frame of the chunk is examined.
ReceivedChunk recognise_chunk(const LinkBuffer& buffer, std::size_t received);

// Whether the `received` bytes at `chunk` start with the device's connect
// frame, as recognise_chunk sees it.
bool is_connect_frame(const std::uint8_t* chunk, std::size_t received);

} // namespace gnc
