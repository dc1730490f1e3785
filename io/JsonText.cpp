// Recursive-descent JSON reader (see the header).
#include "io/JsonText.h"

#include <cstdlib>
#include <cctype>
#include <cstring>

namespace {

const int kMaxDepth = 200;

class Parser {
public:
    explicit Parser(const std::string& t) : m_t(t) {}

    bool Document(JsonValue* v, std::string* reason)
    {
        if (Value(v, 0) && (Blank(), m_p == m_t.size()))
            return true;
        if (m_error.empty())
            m_error = "unexpected text";
        *reason = "not valid JSON at byte " + std::to_string(m_p) + ": " + m_error;
        return false;
    }

private:
    void Blank()
    {
        while (m_p < m_t.size() && strchr(" \t\r\n", m_t[m_p]) && m_t[m_p])
            m_p++;
    }
    bool Fail(const char* why)
    {
        if (m_error.empty())
            m_error = why;
        return false;
    }
    bool Word(const char* w)
    {
        size_t n = strlen(w);
        if (m_t.compare(m_p, n, w) != 0)
            return Fail("unknown word");
        m_p += n;
        return true;
    }
    bool Value(JsonValue* v, int depth)
    {
        if (depth > kMaxDepth)
            return Fail("nested too deeply");
        Blank();
        if (m_p >= m_t.size())
            return Fail("the text ends where a value should be");
        switch (m_t[m_p]) {
        case '{': return Object(v, depth);
        case '[': return Array(v, depth);
        case '"': v->kind = JsonValue::Kind::String; return String(&v->text);
        case 't': v->kind = JsonValue::Kind::Bool; v->boolean = true; return Word("true");
        case 'f': v->kind = JsonValue::Kind::Bool; return Word("false");
        case 'n': v->kind = JsonValue::Kind::Null; return Word("null");
        default: return Number(v);
        }
    }
    bool Number(JsonValue* v)
    {
        size_t s = m_p;
        if (m_p < m_t.size() && m_t[m_p] == '-')
            m_p++;
        size_t digits = m_p;
        while (m_p < m_t.size() && strchr("0123456789.eE+-", m_t[m_p]) && m_t[m_p])
            m_p++;
        if (m_p == digits || !isdigit((unsigned char)m_t[digits]))
            return Fail("not a value");
        std::string span = m_t.substr(s, m_p - s);
        char* end = nullptr;
        v->kind = JsonValue::Kind::Number;
        v->number = strtod(span.c_str(), &end);
        return *end == '\0' || Fail("malformed number");
    }
    void Utf8(unsigned cp, std::string* out)
    {
        if (cp < 0x80) {
            *out += (char)cp;
        } else if (cp < 0x800) {
            *out += (char)(0xC0 | (cp >> 6));
            *out += (char)(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            *out += (char)(0xE0 | (cp >> 12));
            *out += (char)(0x80 | ((cp >> 6) & 0x3F));
            *out += (char)(0x80 | (cp & 0x3F));
        } else {
            *out += (char)(0xF0 | (cp >> 18));
            *out += (char)(0x80 | ((cp >> 12) & 0x3F));
            *out += (char)(0x80 | ((cp >> 6) & 0x3F));
            *out += (char)(0x80 | (cp & 0x3F));
        }
    }
    bool Hex4(unsigned* cp)
    {
        if (m_p + 4 > m_t.size())
            return Fail("short \\u escape");
        std::string h = m_t.substr(m_p, 4);
        char* end = nullptr;
        *cp = (unsigned)strtoul(h.c_str(), &end, 16);
        m_p += 4;
        return (*end == '\0' && h.find_first_of("+- ") == std::string::npos) || Fail("bad \\u escape");
    }
    bool Escape(std::string* out)
    {
        const char c = m_t[m_p++];
        const char* from = "\"\\/bfnrt";
        const char* to = "\"\\/\b\f\n\r\t";
        if (const char* at = c ? strchr(from, c) : nullptr) {
            *out += to[at - from];
            return true;
        }
        unsigned cp;
        if (c != 'u' || !Hex4(&cp))
            return Fail("bad escape");
        if (cp >= 0xD800 && cp < 0xDC00 && m_t.compare(m_p, 2, "\\u") == 0) {
            unsigned lo;
            m_p += 2;
            if (!Hex4(&lo) || lo < 0xDC00 || lo >= 0xE000)
                return Fail("bad surrogate pair");
            cp = 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00);
        }
        Utf8(cp, out);
        return true;
    }
    bool String(std::string* out)
    {
        m_p++;   // the opening quote
        while (m_p < m_t.size()) {
            const char c = m_t[m_p++];
            if (c == '"')
                return true;
            if ((unsigned char)c < 0x20)
                return Fail("control character in a string");
            if (c != '\\')
                *out += c;
            else if (m_p >= m_t.size() || !Escape(out))
                return Fail("bad escape");
        }
        return Fail("unterminated string");
    }
    bool Array(JsonValue* v, int depth)
    {
        v->kind = JsonValue::Kind::Array;
        m_p++;
        Blank();
        if (m_p < m_t.size() && m_t[m_p] == ']')
            return ++m_p, true;
        for (;;) {
            v->items.emplace_back();
            if (!Value(&v->items.back(), depth + 1))
                return false;
            Blank();
            if (m_p < m_t.size() && m_t[m_p] == ',') {
                m_p++;
                continue;
            }
            if (m_p < m_t.size() && m_t[m_p] == ']')
                return ++m_p, true;
            return Fail("expected , or ]");
        }
    }
    bool Object(JsonValue* v, int depth)
    {
        v->kind = JsonValue::Kind::Object;
        m_p++;
        Blank();
        if (m_p < m_t.size() && m_t[m_p] == '}')
            return ++m_p, true;
        for (;;) {
            Blank();
            std::string key;
            if (m_p >= m_t.size() || m_t[m_p] != '"' || !String(&key))
                return Fail("expected a member name");
            Blank();
            if (m_p >= m_t.size() || m_t[m_p] != ':')
                return Fail("expected :");
            m_p++;
            v->members.emplace_back(key, JsonValue());
            if (!Value(&v->members.back().second, depth + 1))
                return false;
            Blank();
            if (m_p < m_t.size() && m_t[m_p] == ',') {
                m_p++;
                continue;
            }
            if (m_p < m_t.size() && m_t[m_p] == '}')
                return ++m_p, true;
            return Fail("expected , or }");
        }
    }

    const std::string& m_t;
    size_t m_p = 0;
    std::string m_error;
};

}  // namespace

const JsonValue* JsonValue::Find(const std::string& key) const
{
    for (const auto& m : members)
        if (m.first == key)
            return &m.second;
    return nullptr;
}

bool ParseJson(const std::string& text, JsonValue* out, std::string* reason)
{
    *out = JsonValue();
    return Parser(text).Document(out, reason);
}
