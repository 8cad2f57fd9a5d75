// Publishes the quick-tag command list as commands of the host's track context
// menu and runs them on the selection. Command i is entry i of the list, read live,
// so edits take effect the next time the host builds its menu. The commands are
// hidden while no storage is active or the menu option is off.
#pragma once

#include "sdk/contextmenu.h"

class contextmenu_quicktag : public contextmenu_item_simple {
public:
    unsigned item_count() override;
    // Derived from the display name's bytes through the host's hashing service:
    // equal names give equal GUIDs, and renaming a command gives it a new one.
    GUID item_guid(unsigned index) override;
    void item_name(unsigned index, string_base& out) override;
    void item_path(unsigned index, string_base& out) override;
    // "FIELD=VALUE" as the command stores them.
    bool item_description(unsigned index, string_base& out) override;
    unsigned item_default_state(unsigned index) override;
    bool item_display(unsigned index, const contextmenu_tracks& tracks, string_base& out,
                      unsigned& flags, const GUID& caller) override;
    void execute_item(unsigned index, const contextmenu_tracks& tracks,
                      const GUID& caller) override;
    bool item_display_name(unsigned index, const contextmenu_tracks& tracks, string_base& out,
                           unsigned& flags, const GUID& caller) override;

protected:
    ~contextmenu_quicktag() = default;
};

// The one instance the component registers.
service_impl_single_t<contextmenu_quicktag>& contextmenu_quicktag_instance();
