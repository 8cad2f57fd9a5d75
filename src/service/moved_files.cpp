#include "service/moved_files.h"

#include <absl/container/flat_hash_map.h>
#include <absl/container/flat_hash_set.h>
#include <absl/container/inlined_vector.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

#include "frame/host_ops.h"
#include "sdk/hash_bytes.h"
#include "sdk/utf8.h"
#include "storage/folded_path.h"

namespace {

// What library tracks and entries are filed under: their folder and file name,
// lower-cased, and their subsong. Equal keys are only likely to mean equal
// names; the names are compared as well.
uint64_t place_key(const playable_location& location) {
    const folded_path folded(folder_and_file(location.get_path()));
    return hash_bytes(folded.view(), location.get_subsong());
}

bool same_place_names(const playable_location& a, const playable_location& b) {
    return a.get_subsong() == b.get_subsong() &&
           stricmp_utf8(folder_and_file(a.get_path()).data(),
                        folder_and_file(b.get_path()).data()) == 0;
}

// The library tracks filed under one key, and which of them have no entry.
struct key_places {
    absl::InlinedVector<metadb_handle_ptr, 1> tracks;
    // Worked out once, for the first entry that looks here.
    bool examined = false;
    // The tracks without fields of their own, each with the handle the storage
    // gave for it, which the entry that moves there fills.
    absl::InlinedVector<std::pair<metadb_handle_ptr, tagshelf_handle_ptr>, 1> free;
};

// An entry of the walk (by its index) that follows its file to a new place.
struct found_move {
    size_t index;
    metadb_handle_ptr track;
    tagshelf_handle_ptr entry;
};

// Finds, for each of `doomed`, its file's one new place, in the order of `doomed`.
// The library is listed once, and only its tracks filed under a key of the
// walk's entries are kept.
std::vector<found_move> find_moves(tagshelf_reader_writer& writer,
                                   const std::vector<tagshelf_handle*>& doomed,
                                   const moved_file_rules& rules) {
    std::vector<uint64_t> keys(doomed.size());
    // The keys sought are tested for every library track: a set of them alone
    // stays small enough to be read from the processor's caches.
    absl::flat_hash_set<uint64_t> sought;
    sought.reserve(doomed.size());
    for (size_t i = 0; i < doomed.size(); ++i) {
        keys[i] = place_key(doomed[i]->get_location());
        sought.insert(keys[i]);
    }
    // The library tracks filed under a sought key, with their keys.
    struct matching_tracks final : library_track_callback {
        const absl::flat_hash_set<uint64_t>& sought;
        std::vector<std::pair<uint64_t, metadb_handle_ptr>> found;
        explicit matching_tracks(const absl::flat_hash_set<uint64_t>& keys) : sought(keys) {}
        void on_track(metadb_handle& track) override {
            const uint64_t key = place_key(track.get_location());
            if (sought.contains(key))
                found.emplace_back(key, &track);
        }
    } matches(sought);
    host_ops::single<library_manager>()->enum_tracks(matches);
    absl::flat_hash_map<uint64_t, key_places> places;
    places.reserve(matches.found.size());
    for (auto& [key, track] : matches.found) {
        auto& tracks = places[key].tracks;
        // A library that lists a track twice offers it once.
        if (std::find(tracks.begin(), tracks.end(), track) == tracks.end())
            tracks.push_back(std::move(track));
    }
    matches.found.clear();

    std::vector<found_move> moves;
    absl::flat_hash_map<const metadb_handle*, size_t> claims;
    for (size_t i = 0; i < doomed.size(); ++i) {
        auto found = places.find(keys[i]);
        if (found == places.end())
            continue;
        key_places& here = found->second;
        if (!here.examined) {
            here.examined = true;
            for (const metadb_handle_ptr& track : here.tracks) {
                tagshelf_handle_ptr entry;
                writer.get_handle(entry, track);
                if (!writer.has_info(entry))
                    here.free.emplace_back(track, std::move(entry));
            }
        }
        const playable_location& old_place = doomed[i]->get_location();
        const std::pair<metadb_handle_ptr, tagshelf_handle_ptr>* only = nullptr;
        size_t count = 0;
        for (const auto& place : here.free) {
            if (!same_place_names(place.first->get_location(), old_place))
                continue;
            only = &place;
            if (++count > 1)
                break;
        }
        if (count != 1)
            continue;
        if (!rules.entries_known_gone && !rules.gone(old_place.get_path()))
            continue;
        if (rules.new_place_must_exist && rules.gone(only->first->get_location().get_path()))
            continue;
        moves.push_back({i, only->first, only->second});
        ++claims[only->first.get_ptr()];
    }
    moves.erase(
        std::remove_if(moves.begin(), moves.end(),
                       [&](const found_move& move) { return claims[move.track.get_ptr()] > 1; }),
        moves.end());
    return moves;
}

void note_changed(metadb_handle_list* changed, tagshelf_handle& entry) {
    if (!changed)
        return;
    metadb_handle_ptr track;
    entry.get_metadb_handle(track);
    if (track)
        changed->add_item(track);
}

}  // namespace

std::string_view folder_and_file(std::string_view path) {
    int separators = 0;
    for (size_t at = path.size(); at-- > 0;) {
        if ((path[at] == '/' || path[at] == '\\') && ++separators == 2)
            return path.substr(at + 1);
    }
    return path;
}

size_t remove_or_follow(tagshelf_reader_writer& writer, const std::vector<tagshelf_handle*>& doomed,
                        const moved_file_rules* rules, metadb_handle_list* changed) {
    std::vector<found_move> moves;
    if (rules && !doomed.empty())
        moves = find_moves(writer, doomed, *rules);
    const size_t followed = moves.size();
    // Walked backwards, as the moves are listed forwards: the next move is the
    // last one left.
    for (size_t i = doomed.size(); i-- > 0;) {
        const tagshelf_handle_ptr entry = doomed[i];
        if (!moves.empty() && moves.back().index == i) {
            const found_move& move = moves.back();
            writer.copy_info(entry, move.entry);
            if (changed)
                changed->add_item(move.track);
            moves.pop_back();
        }
        note_changed(changed, *entry);
        writer.remove_info(entry);
    }
    if (followed == 1) {
        host_ops::console_print("Tag Shelf: 1 entry followed its moved file.");
    } else if (followed > 1) {
        host_ops::console_print("Tag Shelf: " + std::to_string(followed) +
                                " entries followed their moved files.");
    }
    return followed;
}
