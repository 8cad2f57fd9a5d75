#include "service/report_error.h"

#include <atomic>
#include <string>

#include "frame/host_ops.h"
#include "sdk/window.h"
#include "service/tagshelf_impl.h"

namespace {

// Set while a report's message box is open.
std::atomic<bool> report_showing{false};

}  // namespace

void report_error(const char* message, bool offer_disable, const char* error_text) noexcept {
    try {
        const std::string text = message ? message : "";
        std::string dialog = text;
        if (offer_disable)
            dialog +=
                "\r\nPress cancel to disable snr_tagshelf or ok to ignore error and continue.";
        std::string console = "ERROR : " + text;
        if (error_text) {
            dialog += "\r\n\r\nError message: ";
            dialog += error_text;
            console += " (";
            console += error_text;
            console += ")";
        }
        host_ops::console_print(console);

        bool expected = false;
        if (!report_showing.compare_exchange_strong(expected, true))
            return;
        struct clear_on_exit {
            ~clear_on_exit() { report_showing.store(false); }
        } clear;
        const unsigned style =
            (offer_disable ? MB_OKCANCEL : MB_OK) | MB_ICONEXCLAMATION;  // 49 or 48
        const int answer =
            uMessageBox(host_ops::main_window(), dialog.c_str(), "snr_tagshelf", style);
        if (offer_disable && answer == IDCANCEL)
            tagshelf_impl::instance().switch_storage(guid_null, false, true, true);
    } catch (...) {
        // The reporting path itself has nowhere left to report to.
    }
}

void report_error(const char* message, bool offer_disable, const std::exception& error) noexcept {
    const char* text = error.what();
    report_error(message, offer_disable, text && *text ? text : nullptr);
}

void report_current_error(const char* message, bool offer_disable) noexcept {
    try {
        throw;
    } catch (const std::exception& error) {
        report_error(message, offer_disable, error);
    } catch (...) {
        report_error(message, offer_disable, nullptr);
    }
}
