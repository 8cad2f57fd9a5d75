// A host that dies while a writer is open loses that writer's changes and nothing
// that was committed before.
#include <gtest/gtest.h>

#include "storage/sqlite_fixture.h"
#include "support/crash_child.h"

namespace {

using SqliteCrash = SqliteStorage;

TEST_F(SqliteCrash, KilledProcessLosesOnlyTheOpenTransaction) {
    if (crash_child::in_child()) {
        // The child, a process of its own over the same profile, commits one
        // writer and is killed inside a second one.
        try {
            storage().open(nullptr);
            {
                auto w = writer();
                w->set_value(handle(*w, "a.mp3"), "RATING", "5");
                w->set_value(handle(*w, "b.mp3"), "RATING", "4");
            }
            auto w = writer();
            w->set_value(handle(*w, "a.mp3"), "RATING", "1");
            w->remove_info(handle(*w, "b.mp3"));
            w->set_value(handle(*w, "c.mp3"), "RATING", "3");
            crash_child::ready();
            crash_child::wait_for_the_kill();
        } catch (...) {
        }
        crash_child::end(1);
    }
    crash_child child(host.profile());
    const bool child_ready = child.wait_until_ready();
    const bool killed = child.kill();
    ASSERT_TRUE(child_ready) << "the child failed before its second writer";
    ASSERT_TRUE(killed);

    storage().open(nullptr);
    EXPECT_EQ(contents(), (store_contents{{{path_of("a.mp3"), 0}, {{"RATING", {"5"}}}},
                                          {{path_of("b.mp3"), 0}, {{"RATING", {"4"}}}}}));
}

}  // namespace
