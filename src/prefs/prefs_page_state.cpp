#include "prefs/prefs_page_state.h"

prefs_page_state& prefs_page() {
    static prefs_page_state state;
    return state;
}
