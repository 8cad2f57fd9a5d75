// The system's own reason for a failed Windows call, as UTF-8 text.
#pragma once

#include <string>

// FormatMessage's text for `code` (a GetLastError value), without the line end;
// "error N" when the system has no text for it.
std::string system_error_text(unsigned long code);
