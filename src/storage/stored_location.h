// The location of a stored entry: a path kept in the entry's own allocation,
// behind the entry, and a subsong, neither of which ever changes. A store holds
// one per track of a library, so it keeps no length: the path is zero-terminated
// and a caller that needs the length measures it, which costs less than a
// comparison of the path does.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string_view>

#include "sdk/metadb.h"

class stored_location final : public playable_location {
public:
    // `path` must be zero-terminated and outlive the location.
    stored_location(const char* path, uint32_t subsong) : m_path(path), m_subsong(subsong) {}
    stored_location(const stored_location&) = delete;
    stored_location& operator=(const stored_location&) = delete;

    const char* get_path() const override { return m_path; }
    void set_path(const char*) override { throw std::logic_error("This location cannot change."); }
    uint32_t get_subsong() const override { return m_subsong; }
    void set_subsong(uint32_t) override { throw std::logic_error("This location cannot change."); }

    std::string_view path() const { return std::string_view(m_path); }

private:
    const char* const m_path;
    const uint32_t m_subsong;
};
