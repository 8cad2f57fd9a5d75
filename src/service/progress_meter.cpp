#include "service/progress_meter.h"

#include "frame/host_ops.h"

namespace {

constexpr std::chrono::seconds interval{1};

}  // namespace

progress_meter::progress_meter(std::string activity, size_t total)
    : m_activity(std::move(activity)),
      m_total(total),
      m_next(std::chrono::steady_clock::now() + interval) {}

progress_meter::~progress_meter() {
    if (!m_told)
        return;
    try {
        host_ops::console_print("Tag Shelf: " + m_activity + ": done.");
    } catch (...) {
        // Only a console line is lost.
    }
}

void progress_meter::check(size_t done) {
    const auto now = std::chrono::steady_clock::now();
    if (now < m_next || m_total == 0)
        return;
    m_next = now + interval;
    m_told = true;
    host_ops::console_print("Tag Shelf: " + m_activity + ": " + std::to_string(done) + " of " +
                            std::to_string(m_total) + " entries (" +
                            std::to_string(done * 100 / m_total) + "%)");
}
