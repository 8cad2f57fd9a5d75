// The General tab: choosing and switching the storage method, clearing and
// cleaning the active storage, and the title-formatting and library options.
#include "frame/config_vars.h"
#include "prefs_fixture.h"
#include "service/tagshelf_impl.h"

namespace {

const std::string sqlite_label = "SQLite database (sonarith\\tagshelf_sqlite.db)";
const std::string text_label = "Text file (sonarith\\tagshelf.txt)";

using GeneralTab = prefs_test;

// The combo box line of a method.
int line_of(const std::vector<std::string>& lines, const std::string& label) {
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] == label)
            return int(i);
    }
    ADD_FAILURE() << "no line " << label;
    return -1;
}

GUID active_storage() {
    return tagshelf_impl::instance().current_storage_guid();
}

TEST_F(GeneralTab, OpensWithStorageOffShowingNoneAndNothingToMaintain) {
    auto methods = lines(IDC_STORAGE_METHOD);
    ASSERT_EQ(methods.size(), 4u);
    EXPECT_EQ(methods[0], "None (disabled)");
    EXPECT_EQ(selection(IDC_STORAGE_METHOD), 0);
    EXPECT_NE(line_of(methods, sqlite_label), -1);
    EXPECT_NE(line_of(methods, text_label), -1);
    EXPECT_NE(line_of(methods, "Sonarith config file"), -1);
    EXPECT_EQ(statistics(), "\nNone");
    for (int id : {IDC_SWITCH, IDC_COPY_DATA, IDC_CLEAR_CONTENTS, IDC_REMOVE_DEAD_ENTRIES})
        EXPECT_FALSE(enabled(id)) << id;
    EXPECT_TRUE(text(IDC_FUNCTION_PROCESSING).find("$shelf_list(X,Y)") != std::string::npos);
}

TEST_F(GeneralTab, OpensOnTheActiveMethodWithItsStatistics) {
    use_storage(sqlite_storage_guid());
    put(track("a.mp3"), "RATING", "5");
    put(track("b.mp3"), "RATING", "3");
    open_page();
    EXPECT_EQ(lines(IDC_STORAGE_METHOD)[size_t(selection(IDC_STORAGE_METHOD))], sqlite_label);
    EXPECT_EQ(statistics(), statistics_of(sqlite_label, 2, 2));
    EXPECT_TRUE(enabled(IDC_CLEAR_CONTENTS));
    EXPECT_TRUE(enabled(IDC_REMOVE_DEAD_ENTRIES));
    EXPECT_FALSE(enabled(IDC_SWITCH));
}

TEST_F(GeneralTab, SwitchAndCopyAreOfferedOnlyWhereTheyApply) {
    struct row {
        bool storage_on;  // the SQLite method active, or none
        std::string chosen;
        bool switch_enabled;
        bool copy_enabled;
    };
    const row rows[] = {
        {true, sqlite_label, false, false},      // the active method: nothing to switch
        {true, text_label, true, true},          // another real method: switch, may copy
        {true, "None (disabled)", true, false},  // nothing to copy into
        {false, text_label, true, false},        // nothing to copy from
        {false, "None (disabled)", false, false},
    };
    for (const row& r : rows) {
        use_storage(r.storage_on ? sqlite_storage_guid() : guid_null);
        open_page();
        select(IDC_STORAGE_METHOD, line_of(lines(IDC_STORAGE_METHOD), r.chosen));
        EXPECT_EQ(enabled(IDC_SWITCH), r.switch_enabled) << r.storage_on << " " << r.chosen;
        EXPECT_EQ(enabled(IDC_COPY_DATA), r.copy_enabled) << r.storage_on << " " << r.chosen;
    }
}

TEST_F(GeneralTab, CopyBoxKeepsItsTickWhileAnotherChoiceDisablesIt) {
    use_storage(sqlite_storage_guid());
    open_page();
    auto methods = lines(IDC_STORAGE_METHOD);
    select(IDC_STORAGE_METHOD, line_of(methods, text_label));
    set_check(IDC_COPY_DATA, true);
    select(IDC_STORAGE_METHOD, 0);
    EXPECT_FALSE(enabled(IDC_COPY_DATA));
    EXPECT_TRUE(checked(IDC_COPY_DATA));
    // Switching to none with the stale tick copies nothing and asks nothing.
    click(IDC_SWITCH);
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(active_storage(), guid_null);
    EXPECT_FALSE(checked(IDC_COPY_DATA));
}

TEST_F(GeneralTab, CopyAnsweredNoChangesNothingAndKeepsTheTick) {
    use_storage(sqlite_storage_guid());
    auto song = track("a.mp3");
    put(song, "RATING", "5");
    open_page();
    select(IDC_STORAGE_METHOD, line_of(lines(IDC_STORAGE_METHOD), text_label));
    set_check(IDC_COPY_DATA, true);
    answer(false);
    click(IDC_SWITCH);

    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].caption, "Copy data?");
    EXPECT_EQ(boxes()[0].text, "All data in target will be lost when copying. Are you sure?");
    EXPECT_EQ(boxes()[0].style & MB_TYPEMASK, MB_YESNO);
    EXPECT_EQ(active_storage(), sqlite_storage_guid());
    EXPECT_EQ(cfg_storage_method.get(), sqlite_storage_guid());
    EXPECT_TRUE(checked(IDC_COPY_DATA));
    EXPECT_TRUE(enabled(IDC_SWITCH));
    EXPECT_EQ(value(song, "RATING"), "5");
}

