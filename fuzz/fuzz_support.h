// Shared by the fuzz targets: a file in memory, one in-process host session with
// the component started (made on first use, kept for the whole run), and a
// description of a store's content that two loads can be compared by.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/core/host_session.h"
#include "sdk/file.h"
#include "storage/store.h"

// A file whose bytes live in memory; made with make_service.
class memory_file : public file {
public:
    memory_file() = default;
    memory_file(const uint8_t* data, size_t size) : m_bytes(data, data + size) {}

    size_t read(void* buffer, size_t size, abort_callback& abort) override;
    void write(const void* buffer, size_t size, abort_callback& abort) override;
    uint64_t get_size(abort_callback&) override { return m_bytes.size(); }
    uint64_t get_position(abort_callback&) override { return m_position; }
    void seek(uint64_t position, abort_callback& abort) override;
    void flush(abort_callback&) override {}

    const std::vector<uint8_t>& bytes() const { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
    size_t m_position = 0;
};

// The host session every target that needs host services shares: a fresh
// profile under the temporary folder, the component linked in and started.
host_session& fuzz_host();

// Every entry of `store` that has fields, in table order, with its location and
// fields; equal for two stores that hold the same.
std::string describe(const tagshelf_store& store);

// Stops the run with a report when a check fails: libFuzzer keeps the input.
void fuzz_check(bool condition, const char* what);
