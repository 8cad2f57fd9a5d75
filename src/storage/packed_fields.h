// The fields of a stored entry, packed into one block of memory: a store holds
// the fields of every track of a library at once, and a usual entry (a field or
// two with short values) then costs one small allocation instead of one per field
// and per long text. Callers read the fields through a view and change them by
// handing over a whole new field set; an entry's fields are small, so repacking
// them costs little next to the write itself.
#pragma once

#include <cstddef>
#include <cstdint>

#include "storage/x_info.h"

class packed_fields {
public:
    class view;

    packed_fields() = default;
    packed_fields(packed_fields&& other) noexcept : m_block(other.m_block) {
        other.m_block = nullptr;
    }
    packed_fields& operator=(packed_fields&& other) noexcept;
    packed_fields(const packed_fields&) = delete;
    packed_fields& operator=(const packed_fields&) = delete;
    ~packed_fields() { clear(); }

    bool empty() const { return m_block == nullptr; }
    void clear();
    // Replaces the fields with a copy of `source`; on failure they stay as they were.
    void assign(const x_info& source);
    void assign(const packed_fields& source);
    // A copy that can be changed.
    x_info_impl unpack() const;

    size_t field_count() const;
    size_t total_value_count() const;
    // Value `index` of the first field named `name` without regard to letter case,
    // or null.
    const char* value_by_name(const char* name, size_t index) const;
    size_t value_count_by_name(const char* name) const;

private:
    friend class view;
    // The length of the block, walked from its counts and lengths.
    size_t byte_size() const;

    unsigned char* m_block = nullptr;
};

// The packed fields read through the field-set interface, for copying them out
// or writing them to a medium. Walking the fields and their values in order costs
// the size of the block once. The view must not outlive the fields it reads, and
// the fields must not change while it is used; the changing operations raise
// std::logic_error.
class packed_fields::view final : public x_info {
public:
    explicit view(const packed_fields& fields);

    size_t get_field_count() const override { return m_field_count; }
    const char* get_field_name(size_t index) const override;
    size_t get_value_count(size_t index) const override;
    const char* get_value(size_t index, size_t value_index) const override;
    size_t find_field(const char* name, size_t name_length) const override;

    size_t set_value(const char*, size_t, const char*, size_t) override;
    void insert_value(size_t, size_t, const char*, size_t) override;
    void remove_fields(const bit_array&) override;
    void reorder_fields(const size_t*) override;
    void remove_values(size_t, const bit_array&) override;
    void modify_value(size_t, size_t, const char*, size_t) override;
    void copy_from(const x_info&) override;
    size_t add_field(const char*, size_t, const char*, size_t) override;

private:
    // Moves the cursor to field `index`, value `value_index` (0: the first value).
    void seek(size_t index, size_t value_index) const;
    // Puts the cursor on the first value of field `index`, which starts at `at`.
    void enter_field(size_t index, const unsigned char* at) const;

    const unsigned char* m_begin = nullptr;
    size_t m_field_count = 0;
    // Where the last lookup ended, so that reading in order never starts over.
    mutable size_t m_field = 0;
    mutable const unsigned char* m_field_at = nullptr;
    mutable const char* m_name = nullptr;
    mutable size_t m_value_count = 0;
    mutable size_t m_value = 0;
    mutable const unsigned char* m_value_at = nullptr;
};
