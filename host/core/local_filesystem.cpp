#include "host/core/local_filesystem.h"

#include <filesystem>
#include <string>
#include <string_view>

#include "host/core/local_file.h"

namespace {

constexpr const char url_prefix[] = "file://";
constexpr size_t url_prefix_length = sizeof url_prefix - 1;

// Whether a native path is canonical already: absolute, with one separator of
// the system's own between components, none at the end, and no empty, "." or
// ".." component. One pass over the path, which is the whole cost of the common
// case.
bool is_canonical(std::string_view path) {
    const size_t root = local_root_length(path);
    if (root == 0 || path.size() == root || path.back() == path_separator)
        return false;
    // Windows also takes '/' between components; the canonical form does not.
    if (path_separator != '/' && path.find('/') != std::string_view::npos)
        return false;
    // Each component starts right after a separator and ends before the next or
    // at the end.
    for (size_t start = root; start <= path.size();) {
        size_t end = path.find(path_separator, start);
        if (end == std::string_view::npos)
            end = path.size();
        const std::string_view component = path.substr(start, end - start);
        if (component.empty() || component == "." || component == "..")
            return false;
        start = end + 1;
    }
    return true;
}

}  // namespace

std::string local_filesystem::to_native(const char* path) {
    std::string text = path ? path : "";
    if (text.compare(0, url_prefix_length, url_prefix) == 0)
        text.erase(0, url_prefix_length);
    return text;
}

bool local_filesystem::is_our_path(const char* path) {
    if (!path || !*path)
        return false;
    std::string_view text(path);
    if (text.compare(0, url_prefix_length, url_prefix) == 0)
        return true;
    // Any other scheme belongs to another file system.
    return text.find("://") == std::string_view::npos;
}

bool local_filesystem::get_canonical_path(const char* path, string_base& out) {
    if (!is_our_path(path))
        return false;
    // Most paths arrive canonical already. Those are given back as they are,
    // without asking the file system and without a copy in between.
    const std::string_view given(path);
    const bool prefixed = given.compare(0, url_prefix_length, url_prefix) == 0;
    if (is_canonical(prefixed ? given.substr(url_prefix_length) : given)) {
        if (prefixed)
            out.set_string(path);
        else
            out.set_string((url_prefix + std::string(given)).c_str());
        return true;
    }
    const std::string native = to_native(path);
    std::error_code error;
    std::filesystem::path absolute =
        std::filesystem::absolute(std::filesystem::u8path(native), error);
    if (error)
        return false;
    out.set_string((url_prefix + absolute.lexically_normal().u8string()).c_str());
    return true;
}

void local_filesystem::open(service_ptr_t<file>& out, const char* path, t_open_mode mode,
                            abort_callback& abort) {
    abort.check();
    out = open_local_file(to_native(path), mode);
}

bool local_filesystem::exists(const char* path, abort_callback& abort) {
    abort.check();
    return local_path_exists(to_native(path));
}
