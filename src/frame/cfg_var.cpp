#include "frame/cfg_var.h"

#include "sdk/exceptions.h"

cfg_var*& cfg_var::head() {
    static cfg_var* first = nullptr;
    return first;
}

cfg_var* cfg_var::chain_head() {
    return head();
}

cfg_var::cfg_var(const GUID& guid, const GUID& earlier_guid)
    : m_guid(guid), m_earlier_guid(earlier_guid), m_next(head()) {
    head() = this;
}

namespace {

// Reads exactly `size` bytes of a record; a short record is a data error.
void read_record(stream_reader& in, void* buffer, size_t size, abort_callback& abort) {
    if (in.read(buffer, size, abort) != size) {
        throw exception_io_data("Configuration record is shorter than its value");
    }
}

}  // namespace

template <>
void cfg_int_t<int32_t>::write_data(stream_writer& out, abort_callback& abort) {
    out.write_lendian_u32(uint32_t(m_value), abort);
}

template <>
void cfg_int_t<int32_t>::read_data(stream_reader& in, size_t, abort_callback& abort) {
    uint8_t b[4];
    read_record(in, b, 4, abort);
    m_value =
        int32_t(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
}

template <>
void cfg_int_t<GUID>::write_data(stream_writer& out, abort_callback& abort) {
    out.write_guid(m_value, abort);
}

template <>
void cfg_int_t<GUID>::read_data(stream_reader& in, size_t, abort_callback& abort) {
    uint8_t b[16];
    read_record(in, b, 16, abort);
    m_value = guid_from_bytes(b);
}

void cfg_string::write_data(stream_writer& out, abort_callback& abort) {
    out.write(m_value.data(), m_value.size(), abort);
}

void cfg_string::read_data(stream_reader& in, size_t, abort_callback& abort) {
    std::string value;
    char chunk[4096];
    for (;;) {
        size_t got = in.read(chunk, sizeof chunk, abort);
        value.append(chunk, got);
        if (got < sizeof chunk)
            break;
    }
    m_value = std::move(value);
}
