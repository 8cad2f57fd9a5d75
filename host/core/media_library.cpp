#include "host/core/media_library.h"

#include <algorithm>
#include <sstream>
#include <string>

#include "host/core/profile.h"

bool media_library::is_item_in_library(const metadb_handle_ptr& track) {
    return track.is_valid() && contains(track->get_location());
}

bool media_library::contains(const playable_location& location) const {
    return std::any_of(m_items.begin(), m_items.end(),
                       [&](const playable_location_impl& item) { return item.equals(location); });
}

bool media_library::add(const playable_location& location) {
    if (contains(location))
        return false;
    m_items.emplace_back(location);
    m_changed = true;
    return true;
}

bool media_library::remove(const playable_location& location) {
    auto it = std::find_if(m_items.begin(), m_items.end(), [&](const playable_location_impl& item) {
        return item.equals(location);
    });
    if (it == m_items.end())
        return false;
    m_items.erase(it);
    m_changed = true;
    return true;
}

void media_library::load(const std::string& file) {
    m_items.clear();
    auto data = read_whole_file(file);
    if (!data)
        return;
    std::istringstream lines(std::string(data->begin(), data->end()));
    std::string line;
    while (std::getline(lines, line)) {
        size_t tab = line.find('\t');
        if (tab == std::string::npos)
            continue;
        try {
            unsigned long long subsong = std::stoull(line.substr(0, tab));
            m_items.emplace_back(line.substr(tab + 1), uint32_t(subsong));
        } catch (const std::exception&) {
            // A damaged line is skipped; the rest of the library still loads.
        }
    }
    m_changed = false;
}

void media_library::save(const std::string& file) const {
    std::string text;
    for (const auto& item : m_items) {
        text += std::to_string(item.get_subsong()) + "\t" + item.path() + "\n";
    }
    write_file_atomically(file, text);
}
