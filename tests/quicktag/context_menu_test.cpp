// The quick-tag commands in the host's track context menu: what the menu shows and
// what running a command writes, through the real host's menu, title formatting
// and the component's tagshelf service.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/config_vars.h"
#include "frame/host_ops.h"
#include "host/core/context_menu.h"
#include "quicktag/cfg_quicktag_entries.h"
#include "quicktag/run_quicktag_command.h"
#include "sdk/hasher.h"
#include "service/tagshelf.h"
#include "service/tagshelf_impl.h"
#include "support/test_host.h"

namespace {

using values = std::vector<std::string>;

// The text-file method, which keeps its file in the profile.
const GUID text_storage = {
    0x55F4AA48, 0x445B, 0x4CD1, {0xB4, 0x9B, 0x97, 0xB2, 0xA9, 0x4B, 0x3B, 0x96}};

// The component's state lives as long as the module: ctest runs each test in a
// process of its own.
class QuickTagMenu : public ::testing::Test {
protected:
    QuickTagMenu() : host(false) {
        cfg_storage_method = text_storage;
        host.session().start();
    }
    ~QuickTagMenu() override {
        cfg_quicktag_entries.reset_to_defaults();
        cfg_context_menu_enabled = 1;
        cfg_titleformat_values = 1;
        cfg_remove_empty = 0;
    }

    service_ptr_t<tagshelf> shelf() { return host_ops::find_single<tagshelf>(); }

    values field(const metadb_handle_ptr& track, const char* name) {
        service_ptr_t<tagshelf_reader> reader;
        EXPECT_TRUE(shelf()->get_reader(reader));
        if (!reader)
            return {};
        tagshelf_handle_ptr handle;
        reader->get_handle(handle, track);
        values found;
        for (size_t i = 0, n = reader->get_value_count(handle, name); i < n; ++i) {
            string8 value;
            reader->get_value(handle, name, i, value);
            found.push_back(value.str());
        }
        return found;
    }
    void set_field(const metadb_handle_ptr& track, const char* name, const values& content) {
        service_ptr_t<tagshelf_reader_writer> writer;
        ASSERT_TRUE(shelf()->get_writer(writer));
        tagshelf_handle_ptr handle;
        writer->get_handle(handle, track);
        writer->remove_field(handle, name);
        for (const auto& value : content)
            writer->add_value(handle, name, value.c_str());
    }

    // Picks a command from the host's context menu with `tracks` selected.
    void pick(const std::string& command, const metadb_handle_list& tracks) {
        run_context_menu_command(host.session().registry(), command, tracks);
    }
    // Adds a command of the user's own and answers its menu name.
    std::string add_command(const std::string& field_names, const std::string& value) {
        std::string name = "Test/Command " + std::to_string(cfg_quicktag_entries.get_count());
        cfg_quicktag_entries.add_item({name, field_names, value});
        return name;
    }
    std::vector<std::string> menu() {
        std::vector<std::string> names;
        for (const auto& command : context_menu_commands(host.session().registry()))
            names.push_back(command.full_name());
        return names;
    }
    const std::vector<std::string>& console() { return host.session().console().lines(); }

