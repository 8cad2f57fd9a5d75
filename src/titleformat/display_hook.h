// Makes stored fields visible to title formatting: %RATING% gives the first value
// of the track's field RATING, and $shelf, $shelf_num, $shelf_sep and $shelf_list
// reach every value.
#pragma once

#include "sdk/titleformat.h"

// Tags every text the component hands to title formatting.
inline constexpr GUID tagshelf_input_type = {
    0x673AA1CD, 0xA7A8, 0x40C8, {0xBF, 0x9B, 0x34, 0x37, 0x99, 0x29, 0x16, 0x3B}};

class tagshelf_display_hook : public metadb_display_hook {
public:
    // Answers a field reference with the first stored value of that field; declines
    // (false) when the option is off, no storage is active, or the track has no
    // such field.
    bool resolve_field(metadb_handle* track, titleformat_text_out* out, const char* name,
                       size_t name_length, bool& found) override;
    // Answers $shelf, $shelf_num, $shelf_sep and $shelf_list.
    bool resolve_function(metadb_handle* track, titleformat_text_out* out, const char* name,
                          size_t name_length, titleformat_hook_function_params* params,
                          bool& found) override;

    static service_impl_single_t<tagshelf_display_hook>& instance();
};
