// The host's context menu for tracks, as components take part in it. A provider
// (a `contextmenu_item` service) publishes numbered commands; for each one the host
// asks for its menu path, name, GUID and description, makes a node object to show
// it for the current selection, and executes that node when the user picks it.
#pragma once

#include <cstddef>

#include "sdk/lists.h"
#include "sdk/metadb.h"
#include "sdk/service.h"
#include "sdk/strings.h"

// The tracks a command acts on: the host's selection.
using contextmenu_tracks = list_base_const_t<metadb_handle_ptr>;

// One entry of the menu as the host builds it: a command, a group of nodes or a
// separator. The host owns the nodes a provider hands out and deletes them when
// the menu goes.
class contextmenu_item_node {
public:
    enum t_type { type_group, type_command, type_separator };
    // Display flags a node may set.
    static constexpr unsigned flag_checked = 1;
    static constexpr unsigned flag_grayed = 2;

    virtual ~contextmenu_item_node() = default;

    // The text shown for this selection in `out`; false hides the node.
    virtual bool get_display_data(string_base& out, unsigned& flags,
                                  const contextmenu_tracks& tracks, const GUID& caller) = 0;
    virtual t_type get_type() = 0;
    // Runs the command on the selection.
    virtual void execute(const contextmenu_tracks& tracks, const GUID& caller) = 0;
    virtual size_t get_children_count() = 0;
    // Child `index` of a group, owned by the group; null for other nodes.
    virtual contextmenu_item_node* get_child(size_t index) = 0;
    // One line for the status bar; false when there is none.
    virtual bool get_description(string_base& out) = 0;
    // Tells nodes of one command apart; the all-zero GUID for a command's own node.
    virtual GUID get_guid() = 0;
    // Whether the user may bind a keyboard shortcut to this node.
    virtual bool is_mappable_shortcut() = 0;
};

// The node a provider hands out for one of its commands.
class contextmenu_item_node_root : public contextmenu_item_node {};

// A root node that is a command without children.
class contextmenu_item_node_root_leaf : public contextmenu_item_node_root {
public:
    t_type get_type() override { return type_command; }
    size_t get_children_count() override { return 0; }
    contextmenu_item_node* get_child(size_t) override { return nullptr; }
};

// A provider of context-menu commands for tracks.
class contextmenu_item : public service_base {
public:
    using interface_type = contextmenu_item;
    using parent_class = service_base;
    static constexpr GUID class_guid = {
        0x1C0802F7, 0xCF24, 0x49EF, {0xB9, 0x14, 0x8B, 0x98, 0x66, 0xF1, 0x97, 0x79}};

    // Values of item_default_state.
    static constexpr unsigned default_state_hidden = 0;
    static constexpr unsigned default_state_shown = 2;

    // Number of commands; the host asks again every time it builds the menu.
    virtual unsigned item_count() = 0;
    // A new node for command `index`; the caller owns it.
    virtual contextmenu_item_node_root* item_node(unsigned index) = 0;
    // Identifies command `index` across sessions (keyboard shortcuts, menu layout).
    virtual GUID item_guid(unsigned index) = 0;
    // The command's own name, shown as the menu entry.
    virtual void item_name(unsigned index, string_base& out) = 0;
    // The submenus the command sits in, "/"-separated; empty for the top level.
    virtual void item_path(unsigned index, string_base& out) = 0;
    virtual bool item_description(unsigned index, string_base& out) = 0;
    virtual unsigned item_default_state(unsigned index) = 0;
    // Executes the node of command `index` whose GUID is `node`.
    virtual void execute_item_node(unsigned index, const GUID& node,
                                   const contextmenu_tracks& tracks, const GUID& caller) = 0;
    virtual bool item_allows_shortcut(unsigned index) = 0;

protected:
    ~contextmenu_item() = default;
};

// A provider whose every command is one plain entry: it supplies the display and
// execution of each command, and this base makes the nodes that forward to them.
class contextmenu_item_simple : public contextmenu_item {
public:
    // The node of one command: it keeps the provider alive while the host holds it.
    class contextmenu_item_node_impl final : public contextmenu_item_node_root_leaf {
    public:
        contextmenu_item_node_impl(contextmenu_item_simple* owner, unsigned index)
            : m_owner(owner), m_index(index) {}

        bool get_display_data(string_base& out, unsigned& flags, const contextmenu_tracks& tracks,
                              const GUID& caller) override {
            return m_owner->item_display(m_index, tracks, out, flags, caller);
        }
        void execute(const contextmenu_tracks& tracks, const GUID& caller) override {
            m_owner->execute_item(m_index, tracks, caller);
        }
        bool get_description(string_base& out) override {
            return m_owner->item_description(m_index, out);
        }
        GUID get_guid() override { return guid_null; }
        bool is_mappable_shortcut() override { return m_owner->item_allows_shortcut(m_index); }

    private:
        service_ptr_t<contextmenu_item_simple> m_owner;
        unsigned m_index;
    };

    contextmenu_item_node_root* item_node(unsigned index) override {
        return new contextmenu_item_node_impl(this, index);
    }
    // Only the command's own node exists; it has the all-zero GUID.
    void execute_item_node(unsigned index, const GUID& node, const contextmenu_tracks& tracks,
                           const GUID& caller) override {
        if (node == guid_null)
            execute_item(index, tracks, caller);
    }
    bool item_allows_shortcut(unsigned) override { return true; }

    // The text shown for command `index` with this selection; false hides it.
    virtual bool item_display(unsigned index, const contextmenu_tracks& tracks, string_base& out,
                              unsigned& flags, const GUID& caller) = 0;
    virtual void execute_item(unsigned index, const contextmenu_tracks& tracks,
                              const GUID& caller) = 0;
    // The command's name for lists of commands (keyboard shortcut settings, say).
    virtual bool item_display_name(unsigned index, const contextmenu_tracks& tracks,
                                   string_base& out, unsigned& flags, const GUID& caller) = 0;

protected:
    ~contextmenu_item_simple() = default;
};
