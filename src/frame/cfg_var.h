// Configuration variables: typed values with a fixed GUID that the host saves with
// its configuration and gives back at the next start. Every variable is a static
// object that links itself at the head of the component's chain when constructed.
#pragma once

#include <cstdint>
#include <string>

#include "sdk/abort.h"
#include "sdk/guid.h"
#include "sdk/stream.h"

class cfg_var {
public:
    cfg_var(const cfg_var&) = delete;
    cfg_var& operator=(const cfg_var&) = delete;

    const GUID& get_guid() const { return m_guid; }
    // The GUID that earlier builds wrote this variable under, or the null GUID. A
    // record under it is read only when the settings hold none under get_guid();
    // the variable is always written under get_guid().
    const GUID& get_earlier_guid() const { return m_earlier_guid; }
    cfg_var* get_next() const { return m_next; }
    // The variable constructed last, or null.
    static cfg_var* chain_head();

    // Writes the value's bytes.
    virtual void write_data(stream_writer& out, abort_callback& abort) = 0;
    // Replaces the value from the bytes offered (`size_hint` of them at most).
    // A malformed record raises exception_io_data.
    virtual void read_data(stream_reader& in, size_t size_hint, abort_callback& abort) = 0;

protected:
    explicit cfg_var(const GUID& guid, const GUID& earlier_guid = guid_null);
    ~cfg_var() = default;

private:
    static cfg_var*& head();
    const GUID m_guid;
    const GUID m_earlier_guid;
    cfg_var* m_next;
};

// A 32-bit signed integer (4 bytes) or a GUID (16 bytes in its memory layout).
template <class T>
class cfg_int_t final : public cfg_var {
public:
    cfg_int_t(const GUID& guid, T initial) : cfg_var(guid), m_value(initial) {}

    operator T() const { return m_value; }
    T get() const { return m_value; }
    cfg_int_t& operator=(T value) {
        m_value = value;
        return *this;
    }

    void write_data(stream_writer& out, abort_callback& abort) override;
    void read_data(stream_reader& in, size_t size_hint, abort_callback& abort) override;

private:
    T m_value;
};

template <>
void cfg_int_t<int32_t>::write_data(stream_writer& out, abort_callback& abort);
template <>
void cfg_int_t<int32_t>::read_data(stream_reader& in, size_t size_hint, abort_callback& abort);
template <>
void cfg_int_t<GUID>::write_data(stream_writer& out, abort_callback& abort);
template <>
void cfg_int_t<GUID>::read_data(stream_reader& in, size_t size_hint, abort_callback& abort);

// A UTF-8 text: its bytes without terminator.
class cfg_string final : public cfg_var {
public:
    cfg_string(const GUID& guid, const char* initial) : cfg_var(guid), m_value(initial) {}

    const std::string& get() const { return m_value; }
    const char* get_ptr() const { return m_value.c_str(); }
    cfg_string& operator=(std::string value) {
        m_value = std::move(value);
        return *this;
    }

    void write_data(stream_writer& out, abort_callback& abort) override;
    void read_data(stream_reader& in, size_t size_hint, abort_callback& abort) override;

private:
    std::string m_value;
};
