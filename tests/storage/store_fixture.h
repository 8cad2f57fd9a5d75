// What the store tests share: one in-process host session for the whole test
// program (the component caches the host's track service for its life, so every
// test must talk to the same session), and a fresh store with an accessor per test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "storage/accessors.h"
#include "storage/store.h"
#include "support/test_host.h"

// The host session every test of the program shares, started on first use.
test_host& shared_host();

// The host's track handle for exactly this path and subsong.
metadb_handle_ptr host_track(const std::string& path, uint32_t subsong = 0);

// An x_info_impl built from (name, value) pairs in order; repeated names gather
// their values in one field, as add_value does.
x_info_impl fields_of(std::initializer_list<std::pair<const char*, const char*>> pairs);

// The fields of a set as "NAME=v1|v2;NAME2=v" in field order: one string that
// shows order, spelling and values at once in a failure message.
std::string describe(const x_info& info);

class StoreTest : public ::testing::Test {
protected:
    StoreTest() { shared_host(); }

    // A handle through the writer, as a storage method's own code would get one.
    tagshelf_handle_ptr handle(const std::string& path, uint32_t subsong = 0) {
        tagshelf_handle_ptr out;
        writer->get_handle(out, host_track(path, subsong));
        return out;
    }
    static storage_entry& entry(const tagshelf_handle_ptr& handle) {
        return static_cast<storage_entry&>(*handle);
    }
    // "path#subsong" of every stored entry, in table order.
    std::vector<std::string> stored_locations();
    std::string fields_of_handle(const tagshelf_handle_ptr& handle) {
        x_info_impl info;
        writer->get_info(handle, info);
        return describe(info);
    }

    tagshelf_store store;
    service_ptr_t<tagshelf_reader_writer> writer = make_service<tagshelf_accessor_plain>(store);
};
