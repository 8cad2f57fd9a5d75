#include "service/handle_registry.h"

void handle_registry::link(node& item) {
    std::lock_guard<std::mutex> guard(m_lock);
    item.previous = nullptr;
    item.next = m_head;
    if (m_head)
        m_head->previous = &item;
    m_head = &item;
}

void handle_registry::unlink(node& item) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (item.previous) {
        item.previous->next = item.next;
    } else if (m_head == &item) {
        m_head = item.next;
    }
    if (item.next)
        item.next->previous = item.previous;
    item.next = item.previous = nullptr;
}
