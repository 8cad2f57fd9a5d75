#include "host/core/media_library.h"

#include <algorithm>
#include <sstream>
#include <string>

#include "host/core/profile.h"
#include "sdk/utf8.h"

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

void media_library::move_path(const std::string& from, const std::string& to) {
    for (auto& item : m_items) {
        if (stricmp_utf8(item.get_path(), from.c_str()) == 0) {
            item.set_path(to.c_str());
            m_changed = true;
        }
    }
}

void media_library::remove_path(const std::string& path) {
    auto gone =
        std::remove_if(m_items.begin(), m_items.end(), [&](const playable_location_impl& item) {
            return stricmp_utf8(item.get_path(), path.c_str()) == 0;
        });
    if (gone != m_items.end())
        m_changed = true;
    m_items.erase(gone, m_items.end());
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
