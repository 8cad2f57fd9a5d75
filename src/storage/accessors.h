// Readers and writers of one store. The plain accessor works without locking and
// serves a method's own loading code; the locking accessors hold the store lock
// from creation to their last release.
#pragma once

#include <mutex>

#include "storage/store.h"

class tagshelf_accessor_plain : public tagshelf_reader_writer {
public:
    explicit tagshelf_accessor_plain(tagshelf_store& store) : m_store(store) {}

    void get_handle(tagshelf_handle_ptr& out, const metadb_handle_ptr& track) override;
    // Appends (does not empty `out` first).
    void enum_handles(list_base_t<tagshelf_handle_ptr>& out) override;
    bool has_info(const tagshelf_handle_ptr& handle) override;
    void get_info(const tagshelf_handle_ptr& handle, x_info& out) override;
    void get_info_multi(const list_base_const_t<tagshelf_handle_ptr>& handles,
                        const list_base_const_t<x_info*>& out) override;
    bool get_value(const tagshelf_handle_ptr& handle, const char* name, size_t index,
                   string_base& out) override;
    size_t get_value_count(const tagshelf_handle_ptr& handle, const char* name) override;
    int64_t get_entry_count() override;
    size_t get_total_value_count() override;

    void remove_all() override;
    void set_info(const tagshelf_handle_ptr& handle, const x_info& info) override;
    void set_info_multi(const list_base_const_t<tagshelf_handle_ptr>& handles,
                        const list_base_const_t<const x_info*>& infos) override;
    void copy_info(const tagshelf_handle_ptr& source, const tagshelf_handle_ptr& target) override;
    void remove_info(const tagshelf_handle_ptr& handle) override;
    void add_value(const tagshelf_handle_ptr& handle, const char* name, const char* value) override;
    void remove_field(const tagshelf_handle_ptr& handle, const char* name) override;
    void set_value(const tagshelf_handle_ptr& handle, const char* name, const char* value) override;

    // The store this accessor works on, for the component's own paths that find
    // entries through its index.
    tagshelf_store& store() { return m_store; }

protected:
    // The entry that an operation on `handle`, one of this store's own entries,
    // acts on: the handle's entry, or the entry that another handle stored for
    // its location since this one was taken.
    storage_entry& entry_of(const tagshelf_handle_ptr& handle) const {
        return m_store.holder_of(static_cast<storage_entry&>(*handle));
    }

private:
    tagshelf_store& m_store;
};

// Holds a store's lock for its life, and counts it among the store locks that this
// thread holds. A thread holding one must not wait for anything that another
// thread may hold while it waits for this store (the service's switch lock): the
// service asks held_by_this_thread() first. Released on the thread that took it.
class store_lock_hold {
public:
    explicit store_lock_hold(tagshelf_store& store);
    store_lock_hold(const store_lock_hold&) = delete;
    store_lock_hold& operator=(const store_lock_hold&) = delete;
    ~store_lock_hold();

    // Whether this thread holds the lock of any store.
    static bool held_by_this_thread();

private:
    tagshelf_store& m_store;
};

// Takes the store lock when created and releases it when destroyed.
class tagshelf_accessor_rdlock : public tagshelf_accessor_plain {
public:
    explicit tagshelf_accessor_rdlock(tagshelf_store& store)
        : tagshelf_accessor_plain(store), m_hold(store) {}

private:
    store_lock_hold m_hold;
};

class tagshelf_accessor_wrlock : public tagshelf_accessor_plain {
public:
    explicit tagshelf_accessor_wrlock(tagshelf_store& store)
        : tagshelf_accessor_plain(store), m_hold(store) {}

private:
    store_lock_hold m_hold;
};
