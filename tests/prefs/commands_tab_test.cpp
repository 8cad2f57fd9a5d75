// The Context menu commands tab: the quick-tag command list edited in place.
#include <fstream>
#include <iterator>

#include "frame/config_vars.h"
#include "prefs_fixture.h"
#include "quicktag/cfg_quicktag_entries.h"

namespace {

using CommandsTab = prefs_test;

std::vector<std::string> display_names() {
    std::vector<std::string> names;
    for (const auto& entry : cfg_quicktag_entries.entries())
        names.push_back(entry.display_name);
    return names;
}

// Opens the page on a list holding exactly `entries`.
void set_commands(const std::vector<quicktag_entry>& entries) {
    cfg_quicktag_entries.set_entries(entries);
}

const std::vector<quicktag_entry> three = {
    {"Tag Shelf/Charlie", "MOOD", "calm"},
    {"Tag Shelf/Alpha", "RATING", "5"},
    {"Tag Shelf/Bravo", "GENRE", "jazz"},
};

TEST_F(CommandsTab, ListShowsEveryCommandInOrderWithNothingSelected) {
    EXPECT_EQ(lines(IDC_COMMAND_LIST), display_names());
    EXPECT_EQ(lines(IDC_COMMAND_LIST).size(), 8u);
    EXPECT_EQ(selection(IDC_COMMAND_LIST), -1);
    for (int id : {IDC_DISPLAY_NAME, IDC_FIELD_NAME, IDC_VALUE}) {
        EXPECT_FALSE(enabled(id)) << id;
        EXPECT_EQ(text(id), "") << id;
    }
}

TEST_F(CommandsTab, SelectingALineShowsItsCommandForEditing) {
    set_commands(three);
    open_page();
    select(IDC_COMMAND_LIST, 2);
    EXPECT_EQ(text(IDC_DISPLAY_NAME), "Tag Shelf/Bravo");
    EXPECT_EQ(text(IDC_FIELD_NAME), "GENRE");
    EXPECT_EQ(text(IDC_VALUE), "jazz");
    for (int id : {IDC_DISPLAY_NAME, IDC_FIELD_NAME, IDC_VALUE})
        EXPECT_TRUE(enabled(id)) << id;
    // Showing a command is not editing it.
    EXPECT_EQ(cfg_quicktag_entries.entries(), three);
}

TEST_F(CommandsTab, CancellingTheSelectionEmptiesAndLocksTheDetails) {
    set_commands(three);
    open_page();
    select(IDC_COMMAND_LIST, 0);
    select(IDC_COMMAND_LIST, -1);
    for (int id : {IDC_DISPLAY_NAME, IDC_FIELD_NAME, IDC_VALUE}) {
        EXPECT_FALSE(enabled(id)) << id;
        EXPECT_EQ(text(id), "") << id;
        EXPECT_THROW(type(id, "x"), user_action_error) << id;
    }
    EXPECT_EQ(cfg_quicktag_entries.entries(), three);
}

TEST_F(CommandsTab, NewOnAnEmptyListMakesASelectedEditableCommand) {
    set_commands({});
    open_page();
    click(IDC_NEW);
    ASSERT_EQ(cfg_quicktag_entries.get_count(), 1u);
    EXPECT_EQ(cfg_quicktag_entries[0], (quicktag_entry{"Tag Shelf/New Entry", "New field", ""}));
    EXPECT_EQ(lines(IDC_COMMAND_LIST), std::vector<std::string>{"Tag Shelf/New Entry"});
    EXPECT_EQ(selection(IDC_COMMAND_LIST), 0);
    EXPECT_EQ(text(IDC_DISPLAY_NAME), "Tag Shelf/New Entry");
    EXPECT_EQ(text(IDC_FIELD_NAME), "NEW FIELD") << "the field name edit shows upper case";
    EXPECT_EQ(text(IDC_VALUE), "");
    for (int id : {IDC_DISPLAY_NAME, IDC_FIELD_NAME, IDC_VALUE})
        EXPECT_TRUE(enabled(id)) << id;
}

TEST_F(CommandsTab, TypingADisplayNameRenamesTheLineAtOnce) {
    set_commands(three);
    open_page();
    select(IDC_COMMAND_LIST, 1);
    type(IDC_DISPLAY_NAME, "Mine/Great");
    EXPECT_EQ(cfg_quicktag_entries[1].display_name, "Mine/Great");
    EXPECT_EQ(lines(IDC_COMMAND_LIST)[1], "Mine/Great");
    EXPECT_EQ(selection(IDC_COMMAND_LIST), 1);
    EXPECT_EQ(lines(IDC_COMMAND_LIST).size(), 3u);

    type(IDC_DISPLAY_NAME, "");
    EXPECT_EQ(cfg_quicktag_entries[1].display_name, "Tag Shelf/[BLANK!]");
    EXPECT_EQ(lines(IDC_COMMAND_LIST)[1], "Tag Shelf/[BLANK!]");
    EXPECT_EQ(text(IDC_DISPLAY_NAME), "") << "the edit keeps what the user typed";
    EXPECT_EQ(selection(IDC_COMMAND_LIST), 1);
    // The other strings of the command are untouched.
    EXPECT_EQ(cfg_quicktag_entries[1].field_name, "RATING");
    EXPECT_EQ(cfg_quicktag_entries[1].value, "5");
}

TEST_F(CommandsTab, FieldNamesAreStoredInUpperCase) {
    struct row {
        std::string typed;
        std::string shown;
        std::string stored;
    };
    const row rows[] = {
        {"rating", "RATING", "RATING"},
        {"Mood|#genre", "MOOD|#GENRE", "MOOD|#GENRE"},
        {"café", "CAFÉ", "CAFÉ"},
        {"", "", "[BLANK!]"},
    };
    set_commands(three);
    open_page();
    select(IDC_COMMAND_LIST, 0);
    for (const row& r : rows) {
        type(IDC_FIELD_NAME, r.typed);
        EXPECT_EQ(cfg_quicktag_entries[0].field_name, r.stored) << r.typed;
        EXPECT_EQ(text(IDC_FIELD_NAME), r.shown) << r.typed;
    }
    EXPECT_EQ(cfg_quicktag_entries[0].display_name, "Tag Shelf/Charlie");
}

TEST_F(CommandsTab, ValueIsStoredAsTypedLineBreaksIncluded) {
    set_commands(three);
    open_page();
    select(IDC_COMMAND_LIST, 2);
    type(IDC_VALUE, "$if(%RATING%,\r\nyes,no)");
    EXPECT_EQ(cfg_quicktag_entries[2].value, "$if(%RATING%,\r\nyes,no)");
    type(IDC_VALUE, "");
    EXPECT_EQ(cfg_quicktag_entries[2].value, "");
    EXPECT_EQ(lines(IDC_COMMAND_LIST), display_names());
}

TEST_F(CommandsTab, RemoveTakesTheSelectedCommandAndSelectsTheNextOne) {
    struct row {
        int selected;
        std::vector<std::string> left;
        int selected_after;
    };
    const row rows[] = {
        {0, {"Tag Shelf/Alpha", "Tag Shelf/Bravo"}, 0},
        {1, {"Tag Shelf/Charlie", "Tag Shelf/Bravo"}, 1},
        {2, {"Tag Shelf/Charlie", "Tag Shelf/Alpha"}, 1},  // the last: the new last
    };
    for (const row& r : rows) {
        set_commands(three);
        open_page();
        select(IDC_COMMAND_LIST, r.selected);
        click(IDC_REMOVE);
        EXPECT_EQ(display_names(), r.left) << r.selected;
        EXPECT_EQ(lines(IDC_COMMAND_LIST), r.left) << r.selected;
        EXPECT_EQ(selection(IDC_COMMAND_LIST), r.selected_after) << r.selected;
        EXPECT_EQ(text(IDC_DISPLAY_NAME), r.left[size_t(r.selected_after)]) << r.selected;
        EXPECT_TRUE(enabled(IDC_DISPLAY_NAME));
    }
}

TEST_F(CommandsTab, RemovingTheOnlyCommandLeavesTheDetailsEmptyAndLocked) {
    set_commands({three[0]});
    open_page();
    select(IDC_COMMAND_LIST, 0);
    click(IDC_REMOVE);
    EXPECT_EQ(cfg_quicktag_entries.get_count(), 0u);
    EXPECT_TRUE(lines(IDC_COMMAND_LIST).empty());
    EXPECT_EQ(selection(IDC_COMMAND_LIST), -1);
    for (int id : {IDC_DISPLAY_NAME, IDC_FIELD_NAME, IDC_VALUE}) {
        EXPECT_FALSE(enabled(id)) << id;
        EXPECT_EQ(text(id), "") << id;
    }
    click(IDC_REMOVE);  // nothing left to remove
    EXPECT_EQ(cfg_quicktag_entries.get_count(), 0u);
}

TEST_F(CommandsTab, RemoveWithoutASelectionChangesNothing) {
    set_commands(three);
    open_page();
    click(IDC_REMOVE);
    EXPECT_EQ(cfg_quicktag_entries.entries(), three);
    EXPECT_EQ(lines(IDC_COMMAND_LIST), display_names());
}

TEST_F(CommandsTab, SortKeepsTheSelectedLineNumberNotTheCommand) {
    set_commands(three);
    open_page();
    select(IDC_COMMAND_LIST, 0);  // Charlie
    click(IDC_SORT);
    std::vector<std::string> sorted = {"Tag Shelf/Alpha", "Tag Shelf/Bravo", "Tag Shelf/Charlie"};
    EXPECT_EQ(display_names(), sorted);
    EXPECT_EQ(lines(IDC_COMMAND_LIST), sorted);
    EXPECT_EQ(selection(IDC_COMMAND_LIST), 0);
    EXPECT_EQ(text(IDC_DISPLAY_NAME), "Tag Shelf/Alpha");
    EXPECT_EQ(text(IDC_FIELD_NAME), "RATING");
    EXPECT_TRUE(enabled(IDC_VALUE));
}

TEST_F(CommandsTab, ResetAnsweredNoKeepsTheListAndYesRestoresTheDefaults) {
    set_commands(three);
    open_page();
    select(IDC_COMMAND_LIST, 2);
    answer(false);
    click(IDC_RESET);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].caption, "Reset config?");
    EXPECT_EQ(boxes()[0].text, "Warning! This will reset context menu entries. Continue?");
    EXPECT_EQ(boxes()[0].style & MB_TYPEMASK, MB_YESNO);
    EXPECT_EQ(cfg_quicktag_entries.entries(), three);
    EXPECT_EQ(selection(IDC_COMMAND_LIST), 2);

    answer(true);
    click(IDC_RESET);
    EXPECT_EQ(cfg_quicktag_entries.entries(), cfg_quicktag_entries_t::defaults());
    EXPECT_EQ(lines(IDC_COMMAND_LIST), display_names());
    EXPECT_EQ(selection(IDC_COMMAND_LIST), 2) << "the selected line number is still valid";
    EXPECT_EQ(text(IDC_DISPLAY_NAME), "Tag Shelf/Rate 3");
}