    test_host host;
    metadb_handle_ptr a = host.track("a.flac");
    metadb_handle_ptr b = host.track("b.flac");
    metadb_handle_ptr c = host.track("c.mp3", 2);
};

TEST_F(QuickTagMenu, MenuShowsTheDefaultCommandsWithTheirDescriptions) {
    auto commands = context_menu_commands(host.session().registry());
    ASSERT_EQ(commands.size(), 8u);
    EXPECT_EQ(commands[0].path, "Tag Shelf");
    EXPECT_EQ(commands[0].name, "Rate 5");
    EXPECT_EQ(commands[0].description, "RATING=5");
    EXPECT_EQ(commands[6].full_name(), "Tag Shelf/Rate +1");
    EXPECT_EQ(commands[6].description, "RATING=$add(%RATING%,1)");
    auto provider = commands[0].provider;
    EXPECT_EQ(provider->item_default_state(0), contextmenu_item::default_state_shown);
    EXPECT_TRUE(provider->item_allows_shortcut(0));
}

TEST_F(QuickTagMenu, MenuIsEmptyWhileTheOptionIsOffOrNoStorageIsActive) {
    cfg_context_menu_enabled = 0;
    EXPECT_TRUE(menu().empty());
    cfg_context_menu_enabled = 1;
    EXPECT_EQ(menu().size(), 8u);
    tagshelf_impl::instance().switch_storage(guid_null, false, false, false);
    EXPECT_TRUE(menu().empty()) << "storage \"None (disabled)\"";
}

TEST_F(QuickTagMenu, MenuFollowsEditsOfTheCommandList) {
    cfg_quicktag_entries.set_entries({{"Rate", "RATING", "1"}, {"/Top", "X", ""}});
    EXPECT_EQ(menu(), (std::vector<std::string>{"Rate", "Top"}))
        << "a name without a menu path sits at the top level";
}

TEST_F(QuickTagMenu, CommandGuidIsTheDigestOfItsDisplayName) {
    cfg_quicktag_entries.set_entries({{"Tag Shelf/Rate 3", "RATING", "3"},
                                      {"Tag Shelf/Rate 3", "MOOD", "x"},
                                      {"Tag Shelf/Rate 4", "RATING", "3"}});
    auto commands = context_menu_commands(host.session().registry());
    ASSERT_EQ(commands.size(), 3u);
    std::string name = "Tag Shelf/Rate 3";
    hasher_result digest =
        host_ops::find_single<hasher>()->process_single(name.data(), name.size());
    EXPECT_EQ(commands[0].guid, guid_from_bytes(digest.data()));
    EXPECT_EQ(commands[0].guid, commands[1].guid) << "equal display names, equal GUIDs";
    EXPECT_NE(commands[0].guid, commands[2].guid);

    GUID before = commands[0].guid;
    cfg_quicktag_entries[0].display_name = "Tag Shelf/Rate three";
    EXPECT_NE(context_menu_commands(host.session().registry())[0].guid, before)
        << "an edited name is a new command to the host";
}

TEST_F(QuickTagMenu, RateThreeSetsTheSingleValueThreeOnEverySelectedTrack) {
    set_field(b, "RATING", {"1", "2"});
    pick("Tag Shelf/Rate 3", {{a, b, c}});
    for (const auto& track : {a, b, c})
        EXPECT_EQ(field(track, "RATING"), values{"3"});
}

TEST_F(QuickTagMenu, OneCommandIsOneWriteAndOneRedrawOfTheWholeSelection) {
    size_t before = host.session().refreshes().log().size();
    pick("Tag Shelf/Rate 2", {{a, b, c}});
    const auto& log = host.session().refreshes().log();
    ASSERT_EQ(log.size(), before + 1);
    EXPECT_EQ(log.back().size(), 3u);
}

TEST_F(QuickTagMenu, ValueScriptIsFormattedForEachTrack) {
    std::string command = add_command("ORIGIN", "$upper(%filename%)-%subsong%");
    pick(command, {{a, c}});
    EXPECT_EQ(field(a, "ORIGIN"), values{"A-0"});
    EXPECT_EQ(field(c, "ORIGIN"), values{"C-2"});
}

// Rate +1 reads the stored rating through the component's field display hook.
TEST_F(QuickTagMenu, RatePlusOneAddsOneToTheStoredRating) {
    set_field(a, "RATING", {"3"});
    pick("Tag Shelf/Rate +1", {{a, b}});
    EXPECT_EQ(field(a, "RATING"), values{"4"});
    EXPECT_EQ(field(b, "RATING"), values{"1"}) << "$add of an empty operand and 1";
    pick("Tag Shelf/Rate -1", {{a}});
    EXPECT_EQ(field(a, "RATING"), values{"3"});
}

TEST_F(QuickTagMenu, ValueIsStoredLiterallyWhenTitleFormattingIsOff) {
    cfg_titleformat_values = 0;
    set_field(a, "RATING", {"3"});
    pick("Tag Shelf/Rate +1", {{a}});
    EXPECT_EQ(field(a, "RATING"), values{"$add(%RATING%,1)"});
}

TEST_F(QuickTagMenu, ScriptThatDoesNotCompileSkipsOnlyItsField) {
    std::string command = add_command("BROKEN|GOOD", "$add(1,|ok");
    pick(command, {{a}});
    EXPECT_TRUE(field(a, "BROKEN").empty());
    EXPECT_EQ(field(a, "GOOD"), values{"ok"});
    EXPECT_TRUE(console().empty()) << "not an error";
}

TEST_F(QuickTagMenu, HashBeforeAFieldNameAppendsAValue) {
    set_field(a, "GENRE", {"Rock"});
    set_field(b, "GENRE", {"Rock"});
    pick(add_command("#GENRE", "Jazz"), {{a}});
    pick(add_command("GENRE", "Jazz"), {{b}});
    EXPECT_EQ(field(a, "GENRE"), (values{"Rock", "Jazz"}));
    EXPECT_EQ(field(b, "GENRE"), values{"Jazz"});
}

TEST_F(QuickTagMenu, EmptyResultFollowsTheRemoveEmptyOption) {
    struct row {
        const char* field_name;
        bool remove_empty;
        const char* value;
        values after;  // the field began as {"old"}
    };
    const row rows[] = {
        {"#F", true, "", {"old"}},
        {"#F", true, "x", {"old", "x"}},
        {"#F", false, "", {"old", ""}},
        {"#F", false, "x", {"old", "x"}},
        {"F", true, "", {}},
        {"F", true, "x", {"x"}},
        {"F", false, "", {""}},
        {"F", false, "x", {"x"}},
    };
    for (bool titleformat : {false, true}) {
        cfg_titleformat_values = titleformat ? 1 : 0;
        for (const auto& r : rows) {
            set_field(a, "F", {"old"});
            cfg_remove_empty = r.remove_empty ? 1 : 0;
            pick(add_command(r.field_name, r.value), {{a}});
            EXPECT_EQ(field(a, "F"), r.after)
                << r.field_name << " remove_empty=" << r.remove_empty << " value='" << r.value
                << "' titleformat=" << titleformat;
        }
    }
}

TEST_F(QuickTagMenu, FieldsTakeTheValueOfTheirPositionAndMissingValuesAreEmpty) {
    std::string command = add_command("F1|F2|F3", "1|2");
    pick(command, {{a, b}});
    for (const auto& track : {a, b}) {
        EXPECT_EQ(field(track, "F1"), values{"1"});
        EXPECT_EQ(field(track, "F2"), values{"2"});
        EXPECT_EQ(field(track, "F3"), values{""});
    }
    cfg_remove_empty = 1;
    pick(command, {{a}});
    EXPECT_TRUE(field(a, "F3").empty());
}

TEST_F(QuickTagMenu, EmptyFieldNamePartsAreSkipped) {
    pick(add_command("#|A", "x|y"), {{a}});
    pick(add_command("|B", "x|y"), {{a}});
    EXPECT_EQ(field(a, "A"), values{"y"});
    EXPECT_EQ(field(a, "B"), values{"y"});
    EXPECT_TRUE(field(a, "").empty());
    EXPECT_TRUE(field(a, "#").empty());
}

TEST_F(QuickTagMenu, DateAndTimeFieldsStampEveryTrackOfOneCommandAlike) {
    metadb_handle_list many;
    for (int i = 0; i < 300; ++i)
        many.add_item(host.track("t" + std::to_string(i) + ".mp3"));
    pick(add_command("STAMP",
                     "%_system_year%-%_system_month%-%_system_day% %_system_hour%:%_system_minute%:"
                     "%_system_second%.%_system_millisecond%"),
         many);
    values first = field(many[0], "STAMP");
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].find('?'), std::string::npos) << first[0];
    for (size_t i = 1; i < many.get_count(); ++i)
        ASSERT_EQ(field(many[i], "STAMP"), first) << "track " << i;
}

