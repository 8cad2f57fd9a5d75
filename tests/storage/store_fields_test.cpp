// Reading and writing the fields of stored entries through an accessor: field
// names without regard to letter case, the order of fields and values, copies
// and counts.
#include <string>
#include <vector>

#include "store_fixture.h"

namespace {

using StoreFields = StoreTest;

TEST_F(StoreFields, AddValueJoinsAFieldWhateverTheCaseOfItsName) {
    tagshelf_handle_ptr h = handle("file:///a.mp3");
    writer->add_value(h, "RATING", "4");
    writer->add_value(h, "MOOD", "calm");
    writer->add_value(h, "rating", "5");
    writer->add_value(h, "Genre", "jazz");
    EXPECT_EQ(fields_of_handle(h), "RATING=4|5;MOOD=calm;Genre=jazz");
    EXPECT_EQ(writer->get_value_count(h, "Rating"), 2u);
}

TEST_F(StoreFields, SetValueLeavesOneValueMovesTheFieldToTheEndAndTakesTheNewSpelling) {
    tagshelf_handle_ptr h = handle("file:///a.mp3");
    writer->set_info(h, fields_of({{"RATING", "1"},
                                   {"RATING", "2"},
                                   {"RATING", "3"},
                                   {"MOOD", "calm"},
                                   {"GENRE", "jazz"}}));
    writer->set_value(h, "Rating", "5");
    EXPECT_EQ(fields_of_handle(h), "MOOD=calm;GENRE=jazz;Rating=5");
    EXPECT_EQ(writer->get_total_value_count(), 3u);
}

TEST_F(StoreFields, MissingFieldOrValueAnswersNoAndLeavesTheReceiverAlone) {
    tagshelf_handle_ptr h = handle("file:///a.mp3");
    writer->add_value(h, "RATING", "4");
    string8 out("untouched");
    EXPECT_FALSE(writer->get_value(h, "MOOD", 0, out));
    EXPECT_FALSE(writer->get_value(h, "RATING", 1, out));
    EXPECT_EQ(out.str(), "untouched");
    EXPECT_EQ(writer->get_value_count(h, "MOOD"), 0u);
    EXPECT_TRUE(writer->get_value(h, "rating", 0, out));
    EXPECT_EQ(out.str(), "4");
}

TEST_F(StoreFields, EntryWhoseLastFieldIsRemovedStaysStoredAndCounted) {
    tagshelf_handle_ptr h = handle("file:///a.mp3");
    writer->add_value(h, "RATING", "4");
    writer->remove_field(h, "rating");
    writer->remove_field(h, "RATING");
    EXPECT_FALSE(writer->has_info(h));
    EXPECT_EQ(writer->get_entry_count(), 1);
    EXPECT_EQ(stored_locations(), (std::vector<std::string>{"file:///a.mp3#0"}));
}

TEST_F(StoreFields, CopyInfoCopiesFieldsAndFromAnEmptyEntryEmptiesTheTarget) {
    tagshelf_handle_ptr source = handle("file:///source.mp3");
    tagshelf_handle_ptr target = handle("file:///target.mp3");
    tagshelf_handle_ptr empty = handle("file:///empty.mp3");
    // A value of 300 bytes takes more than one byte to give its length.
    const std::string long_value(300, 'x');
    const std::string all = "A=1|2;B=3;L=" + long_value;
    writer->set_info(source,
                     fields_of({{"A", "1"}, {"A", "2"}, {"B", "3"}, {"L", long_value.c_str()}}));

    writer->copy_info(source, source);
    EXPECT_EQ(fields_of_handle(source), all) << "onto itself changes nothing";

    writer->copy_info(source, target);
    EXPECT_EQ(fields_of_handle(target), all);
    writer->add_value(target, "C", "4");
    EXPECT_EQ(fields_of_handle(source), all) << "a copy, not a shared set";

    writer->copy_info(empty, target);
    EXPECT_FALSE(writer->has_info(target)) << "from an empty entry empties the target";
    EXPECT_EQ(writer->get_entry_count(), 2) << "and leaves it stored; the source stays unstored";
    EXPECT_FALSE(entry(empty).is_stored());
}

TEST_F(StoreFields, SetInfoFromTheEntrysOwnFieldsKeepsThem) {
    tagshelf_handle_ptr h = handle("file:///a.mp3");
    writer->set_info(h, fields_of({{"A", "1"}, {"B", "2"}, {"B", "3"}}));
    writer->set_info(h, packed_fields::view(entry(h).fields));
    EXPECT_EQ(fields_of_handle(h), "A=1;B=2|3");
}

TEST_F(StoreFields, MultiOperationsWorkPairByPairInListOrder) {
    tagshelf_handle_ptr a = handle("file:///a.mp3");
    tagshelf_handle_ptr b = handle("file:///b.mp3");
    const x_info_impl first = fields_of({{"N", "first"}});
    const x_info_impl second = fields_of({{"N", "second"}});
    const x_info_impl third = fields_of({{"N", "third"}});
    tagshelf_handle_list handles;
    list_t<const x_info*> infos;
    const std::pair<tagshelf_handle_ptr, const x_info*> pairs[] = {
        {a, &first}, {b, &second}, {a, &third}};
    for (const auto& [h, info] : pairs) {
        handles.add_item(h);
        infos.add_item(info);
    }
    writer->set_info_multi(handles, infos);

    x_info_impl got_a, got_b, got_a_again;
    list_t<x_info*> outs;
    for (x_info* out : {&got_a, &got_b, &got_a_again})
        outs.add_item(out);
    writer->get_info_multi(handles, outs);
    EXPECT_EQ(describe(got_a), "N=third") << "the later pair for one handle wins";
    EXPECT_EQ(describe(got_b), "N=second");
    EXPECT_EQ(describe(got_a_again), "N=third");
}

TEST_F(StoreFields, GetInfoReplacesTheWholeReceivingSet) {
    tagshelf_handle_ptr stored = handle("file:///a.mp3");
    writer->add_value(stored, "A", "1");
    x_info_impl out = fields_of({{"OLD", "x"}, {"A", "old"}});
    writer->get_info(stored, out);
    EXPECT_EQ(describe(out), "A=1");
    writer->get_info(handle("file:///unstored.mp3"), out);
    EXPECT_EQ(describe(out), "");
}

TEST_F(StoreFields, StoreAccessorAppendsToTheHandleListWithoutEmptyingIt) {
    writer->add_value(handle("file:///a.mp3"), "A", "1");
    tagshelf_handle_list handles;
    handles.add_item(handle("file:///unstored.mp3"));
    writer->enum_handles(handles);
    ASSERT_EQ(handles.get_count(), 2u);
    EXPECT_STREQ(handles[1]->get_location().get_path(), "file:///a.mp3");
}

TEST_F(StoreFields, TotalValueCountSumsEveryValueOfEveryEntry) {
    writer->set_info(handle("a"), fields_of({{"A", "1"}, {"A", "2"}, {"B", "3"}}));
    writer->set_info(handle("b"), fields_of({}));
    writer->add_value(handle("c"), "C", "1");
    EXPECT_EQ(writer->get_total_value_count(), 4u);
    EXPECT_EQ(writer->get_entry_count(), 3);
}

}  // namespace
