// The ".qtg" exchange file: the whole quick-tag command list behind a 16-byte
// header, exported and imported from the preferences page. Failures are printed on
// the host console ("ERROR : ..."), never shown in a message box.
#pragma once

#include "sdk/guid.h"

// The header that opens every exchange file, in the standard GUID byte layout.
inline constexpr GUID qtg_file_header = {
    0x005BE01A, 0x9AA1, 0x45AC, {0xAF, 0x2D, 0x45, 0x43, 0x2F, 0x7A, 0x8C, 0xAE}};

// Writes the command list to `path`, replacing any file there only once the new
// one is complete: a failed export leaves the file at `path` as it was. Remembers
// the path as the last exchange file once the file was opened. True when every
// byte was written.
bool quicktag_export(const char* path);

// Replaces the command list by the one in the file at `path`. The list changes
// only when the whole file was read; a missing file, a foreign header or damaged
// data leave it as it was. Remembers the path once the file was opened. True when
// the list was replaced.
bool quicktag_import(const char* path);
