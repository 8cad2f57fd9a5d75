// Follows the files the host moves or deletes: their entries are re-keyed or
// removed. Copies get no fields.
#pragma once

#include "sdk/file_operation_callback.h"

class my_file_operation_callback : public file_operation_callback {
public:
    void files_deleted(const path_list& items) override;
    void files_moved(const path_list& from, const path_list& to) override;
    void files_copied(const path_list& from, const path_list& to) override;

    static service_impl_single_t<my_file_operation_callback>& instance();
};
