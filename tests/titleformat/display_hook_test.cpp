// Stored fields in title formatting: %FIELD% and the $shelf functions, through the
// host's real formatter.
#include <gtest/gtest.h>

#include <string>

#include "frame/host_ops.h"
#include "sdk/titleformat.h"
#include "service_test_host.h"

namespace {

class DisplayHook : public ::testing::Test {
protected:
    // Formats `track` with `script` through the host's compiler and formatter.
    std::string format(const char* script, const metadb_handle_ptr& track) {
        service_ptr_t<titleformat_object> compiled;
        EXPECT_TRUE(host_ops::single<titleformat_compiler>()->compile(compiled, script)) << script;
        string8 out;
        EXPECT_TRUE(track->format_title(nullptr, out, compiled)) << script;
        return out.str();
    }
    // Stores fields for `track` in method A's medium: name, value pairs in order.
    void store(const metadb_handle_ptr& track,
               std::initializer_list<std::pair<const char*, const char*>> pairs) {
        test_record record{
            track->get_location().get_path(), track->get_location().get_subsong(), {}};
        for (const auto& [name, value] : pairs)
            record.fields.add_value(name, value);
        method_a.medium.push_back(std::move(record));
    }
    bool console_has_errors() {
        for (const auto& line : host.console()) {
            if (line.rfind("ERROR : ", 0) == 0)
                return true;
        }
        return false;
    }

