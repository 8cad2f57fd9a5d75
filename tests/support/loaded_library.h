// A shared library of this system opened as a host opens its components, for the
// tests that look at the component's library from outside.
#pragma once

#include <string>
#include <vector>

class loaded_library {
public:
    // Opens the library at `path`; loaded() tells whether it could.
    explicit loaded_library(const std::string& path);
    ~loaded_library();
    loaded_library(const loaded_library&) = delete;
    loaded_library& operator=(const loaded_library&) = delete;

    bool loaded() const { return m_handle != nullptr; }
    // Why the library did not open.
    const std::string& error() const { return m_error; }
    // The system's handle, which the host hands to the component as its instance.
    void* handle() const { return m_handle; }
    // The address of the function the library exports as `name`, or null.
    void* symbol(const char* name) const;
    // The names of every function the library exports.
    std::vector<std::string> exported_functions() const;

private:
    std::string m_path;
    void* m_handle = nullptr;
    std::string m_error;
};
