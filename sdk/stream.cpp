#include "sdk/stream.h"

#include <algorithm>
#include <cstring>

void stream_reader::read_object(void* buffer, size_t size, abort_callback& abort) {
    if (read(buffer, size, abort) != size)
        throw exception_io_data_truncation();
}

size_t stream_reader::skip(size_t size, abort_callback& abort) {
    uint8_t scratch[4096];
    size_t done = 0;
    while (done < size) {
        size_t chunk = std::min(size - done, sizeof scratch);
        size_t got = read(scratch, chunk, abort);
        done += got;
        if (got < chunk)
            break;
    }
    return done;
}

uint32_t stream_reader::read_lendian_u32(abort_callback& abort) {
    uint8_t b[4];
    read_object(b, 4, abort);
    return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

GUID stream_reader::read_guid(abort_callback& abort) {
    uint8_t b[16];
    read_object(b, 16, abort);
    return guid_from_bytes(b);
}

std::string stream_reader::read_string_raw(size_t size, abort_callback& abort) {
    std::string text(size, '\0');
    read_object(text.data(), size, abort);
    return text;
}

void stream_writer::write_lendian_u32(uint32_t value, abort_callback& abort) {
    const uint8_t b[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16),
                          uint8_t(value >> 24)};
    write(b, 4, abort);
}

void stream_writer::write_guid(const GUID& guid, abort_callback& abort) {
    uint8_t b[16];
    guid_to_bytes(guid, b);
    write(b, 16, abort);
}

size_t stream_reader_memblock::read(void* buffer, size_t size, abort_callback& abort) {
    abort.check();
    size_t n = std::min(size, m_size - m_position);
    if (n)
        std::memcpy(buffer, m_data + m_position, n);
    m_position += n;
    return n;
}

size_t stream_reader_limited::read(void* buffer, size_t size, abort_callback& abort) {
    size_t got = m_base.read(buffer, std::min(size, m_left), abort);
    m_left -= got;
    return got;
}

void stream_writer_buffer::write(const void* buffer, size_t size, abort_callback& abort) {
    abort.check();
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    m_data.insert(m_data.end(), bytes, bytes + size);
}
