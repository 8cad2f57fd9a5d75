// The live handles the tagshelf service has given out, newest first, so that a
// switch of storage can re-bind every one of them. The list has its own lock; it is
// held only while linking, unlinking or walking.
#pragma once

#include <mutex>

class handle_registry {
public:
    // The links a registered object carries.
    struct node {
        node* next = nullptr;
        node* previous = nullptr;
    };

    handle_registry() = default;
    handle_registry(const handle_registry&) = delete;
    handle_registry& operator=(const handle_registry&) = delete;

    // Links `item` at the head.
    void link(node& item);
    void unlink(node& item);

    // Calls `visit` on every linked node, newest first, with the list locked.
    // `visit` must not link or unlink; an exception it raises ends the walk.
    template <class Visit>
    void for_each(Visit&& visit) {
        std::lock_guard<std::mutex> guard(m_lock);
        for (node* item = m_head; item; item = item->next)
            visit(*item);
    }

private:
    std::mutex m_lock;
    node* m_head = nullptr;
};
