#include "service/handle_wrapper.h"

#include <stdexcept>
#include <utility>

const char* const stale_accessor_message =
    "The tagshelf storage was switched while this reader or writer was held; release it "
    "and take a new one.";

tagshelf_impl::tagshelf_handle_wrapper::tagshelf_handle_wrapper(metadb_handle_ptr track,
                                                                tagshelf_handle_ptr storage_handle,
                                                                uint32_t binding)
    : m_track(std::move(track)), m_storage_handle(std::move(storage_handle)), m_binding(binding) {
    tagshelf_impl::instance().handles().link(*this);
}

tagshelf_impl::tagshelf_handle_wrapper::~tagshelf_handle_wrapper() {
    tagshelf_impl::instance().handles().unlink(*this);
}

tagshelf_handle_ptr tagshelf_impl::tagshelf_handle_wrapper::storage_handle(
    uint32_t binding, tagshelf_reader& accessor) {
    std::lock_guard<std::mutex> guard(m_binding_lock);
    if (m_binding == binding) {
        if (!m_storage_handle)
            throw std::runtime_error("The tagshelf handle is not bound to a storage.");
        return m_storage_handle;
    }
    if (m_binding > binding)
        throw std::runtime_error(stale_accessor_message);
    tagshelf_handle_ptr rebound;
    accessor.get_handle(rebound, m_track);
    m_storage_handle = rebound;
    m_binding = binding;
    return rebound;
}

void tagshelf_impl::tagshelf_handle_wrapper::prepare(tagshelf_handle_ptr storage_handle,
                                                     uint32_t binding) {
    tagshelf_handle_ptr previous;
    std::lock_guard<std::mutex> guard(m_binding_lock);
    previous = std::exchange(m_prepared_handle, std::move(storage_handle));
    m_prepared_binding = binding;
}

void tagshelf_impl::tagshelf_handle_wrapper::commit(uint32_t binding) {
    tagshelf_handle_ptr previous;
    std::lock_guard<std::mutex> guard(m_binding_lock);
    if (m_prepared_binding != binding || !m_prepared_handle)
        return;
    previous = std::exchange(m_storage_handle, std::move(m_prepared_handle));
    m_binding = binding;
}

void tagshelf_impl::tagshelf_handle_wrapper::clear(uint32_t binding) {
    tagshelf_handle_ptr previous, prepared;
    std::lock_guard<std::mutex> guard(m_binding_lock);
    previous = std::move(m_storage_handle);
    prepared = std::move(m_prepared_handle);
    m_binding = binding;
}
