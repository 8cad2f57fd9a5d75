// The component's persistent settings.
#pragma once

#include <cstdint>

#include "frame/cfg_var.h"

class cfg_storage_content;

// Non-zero: the quick-tag commands appear in the track context menu.
extern cfg_int_t<int32_t> cfg_context_menu_enabled;
// Non-zero: a quick-tag value is a title-formatting script evaluated per track.
extern cfg_int_t<int32_t> cfg_titleformat_values;
// Non-zero: a quick tag whose value comes out empty removes the field.
extern cfg_int_t<int32_t> cfg_remove_empty;
// The preferences tab shown last: 0 "General", 1 "Context menu commands".
extern cfg_int_t<int32_t> cfg_prefs_last_tab;
// The quick-tag exchange file used last.
extern cfg_string cfg_qtg_last_path;
// Non-zero: stored fields answer plain title-formatting fields such as %RATING%.
extern cfg_int_t<int32_t> cfg_field_processing;
// Non-zero: the $shelf title-formatting functions are answered.
extern cfg_int_t<int32_t> cfg_function_processing;
// Non-zero: entries of tracks outside the media library are removed whenever a
// storage is opened or switched to.
extern cfg_int_t<int32_t> cfg_library_only;
// The configured storage method; the null GUID means no storage.
extern cfg_int_t<GUID> cfg_storage_method;
// The whole store of the configuration-file storage method.
extern cfg_storage_content custom_data_loader_saver;
