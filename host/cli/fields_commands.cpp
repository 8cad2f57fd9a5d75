// fields list / get / set / add / remove: reads and writes a track's fields through
// the public tagshelf service, exactly as another component would: a single-instance
// lookup of the service in the registry, then a reader or a writer.
#include <cstdio>
#include <stdexcept>
#include <string>

#include "host/cli/commands.h"
#include "host/core/host_session.h"
#include "service/tagshelf.h"
#include "storage/x_info.h"

namespace {

// Exit status of a fields command when no storage is active.
constexpr int no_storage_status = 2;

service_ptr_t<tagshelf> find_tagshelf(host_session& session) {
    auto services = session.registry().all<tagshelf>();
    if (services.empty())
        throw std::runtime_error(
            "the tagshelf service is not registered (no component provides it)");
    if (services.size() > 1)
        throw std::runtime_error("more than one tagshelf service is registered");
    return services.front();
}

int report_no_storage(const char* command) {
    std::fprintf(stderr,
                 "sonarith-host %s: no tagshelf storage is active; choose a storage method "
                 "first (storage use config|sqlite|text)\n",
                 command);
    return no_storage_status;
}

metadb_handle_ptr track_of(host_session& session, const std::string& argument) {
    return session.tracks().track(parse_track_argument(argument));
}

int fields_list(host_session& session, const command_args& args) {
    if (args.empty())
        throw usage_error("at least one TRACK is needed");
    service_ptr_t<tagshelf_reader> reader;
    if (!find_tagshelf(session)->get_reader(reader))
        return report_no_storage("fields list");
    for (const auto& argument : args) {
        tagshelf_handle_ptr handle;
        reader->get_handle(handle, track_of(session, argument));
        x_info_impl info;
        reader->get_info(handle, info);
        // With several tracks each line says whose value it is, as grep names files.
        std::string prefix =
            args.size() > 1 ? describe_location(handle->get_location()) + "\t" : std::string();
        for (size_t field = 0; field < info.get_field_count(); ++field) {
            for (size_t value = 0; value < info.get_value_count(field); ++value) {
                std::printf("%s%s=%s\n", prefix.c_str(), info.get_field_name(field),
                            info.get_value(field, value));
            }
        }
    }
    return 0;
}

size_t parse_index(const std::string& text) {
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        throw usage_error("INDEX must be a number from 0");
    return size_t(std::stoul(text));
}

int fields_get(host_session& session, const command_args& args) {
    if (args.size() < 2 || args.size() > 3)
        throw usage_error("TRACK and NAME are needed, and at most an INDEX");
    const size_t index = args.size() == 3 ? parse_index(args[2]) : 0;
    service_ptr_t<tagshelf_reader> reader;
    if (!find_tagshelf(session)->get_reader(reader))
        return report_no_storage("fields get");
    tagshelf_handle_ptr handle;
    reader->get_handle(handle, track_of(session, args[0]));
    string8 value;
    if (!reader->get_value(handle, args[1].c_str(), index, value))
        return 1;
    std::printf("%s\n", value.get_ptr());
    return 0;
}

// Whether a storage is active: a reader is handed out exactly then, since it
// needs nothing but the storage's store.
bool storage_is_active(tagshelf& shelf) {
    service_ptr_t<tagshelf_reader> reader;
    return shelf.get_reader(reader);
}

// Runs `write` with a writer and the handle of the command's TRACK.
template <class Write>
int with_writer(host_session& session, const char* command, const std::string& track, Write write) {
    service_ptr_t<tagshelf> shelf = find_tagshelf(session);
    // The service answers no writer both when no storage is active and when the
    // active one cannot be opened for writing (it has told the user why); asking
    // first tells the two apart. An answer to its error box may switch the storage
    // off, so the question comes before the writer.
    const bool active = storage_is_active(*shelf);
    service_ptr_t<tagshelf_reader_writer> writer;
    if (!shelf->get_writer(writer)) {
        if (!active)
            return report_no_storage(command);
        std::fprintf(stderr,
                     "sonarith-host %s: the write was not made: the tagshelf storage could not "
                     "be opened for writing\n",
                     command);
        return 1;
    }
    tagshelf_handle_ptr handle;
    writer->get_handle(handle, track_of(session, track));
    write(*writer, handle);
    return 0;
}

int fields_set(host_session& session, const command_args& args) {
    if (args.size() != 3)
        throw usage_error("TRACK, NAME and VALUE are needed");
    return with_writer(session, "fields set", args[0],
                       [&](tagshelf_reader_writer& writer, const tagshelf_handle_ptr& handle) {
                           writer.set_value(handle, args[1].c_str(), args[2].c_str());
                       });
}

int fields_add(host_session& session, const command_args& args) {
    if (args.size() != 3)
        throw usage_error("TRACK, NAME and VALUE are needed");
    return with_writer(session, "fields add", args[0],
                       [&](tagshelf_reader_writer& writer, const tagshelf_handle_ptr& handle) {
                           writer.add_value(handle, args[1].c_str(), args[2].c_str());
                       });
}

int fields_remove(host_session& session, const command_args& args) {
    if (args.empty() || args.size() > 2)
        throw usage_error("TRACK is needed, and at most a NAME");
    return with_writer(session, "fields remove", args[0],
                       [&](tagshelf_reader_writer& writer, const tagshelf_handle_ptr& handle) {
                           if (args.size() == 2) {
                               writer.remove_field(handle, args[1].c_str());
                           } else {
                               writer.remove_info(handle);
                           }
                       });
}

}  // namespace

std::vector<command_info> fields_commands() {
    return {
        {"fields list", "TRACK...", "list the fields of tracks, one NAME=VALUE line per value",
         fields_list},
        {"fields get", "TRACK NAME [INDEX]",
         "print one value of a field (exit status 1 when there is none)", fields_get},
        {"fields set", "TRACK NAME VALUE", "give a field exactly this one value", fields_set},
        {"fields add", "TRACK NAME VALUE", "append a value to a field", fields_add},
        {"fields remove", "TRACK [NAME]", "remove one field, or all fields of the track",
         fields_remove},
    };
}
