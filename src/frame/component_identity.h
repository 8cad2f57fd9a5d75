// The component's name, version and about text: the version record reports
// them, and the Windows version resource shows them in the file's Properties.
// Plain macros, so that the resource compiler reads this file too.
#pragma once

#define TAGSHELF_COMPONENT_NAME "snr_tagshelf"
#define TAGSHELF_COMPONENT_VERSION "0.1.2"
#define TAGSHELF_COMPONENT_VERSION_NUMBERS 0, 1, 2, 0
#define TAGSHELF_COMPONENT_ABOUT "Allows database-only info fields, without modifying files.\n"