TEST_F(CommandsTab, ResetDropsASelectionBeyondTheDefaults) {
    std::vector<quicktag_entry> many(10, three[0]);
    set_commands(many);
    open_page();
    select(IDC_COMMAND_LIST, 9);
    click(IDC_RESET);
    EXPECT_EQ(lines(IDC_COMMAND_LIST).size(), 8u);
    EXPECT_EQ(selection(IDC_COMMAND_LIST), -1);
    EXPECT_FALSE(enabled(IDC_DISPLAY_NAME));
    EXPECT_EQ(text(IDC_DISPLAY_NAME), "");
}

TEST_F(CommandsTab, ExportThenImportBringsBackTheSameCommands) {
    temp_directory folder;
    std::string path = folder.file("mine.qtg");
    set_commands(three);
    open_page();
    answer_file(path);
    click(IDC_EXPORT);
    ASSERT_EQ(file_dialogs().size(), 1u);
    EXPECT_EQ(file_dialogs()[0].title, "Save As");
    EXPECT_TRUE(file_dialogs()[0].save);
    EXPECT_EQ(file_dialogs()[0].filter, "Quick Tag Files (*.qtg)|*.qtg|All Files (*.*)|*.*");
    EXPECT_EQ(file_dialogs()[0].initial_name, "");
    EXPECT_EQ(cfg_qtg_last_path.get(), path);

    cfg_quicktag_entries.reset_to_defaults();
    open_page();
    select(IDC_COMMAND_LIST, 1);
    click(IDC_IMPORT);
    ASSERT_EQ(file_dialogs().size(), 2u);
    EXPECT_EQ(file_dialogs()[1].title, "Import config");
    EXPECT_FALSE(file_dialogs()[1].save);
    EXPECT_EQ(file_dialogs()[1].initial_name, path) << "starts from the file used last";
    EXPECT_EQ(cfg_quicktag_entries.entries(), three);
    EXPECT_EQ(lines(IDC_COMMAND_LIST), display_names());
    // Every line shows another command now: nothing stays selected.
    EXPECT_EQ(selection(IDC_COMMAND_LIST), -1);
    EXPECT_FALSE(enabled(IDC_DISPLAY_NAME));
}