TEST_F(QuickTagMenu, CommandIsNotOfferedWithoutASelection) {
    auto commands = context_menu_commands(host.session().registry());
    ASSERT_FALSE(commands.empty());
    metadb_handle_list none;
    EXPECT_THROW(pick("Tag Shelf/Rate 5", none), std::runtime_error);
    commands[0].provider->execute_item_node(0, guid_null, none, guid_null);
    EXPECT_TRUE(console().empty());
}

TEST_F(QuickTagMenu, CommandIndexBeyondAShrunkListDoesNothing) {
    auto commands = context_menu_commands(host.session().registry());
    ASSERT_EQ(commands.size(), 8u);
    std::unique_ptr<contextmenu_item_node_root> node(commands[7].provider->item_node(7));
    cfg_quicktag_entries.set_entries({{"Tag Shelf/Rate 5", "RATING", "5"}});
    node->execute(metadb_handle_list{{a}}, guid_null);
    EXPECT_TRUE(field(a, "RATING").empty());
    EXPECT_TRUE(console().empty());
}

TEST_F(QuickTagMenu, CommandWithoutStorageTellsTheUserHowToEnableIt) {
    tagshelf_impl::instance().switch_storage(guid_null, false, false, false);
    size_t printed = console().size();
    run_quicktag_command("RATING", metadb_handle_list{{a}}, "5", false, false);
    ASSERT_EQ(console().size(), printed + 1);
    EXPECT_NE(console().back().find("ERROR : Executing tagshelf context command failed."),
              std::string::npos)
        << console().back();
    EXPECT_NE(console().back().find(
                  "Couldn't open tagshelf storage. Check that snr_tagshelf is enabled."),
              std::string::npos)
        << console().back();
    ASSERT_FALSE(host.session().windows().prompts().message_boxes().empty());
    EXPECT_EQ(host.session().windows().prompts().message_boxes().back().caption, "snr_tagshelf");
}

}  // namespace
