// The window layer as components see it: Win32-style window handles and message
// boxes with UTF-8 text. On Windows these are the system's own; elsewhere the host
// provides the windows through its window_system service.
#pragma once

#include "sdk/service.h"

#ifdef _WIN32
#include <windows.h>
#else
struct sdk_window;
typedef sdk_window* HWND;

// Message box styles and answers, with their Windows values.
inline constexpr unsigned MB_OK = 0x00;
inline constexpr unsigned MB_OKCANCEL = 0x01;
inline constexpr unsigned MB_YESNO = 0x04;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONEXCLAMATION = 0x30;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;
#endif

// The host's windows. One instance is registered by the host.
class window_system : public service_base {
public:
    using interface_type = window_system;
    using parent_class = service_base;
    static constexpr GUID class_guid = {
        0xDC9AE411, 0xF4AB, 0x417F, {0x96, 0x7B, 0x88, 0xE8, 0x1B, 0x41, 0x65, 0x9B}};

    // Shows a modal message box; answers the Windows answer code (IDOK, ...).
    virtual int message_box(HWND owner, const char* text, const char* caption, unsigned style) = 0;

protected:
    ~window_system() = default;
};

// Shows a message box through the host. Without a window system, questions are
// answered IDNO and other boxes IDOK.
int uMessageBox(HWND owner, const char* text, const char* caption, unsigned style);
