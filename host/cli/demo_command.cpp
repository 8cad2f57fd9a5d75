// demo: the component at work on a fresh profile, step by step.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/cli/demo.h"
#include "host/cli/demo_system.h"
#include "sdk/file.h"

namespace fs = std::filesystem;

namespace {

std::string quoted(const std::string& word) {
    if (word.find_first_of(" '\"$%|#()\\") == std::string::npos && !word.empty())
        return word;
    std::string q = "'";
    for (char c : word)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

void print_indented(const std::string& text, const char* prefix) {
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::printf("%s%s\n", prefix, line.c_str());
    }
}

class demo_run {
public:
    demo_run(std::string profile, std::string music)
        : m_profile(std::move(profile)), m_music(std::move(music)) {
        m_scratch = m_profile + path_separator + ".demo";
        fs::create_directories(fs::u8path(m_scratch));
    }

    void step(const std::string& title) {
        ++m_step;
        std::printf("\n== Step %d: %s\n", m_step, title.c_str());
    }
    void say(const std::string& text) { std::printf("   %s\n", text.c_str()); }

    // Runs one host session with one command and shows it; answers its output.
    std::string run(const std::vector<std::string>& command) {
        std::string shown = "$ sonarith-host";
        for (const auto& word : command)
            shown += " " + quoted(shorten(word));
        std::printf("%s\n", shown.c_str());
        std::vector<std::string> args = {"--profile", m_profile, "--answer", "yes"};
        args.insert(args.end(), command.begin(), command.end());
        child_result result = run_self(args, "", m_scratch);
        print_indented(result.out, "   ");
        print_indented(result.err, "   | ");
        if (result.status != 0)
            fail("the command exited with status " + std::to_string(result.status));
        return result.out;
    }

    // Runs several commands in one host session through the shell.
    std::string run_shell(const std::vector<std::string>& lines) {
        std::printf("$ sonarith-host shell   <<'END'\n");
        std::string input;
        for (const auto& line : lines) {
            std::printf("  %s\n", shorten(line).c_str());
            input += line + "\n";
        }
        std::printf("  END\n");
        child_result result =
            run_self({"--profile", m_profile, "--answer", "yes", "shell"}, input, m_scratch);
        print_indented(result.out, "   ");
        print_indented(result.err, "   | ");
        if (result.status != 0)
            fail("the shell exited with status " + std::to_string(result.status));
        return result.out;
    }

    void expect(bool ok, const std::string& what) {
        if (ok) {
            std::printf("   ok: %s\n", what.c_str());
        } else {
            fail(what);
        }
    }
    void expect_equal(const std::string& actual, const std::string& expected,
                      const std::string& what) {
        if (actual == expected) {
            std::printf("   ok: %s\n", what.c_str());
        } else {
            fail(what + "\n     expected: " + expected + "\n     got:      " + actual);
        }
    }

    std::string track(const std::string& name) const { return m_music + path_separator + name; }
    int failures() const { return m_failures; }

private:
    void fail(const std::string& what) {
        ++m_failures;
        std::printf("   FAILED: %s\n", what.c_str());
    }
    // Paths inside the demo's profile are shown relative to it, to keep lines short.
    std::string shorten(const std::string& word) const {
        std::string text = word;
        for (size_t at; (at = text.find(m_profile + path_separator)) != std::string::npos;) {
            text.replace(at, m_profile.size() + 1, "");
        }
        return text;
    }

    std::string m_profile;
    std::string m_music;
    std::string m_scratch;
    int m_step = 0;
    int m_failures = 0;
};

std::string trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

void touch(const std::string& path) {
    std::ofstream(fs::u8path(path)) << "not really audio\n";
}

}  // namespace

