// Lets a long operation be cancelled. Callers that never cancel pass
// abort_callback_dummy.
#pragma once

#include "sdk/exceptions.h"

class abort_callback {
public:
    virtual bool is_aborting() const = 0;
    void check() const {
        if (is_aborting())
            throw exception_aborted();
    }

protected:
    ~abort_callback() = default;
};

class abort_callback_dummy final : public abort_callback {
public:
    bool is_aborting() const override { return false; }
};
