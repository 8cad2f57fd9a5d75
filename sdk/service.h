// The host's object model: every interface derives from service_base, whose three
// operations (release, add reference, interface query) come first in every vtable.
// Lifetimes are reference counts; service_ptr_t holds one reference.
#pragma once

#include <atomic>
#include <type_traits>
#include <utility>

#include "sdk/guid.h"

class service_base {
public:
    using interface_type = service_base;

    // Drop one reference; answers the count left (inert services answer 1).
    virtual int service_release() noexcept = 0;
    virtual int service_add_ref() noexcept = 0;
    // When this object implements the interface `guid`, stores a new reference to
    // it in `out` (releasing what `out` held) and answers true; otherwise answers
    // false and leaves `out` alone.
    virtual bool service_query(service_base*& out, const GUID& guid) = 0;

protected:
    ~service_base() = default;
};

// One counted reference to a service (or none).
template <class T>
class service_ptr_t {
public:
    service_ptr_t() noexcept = default;
    service_ptr_t(std::nullptr_t) noexcept {}
    service_ptr_t(T* p) noexcept : m_ptr(p) {
        if (m_ptr)
            m_ptr->service_add_ref();
    }
    service_ptr_t(const service_ptr_t& other) noexcept : service_ptr_t(other.m_ptr) {}
    service_ptr_t(service_ptr_t&& other) noexcept : m_ptr(other.m_ptr) { other.m_ptr = nullptr; }
    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    service_ptr_t(const service_ptr_t<U>& other) noexcept : service_ptr_t(other.get_ptr()) {}
    ~service_ptr_t() { release(); }

    service_ptr_t& operator=(const service_ptr_t& other) noexcept {
        service_ptr_t(other).swap(*this);
        return *this;
    }
    service_ptr_t& operator=(service_ptr_t&& other) noexcept {
        service_ptr_t(std::move(other)).swap(*this);
        return *this;
    }
    service_ptr_t& operator=(T* p) noexcept {
        service_ptr_t(p).swap(*this);
        return *this;
    }
    service_ptr_t& operator=(std::nullptr_t) noexcept {
        release();
        return *this;
    }

    void release() noexcept {
        T* p = m_ptr;
        m_ptr = nullptr;
        if (p)
            p->service_release();
    }
    // Takes over a reference the caller already owns, without adding one.
    void attach(T* p) noexcept {
        release();
        m_ptr = p;
    }
    T* detach() noexcept { return std::exchange(m_ptr, nullptr); }
    void swap(service_ptr_t& other) noexcept { std::swap(m_ptr, other.m_ptr); }

    T* get_ptr() const noexcept { return m_ptr; }
    T* operator->() const noexcept { return m_ptr; }
    T& operator*() const noexcept { return *m_ptr; }
    bool is_valid() const noexcept { return m_ptr != nullptr; }
    bool is_empty() const noexcept { return m_ptr == nullptr; }
    explicit operator bool() const noexcept { return m_ptr != nullptr; }

    // Interface query into this slot: on success the slot holds a new reference to
    // `source` as T; on failure the slot is untouched.
    template <class S>
    bool query_from(S* source) {
        if (!source)
            return false;
        service_base* found = nullptr;
        if (!source->service_query(found, T::class_guid))
            return false;
        attach(static_cast<T*>(found));
        return true;
    }

private:
    T* m_ptr = nullptr;
};

template <class T, class U>
bool operator==(const service_ptr_t<T>& a, const service_ptr_t<U>& b) {
    return a.get_ptr() == b.get_ptr();
}
template <class T, class U>
bool operator!=(const service_ptr_t<T>& a, const service_ptr_t<U>& b) {
    return a.get_ptr() != b.get_ptr();
}

namespace sdk_detail {
// Walks an interface and its parents, most derived first, stopping above
// service_base, which is never matched.
template <class I>
bool interface_chain_matches(const GUID& guid) {
    if constexpr (std::is_same_v<I, service_base>) {
        return false;
    } else {
        return guid == I::class_guid || interface_chain_matches<typename I::parent_class>(guid);
    }
}
}  // namespace sdk_detail

// The query rule shared by every service: match the interface chain of the
// class's most derived interface.
template <class T>
bool service_query_impl(T* self, service_base*& out, const GUID& guid) {
    if (!sdk_detail::interface_chain_matches<typename T::interface_type>(guid))
        return false;
    service_base* me = static_cast<typename T::interface_type*>(self);
    me->service_add_ref();
    if (out)
        out->service_release();
    out = me;
    return true;
}

// A heap object whose last release destroys it. Counts change atomically, so a
// reference may be released on any thread.
template <class T>
class service_impl_t final : public T {
public:
    template <class... Args>
    explicit service_impl_t(Args&&... args) : T(std::forward<Args>(args)...) {}

    int service_release() noexcept override {
        int left = --m_count;
        if (left == 0)
            delete this;
        return left;
    }
    int service_add_ref() noexcept override { return ++m_count; }
    bool service_query(service_base*& out, const GUID& guid) override {
        return service_query_impl<T>(this, out, guid);
    }

private:
    std::atomic<int> m_count{0};
};

// A static object: reference counting is inert and never destroys it.
template <class T>
class service_impl_single_t final : public T {
public:
    template <class... Args>
    explicit service_impl_single_t(Args&&... args) : T(std::forward<Args>(args)...) {}

    int service_release() noexcept override { return 1; }
    int service_add_ref() noexcept override { return 1; }
    bool service_query(service_base*& out, const GUID& guid) override {
        return service_query_impl<T>(this, out, guid);
    }
};

// New heap service with its first reference held by the returned pointer.
template <class T, class... Args>
service_ptr_t<T> make_service(Args&&... args) {
    return service_ptr_t<T>(new service_impl_t<T>(std::forward<Args>(args)...));
}