TEST_F(CommandsTab, ExportAddsTheQtgExtensionToANameWithout) {
    temp_directory folder;
    answer_file(folder.file("plain"));
    click(IDC_EXPORT);
    EXPECT_EQ(cfg_qtg_last_path.get(), folder.file("plain.qtg"));
    EXPECT_TRUE(std::ifstream(folder.file("plain.qtg")).good());
}

TEST_F(CommandsTab, ImportOfAForeignFileKeepsListAndSelection) {
    temp_directory folder;
    std::string path = folder.file("foreign.qtg");
    std::ofstream(path, std::ios::binary) << "this is not a command list at all";
    set_commands(three);
    open_page();
    select(IDC_COMMAND_LIST, 1);
    answer_file(path);
    click(IDC_IMPORT);
    EXPECT_EQ(console().back(), "ERROR : invalid file.");
    EXPECT_EQ(cfg_quicktag_entries.entries(), three);
    EXPECT_EQ(lines(IDC_COMMAND_LIST), display_names());
    EXPECT_EQ(selection(IDC_COMMAND_LIST), 1);
    EXPECT_EQ(text(IDC_DISPLAY_NAME), "Tag Shelf/Alpha");
    EXPECT_TRUE(enabled(IDC_DISPLAY_NAME));
}

TEST_F(CommandsTab, CancelledFileDialogsDoNothing) {
    set_commands(three);
    cfg_qtg_last_path = "/somewhere/last.qtg";
    open_page();
    answer_file(std::nullopt);
    click(IDC_IMPORT);
    click(IDC_EXPORT);
    ASSERT_EQ(file_dialogs().size(), 2u);
    EXPECT_EQ(file_dialogs()[0].initial_name, "/somewhere/last.qtg");
    EXPECT_EQ(cfg_quicktag_entries.entries(), three);
    EXPECT_EQ(cfg_qtg_last_path.get(), "/somewhere/last.qtg");
    EXPECT_TRUE(console().empty());
}

