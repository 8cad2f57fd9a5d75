// Failures are standard exceptions carrying an English message.
#pragma once

#include <stdexcept>
#include <string>

// An input/output failure (a file or stream that could not be read or written).
class exception_io : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    exception_io() : std::runtime_error("Input/output error") {}
};

// Data that does not have the expected format, e.g. a record shorter than announced.
class exception_io_data : public exception_io {
public:
    using exception_io::exception_io;
    exception_io_data() : exception_io("Unsupported format or corrupted file") {}
};

// A stream that ended before the bytes it was asked for.
class exception_io_data_truncation : public exception_io_data {
public:
    exception_io_data_truncation() : exception_io_data("Unexpected end of file") {}
};

class exception_aborted : public std::runtime_error {
public:
    exception_aborted() : std::runtime_error("User abort") {}
};