    service_test_host host;
    metadb_handle_ptr rated = host.track("rated.flac");
    metadb_handle_ptr plain = host.track("plain.flac");
};

TEST_F(DisplayHook, FieldShowsItsFirstValueWhateverTheLetterCase) {
    store(rated, {{"RATING", "4"}, {"RATING", "5"}});
    host.start(method_a_guid);
    EXPECT_EQ(format("%rating%", rated), "4");
    EXPECT_EQ(format("%Rating%|%RATING%", rated), "4|4");
    EXPECT_EQ(format("[stars: %RATING%]", rated), "stars: 4") << "a found field keeps its section";
}

TEST_F(DisplayHook, FieldNamesOfAnyLengthResolve) {
    // Around and far beyond the length the hook copies without allocating.
    test_record record{rated->get_location().get_path(), 0, {}};
    for (size_t length : {1, 15, 16, 63, 64, 65, 300})
        record.fields.add_value(std::string(length, 'N').c_str(), std::to_string(length).c_str());
    method_a.medium.push_back(std::move(record));
    host.start(method_a_guid);
    for (size_t length : {1, 15, 16, 63, 64, 65, 300}) {
        const std::string name(length, 'n');
        EXPECT_EQ(format(("%" + name + "%").c_str(), rated), std::to_string(length));
        EXPECT_EQ(format(("$shelf(" + name + ")").c_str(), rated), std::to_string(length));
    }
}

TEST_F(DisplayHook, AbsentFieldIsLeftToTheHost) {
    store(rated, {{"RATING", "4"}});
    host.start(method_a_guid);
    EXPECT_EQ(format("%MOOD%", rated), "?");
    EXPECT_EQ(format("[x%MOOD%]", rated), "");
    EXPECT_EQ(format("%RATING%", plain), "?") << "a track without an entry";
    EXPECT_EQ(format("%filename%", rated), "rated") << "host fields still work";
}

TEST_F(DisplayHook, StoredEmptyValueIsFoundAndWritesNothing) {
    store(rated, {{"EMPTY", ""}});
    host.start(method_a_guid);
    EXPECT_EQ(format("<%EMPTY%>", rated), "<>");
    EXPECT_EQ(format("[a%EMPTY%b]", rated), "ab") << "found, so the section stays";
}

TEST_F(DisplayHook, FieldOptionOffDeclinesWithoutOpeningAReader) {
    store(rated, {{"RATING", "4"}});
    host.start(method_a_guid);
    cfg_field_processing = 0;
    method_a.fail_accessors = true;  // a reader would raise and be reported
    EXPECT_EQ(format("%RATING%", rated), "?");
    EXPECT_FALSE(console_has_errors());
    EXPECT_TRUE(host.boxes().empty());
}

TEST_F(DisplayHook, WithoutStorageFieldsDeclineSilently) {
    host.start(guid_null);
    EXPECT_EQ(format("%RATING%", rated), "?");
    EXPECT_TRUE(host.console().empty());
    EXPECT_TRUE(host.boxes().empty());
}

TEST_F(DisplayHook, StorageThatCannotBeReadIsReportedAndTheFieldDeclined) {
    store(rated, {{"RATING", "4"}});
    host.start(method_a_guid);
    method_a.fail_accessors = true;
    EXPECT_EQ(format("%RATING%", rated), "?");
    ASSERT_FALSE(host.console().empty());
    EXPECT_EQ(host.console().front(),
              "ERROR : Couldn't open tagshelf storage for reading. (store is locked out)");
}

TEST_F(DisplayHook, ShelfPicksAValueByNumber) {
    store(rated, {{"RATING", "4"}});
    host.start(method_a_guid);
    EXPECT_EQ(format("$shelf(RATING)", rated), "4");
    EXPECT_EQ(format("$shelf(rating,0)", rated), "4");
    EXPECT_EQ(format("<$shelf(RATING,1)>", rated), "<>") << "handled, though nothing is there";
    EXPECT_EQ(format("[x$shelf(RATING,1)]", rated), "") << "and not found";
    EXPECT_EQ(format("$shelf(RATING,x)", rated), "4") << "a number that is not one reads as 0";
}

TEST_F(DisplayHook, ShelfNumCountsValues) {
    store(rated, {{"MOOD", "calm"}, {"MOOD", "warm"}, {"MOOD", "dark"}});
    host.start(method_a_guid);
    EXPECT_EQ(format("$shelf_num(MOOD)", rated), "3");
    EXPECT_EQ(format("[$shelf_num(MOOD)]", rated), "3");
    EXPECT_EQ(format("$shelf_num(RATING)", rated), "0");
    EXPECT_EQ(format("[$shelf_num(RATING)]", rated), "") << "0 is not found";
}

TEST_F(DisplayHook, ShelfSepJoinsValues) {
    struct row {
        std::vector<const char*> values;
        const char* script;
        const char* expected;
    };
    const row rows[] = {
        {{"a", "b", "c"}, "$shelf_sep(X,/,+)", "a/b+c"},
        {{"a", "b"}, "$shelf_sep(X,/,+)", "a+b"},
        {{"a"}, "$shelf_sep(X,/,+)", "a"},
        {{"a", "b", "c"}, "$shelf_sep(X,/)", "a/b/c"},
    };
    std::vector<metadb_handle_ptr> tracks;
    for (size_t i = 0; i < std::size(rows); ++i) {
        tracks.push_back(host.track("sep" + std::to_string(i) + ".flac"));
        test_record record{tracks.back()->get_location().get_path(), 0, {}};
        for (const char* value : rows[i].values)
            record.fields.add_value("X", value);
        method_a.medium.push_back(std::move(record));
    }
    host.start(method_a_guid);
    for (size_t i = 0; i < std::size(rows); ++i) {
        EXPECT_EQ(format(rows[i].script, tracks[i]), rows[i].expected) << rows[i].script;
    }
    EXPECT_EQ(format("<$shelf_sep(ABSENT,/)>", tracks[0]), "<>");
    EXPECT_EQ(format("[x$shelf_sep(ABSENT,/)]", tracks[0]), "");
}

TEST_F(DisplayHook, ShelfListWritesEveryValueOfEveryField) {
    store(rated, {{"RATING", "4"}, {"MOOD", "calm"}, {"MOOD", "sad"}});
    host.start(method_a_guid);
    EXPECT_EQ(format("$shelf_list()", rated), "RATING=4\r\nMOOD=calm\r\nMOOD=sad");
    EXPECT_EQ(format("$shelf_list(/)", rated), "RATING=4/MOOD=calm/MOOD=sad");
    EXPECT_EQ(format("$shelf_list(/,:)", rated), "RATING:4/MOOD:calm/MOOD:sad");
    EXPECT_EQ(format("[a$shelf_list()]", plain), "a") << "no fields: empty, but found";
}

TEST_F(DisplayHook, CallsThatDoNotFitAreLeftToTheHost) {
    store(rated, {{"RATING", "4"}});
    host.start(method_a_guid);
    for (const char* script : {"$shelf()", "$shelf_num(RATING,1)", "$shelf_sep(RATING)",
                               "$shelf_list(a,b,c)", "$shelf_count(RATING)"}) {
        EXPECT_NE(format(script, rated).find("UNKNOWN"), std::string::npos) << script;
    }
    EXPECT_EQ(format("$SHELF_NUM(rating) $Shelf_Sep(RATING,/) $sHeLf(RATING)", rated), "1 4 4");
}

TEST_F(DisplayHook, FunctionOptionOffLeavesTheFunctionsToTheHost) {
    store(rated, {{"RATING", "4"}});
    host.start(method_a_guid);
    cfg_function_processing = 0;
    EXPECT_NE(format("$shelf(RATING)", rated).find("UNKNOWN"), std::string::npos);
    EXPECT_EQ(format("%RATING%", rated), "4") << "fields are a separate option";
}

TEST_F(DisplayHook, WithoutStorageEachFunctionAnswersItsOwnWay) {
    host.start(guid_null);
    EXPECT_EQ(format("<$shelf(RATING)>", rated), "<>");
    EXPECT_EQ(format("[x$shelf(RATING)]", rated), "") << "handled, not found";
    EXPECT_EQ(format("<$shelf_num(RATING)>", rated), "<>");
    EXPECT_NE(format("$shelf_sep(RATING,/)", rated).find("UNKNOWN"), std::string::npos);
    EXPECT_EQ(format("[a$shelf_list()]", rated), "a") << "handled and found";
    EXPECT_TRUE(host.console().empty());
}

}  // namespace
