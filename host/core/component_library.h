// The system's dynamic libraries, as the component loader needs them: one file
// per platform (component_library_posix.cpp, component_library_win32.cpp).
#pragma once

#include <string>

// The file-name extension of a component library on this system, e.g. ".so".
extern const char component_library_extension[];

// The folder the host looks into for its components: `components` beside the
// running program.
std::string component_directory();

// Opens the library at `path` (UTF-8); raises std::runtime_error with the
// system's reason when it cannot.
void* open_library(const std::string& path);
// The address of the exported `name`, or null.
void* find_library_symbol(void* library, const char* name);
void close_library(void* library);
