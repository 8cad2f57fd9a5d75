// Walks over a storage's entries that the service's maintenance and switching
// share: listing their tracks, copying everything from one storage into another,
// dropping entries outside the media library, and telling a missing file.
#pragma once

#include <vector>

#include "sdk/abort.h"
#include "sdk/file.h"
#include "sdk/metadb.h"
#include "service/tagshelf.h"
#include "storage/x_info.h"

// Every entry of the storage, listed once, with room reserved from its count.
tagshelf_handle_list list_entries(tagshelf_reader& reader);
// Appends the track of every entry of the storage, in its entry order.
void collect_tracks(tagshelf_reader& reader, metadb_handle_list& tracks);
// Every entry of a storage, read out so that it can be written into another one
// without holding both at once.
struct storage_contents {
    metadb_handle_list tracks;
    std::vector<x_info_impl> fields;
};
storage_contents read_contents(tagshelf_reader& source);
// Replaces the whole content of `target` by `contents`.
void write_contents(tagshelf_reader_writer& target, const storage_contents& contents);
// What library-only pruning does with an entry whose file moved elsewhere in the
// library (see moved_files.h): re-keys it there, or removes it like the others.
enum class moved_files { followed, removed };
// Removes the entries of tracks that are not in the host's media library, walking
// from the last entry to the first; with moved_files::followed, the entries of
// files moved to another library track follow them instead. `changed`, when
// given, receives the tracks of the entries removed or re-keyed and of their new
// places. Answers how many entries followed their files.
size_t prune_non_library(tagshelf_reader_writer& writer, moved_files moved = moved_files::followed,
                         metadb_handle_list* changed = nullptr);
// Tells files that are gone: whether the host's file system says the file at a
// path does not exist. A path no file system of the host handles is not known to
// be missing. The host's file systems are looked up once, not for every path.
class missing_file_test {
public:
    bool operator()(const char* path, abort_callback& abort) const;

private:
    filesystem_list m_filesystems;
};
