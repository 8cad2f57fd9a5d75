// Byte streams. The virtual operations move raw bytes; the helpers below add the
// exact-length and little-endian reads that the formats of the host and its
// components are made of.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sdk/abort.h"
#include "sdk/exceptions.h"
#include "sdk/guid.h"

class stream_reader {
public:
    // Reads up to `size` bytes; answers how many arrived (fewer only at the end).
    virtual size_t read(void* buffer, size_t size, abort_callback& abort) = 0;

    // Reads exactly `size` bytes or raises exception_io_data_truncation.
    void read_object(void* buffer, size_t size, abort_callback& abort);
    // Skips up to `size` bytes; answers how many were skipped.
    size_t skip(size_t size, abort_callback& abort);
    uint32_t read_lendian_u32(abort_callback& abort);
    GUID read_guid(abort_callback& abort);
    // A string of exactly `size` bytes.
    std::string read_string_raw(size_t size, abort_callback& abort);

protected:
    ~stream_reader() = default;
};

class stream_writer {
public:
    // Writes all `size` bytes or raises an error.
    virtual void write(const void* buffer, size_t size, abort_callback& abort) = 0;

    void write_lendian_u32(uint32_t value, abort_callback& abort);
    void write_guid(const GUID& guid, abort_callback& abort);
    void write_string_raw(const std::string& text, abort_callback& abort) {
        write(text.data(), text.size(), abort);
    }

protected:
    ~stream_writer() = default;
};

// Reads from a block of memory the reader does not own.
class stream_reader_memblock final : public stream_reader {
public:
    stream_reader_memblock(const void* data, size_t size)
        : m_data(static_cast<const uint8_t*>(data)), m_size(size) {}
    size_t read(void* buffer, size_t size, abort_callback& abort) override;
    size_t remaining() const { return m_size - m_position; }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_position = 0;
};

// Lets a reader see at most `limit` bytes of another stream.
class stream_reader_limited final : public stream_reader {
public:
    stream_reader_limited(stream_reader& base, size_t limit) : m_base(base), m_left(limit) {}
    size_t read(void* buffer, size_t size, abort_callback& abort) override;
    size_t remaining() const { return m_left; }

private:
    stream_reader& m_base;
    size_t m_left;
};

// Collects written bytes in memory.
class stream_writer_buffer final : public stream_writer {
public:
    void write(const void* buffer, size_t size, abort_callback& abort) override;
    const std::vector<uint8_t>& data() const { return m_data; }
    void clear() { m_data.clear(); }

private:
    std::vector<uint8_t> m_data;
};
