// A field set: the fields of one track location as they travel between the store
// and its callers. Fields are ordered; each has a UTF-8 name, compared without
// regard to letter case, and one or more UTF-8 values in order. A field with no
// value does not exist.
//
// x_info is the interface handed across components; x_info_impl is the value
// class every caller instantiates. Both are header-only so that another component
// can build them from this header alone.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sdk/bit_array.h"
#include "sdk/strings.h"
#include "sdk/utf8.h"

class x_info {
public:
    static constexpr size_t npos = ~size_t(0);

    virtual size_t get_field_count() const = 0;
    // Name of field `index` (an empty text for an empty name).
    virtual const char* get_field_name(size_t index) const = 0;
    virtual size_t get_value_count(size_t index) const = 0;
    virtual const char* get_value(size_t index, size_t value_index) const = 0;
    // Index of the first field named `name` without regard to letter case, or npos.
    // Lengths are byte counts, or text_to_terminator.
    virtual size_t find_field(const char* name, size_t name_length) const = 0;
    // Removes a field of that name if present, then appends a new field with the
    // name as given and the one value; answers its index.
    virtual size_t set_value(const char* name, size_t name_length, const char* value,
                             size_t value_length) = 0;
    virtual void insert_value(size_t index, size_t position, const char* value,
                              size_t value_length) = 0;
    virtual void remove_fields(const bit_array& mask) = 0;
    // Reorders the fields: new field i is old field order[i].
    virtual void reorder_fields(const size_t* order) = 0;
    // Removes the selected values of field `index`, and the field when none is left.
    virtual void remove_values(size_t index, const bit_array& mask) = 0;
    virtual void modify_value(size_t index, size_t value_index, const char* value,
                              size_t value_length) = 0;
    // Replaces all fields with copies of `source`'s, in order; a no-op on itself.
    virtual void copy_from(const x_info& source) = 0;
    // Appends a field with one value without looking for one of that name.
    virtual size_t add_field(const char* name, size_t name_length, const char* value,
                             size_t value_length) = 0;

    // Appends `value` to the field `name`, creating the field after the others
    // when absent. Answers the field's index.
    size_t add_value(const char* name, const char* value) {
        size_t index = find_field(name, text_to_terminator);
        if (index == npos)
            return add_field(name, text_to_terminator, value, text_to_terminator);
        insert_value(index, get_value_count(index), value, text_to_terminator);
        return index;
    }
    void remove_field(const char* name) {
        size_t index = find_field(name, text_to_terminator);
        if (index != npos)
            remove_fields(bit_array_one(index));
    }
    // Value `value_index` of field `name`, or null when there is none.
    const char* get_value_by_name(const char* name, size_t value_index) const {
        size_t index = find_field(name, text_to_terminator);
        if (index == npos || value_index >= get_value_count(index))
            return nullptr;
        return get_value(index, value_index);
    }
    size_t get_value_count_by_name(const char* name) const {
        size_t index = find_field(name, text_to_terminator);
        return index == npos ? 0 : get_value_count(index);
    }
    // The number of name/value pairs the set holds.
    size_t get_total_value_count() const {
        size_t total = 0;
        for (size_t i = 0, n = get_field_count(); i < n; ++i)
            total += get_value_count(i);
        return total;
    }

protected:
    ~x_info() = default;
};

// The field set held by value. Fields live in one vector; a field keeps its first
// value inline, so the common entry (a few single-valued fields with short names)
// costs one allocation.
class x_info_impl final : public x_info {
public:
    x_info_impl() = default;
    x_info_impl(const x_info_impl& other) = default;
    x_info_impl(x_info_impl&& other) noexcept = default;
    x_info_impl& operator=(const x_info_impl& other) = default;
    x_info_impl& operator=(x_info_impl&& other) noexcept = default;
    explicit x_info_impl(const x_info& other) { copy_from(other); }

