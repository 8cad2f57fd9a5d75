// Walks over a storage's entries that the service's maintenance and switching
// share: listing their tracks, copying everything from one storage into another,
// dropping entries outside the media library, and telling a missing file.
#pragma once

#include "sdk/abort.h"
#include "sdk/metadb.h"
#include "service/tagshelf.h"

// Appends the track of every entry of the storage, in its entry order.
void collect_tracks(tagshelf_reader& reader, metadb_handle_list& tracks);
// Replaces the whole content of `target` by a copy of `source`'s entries.
void copy_contents(tagshelf_reader& source, tagshelf_reader_writer& target);
// Removes the entries of tracks that are not in the host's media library, walking
// from the last entry to the first.
void prune_non_library(tagshelf_reader_writer& writer);
// Whether the host's file system says the file at `path` does not exist. A path no
// file system of the host handles is not known to be missing.
bool file_is_missing(const char* path, abort_callback& abort);
