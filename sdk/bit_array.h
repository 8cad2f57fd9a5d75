// Selection masks over indexes, as passed to operations that remove or pick items.
#pragma once

#include <cstddef>
#include <vector>

class bit_array {
public:
    virtual bool get(size_t index) const = 0;

protected:
    ~bit_array() = default;
};

// Selects exactly one index.
class bit_array_one final : public bit_array {
public:
    explicit bit_array_one(size_t index) : m_index(index) {}
    bool get(size_t index) const override { return index == m_index; }

private:
    size_t m_index;
};

// Selects every index, or none.
class bit_array_val final : public bit_array {
public:
    explicit bit_array_val(bool value) : m_value(value) {}
    bool get(size_t) const override { return m_value; }

private:
    bool m_value;
};

// An explicit table of selected indexes.
class bit_array_table final : public bit_array {
public:
    explicit bit_array_table(size_t count) : m_bits(count, false) {}
    void set(size_t index, bool value) { m_bits[index] = value; }
    bool get(size_t index) const override { return index < m_bits.size() && m_bits[index]; }

private:
    std::vector<bool> m_bits;
};
