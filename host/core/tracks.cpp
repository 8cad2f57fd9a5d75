#include "host/core/tracks.h"

#include <cstdio>
#include <filesystem>

#include "host/core/folded_hash.h"
#include "sdk/hash_bytes.h"

namespace fs = std::filesystem;

bool host_track::format_title(titleformat_hook* hook, string_base& out,
                              const service_ptr_t<titleformat_object>& script) {
    if (!m_formatter || !*m_formatter || !script)
        return false;
    return (*m_formatter)(this, hook, out, script);
}

size_t host_track::folded_hash() const {
    // Threads that meet an unknown hash each work it out; they store the same value.
    if (!m_folded_hash_known.load(std::memory_order_acquire)) {
        m_folded_hash.store(folded_path_hash(m_location.get_path()), std::memory_order_relaxed);
        m_folded_hash_known.store(true, std::memory_order_release);
    }
    return m_folded_hash.load(std::memory_order_relaxed);
}

void track_database::handle_create(metadb_handle_ptr& out, const playable_location& location) {
    out = track(location);
}

service_ptr_t<host_track> host_track::make(std::string_view path, uint32_t subsong,
                                           const track_formatter* formatter) {
    return service_ptr_t<host_track>(
        new_with_path_behind<service_impl_t<host_track>>(path, subsong, formatter));
}

metadb_handle_ptr track_database::track(const playable_location& location) {
    return host_track_for(location.get_path(), location.get_subsong());
}

size_t track_database::spelling_hash::operator()(const spelling& key) const {
    return size_t(hash_bytes(key.path, key.subsong));
}

size_t track_database::spelling_hash::operator()(const service_ptr_t<host_track>& track) const {
    return (*this)(spelling_of(*track));
}

bool track_database::spelling_equal::operator()(const service_ptr_t<host_track>& a,
                                                const service_ptr_t<host_track>& b) const {
    return (*this)(a, spelling_of(*b));
}

bool track_database::spelling_equal::operator()(const service_ptr_t<host_track>& track,
                                                const spelling& key) const {
    const spelling held = spelling_of(*track);
    return held.subsong == key.subsong && held.path == key.path;
}

service_ptr_t<host_track> track_database::host_track_for(std::string_view path, uint32_t subsong) {
    std::lock_guard<std::mutex> guard(m_lock);
    auto found = m_tracks.find(spelling{path, subsong});
    if (found != m_tracks.end())
        return *found;
    auto made = host_track::make(path, subsong, &m_formatter);
    m_tracks.insert(made);
    return made;
}

void refresh_service::dispatch_refresh(const list_base_const_t<metadb_handle_ptr>& tracks) {
    if (!m_verbose && !m_keep_log)
        return;
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_verbose) {
        std::fprintf(stderr, "[host] refresh %zu track(s)", tracks.get_count());
        for (size_t i = 0; i < tracks.get_count(); ++i)
            std::fprintf(stderr, " %s", describe_location(tracks[i]->get_location()).c_str());
        std::fprintf(stderr, "\n");
    }
    if (m_keep_log) {
        std::vector<playable_location_impl> named;
        named.reserve(tracks.get_count());
        for (size_t i = 0; i < tracks.get_count(); ++i)
            named.emplace_back(tracks[i]->get_location());
        m_log.push_back(std::move(named));
    }
}

std::string to_host_path(const std::string& file_path) {
    if (file_path.rfind("file://", 0) == 0)
        return file_path;
    return "file://" + fs::absolute(fs::u8path(file_path)).lexically_normal().u8string();
}

std::string to_file_path(const std::string& host_path) {
    return host_path.rfind("file://", 0) == 0 ? host_path.substr(7) : host_path;
}

playable_location_impl parse_track_argument(const std::string& argument) {
    std::string path = argument;
    uint32_t subsong = 0;
    size_t hash = argument.rfind('#');
    if (hash != std::string::npos && hash + 1 < argument.size() &&
        argument.find_first_not_of("0123456789", hash + 1) == std::string::npos &&
        argument.size() - hash - 1 <= 10) {
        unsigned long long n = std::stoull(argument.substr(hash + 1));
        if (n <= 0xFFFFFFFFull) {
            subsong = uint32_t(n);
            path = argument.substr(0, hash);
        }
    }
    return playable_location_impl(to_host_path(path), subsong);
}

std::string describe_location(const playable_location& location) {
    std::string text = to_file_path(location.get_path());
    if (location.get_subsong() != 0)
        text += "#" + std::to_string(location.get_subsong());
    return text;
}
