// The README's walk-through, followed literally: every command of it that runs
// the host through the walk-through's alias, or looks into its profile, runs in
// order in one shell at the top of a clone, on a fresh profile, and prints what
// the README shows after it. A README that drifts from the program fails here.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "support/run_host.h"
#include "support/system_features.h"

namespace fs = std::filesystem;

namespace {

struct step {
    std::string command;
    std::string shown;  // what the README shows after it, one "\n" after each line
    bool more = false;  // the README leaves out what follows: shown is a beginning
};

std::string replace_all(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// The commands of the README's indented blocks between the walk-through's heading
// and the benchmarks, each with the lines after it: "$ " begins a command, a line
// ending in a backslash goes on in the next.
std::vector<step> walkthrough(const std::string& readme) {
    std::istringstream in(readme.substr(readme.find("\n## A walk-through")));
    std::vector<step> steps;
    bool in_fence = false, continued = false;
    step* current = nullptr;  // the command whose lines are being read
    for (std::string line; std::getline(in, line) && line.rfind("## Benchmarks", 0) != 0;) {
        if (line.rfind("```", 0) == 0)
            in_fence = !in_fence;
        const bool code = !in_fence && line.rfind("    ", 0) == 0;
        if (current && continued) {
            current->command += "\n" + line;
        } else if (code && line.rfind("    $ ", 0) == 0) {
            current = &steps.emplace_back(step{line.substr(6), "", false});
            continued = false;
        } else if (current && line == "    ...") {
            current->more = true;
        } else if (current && (code || line.empty())) {
            current->shown += (code ? line.substr(4) : "") + "\n";
        } else {
            current = nullptr;
        }
        continued = code && current && current->shown.empty() && line.back() == '\\';
    }
    std::vector<step> run;
    for (auto& s : steps) {
        while (s.shown.size() >= 2 && s.shown.compare(s.shown.size() - 2, 2, "\n\n") == 0)
            s.shown.pop_back();
        if (s.shown == "\n")
            s.shown.clear();
        if (s.command.find("sh-host") != std::string::npos || s.command.rfind("cat ", 0) == 0)
            run.push_back(s);
    }
    return run;
}

// `text` with the walk-through's folders in /tmp moved into `dir`.
std::string in_fresh_folders(const std::string& text, const temp_directory& dir) {
    return replace_all(replace_all(text, "/tmp/shelf-walkthrough", dir.file("walkthrough")),
                       "/tmp/music", dir.file("music"));
}

// What step `index` printed on one stream, between the marker lines around it,
// and the exit status the closing marker gives.
std::pair<std::string, std::string> part(const std::string& text, size_t index) {
    const std::string begin = "@@@ " + std::to_string(index) + "\n", end = "\n@@@ end ";
    const size_t from = text.find(begin);
    const size_t to = from == std::string::npos ? from : text.find(end, from + begin.size());
    if (to == std::string::npos)
        return {"(missing)", ""};
    const size_t status = to + end.size();
    return {replace_all(text.substr(from + begin.size(), to - from - begin.size()), "\r\n", "\n"),
            text.substr(status, text.find('\n', status) - status)};
}

TEST(Readme, TheWalkThroughFollowedStepByStepPrintsWhatItShows) {
    SKIP_WITHOUT(shell_scripts);
    std::ifstream file(std::string(TAGSHELF_SOURCE_DIR) + "/README.md");
    const std::string readme((std::istreambuf_iterator<char>(file)), {});
    const auto steps = walkthrough(readme);
    ASSERT_EQ(steps.size(), 30u) << "the walk-through's commands were not all found";

    // A clone whose build/default is this build.
    temp_directory dir;
    const std::string clone = dir.file("clone");
    fs::create_directories(clone + "/build");
    fs::create_directory_symlink(TAGSHELF_BUILD_DIR, clone + "/build/default");
    std::string script = "cd '" + clone + "'\n";
    for (size_t i = 0; i < steps.size(); ++i) {
        const std::string command = in_fresh_folders(steps[i].command, dir);
        // Marker lines on both streams around each command, with its exit status.
        script += "m='@@@ " + std::to_string(i) + "'; echo \"$m\"; echo \"$m\" >&2\n" + command +
                  "\ns=$?; printf '\\n@@@ end %d\\n' $s; printf '\\n@@@ end %d\\n' $s >&2\n";
    }
    std::ofstream(dir.file("walkthrough.sh")) << script;
    const int status =
        std::system(("bash -O expand_aliases '" + dir.file("walkthrough.sh") + "' </dev/null >'" +
                     dir.file("out") + "' 2>'" + dir.file("err") + "'")
                        .c_str());
    ASSERT_EQ(status, 0);
    std::ifstream out_file(dir.file("out")), err_file(dir.file("err"));
    const std::string out((std::istreambuf_iterator<char>(out_file)), {});
    const std::string err((std::istreambuf_iterator<char>(err_file)), {});

    for (size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE("$ " + steps[i].command + "\n" + part(err, i).first);
        const auto [printed, status] = part(out, i);
        EXPECT_EQ(status, "0");
        const std::string shown = in_fresh_folders(steps[i].shown, dir);
        if (steps[i].more)
            EXPECT_EQ(printed.substr(0, shown.size()), shown);
        else
            EXPECT_EQ(printed, shown);
    }
    std::vector<std::string> in_clone;
    for (const auto& item : fs::directory_iterator(clone))
        in_clone.push_back(item.path().filename().string());
    EXPECT_EQ(in_clone, std::vector<std::string>{"build"}) << "the walk-through writes elsewhere";
}

}  // namespace
