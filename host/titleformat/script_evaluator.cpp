#include "host/titleformat/script_evaluator.h"

#include <cstring>

#include "host/titleformat/function_library.h"
#include "host/titleformat/host_fields.h"
#include "sdk/utf8.h"

namespace {

// What a field nobody resolves shows.
constexpr const char* unknown_field_text = "?";
constexpr const char* unknown_function_text = "[UNKNOWN FUNCTION]";

// The sink handed to hooks: appends to the line being formatted. Text stops at a
// zero byte, as the host's strings do, so a stray zero cannot cut the line short.
class appending_text_out final : public titleformat_text_out {
public:
    explicit appending_text_out(std::string& out) : m_out(out) {}
    void write(const GUID&, const char* text, size_t length) override {
        if (!text)
            return;
        if (length == text_to_terminator) {
            length = std::strlen(text);
        } else if (const void* zero = std::memchr(text, 0, length)) {
            length = size_t(static_cast<const char*>(zero) - text);
        }
        m_out.append(text, length);
    }

private:
    std::string& m_out;
};

// A call's parameters as hooks see them: the evaluated text of each.
class evaluated_params final : public titleformat_hook_function_params {
public:
    explicit evaluated_params(const std::vector<function_arg>& args) : m_args(args) {}
    size_t get_param_count() override { return m_args.size(); }
    void get_param(size_t index, const char*& text, size_t& length) override {
        if (index >= m_args.size()) {
            text = "";
            length = 0;
            return;
        }
        text = m_args[index].text.c_str();
        length = m_args[index].text.size();
    }

private:
    const std::vector<function_arg>& m_args;
};

// Offers a reference to one hook. `ask` runs the hook with a sink that appends
// to `out` and a found flag starting false; text of a hook that declines is
// taken back out of `out`.
template <class Ask>
bool offer(std::string& out, bool& truth, Ask ask) {
    size_t mark = out.size();
    appending_text_out sink(out);
    bool found = false;
    if (ask(sink, found)) {
        truth = found;
        return true;
    }
    out.resize(mark);
    return false;
}

}  // namespace

std::string script_evaluator::format(const script_sequence& script) {
    std::string out;
    sequence(script, out);
    return out;
}

bool script_evaluator::sequence(const script_sequence& nodes, std::string& out) {
    bool truth = false;
    for (const auto& item : nodes) {
        // Every node is evaluated: a true one earlier does not hide later text.
        truth = node(item, out) || truth;
    }
    return truth;
}

bool script_evaluator::node(const script_node& item, std::string& out) {
    switch (item.type) {
        case script_node::kind::text:
            out += item.text;
            return false;
        case script_node::kind::field:
            return field(item, out);
        case script_node::kind::function:
            return function(item, out);
        case script_node::kind::section:
            return section(item, out);
    }
    return false;
}

bool script_evaluator::field(const script_node& item, std::string& out) {
    const char* name = item.text.c_str();
    size_t length = item.text.size();
    bool truth = false;
    if (m_extra_hook && offer(out, truth, [&](titleformat_text_out& sink, bool& found) {
            return m_extra_hook->resolve_field(&sink, name, length, found);
        }))
        return truth;
    for (const auto& hook : m_display_hooks) {
        if (offer(out, truth, [&](titleformat_text_out& sink, bool& found) {
                return hook->resolve_field(m_track, &sink, name, length, found);
            }))
            return truth;
    }
    if (m_track && resolve_host_field(m_track->get_location(), item.text, out))
        return true;
    out += unknown_field_text;
    return false;
}

bool script_evaluator::function(const script_node& item, std::string& out) {
    // Hooks receive every parameter as text, so all of them are evaluated before
    // any hook is asked; no hook runs while another is in the middle of a call.
    std::vector<function_arg> args(item.params.size());
    for (size_t i = 0; i < args.size(); ++i)
        args[i].truth = sequence(item.params[i], args[i].text);

    const char* name = item.text.c_str();
    size_t length = item.text.size();
    evaluated_params params(args);
    bool truth = false;
    if (m_extra_hook && offer(out, truth, [&](titleformat_text_out& sink, bool& found) {
            return m_extra_hook->resolve_function(&sink, name, length, &params, found);
        }))
        return truth;
    for (const auto& hook : m_display_hooks) {
        if (offer(out, truth, [&](titleformat_text_out& sink, bool& found) {
                return hook->resolve_function(m_track, &sink, name, length, &params, found);
            }))
            return truth;
    }

    const builtin_function* builtin = item.builtin;
    if (!builtin) {
        out += unknown_function_text;
        return false;
    }
    if (args.size() < builtin->min_params || args.size() > builtin->max_params) {
        out += "[INVALID $";
        utf8_append_upper(out, item.text);
        out += " SYNTAX]";
        return false;
    }
    return builtin->run(args, out);
}

bool script_evaluator::section(const script_node& item, std::string& out) {
    size_t mark = out.size();
    if (sequence(item.body, out))
        return true;
    out.resize(mark);
    return false;
}
