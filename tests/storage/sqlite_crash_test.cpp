// A host that dies while a writer is open loses that writer's changes and nothing
// that was committed before.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "storage/sqlite_fixture.h"

namespace {

using SqliteCrash = SqliteStorage;

TEST_F(SqliteCrash, KilledProcessLosesOnlyTheOpenTransaction) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The child opens the database itself (a connection must not cross a
        // fork), commits one writer and dies inside a second one.
        close(ready[0]);
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
            char byte = 1;
            if (write(ready[1], &byte, 1) != 1)
                _exit(2);
            pause();
        } catch (...) {
        }
        _exit(1);
    }
    close(ready[1]);
    char byte = 0;
    bool child_ready = read(ready[0], &byte, 1) == 1;
    close(ready[0]);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(child_ready) << "the child failed before its second writer";
    ASSERT_TRUE(WIFSIGNALED(status));

    storage().open(nullptr);
    EXPECT_EQ(contents(), (store_contents{{{path_of("a.mp3"), 0}, {{"RATING", {"5"}}}},
                                          {{path_of("b.mp3"), 0}, {{"RATING", {"4"}}}}}));
}

}  // namespace
