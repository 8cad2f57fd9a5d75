// file move / copy / delete: the host's file operations. Each is done on disk when
// the source exists, then announced to every file_operation_callback service with
// every affected file; the media library follows as a player's would.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "host/cli/commands.h"
#include "host/core/host_session.h"
#include "sdk/file_operation_callback.h"

namespace fs = std::filesystem;

namespace {

struct file_pairs {
    std::vector<std::string> from;  // host paths
    std::vector<std::string> to;
};

fs::path absolute_path(const std::string& argument) {
    return fs::absolute(fs::u8path(to_file_path(argument))).lexically_normal();
}

// The files an operation on `source` affects, each paired with its counterpart
// under `target`: every file under a folder, or the one path itself.
file_pairs affected_files(const fs::path& source, const fs::path& target) {
    file_pairs pairs;
    if (fs::is_directory(source)) {
        for (const auto& item : fs::recursive_directory_iterator(source)) {
            if (item.is_directory())
                continue;
            // The entries are the source's own paths below it: relative to it by
            // their spelling alone, with no look-up on disk per file.
            fs::path relative = item.path().lexically_relative(source);
            pairs.from.push_back(to_host_path(item.path().u8string()));
            pairs.to.push_back(to_host_path((target / relative).u8string()));
        }
    } else {
        pairs.from.push_back(to_host_path(source.u8string()));
        pairs.to.push_back(to_host_path(target.u8string()));
    }
    return pairs;
}

list_t<const char*> as_list(const std::vector<std::string>& paths) {
    list_t<const char*> list;
    for (const auto& path : paths)
        list.add_item(path.c_str());
    return list;
}

// `mv`-like: moving or copying onto an existing folder puts the source inside it.
fs::path resolve_target(const fs::path& source, const std::string& argument) {
    fs::path target = absolute_path(argument);
    if (fs::is_directory(target) && !fs::equivalent(source, target)) {
        return target / source.filename();
    }
    return target;
}

void need(const command_args& args, size_t count) {
    if (args.size() != count) {
        throw usage_error(count == 1 ? "exactly one PATH is needed" : "SRC and DST are needed");
    }
}

// What an operation did: on disk and announced, or only announced when its source
// does not exist, so that a mistyped path does not pass for a done operation.
void print_outcome(bool on_disk, const char* done, const char* operation, size_t paths) {
    if (on_disk) {
        std::printf("%s %zu file(s)\n", done, paths);
    } else {
        std::printf("no such file; sent the %s notification for %zu path%s\n", operation, paths,
                    paths == 1 ? "" : "s");
    }
}

// The callbacks every component registered for file operations.
std::vector<service_ptr_t<file_operation_callback>> callbacks(host_session& session) {
    return session.registry().all<file_operation_callback>();
}

// A move or copy of SRC to DST: the paths on disk and every file it affects. The
// operation is done on disk only when the source exists.
struct transfer {
    fs::path source;
    fs::path target;
    file_pairs pairs;

    explicit transfer(const command_args& args) {
        need(args, 2);
        source = absolute_path(args[0]);
        target = resolve_target(source, args[1]);
        pairs = affected_files(source, target);
    }
    bool on_disk() const {
        if (!fs::exists(source))
            return false;
        if (target.has_parent_path())
            fs::create_directories(target.parent_path());
        return true;
    }
};

int file_move(host_session& session, const command_args& args) {
    transfer move(args);
    const bool on_disk = move.on_disk();
    if (on_disk)
        fs::rename(move.source, move.target);
    for (size_t i = 0; i < move.pairs.from.size(); ++i) {
        session.library().move_path(move.pairs.from[i], move.pairs.to[i]);
    }
    auto from = as_list(move.pairs.from), to = as_list(move.pairs.to);
    for (auto& callback : callbacks(session))
        callback->files_moved(from, to);
    print_outcome(on_disk, "moved", "move", move.pairs.from.size());
    return 0;
}

int file_copy(host_session& session, const command_args& args) {
    transfer copy(args);
    const bool on_disk = copy.on_disk();
    if (on_disk) {
        fs::copy(copy.source, copy.target,
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    }
    auto from = as_list(copy.pairs.from), to = as_list(copy.pairs.to);
    for (auto& callback : callbacks(session))
        callback->files_copied(from, to);
    print_outcome(on_disk, "copied", "copy", copy.pairs.from.size());
    return 0;
}

int file_delete(host_session& session, const command_args& args) {
    need(args, 1);
    fs::path path = absolute_path(args[0]);
    file_pairs pairs = affected_files(path, path);
    const bool on_disk = fs::exists(path);
    if (on_disk)
        fs::remove_all(path);
    for (const auto& gone : pairs.from)
        session.library().remove_path(gone);
    auto items = as_list(pairs.from);
    for (auto& callback : callbacks(session))
        callback->files_deleted(items);
    print_outcome(on_disk, "deleted", "delete", pairs.from.size());
    return 0;
}

}  // namespace

std::vector<command_info> file_commands() {
    return {
        {"file move", "SRC DST", "move a file or folder and tell the components", file_move},
        {"file copy", "SRC DST", "copy a file or folder and tell the components", file_copy},
        {"file delete", "PATH", "delete a file or folder and tell the components", file_delete},
    };
}
