// Lists handed across the host boundary: read-only views and growable lists.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

#include "sdk/service.h"

template <class T>
class list_base_const_t {
public:
    virtual size_t get_count() const = 0;
    // Copy of element `index` (0 <= index < get_count()).
    virtual T get_item(size_t index) const = 0;

    T operator[](size_t index) const { return get_item(index); }

protected:
    ~list_base_const_t() = default;
};

template <class T>
class list_base_t : public list_base_const_t<T> {
public:
    virtual void add_item(const T& item) = 0;
    virtual void set_item(size_t index, const T& item) = 0;
    virtual void remove_all() = 0;
    virtual void reserve(size_t count) = 0;

protected:
    ~list_base_t() = default;
};

// The ordinary growable list, backed by a vector.
template <class T>
class list_t final : public list_base_t<T> {
public:
    list_t() = default;
    list_t(std::vector<T> items) : m_items(std::move(items)) {}

    size_t get_count() const override { return m_items.size(); }
    T get_item(size_t index) const override { return m_items[index]; }
    void add_item(const T& item) override { m_items.push_back(item); }
    void set_item(size_t index, const T& item) override { m_items[index] = item; }
    void remove_all() override { m_items.clear(); }
    void reserve(size_t count) override { m_items.reserve(count); }

    const T& operator[](size_t index) const { return m_items[index]; }
    T& operator[](size_t index) { return m_items[index]; }
    std::vector<T>& items() { return m_items; }
    const std::vector<T>& items() const { return m_items; }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    std::vector<T> m_items;
};

template <class T>
using service_list_t = list_t<service_ptr_t<T>>;
