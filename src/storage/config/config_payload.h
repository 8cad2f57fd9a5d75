// The bytes in which the configuration-file method keeps its store: an entry
// count, then per entry its path, subsong and name/value pairs. Integers are
// unsigned 32-bit little-endian; a string is its byte count followed by its UTF-8
// bytes without terminator.
#pragma once

#include <cstddef>

#include "sdk/abort.h"
#include "sdk/stream.h"
#include "storage/store.h"

// Writes every entry that has fields, in table order; a field with several values
// gives several pairs of the same name. The store is not changed. The caller holds
// the store lock.
void write_config_payload(const tagshelf_store& store, stream_writer& out, abort_callback& abort);

// Replaces the store's content with the payload of at most `size` bytes of `in`;
// `size` must be the number of bytes that `in` really holds, since every
// announced length is believed only as far as it fits in `size`.
// Pairs whose names differ only in letter case gather in one field, spelled as the
// first; a path, name or value ends at its first zero byte. The result is in hash order whatever
// the order of the records, and a location that appears twice keeps its first spelling and takes
// the later record's fields. Every announced length and count is checked against the bytes that
// remain before anything is allocated: a corrupt payload raises exception_io_data. On failure the
// records read so far stay in the store (an announced entry count that cannot fit leaves the store
// untouched). The caller holds the store lock.
void read_config_payload(tagshelf_store& store, stream_reader& in, size_t size,
                         abort_callback& abort);
