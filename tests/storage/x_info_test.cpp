// The field set: how fields and values are added, found, reordered and removed.
#include <gtest/gtest.h>

#include <string>

#include "storage/x_info.h"
#include "store_fixture.h"

namespace {

TEST(FieldSet, AddValueAppendsToAFieldOrCreatesItAfterTheOthers) {
    x_info_impl info;
    EXPECT_EQ(info.add_value("ARTIST", "a"), 0u);
    EXPECT_EQ(info.add_value("MOOD", "calm"), 1u);
    EXPECT_EQ(info.add_value("artist", "b"), 0u);
    EXPECT_EQ(describe(info), "ARTIST=a|b;MOOD=calm");
    EXPECT_EQ(info.get_total_value_count(), 3u);
}

TEST(FieldSet, FindFieldIgnoresLetterCaseAndAnswersTheFirstMatch) {
    x_info_impl info;
    info.add_field("Mood", text_to_terminator, "1", text_to_terminator);
    info.add_field("MOOD", text_to_terminator, "2", text_to_terminator);  // allowed by add_field
    info.add_field("\xC3\x89T\xC3\x89", text_to_terminator, "3", text_to_terminator);  // "ÉTÉ"
    EXPECT_EQ(info.find_field("mood", text_to_terminator), 0u);
    EXPECT_EQ(info.find_field("\xC3\xA9t\xC3\xA9", text_to_terminator), 2u);  // "été"
    EXPECT_EQ(info.find_field("moodx", 4), 0u) << "an explicit length counts";
    EXPECT_EQ(info.find_field("moo", text_to_terminator), x_info::npos);
    EXPECT_EQ(info.get_value_by_name("MOOD", 0), std::string("1"));
    EXPECT_EQ(info.get_value_by_name("MOOD", 1), nullptr);
    EXPECT_EQ(info.get_value_by_name("GENRE", 0), nullptr);
    EXPECT_EQ(info.get_value_count_by_name("GENRE"), 0u);
}

TEST(FieldSet, SetValueReplacesTheFieldAtTheEndWithTheNewSpelling) {
    x_info_impl info = fields_of({{"RATING", "1"}, {"RATING", "2"}, {"MOOD", "calm"}});
    EXPECT_EQ(info.set_value("Rating", text_to_terminator, "5", text_to_terminator), 1u);
    EXPECT_EQ(describe(info), "MOOD=calm;Rating=5");
    info.set_value("GENRE", text_to_terminator, "jazz", text_to_terminator);
    EXPECT_EQ(describe(info), "MOOD=calm;Rating=5;GENRE=jazz");
}

TEST(FieldSet, SetValueAcceptsTextHeldByTheSetItself) {
    x_info_impl info = fields_of({{"A name long enough to live outside the string", "v"},
                                  {"B", "a value long enough to live outside the string too"}});
    // Name and value point into fields that the operation removes or moves.
    info.set_value(info.get_field_name(0), text_to_terminator, info.get_value(1, 0),
                   text_to_terminator);
    info.set_value(info.get_field_name(0), text_to_terminator, "x", text_to_terminator);
    EXPECT_EQ(describe(info),
              "A name long enough to live outside the string="
              "a value long enough to live outside the string too;B=x");
}

TEST(FieldSet, InsertValuePutsTheValueAtThatPosition) {
    x_info_impl info = fields_of({{"A", "b"}, {"A", "d"}});
    info.insert_value(0, 0, "a", text_to_terminator);
    info.insert_value(0, 2, "c", text_to_terminator);
    info.insert_value(0, 4, "e", text_to_terminator);
    info.insert_value(0, 5, "fgh", 1);
    EXPECT_EQ(describe(info), "A=a|b|c|d|e|f");
}

TEST(FieldSet, RemoveValuesKeepsTheRestInOrderAndDropsAnEmptiedField) {
    x_info_impl info = fields_of({{"A", "1"}, {"A", "2"}, {"A", "3"}, {"A", "4"}, {"B", "x"}});
    bit_array_table first_and_third(4);
    first_and_third.set(0, true);
    first_and_third.set(2, true);
    info.remove_values(0, first_and_third);
    EXPECT_EQ(describe(info), "A=2|4;B=x");
    info.remove_values(0, bit_array_val(true));
    EXPECT_EQ(describe(info), "B=x");
    EXPECT_EQ(info.find_field("A", text_to_terminator), x_info::npos);
}

TEST(FieldSet, RemoveFieldsAndRemoveFieldTakeOnlyTheSelected) {
    x_info_impl info = fields_of({{"A", "1"}, {"B", "2"}, {"C", "3"}, {"D", "4"}});
    bit_array_table b_and_d(4);
    b_and_d.set(1, true);
    b_and_d.set(3, true);
    info.remove_fields(b_and_d);
    EXPECT_EQ(describe(info), "A=1;C=3");
    info.remove_field("c");
    info.remove_field("absent");
    EXPECT_EQ(describe(info), "A=1");
}

TEST(FieldSet, ReorderFieldsTakesOldFieldOrderIAsNewFieldI) {
    x_info_impl info = fields_of({{"A", "1"}, {"B", "2"}, {"B", "3"}, {"C", "4"}});
    const size_t order[] = {2, 0, 1};
    info.reorder_fields(order);
    EXPECT_EQ(describe(info), "C=4;A=1;B=2|3");
}

TEST(FieldSet, ModifyValueReplacesOneValue) {
    x_info_impl info = fields_of({{"A", "1"}, {"A", "2"}});
    info.modify_value(0, 1, "two", text_to_terminator);
    info.modify_value(0, 0, "", text_to_terminator);
    EXPECT_EQ(describe(info), "A=|two");
}

TEST(FieldSet, CopyFromReplacesEverythingAndOntoItselfDoesNothing) {
    x_info_impl source = fields_of({{"A", "1"}, {"A", "2"}, {"B", "3"}});
    x_info_impl target = fields_of({{"OLD", "x"}});
    target.copy_from(source);
    EXPECT_EQ(describe(target), "A=1|2;B=3");
    target.copy_from(target);
    EXPECT_EQ(describe(target), "A=1|2;B=3");
    target.copy_from(x_info_impl());
    EXPECT_EQ(describe(target), "");
}

TEST(FieldSet, HoldsManyFieldsAndValues) {
    x_info_impl info;
    for (int f = 0; f < 25; ++f) {
        for (int v = 0; v < 4; ++v)
            info.add_value(("F" + std::to_string(f)).c_str(), std::to_string(v).c_str());
    }
    ASSERT_EQ(info.get_field_count(), 25u);
    EXPECT_EQ(info.get_total_value_count(), 100u);
    EXPECT_STREQ(info.get_field_name(24), "F24");
    EXPECT_STREQ(info.get_value(24, 3), "3");
    x_info_impl copy(static_cast<const x_info&>(info));
    EXPECT_EQ(describe(copy), describe(info));
}

TEST(FieldSet, EmptyNamesAndValuesAreKept) {
    x_info_impl info;
    info.add_value("", "");
    info.add_value("", "x");
    EXPECT_EQ(info.get_field_count(), 1u);
    EXPECT_STREQ(info.get_field_name(0), "");
    EXPECT_EQ(describe(info), "=|x");
}

}  // namespace
