#include "support/system_features.h"

const char* missing(system_feature feature) {
    switch (feature) {
        case system_feature::headless_dialogs:
            return "on Windows a dialog is the system's own window, not one of the host's "
                   "headless window layer that this test checks";
        case system_feature::bare_name_default_extension:
            return "Wine's open dialog refuses a bare file name before it tries the default "
                   "extension";
    }
    return nullptr;
}
