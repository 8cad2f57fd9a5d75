// Entries of files moved outside the player. A walk that is about to remove
// entries (their tracks left the media library, or their files are gone) first
// asks whether each one's file went somewhere the library now lists: exactly one
// library track without an entry of its own, with the same subsong and the same
// folder name and file name (without regard to letter case). Such an entry is
// re-keyed there, as a move notification re-keys it; with no such track, or more
// than one, it is removed as before. A new place that two of the walk's entries
// would take is taken by neither.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "sdk/metadb.h"
#include "service/tagshelf.h"

// How a walk tells that an entry's file moved.
struct moved_file_rules {
    // Whether the host's file system says that the file at a path is gone.
    std::function<bool(const char* path)> gone;
    // The walk's entries are known to have lost their files; otherwise only an
    // entry whose file is gone may follow it (an existing file is outside the
    // library by the user's choice).
    bool entries_known_gone = false;
    // The new place must hold a file: a walk that removes entries of missing
    // files keeps none at another missing file.
    bool new_place_must_exist = false;
};

// The folder name and file name of a path: the part behind the separator in
// front of the folder ('/' or '\'), or the whole path when it has no such separator.
std::string_view folder_and_file(std::string_view path);

// Removes `doomed`, entries of `writer`'s storage listed in entry order, from the
// last to the first, except that each entry whose file moved (per `rules`, when
// given) is re-keyed to its new place: the new place's entry takes its fields in
// their order, and it goes. Says on the console how many followed their files,
// when any did, and answers that number. `changed`, when given, receives the
// track of every entry removed and of every new place. Raises what the storage
// raises; what was changed before stays changed.
size_t remove_or_follow(tagshelf_reader_writer& writer, const std::vector<tagshelf_handle*>& doomed,
                        const moved_file_rules* rules, metadb_handle_list* changed);
