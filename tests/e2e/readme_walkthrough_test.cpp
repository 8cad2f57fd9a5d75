// The README's walk-through, followed literally, in the form it has for this
// system. On Linux every command of it that runs the host through the
// walk-through's alias, or looks into its profile, runs in order in one shell at
// the top of a clone; on Windows each host command of the README's Windows block
// runs the host program itself, without a shell, its shell set-up lines being
// recognised and passed over. Either way the profile is fresh, and each command
// prints what the README shows after it. A README that drifts from the program
// fails here.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "host/cli/shell_words.h"
#include "support/run_host.h"

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

// The commands of the README's indented blocks from the line `heading` to the
// next line that begins with `end`, each with the lines after it: "$ " begins a
// command, a line ending in a backslash goes on in the next.
std::vector<step> commands_between(const std::string& readme, const std::string& heading,
                                   const std::string& end) {
    std::istringstream in(readme.substr(readme.find("\n" + heading)));
    std::vector<step> steps;
    bool in_fence = false, continued = false;
    step* current = nullptr;  // the command whose lines are being read
    for (std::string line; std::getline(in, line) && line.rfind(end, 0) != 0;) {
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
    for (auto& s : steps) {
        while (s.shown.size() >= 2 && s.shown.compare(s.shown.size() - 2, 2, "\n\n") == 0)
            s.shown.pop_back();
        if (s.shown == "\n")
            s.shown.clear();
    }
    return steps;
}

// The walk-through's commands that a shell runs: those of the host through the
// walk-through's alias, or of a look into its profile.
std::vector<step> shell_walkthrough(const std::string& readme) {
    std::vector<step> run;
    for (auto& s : commands_between(readme, "## A walk-through", "## Benchmarks")) {
        if (s.command.find("sh-host") != std::string::npos || s.command.rfind("cat ", 0) == 0)
            run.push_back(s);
    }
    return run;
}

// A host command of the README's Windows block, with the host's words after its
// program: the alias's options, then the command's.
struct host_step : step {
    std::vector<std::string> args;
};

// The Windows block's host commands. Its shell set-up lines are recognised: an
// `export` or `xvfb-run` is passed over, and the `alias` of sh-host gives the
// options that the program's path is followed by. Any other line throws.
std::vector<host_step> windows_walkthrough(const std::string& readme) {
    std::vector<std::string> options;
    std::vector<host_step> run;
    for (auto& s : commands_between(readme, "### The host on Windows", "## A walk-through")) {
        const std::vector<std::string> words = split_shell_words(s.command);
        const std::string first = words.empty() ? "" : words[0];
        if (first == "export" || first == "xvfb-run")
            continue;
        if (first == "alias" && words.size() == 2 && words[1].rfind("sh-host=", 0) == 0) {
            const auto host = split_shell_words(words[1].substr(8));
            const auto program = std::find_if(host.begin(), host.end(), [](const std::string& w) {
                return w.size() >= 17 && w.compare(w.size() - 17, 17, "sonarith-host.exe") == 0;
            });
            if (program == host.end())
                throw std::runtime_error("the alias names no sonarith-host.exe: " + s.command);
            options.assign(program + 1, host.end());
        } else if (first == "sh-host") {
            host_step command{s, options};
            command.args.insert(command.args.end(), words.begin() + 1, words.end());
            run.push_back(command);
        } else {
            throw std::runtime_error("not a command of the walk-through: " + s.command);
        }
    }
    return run;
}

// `text` with the Windows block's folders moved into `dir`, as the README writes
// them in any letter case; written in lower case, the folder in `dir` is too.
std::string in_fresh_windows_folders(std::string text, const temp_directory& dir) {
    const auto lower = [](std::string t) {
        for (char& c : t)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        return t;
    };
    for (const auto& [from, to] :
         {std::pair<std::string, std::string>{"C:\\shelf-walkthrough", dir.file("walkthrough")},
          {"C:\\Music", dir.file("music")}}) {
        for (size_t at = lower(text).find(lower(from)); at != std::string::npos;
             at = lower(text).find(lower(from), at + to.size())) {
            const bool lower_case = text.compare(at, from.size(), lower(from)) == 0;
            text.replace(at, from.size(), lower_case ? lower(to) : to);
        }
    }
    return text;
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

// What a command printed on its standard output, against what the README shows.
void expect_shown(const std::string& printed, const std::string& shown, bool more) {
    if (more)
        EXPECT_EQ(printed.substr(0, shown.size()), shown);
    else
        EXPECT_EQ(printed, shown);
}

// The Linux walk-through, as one bash script run at the top of a clone.
void follow_in_a_shell(const std::string& readme) {
    const auto steps = shell_walkthrough(readme);
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
        expect_shown(printed, in_fresh_folders(steps[i].shown, dir), steps[i].more);
    }
    std::vector<std::string> in_clone;
    for (const auto& item : fs::directory_iterator(clone))
        in_clone.push_back(item.path().filename().string());
    EXPECT_EQ(in_clone, std::vector<std::string>{"build"}) << "the walk-through writes elsewhere";
}

// The Windows block, each host command run as its own program, in order. The
// block shows what the console shows: the messages of standard error (a message
// box the host answered) before the command's output.
void follow_the_windows_block(const std::string& readme) {
    const auto steps = windows_walkthrough(readme);
    ASSERT_EQ(steps.size(), 10u) << "the Windows block's host commands were not all found";
    temp_directory dir;
    for (const auto& s : steps) {
        std::vector<std::string> args;
        for (const auto& word : s.args)
            args.push_back(in_fresh_windows_folders(word, dir));
        const host_run run = run_host(args);
        SCOPED_TRACE("$ " + s.command);
        EXPECT_EQ(run.status, 0);
        expect_shown(replace_all(run.err + run.out, "\r\n", "\n"),
                     in_fresh_windows_folders(s.shown, dir), s.more);
    }
}

TEST(Readme, TheWalkThroughFollowedStepByStepPrintsWhatItShows) {
    std::ifstream file(std::string(TAGSHELF_SOURCE_DIR) + "/README.md");
    const std::string readme((std::istreambuf_iterator<char>(file)), {});
    // The README writes the walk-through for Windows in the form of its own.
    if (TAGSHELF_WINDOWS_WALKTHROUGH)
        follow_the_windows_block(readme);
    else
        follow_in_a_shell(readme);
}

}  // namespace
