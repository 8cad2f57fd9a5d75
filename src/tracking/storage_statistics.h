// The short report of which storage is active and how much it holds, shown on
// the preferences page under "Active storage:".
#pragma once

#include "sdk/strings.h"

// Replaces `out` with the active method's label, a blank line, and the counts of
// entries and values; "\r\nNone" without storage. Lets no exception escape.
void format_storage_statistics(string_base& out);
