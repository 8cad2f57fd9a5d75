// Keeps entries in step with files the host moved or deleted. Both walks use one
// writer of the tagshelf service per notification and match paths through a set
// of lower-cased paths, so a notification costs about entries plus paths rather
// than entries times paths.
#pragma once

#include "sdk/file_operation_callback.h"

// Re-keys the entries of every moved file (each subsong keeps its index) to the
// target path in the host's canonical form. A target's own fields are replaced.
// Raises on storage failure; does nothing without an active storage.
void move_entries(const path_list& from, const path_list& to);

// Removes every entry of the deleted files. Raises on storage failure; does nothing
// without an active storage.
void delete_entries(const path_list& items);
