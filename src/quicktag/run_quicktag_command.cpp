#include "quicktag/run_quicktag_command.h"

#include <stdexcept>
#include <string>
#include <vector>

#include "frame/host_ops.h"
#include "quicktag/split_bar_list.h"
#include "service/report_error.h"
#include "service/tagshelf.h"
#include "titleformat/datetime_hook.h"

namespace {

constexpr const char* failure_message = "Executing tagshelf context command failed.";
constexpr const char* no_storage_text =
    "Couldn't open tagshelf storage. Check that snr_tagshelf is enabled.";

// A writer of the registered tagshelf service, or a failure naming the cure.
service_ptr_t<tagshelf_reader_writer> open_writer() {
    service_ptr_t<tagshelf> shelf;
    try {
        shelf = host_ops::find_single<tagshelf>();
    } catch (const std::exception&) {
        throw std::runtime_error(no_storage_text);
    }
    service_ptr_t<tagshelf_reader_writer> writer;
    if (!shelf->get_writer(writer))
        throw std::runtime_error(no_storage_text);
    return writer;
}

// One field of the command: its name without the append mark, and how to get the
// text to write.
struct field_job {
    std::string name;
    bool append = false;
    std::string value;
    // The compiled value script, when values are title-formatted and it compiled.
    service_ptr_t<titleformat_object> script;
    bool skip = false;  // empty name, or a script that does not compile
};

std::vector<field_job> plan_fields(std::string_view field_names, std::string_view values,
                                   bool titleformat) {
    std::vector<std::string> names = split_bar_list(field_names);
    std::vector<std::string> texts = split_bar_list(values);
    std::vector<field_job> jobs(names.size());
    for (size_t j = 0; j < names.size(); ++j) {
        field_job& job = jobs[j];
        job.name = names[j];
        if (!job.name.empty() && job.name[0] == '#') {
            job.name.erase(0, 1);
            job.append = true;
        }
        job.skip = job.name.empty();
        if (j < texts.size())
            job.value = texts[j];
    }
    if (titleformat) {
        // A script compiles the same for every track, so each is compiled once.
        service_ptr_t<titleformat_compiler> compiler =
            host_ops::find_single<titleformat_compiler>();
        for (auto& job : jobs) {
            if (job.skip)
                continue;
            if (!compiler->compile(job.script, job.value.c_str()))
                job.skip = true;
        }
    }
    return jobs;
}

void write_field(tagshelf_reader_writer& writer, const tagshelf_handle_ptr& handle,
                 const field_job& job, const std::string& result, bool remove_empty) {
    bool empty = result.empty();
    if (job.append) {
        if (remove_empty && empty)
            return;
        writer.add_value(handle, job.name.c_str(), result.c_str());
    } else if (remove_empty && empty) {
        writer.remove_field(handle, job.name.c_str());
    } else {
        writer.set_value(handle, job.name.c_str(), result.c_str());
    }
}

}  // namespace

void run_quicktag_command(std::string_view field_names, const contextmenu_tracks& tracks,
                          std::string_view values, bool titleformat, bool remove_empty) {
    // One reading of the clock for the whole command, taken before any track.
    datetime_hook now;
    try {
        service_ptr_t<tagshelf_reader_writer> writer = open_writer();
        std::vector<field_job> jobs = plan_fields(field_names, values, titleformat);
        for (size_t t = 0; t < tracks.get_count(); ++t) {
            metadb_handle_ptr track = tracks[t];
            for (const auto& job : jobs) {
                if (job.skip)
                    continue;
                string8 result;
                if (titleformat) {
                    if (!track->format_title(&now, result, job.script))
                        continue;
                } else {
                    result.set_string(job.value.data(), job.value.size());
                }
                tagshelf_handle_ptr handle;
                writer->get_handle(handle, track);
                write_field(*writer, handle, job, result.str(), remove_empty);
            }
        }
        // Leaving the scope releases the writer: it commits and redraws the tracks.
    } catch (...) {
        report_current_error(failure_message, true);
    }
}
