// The host's title formatting as components take part in it: compiled scripts,
// the text sink that fields and functions write to, extra hooks passed to one
// formatting call, and display hooks registered for every formatting.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sdk/guid.h"
#include "sdk/service.h"
#include "sdk/strings.h"

class metadb_handle;

// Receives the text a field or function produces.
class titleformat_text_out {
public:
    // Writes `length` bytes of `text` (text_to_terminator: up to its zero), tagged
    // with the identifier of the kind of input it came from.
    virtual void write(const GUID& input_type, const char* text,
                       size_t length = text_to_terminator) = 0;
    void write_int(const GUID& input_type, int64_t value);

protected:
    ~titleformat_text_out() = default;
};

// The parameters of one function call, already evaluated.
class titleformat_hook_function_params {
public:
    virtual size_t get_param_count() = 0;
    // Text of parameter `index`: a pointer and a byte length, not necessarily
    // zero-terminated.
    virtual void get_param(size_t index, const char*& text, size_t& length) = 0;

protected:
    ~titleformat_hook_function_params() = default;
};

// An extra source of fields and functions for one formatting call. The name
// arguments are not necessarily zero-terminated; the length counts their bytes.
class titleformat_hook {
public:
    virtual bool resolve_field(titleformat_text_out* out, const char* name, size_t name_length,
                               bool& found) = 0;
    virtual bool resolve_function(titleformat_text_out* out, const char* name, size_t name_length,
                                  titleformat_hook_function_params* params, bool& found) = 0;

protected:
    ~titleformat_hook() = default;
};

// A compiled script, reusable for any number of tracks.
class titleformat_object : public service_base {
public:
    using interface_type = titleformat_object;
    using parent_class = service_base;
    static constexpr GUID class_guid = {
        0xC786C51B, 0x3EAF, 0x48DE, {0xBC, 0xB7, 0x6B, 0xAC, 0x4F, 0x9C, 0x5D, 0xBE}};

protected:
    ~titleformat_object() = default;
};

// The host's script compiler.
class titleformat_compiler : public service_base {
public:
    using interface_type = titleformat_compiler;
    using parent_class = service_base;
    static constexpr GUID class_guid = {
        0x3F7674AB, 0x044C, 0x4796, {0x88, 0x01, 0x6C, 0x44, 0x3C, 0x24, 0x4D, 0x88}};

    // Compiles `script`; false when it does not compile (`out` is then unchanged).
    virtual bool compile(service_ptr_t<titleformat_object>& out, const char* script) = 0;

protected:
    ~titleformat_compiler() = default;
};

// Consulted by the host for fields and functions whenever it formats a track.
class metadb_display_hook : public service_base {
public:
    using interface_type = metadb_display_hook;
    using parent_class = service_base;
    static constexpr GUID class_guid = {
        0x4560C877, 0xC41A, 0x4C71, {0xBB, 0x75, 0xA7, 0xA5, 0xBA, 0xFC, 0x18, 0xD8}};

    // Answers true when the hook resolved the reference (the written text is its
    // value); `found` is set when a value was produced.
    virtual bool resolve_field(metadb_handle* track, titleformat_text_out* out, const char* name,
                               size_t name_length, bool& found) = 0;
    virtual bool resolve_function(metadb_handle* track, titleformat_text_out* out, const char* name,
                                  size_t name_length, titleformat_hook_function_params* params,
                                  bool& found) = 0;

protected:
    ~metadb_display_hook() = default;
};