    size_t get_field_count() const override { return m_fields.size(); }
    const char* get_field_name(size_t index) const override { return m_fields[index].name.c_str(); }
    size_t get_value_count(size_t index) const override { return m_fields[index].value_count(); }
    const char* get_value(size_t index, size_t value_index) const override {
        return m_fields[index].value(value_index).c_str();
    }
    size_t find_field(const char* name, size_t name_length) const override {
        name_length = length_of(name, name_length);
        for (size_t i = 0; i < m_fields.size(); ++i) {
            const std::string& field_name = m_fields[i].name;
            if (stricmp_utf8_ex(field_name.data(), field_name.size(), name, name_length) == 0) {
                return i;
            }
        }
        return npos;
    }
    size_t set_value(const char* name, size_t name_length, const char* value,
                     size_t value_length) override {
        // The name and value may be text of this very set (a caller passing
        // get_field_name(i) back in): copy them before any field is removed or moved.
        field replacement = make_field(name, name_length, value, value_length);
        size_t existing = find_field(replacement.name.data(), replacement.name.size());
        if (existing != npos)
            m_fields.erase(m_fields.begin() + std::ptrdiff_t(existing));
        m_fields.push_back(std::move(replacement));
        return m_fields.size() - 1;
    }
    void insert_value(size_t index, size_t position, const char* value,
                      size_t value_length) override {
        m_fields[index].insert(position, std::string(value, length_of(value, value_length)));
    }
    void remove_fields(const bit_array& mask) override {
        size_t kept = 0;
        for (size_t i = 0; i < m_fields.size(); ++i) {
            if (!mask.get(i)) {
                if (kept != i)
                    m_fields[kept] = std::move(m_fields[i]);
                ++kept;
            }
        }
        m_fields.resize(kept);
    }
    void reorder_fields(const size_t* order) override {
        std::vector<field> reordered;
        reordered.reserve(m_fields.size());
        for (size_t i = 0; i < m_fields.size(); ++i)
            reordered.push_back(std::move(m_fields[order[i]]));
        m_fields = std::move(reordered);
    }
    void remove_values(size_t index, const bit_array& mask) override {
        field& f = m_fields[index];
        std::vector<std::string> kept;
        for (size_t i = 0, n = f.value_count(); i < n; ++i) {
            if (!mask.get(i))
                kept.push_back(std::move(f.value(i)));
        }
        if (kept.empty()) {
            m_fields.erase(m_fields.begin() + std::ptrdiff_t(index));
            return;
        }
        f.first = std::move(kept.front());
        f.more.assign(std::make_move_iterator(kept.begin() + 1),
                      std::make_move_iterator(kept.end()));
    }
    void modify_value(size_t index, size_t value_index, const char* value,
                      size_t value_length) override {
        m_fields[index].value(value_index).assign(value, length_of(value, value_length));
    }
    void copy_from(const x_info& source) override {
        if (&source == this)
            return;
        std::vector<field> copy;
        size_t count = source.get_field_count();
        copy.reserve(count);
        for (size_t i = 0; i < count; ++i) {
            field f;
            f.name = source.get_field_name(i);
            size_t values = source.get_value_count(i);
            f.first = source.get_value(i, 0);
            if (values > 1)
                f.more.reserve(values - 1);
            for (size_t j = 1; j < values; ++j)
                f.more.emplace_back(source.get_value(i, j));
            copy.push_back(std::move(f));
        }
        m_fields = std::move(copy);
    }
    size_t add_field(const char* name, size_t name_length, const char* value,
                     size_t value_length) override {
        m_fields.push_back(make_field(name, name_length, value, value_length));
        return m_fields.size() - 1;
    }

    void clear() { m_fields.clear(); }
    bool empty() const { return m_fields.empty(); }

private:
    struct field {
        std::string name;
        std::string first;
        std::vector<std::string> more;

        size_t value_count() const { return 1 + more.size(); }
        std::string& value(size_t i) { return i == 0 ? first : more[i - 1]; }
        const std::string& value(size_t i) const { return i == 0 ? first : more[i - 1]; }
        void insert(size_t position, std::string v) {
            if (position == 0) {
                more.insert(more.begin(), std::move(first));
                first = std::move(v);
            } else {
                more.insert(more.begin() + std::ptrdiff_t(position - 1), std::move(v));
            }
        }
    };

    static field make_field(const char* name, size_t name_length, const char* value,
                            size_t value_length) {
        field f;
        f.name.assign(name, length_of(name, name_length));
        f.first.assign(value, length_of(value, value_length));
        return f;
    }
    static size_t length_of(const char* text, size_t length) {
        if (!text)
            return 0;
        return length == text_to_terminator ? std::strlen(text) : length;
    }

    std::vector<field> m_fields;
};
