// UTF-8 text across the host boundary. Operations that hand text back take a
// string_base receiver and replace its content; string8 is the usual receiver.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

// Length argument meaning "up to the terminating zero".
inline constexpr size_t text_to_terminator = ~size_t(0);

class string_base {
public:
    virtual const char* get_ptr() const = 0;
    virtual size_t get_length() const = 0;
    // Replaces the content with `length` bytes of `text` (text_to_terminator:
    // up to its terminating zero, or fewer when a zero comes first).
    virtual void set_string(const char* text, size_t length = text_to_terminator) = 0;
    virtual void add_string(const char* text, size_t length = text_to_terminator) = 0;
    virtual void truncate(size_t length) = 0;

    void reset() { truncate(0); }
    bool is_empty() const { return get_length() == 0; }
    std::string_view view() const { return {get_ptr(), get_length()}; }

protected:
    ~string_base() = default;
    static size_t clip(const char* text, size_t length) {
        if (!text)
            return 0;
        if (length == text_to_terminator)
            return std::strlen(text);
        const void* zero = std::memchr(text, 0, length);
        return zero ? size_t(static_cast<const char*>(zero) - text) : length;
    }
};

class string8 final : public string_base {
public:
    string8() = default;
    string8(const char* text, size_t length = text_to_terminator) { set_string(text, length); }
    string8(std::string_view text) : m_text(text) {}

    const char* get_ptr() const override { return m_text.c_str(); }
    size_t get_length() const override { return m_text.size(); }
    void set_string(const char* text, size_t length = text_to_terminator) override {
        m_text.assign(text ? text : "", clip(text, length));
    }
    void add_string(const char* text, size_t length = text_to_terminator) override {
        m_text.append(text ? text : "", clip(text, length));
    }
    void truncate(size_t length) override {
        if (length < m_text.size())
            m_text.resize(length);
    }

    const std::string& str() const { return m_text; }
    std::string& str() { return m_text; }
    operator std::string_view() const { return m_text; }

private:
    std::string m_text;
};