TEST_F(GeneralTab, SwitchWithCopyCarriesTheDataAndShowsTheNewMethod) {
    use_storage(sqlite_storage_guid());
    auto song = track("a.mp3");
    put(song, "RATING", "5");
    open_page();
    select(IDC_STORAGE_METHOD, line_of(lines(IDC_STORAGE_METHOD), text_label));
    set_check(IDC_COPY_DATA, true);
    click(IDC_SWITCH);

    EXPECT_EQ(active_storage(), text_storage_guid());
    EXPECT_EQ(cfg_storage_method.get(), text_storage_guid());
    EXPECT_EQ(value(song, "RATING"), "5");
    EXPECT_EQ(statistics(), statistics_of(text_label, 1, 1));
    EXPECT_EQ(lines(IDC_STORAGE_METHOD)[size_t(selection(IDC_STORAGE_METHOD))], text_label);
    EXPECT_FALSE(checked(IDC_COPY_DATA));
    EXPECT_FALSE(enabled(IDC_COPY_DATA));
    EXPECT_FALSE(enabled(IDC_SWITCH));
}

TEST_F(GeneralTab, SwitchToNoneTurnsStorageOffAndTheMenuCommandsGo) {
    use_storage(sqlite_storage_guid());
    open_page();
    EXPECT_EQ(menu_commands().size(), 8u);
    select(IDC_STORAGE_METHOD, 0);
    click(IDC_SWITCH);

    EXPECT_EQ(active_storage(), guid_null);
    EXPECT_EQ(cfg_storage_method.get(), guid_null);
    EXPECT_TRUE(menu_commands().empty());
    EXPECT_EQ(statistics(), "\nNone");
    EXPECT_EQ(selection(IDC_STORAGE_METHOD), 0);
    EXPECT_FALSE(enabled(IDC_CLEAR_CONTENTS));
    EXPECT_FALSE(enabled(IDC_REMOVE_DEAD_ENTRIES));
}

TEST_F(GeneralTab, ClearContentsEmptiesTheStoreOnlyWhenConfirmed) {
    for (bool yes : {false, true}) {
        use_storage(sqlite_storage_guid());
        auto song = track("a.mp3");
        put(song, "RATING", "5");
        put(song, "MOOD", "calm");
        open_page();
        answer(yes);
        size_t asked = boxes().size();
        click(IDC_CLEAR_CONTENTS);

        ASSERT_EQ(boxes().size(), asked + 1);
        EXPECT_EQ(boxes().back().caption, "Clear storage?");
        EXPECT_EQ(boxes().back().text,
                  "Are you sure you want to remove all data from the current storage?");
        EXPECT_EQ(statistics(), statistics_of(sqlite_label, yes ? 0 : 1, yes ? 0 : 2)) << yes;
        EXPECT_EQ(value(song, "RATING"), yes ? "(none)" : "5");
        EXPECT_EQ(active_storage(), sqlite_storage_guid()) << "clearing keeps the method";
    }
}

TEST_F(GeneralTab, RemoveDeadEntriesRemovesOnlyMissingFilesAndRefreshesEitherWay) {
    for (bool yes : {false, true}) {
        use_storage(sqlite_storage_guid());
        auto gone = track("gone.mp3");
        auto here = track("here.mp3", true);
        put(gone, "RATING", "1");
        put(here, "RATING", "2");
        open_page();
        // Written after the page was filled: only a refresh of the tab shows it.
        put(track("late.mp3", true), "RATING", "3");
        answer(yes);
        size_t asked = boxes().size();
        click(IDC_REMOVE_DEAD_ENTRIES);

        ASSERT_EQ(boxes().size(), asked + 1);
        EXPECT_EQ(boxes().back().caption, "Remove dead entries?");
        EXPECT_EQ(boxes().back().text,
                  "This will remove all tagshelf entries for which no file exists anymore. Are "
                  "you sure you want to do this?");
        EXPECT_EQ(value(gone, "RATING"), yes ? "(none)" : "1");
        EXPECT_EQ(value(here, "RATING"), "2");
        EXPECT_EQ(statistics(), statistics_of(sqlite_label, yes ? 2 : 3, yes ? 2 : 3)) << yes;
    }
}

TEST_F(GeneralTab, OptionBoxesShowAndChangeTheirSettings) {
    struct row {
        int id;
        cfg_int_t<int32_t>& setting;
    };
    const row rows[] = {
        {IDC_FIELD_PROCESSING, cfg_field_processing},
        {IDC_FUNCTION_PROCESSING, cfg_function_processing},
        {IDC_LIBRARY_ONLY, cfg_library_only},
    };
    for (const row& r : rows) {
        r.setting = 0;
        open_page();
        EXPECT_FALSE(checked(r.id)) << r.id;
        click(r.id);
        EXPECT_EQ(r.setting.get(), 1) << r.id;
        click(r.id);
        EXPECT_EQ(r.setting.get(), 0) << r.id;
    }
}

TEST_F(GeneralTab, TitleFormattingOptionsRedrawTracksWithEntriesAndLibraryOptionDoesNot) {
    use_storage(sqlite_storage_guid());
    put(track("a.mp3"), "RATING", "5");
    open_page();
    for (int id : {IDC_FIELD_PROCESSING, IDC_FUNCTION_PROCESSING, IDC_LIBRARY_ONLY}) {
        size_t before = session().refreshes().log().size();
        click(id);
        const auto& log = session().refreshes().log();
        if (id == IDC_LIBRARY_ONLY) {
            EXPECT_EQ(log.size(), before);
        } else {
            ASSERT_EQ(log.size(), before + 1) << id;
            ASSERT_EQ(log.back().size(), 1u);
            EXPECT_NE(std::string(log.back()[0].get_path()).find("a.mp3"), std::string::npos);
        }
    }
}

}  // namespace
