#include "host/titleformat/script_parser.h"

#include <utility>

#include "host/titleformat/function_library.h"

namespace {

// Where a sequence is being read; decides which characters end it.
enum class scope {
    top,      // the whole script: ends at the end of the text
    param,    // a function parameter: ends at ',' or ')'
    section,  // a [...] section: ends at ']'
};

// Raised inside the parser and turned into a script_error at the top.
struct parse_failure {
    size_t offset;
    const char* message;
};

bool is_name_char(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// Recursive descent over the script text, one sequence per call or section;
// raises parse_failure at the first fault.
class parser {
public:
    explicit parser(std::string_view text) : m_text(text) {}

    script_sequence run() { return sequence(scope::top, 0); }

private:
    bool at_end() const { return m_pos >= m_text.size(); }
    char peek() const { return m_text[m_pos]; }

    bool ends_sequence(scope where, char c) const {
        switch (where) {
            case scope::param:
                return c == ',' || c == ')';
            case scope::section:
                return c == ']';
            case scope::top:
                break;
        }
        return false;
    }

    // Appends literal text, joining it to a text node just before it.
    static void add_text(script_sequence& out, std::string_view text) {
        if (text.empty())
            return;
        if (!out.empty() && out.back().type == script_node::kind::text) {
            out.back().text.append(text);
            return;
        }
        script_node node;
        node.type = script_node::kind::text;
        node.text.assign(text);
        out.push_back(std::move(node));
    }

    script_sequence sequence(scope where, size_t depth) {
        script_sequence out;
        while (!at_end()) {
            char c = peek();
            if (ends_sequence(where, c))
                return out;
            switch (c) {
                case '%':
                    out.push_back(field());
                    break;
                case '$':
                    out.push_back(function(depth));
                    break;
                case '[':
                    out.push_back(section(depth));
                    break;
                case ']':
                    throw parse_failure{m_pos, "']' without a matching '['"};
                case '\'':
                    add_text(out, quoted());
                    break;
                default:
                    add_text(out, literal(where));
                    break;
            }
        }
        if (where == scope::param)
            throw parse_failure{m_pos, "a function call is not closed with ')'"};
        if (where == scope::section)
            throw parse_failure{m_pos, "a '[' section is not closed with ']'"};
        return out;
    }

    std::string_view literal(scope where) {
        size_t start = m_pos;
        while (!at_end()) {
            char c = peek();
            if (c == '%' || c == '$' || c == '[' || c == ']' || c == '\'' ||
                ends_sequence(where, c))
                break;
            ++m_pos;
        }
        return m_text.substr(start, m_pos - start);
    }

    std::string quoted() {
        size_t start = m_pos;
        ++m_pos;
        std::string text;
        if (!at_end() && peek() == '\'') {
            ++m_pos;
            return "'";
        }
        while (!at_end()) {
            char c = peek();
            ++m_pos;
            if (c != '\'') {
                text.push_back(c);
                continue;
            }
            if (!at_end() && peek() == '\'') {
                text.push_back('\'');
                ++m_pos;
                continue;
            }
            return text;
        }
        throw parse_failure{start, "quoted text is not closed with '"};
    }

    script_node field() {
        size_t start = m_pos;
        size_t close = m_text.find('%', start + 1);
        if (close == std::string_view::npos)
            throw parse_failure{start, "a field reference is not closed with '%'"};
        script_node node;
        node.type = script_node::kind::field;
        node.text.assign(m_text.substr(start + 1, close - start - 1));
        m_pos = close + 1;
        return node;
    }

    void enter(size_t depth, size_t at) const {
        if (depth >= max_script_depth)
            throw parse_failure{at, "calls and sections are nested too deeply"};
    }

    script_node function(size_t depth) {
        size_t start = m_pos;
        enter(depth, start);
        ++m_pos;
        size_t name_start = m_pos;
        while (!at_end() && is_name_char(peek()))
            ++m_pos;
        if (m_pos == name_start)
            throw parse_failure{start, "'$' is not followed by a function name"};
        if (at_end() || peek() != '(')
            throw parse_failure{start, "a function name is not followed by '('"};
        script_node node;
        node.type = script_node::kind::function;
        node.text.assign(m_text.substr(name_start, m_pos - name_start));
        node.builtin = find_builtin(node.text);
        ++m_pos;
        if (!at_end() && peek() == ')') {
            ++m_pos;
            return node;
        }
        for (;;) {
            node.params.push_back(sequence(scope::param, depth + 1));
            // sequence() returns only before ',' or ')' in a parameter.
            char c = peek();
            ++m_pos;
            if (c == ')')
                return node;
        }
    }

    script_node section(size_t depth) {
        size_t start = m_pos;
        enter(depth, start);
        ++m_pos;
        script_node node;
        node.type = script_node::kind::section;
        node.body = sequence(scope::section, depth + 1);
        ++m_pos;  // the ']'
        return node;
    }

    std::string_view m_text;
    size_t m_pos = 0;
};

}  // namespace

bool parse_script(std::string_view script, script_sequence& out, script_error& error) {
    try {
        out = parser(script).run();
        return true;
    } catch (const parse_failure& failure) {
        error.offset = failure.offset;
        error.message = failure.message;
        return false;
    }
}