int run_demo(const host_options& options, const command_args& args) {
    if (!args.empty())
        throw usage_error("no arguments expected");
    (void)options;
    const std::string profile = make_fresh_directory("sonarith-demo-");
    const std::string music = profile + path_separator + "music";
    fs::create_directories(fs::u8path(music));
    demo_run demo(profile, music);
    std::printf("Tag Shelf demo\nA fresh profile for this run: %s\n", profile.c_str());
    std::printf(
        "Every command below is one whole host session: the host loads the component,\n"
        "runs the command and saves, so each step also shows that the data persisted.\n");

    const std::string so_what = demo.track("Miles - So What.flac");
    const std::string naima = demo.track("Coltrane - Naima.flac");
    const std::string suites = demo.track("Bach - Cello Suites.flac");
    const std::string old_name = demo.track("Demo take.mp3");
    const std::string new_name = demo.track("Demo take (final).mp3");
    for (const auto& file : {so_what, naima, suites, old_name})
        touch(file);

    demo.step("A small media library (the cello suites file holds two subsongs)");
    demo.run({"library", "add", so_what, naima, suites + "#0", suites + "#1", old_name});
    demo.run({"library", "list"});

    demo.step("Choose the SQLite storage on the preferences page and click Switch");
    demo.run({"storage", "use", "sqlite"});
    std::string stats = demo.run({"storage", "stats"});
    demo.expect(stats.find("SQLite database (sonarith\\tagshelf_sqlite.db)") != std::string::npos,
                "the SQLite method is active");

    demo.step("Rate tracks with the default quick tags of the context menu");
    std::string menu = demo.run({"menu", "list"});
    demo.expect(menu.find("Tag Shelf/Rate +1") != std::string::npos,
                "the context menu offers the eight default quick tags");
    demo.run({"menu", "run", "Tag Shelf/Rate 5", so_what});
    demo.run({"menu", "run", "Tag Shelf/Rate 3", naima, old_name});
    demo.run({"menu", "run", "Tag Shelf/Rate +1", naima});
    demo.expect_equal(trimmed(demo.run({"fields", "get", naima, "RATING"})), "4",
                      "Rate +1 turned 3 into 4");

    demo.step("Add a quick tag whose value is a script with the date fields, and run it");
    demo.run_shell(
        {"prefs tab 1", "prefs click 1026", "prefs type 1008 'Tag Shelf/Stamp date'",
         "prefs type 1006 added",
         "prefs type 1007 '%_system_year%-$num(%_system_month%,2)-$num(%_system_day%,2)'"});
    demo.run({"menu", "run", "Tag Shelf/Stamp date", suites + "#0", suites + "#1"});
    demo.expect_equal(trimmed(demo.run({"fields", "get", suites + "#1", "ADDED"})),
                      local_date_today(),
                      "both subsongs are stamped with today's date, field name upper-cased");
    demo.run({"fields", "add", suites + "#0", "MOOD", "calm"});
    demo.run({"fields", "add", suites + "#0", "MOOD", "warm"});

    demo.step("Show the fields in title formatting");
    const std::string script =
        "%filename%: [rated %RATING%, ]$shelf_num(MOOD) mood(s) [$shelf_sep(MOOD,', ',' and ') ]"
        "| $shelf_list(/,:)";
    std::string titles = demo.run({"format", script, so_what, naima, suites + "#0", old_name});
    demo.expect(titles.find("Bach - Cello Suites: 2 mood(s) calm and warm | ADDED:" +
                            local_date_today() + "/MOOD:calm/MOOD:warm") != std::string::npos,
                "$shelf_num, $shelf_sep and $shelf_list show every value");
    demo.expect(titles.find("Miles - So What: rated 5, 0 mood(s) | RATING:5") != std::string::npos,
                "%RATING% shows the first value");

    demo.step("Move one file and delete another: the fields follow");
    demo.run({"file", "move", old_name, new_name});
    demo.expect_equal(trimmed(demo.run({"format", "%RATING%", new_name})), "3",
                      "the rating moved with the file");
    demo.run({"file", "delete", naima});
    demo.expect(trimmed(demo.run({"fields", "list", naima})).empty(),
                "the deleted file's fields are gone");

    demo.step("Switch to the text file, copying everything");
    demo.run({"storage", "use", "text", "--copy"});
    stats = demo.run({"storage", "stats"});
    demo.expect(stats.find("Text file (sonarith\\tagshelf.txt)") != std::string::npos &&
                    stats.find("File entries: 4") != std::string::npos &&
                    stats.find("Values: 6") != std::string::npos,
                "the text file holds 4 entries with 6 values");
    demo.expect(fs::exists(fs::u8path(profile + path_separator + "tagshelf.txt")),
                "tagshelf.txt is in the profile");

    demo.step("Restart the host: everything is still there");
    std::string again = demo.run({"format", script, so_what, naima, suites + "#0", new_name});
    std::vector<std::string> earlier = lines_of(titles), later = lines_of(again);
    demo.expect(later.size() == 4 && earlier.size() == 4 && later[0] == earlier[0] &&
                    later[2] == earlier[2] &&
                    later[3] == "Demo take (final): rated 3, 0 mood(s) | RATING:3" &&
                    later[1] == "Coltrane - Naima: 0 mood(s) | ",
                "after the restart every title reads as before, under the moved file's new "
                "name, and the deleted file has nothing");

    std::printf("\n%s (%d check%s failed)\nThe demo's profile stays at %s\n",
                demo.failures() ? "The demo FAILED" : "The demo finished: every check passed",
                demo.failures(), demo.failures() == 1 ? "" : "s", profile.c_str());
    return demo.failures() ? 1 : 0;
}

std::vector<command_info> demo_commands() {
    return {{"demo", "", "show the component at work on a fresh profile (its own session)",
             [](host_session&, const command_args&) -> int {
                 throw std::runtime_error(
                     "the demo runs on a profile of its own: run "
                     "'sonarith-host demo' by itself");
             }}};
}
