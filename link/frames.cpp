#include "link/frames.h"

#include <algorithm>

namespace gnc {

namespace {

std::uint8_t* transmit_area(LinkBuffer& buffer) {
    return buffer.data() + transmit_offset;
}
const std::uint8_t* receive_area(const LinkBuffer& buffer) {
    return buffer.data() + receive_offset;
}

bool is_acknowledgement(const std::uint8_t* chunk, std::size_t received) {
    return received >= short_frame_size && chunk[0] == frame_start && chunk[1] == command_write &&
           chunk[3] == (command_write ^ chunk[2]);
}

bool is_page_reply(const std::uint8_t* chunk, std::size_t received) {
    return received >= page_frame_size && chunk[0] == frame_start && chunk[1] == command_read &&
           chunk[page_frame_size - 1] == check_byte(chunk, page_frame_size - 1);
}

} // namespace

bool is_connect_frame(const std::uint8_t* chunk, std::size_t received) {
    return received >= connect_frame_size && chunk[0] == frame_start &&
           chunk[1] == command_connect && chunk[2] == command_connect;
}

std::size_t compose_connect_answer(LinkBuffer& buffer) {
    std::uint8_t* frame = transmit_area(buffer);
    frame[0] = frame_start;
    frame[1] = command_connect;
    frame[2] = command_connect;
    return connect_frame_size;
}

std::size_t compose_read_request(LinkBuffer& buffer, std::uint8_t page) {
    std::uint8_t* frame = transmit_area(buffer);
    frame[0] = frame_start;
    frame[1] = command_read;
    frame[2] = page;
    frame[3] = check_byte(frame, 3);
    return short_frame_size;
}

std::size_t compose_write_frame(LinkBuffer& buffer, const ImageBuffer& image, std::uint8_t page) {
    if (page >= image_page_count) {
        return 0;
    }
    std::uint8_t* frame = transmit_area(buffer);
    frame[0] = frame_start;
    frame[1] = command_write;
    frame[2] = page;
    const auto first = image.begin() + static_cast<std::ptrdiff_t>(page * page_size);
    std::copy(first, first + static_cast<std::ptrdiff_t>(page_size), frame + page_data_offset);
    frame[page_frame_size - 1] = check_byte(frame, page_frame_size - 1);
    return page_frame_size;
}

ReceivedChunk recognise_chunk(const LinkBuffer& buffer, std::size_t received) {
    const std::uint8_t* chunk = receive_area(buffer);
    received = std::min(received, link_buffer_size - receive_offset);
    if (is_connect_frame(chunk, received)) {
        return {ChunkKind::connect, 0, nullptr};
    }
    if (is_acknowledgement(chunk, received)) {
        return {ChunkKind::acknowledgement, chunk[2], nullptr};
    }
    if (is_page_reply(chunk, received)) {
        return {ChunkKind::page_reply, chunk[2], chunk + page_data_offset};
    }
    return {};
}

} // namespace gnc