TEST_F(CommandsTab, UntickingContextMenuItemsEmptiesTheMenuButKeepsTheList) {
    use_storage(sqlite_storage_guid());
    EXPECT_EQ(menu_commands().size(), 8u);
    click(IDC_CONTEXT_MENU_ENABLED);
    EXPECT_EQ(cfg_context_menu_enabled.get(), 0);
    EXPECT_TRUE(menu_commands().empty());
    EXPECT_EQ(cfg_quicktag_entries.get_count(), 8u);
    click(IDC_CONTEXT_MENU_ENABLED);
    EXPECT_EQ(menu_commands().size(), 8u);
}

TEST_F(CommandsTab, OptionBoxesShowAndChangeTheirSettings) {
    struct row {
        int id;
        cfg_int_t<int32_t>& setting;
    };
    const row rows[] = {
        {IDC_CONTEXT_MENU_ENABLED, cfg_context_menu_enabled},
        {IDC_TITLEFORMAT_VALUES, cfg_titleformat_values},
        {IDC_REMOVE_EMPTY, cfg_remove_empty},
    };
    for (const row& r : rows) {
        for (int32_t stored : {0, 1}) {
            r.setting = stored;
            open_page();
            EXPECT_EQ(checked(r.id), stored != 0) << r.id;
            click(r.id);
            EXPECT_EQ(r.setting.get(), stored ? 0 : 1) << r.id;
        }
    }
}

}  // namespace
