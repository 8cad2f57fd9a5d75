#include "storage/packed_fields.h"

#include <cstring>
#include <new>
#include <stdexcept>
#include <string_view>

#include "sdk/utf8.h"

// The block: the field count and the total value count, then per field the name
// and a zero byte, the value count, and per value its bytes and a zero byte. Counts
// are written in 7-bit groups, low first, so that the small ones of a usual entry
// take one byte each. Texts hold no zero byte, so their ends need no lengths: the
// name and the value of a usual entry are a few bytes long, and a block without
// lengths fits the allocator's smallest size class (12 bytes with 4-byte pointers).
namespace {

size_t varint_size(size_t value) {
    size_t size = 1;
    while (value >= 0x80) {
        value >>= 7;
        ++size;
    }
    return size;
}

unsigned char* put_varint(unsigned char* out, size_t value) {
    while (value >= 0x80) {
        *out++ = static_cast<unsigned char>(value | 0x80);
        value >>= 7;
    }
    *out++ = static_cast<unsigned char>(value);
    return out;
}

size_t get_varint(const unsigned char*& in) {
    size_t value = 0;
    for (unsigned shift = 0;; shift += 7) {
        unsigned char byte = *in++;
        value |= size_t(byte & 0x7F) << shift;
        if (byte < 0x80)
            return value;
    }
}

unsigned char* put_text(unsigned char* out, std::string_view text) {
    std::memcpy(out, text.data(), text.size());
    out += text.size();
    *out++ = 0;
    return out;
}

// Reads a text written by put_text; answers its first byte.
const char* get_text(const unsigned char*& in) {
    const char* text = reinterpret_cast<const char*>(in);
    in += std::strlen(text) + 1;
    return text;
}

size_t text_size(std::string_view text) {
    return text.size() + 1;
}

std::string_view text_of(const char* text) {
    return text ? std::string_view(text) : std::string_view();
}

[[noreturn]] void read_only() {
    throw std::logic_error("The fields of a stored entry are changed through its store.");
}

}  // namespace

packed_fields& packed_fields::operator=(packed_fields&& other) noexcept {
    if (this != &other) {
        clear();
        m_block = other.m_block;
        other.m_block = nullptr;
    }
    return *this;
}

void packed_fields::clear() {
    ::operator delete(m_block);
    m_block = nullptr;
}

void packed_fields::assign(const x_info& source) {
    const size_t fields = source.get_field_count();
    if (fields == 0) {
        clear();
        return;
    }
    size_t total = 0;
    size_t size = 0;
    for (size_t i = 0; i < fields; ++i) {
        const size_t values = source.get_value_count(i);
        total += values;
        size += text_size(text_of(source.get_field_name(i))) + varint_size(values);
        for (size_t j = 0; j < values; ++j)
            size += text_size(text_of(source.get_value(i, j)));
    }
    size += varint_size(fields) + varint_size(total);

    auto* block = static_cast<unsigned char*>(::operator new(size));
    unsigned char* out = put_varint(block, fields);
    out = put_varint(out, total);
    for (size_t i = 0; i < fields; ++i) {
        out = put_text(out, text_of(source.get_field_name(i)));
        const size_t values = source.get_value_count(i);
        out = put_varint(out, values);
        for (size_t j = 0; j < values; ++j)
            out = put_text(out, text_of(source.get_value(i, j)));
    }
    clear();
    m_block = block;
}

size_t packed_fields::byte_size() const {
    const unsigned char* in = m_block;
    const size_t fields = get_varint(in);
    get_varint(in);
    for (size_t i = 0; i < fields; ++i) {
        get_text(in);
        for (size_t values = get_varint(in); values > 0; --values)
            get_text(in);
    }
    return size_t(in - m_block);
}

