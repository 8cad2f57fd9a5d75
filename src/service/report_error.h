// The component's one way of telling the user about a failure: a console line
// "ERROR : ..." and a message box captioned "snr_tagshelf". One box is shown at a
// time; reports made while it is open reach the console only. When the box offers
// it, Cancel switches the storage off (and saves that choice).
#pragma once

#include <exception>

// `error_text` may be null. Never raises.
void report_error(const char* message, bool offer_disable, const char* error_text) noexcept;
// For catch blocks: the exception's what() is the error text (none when empty).
void report_error(const char* message, bool offer_disable, const std::exception& error) noexcept;
// Inside a catch block only: reports with the text of the exception being handled,
// if it has one.
void report_current_error(const char* message, bool offer_disable) noexcept;