void packed_fields::assign(const packed_fields& source) {
    if (&source == this)
        return;
    if (!source.m_block) {
        clear();
        return;
    }
    // The block holds no pointers: a copy of its bytes is a copy of the fields.
    const size_t size = source.byte_size();
    auto* block = static_cast<unsigned char*>(::operator new(size));
    std::memcpy(block, source.m_block, size);
    clear();
    m_block = block;
}

x_info_impl packed_fields::unpack() const {
    return x_info_impl(view(*this));
}

size_t packed_fields::field_count() const {
    if (!m_block)
        return 0;
    const unsigned char* in = m_block;
    return get_varint(in);
}

size_t packed_fields::total_value_count() const {
    if (!m_block)
        return 0;
    const unsigned char* in = m_block;
    get_varint(in);
    return get_varint(in);
}

const char* packed_fields::value_by_name(const char* name, size_t index) const {
    view fields(*this);
    size_t field = fields.find_field(name, text_to_terminator);
    if (field == x_info::npos || index >= fields.get_value_count(field))
        return nullptr;
    return fields.get_value(field, index);
}

size_t packed_fields::value_count_by_name(const char* name) const {
    view fields(*this);
    size_t field = fields.find_field(name, text_to_terminator);
    return field == x_info::npos ? 0 : fields.get_value_count(field);
}

packed_fields::view::view(const packed_fields& fields) : m_begin(fields.m_block) {
    if (!m_begin)
        return;
    const unsigned char* in = m_begin;
    m_field_count = get_varint(in);
    get_varint(in);
    enter_field(0, in);
}

void packed_fields::view::enter_field(size_t index, const unsigned char* at) const {
    m_field = index;
    m_field_at = at;
    m_name = get_text(at);
    m_value_count = get_varint(at);
    m_value = 0;
    m_value_at = at;
}

void packed_fields::view::seek(size_t index, size_t value_index) const {
    if (index < m_field) {
        // Back to the first field.
        const unsigned char* in = m_begin;
        get_varint(in);
        get_varint(in);
        enter_field(0, in);
    }
    while (m_field < index) {
        const unsigned char* in = m_value_at;
        for (size_t j = m_value; j < m_value_count; ++j)
            get_text(in);
        enter_field(m_field + 1, in);
    }
    if (value_index < m_value) {
        const unsigned char* in = m_field_at;
        get_text(in);
        get_varint(in);
        m_value = 0;
        m_value_at = in;
    }
    while (m_value < value_index) {
        get_text(m_value_at);
        ++m_value;
    }
}

const char* packed_fields::view::get_field_name(size_t index) const {
    seek(index, 0);
    return m_name;
}

size_t packed_fields::view::get_value_count(size_t index) const {
    seek(index, 0);
    return m_value_count;
}

const char* packed_fields::view::get_value(size_t index, size_t value_index) const {
    seek(index, value_index);
    const unsigned char* in = m_value_at;
    return get_text(in);
}

size_t packed_fields::view::find_field(const char* name, size_t name_length) const {
    if (name_length == text_to_terminator)
        name_length = name ? std::strlen(name) : 0;
    for (size_t i = 0; i < m_field_count; ++i) {
        seek(i, 0);
        if (stricmp_utf8_ex(m_name, std::strlen(m_name), name ? name : "", name_length) == 0)
            return i;
    }
    return npos;
}

size_t packed_fields::view::set_value(const char*, size_t, const char*, size_t) {
    read_only();
}
void packed_fields::view::insert_value(size_t, size_t, const char*, size_t) {
    read_only();
}
void packed_fields::view::remove_fields(const bit_array&) {
    read_only();
}
void packed_fields::view::reorder_fields(const size_t*) {
    read_only();
}
void packed_fields::view::remove_values(size_t, const bit_array&) {
    read_only();
}
void packed_fields::view::modify_value(size_t, size_t, const char*, size_t) {
    read_only();
}
void packed_fields::view::copy_from(const x_info&) {
    read_only();
}
size_t packed_fields::view::add_field(const char*, size_t, const char*, size_t) {
    read_only();
}
