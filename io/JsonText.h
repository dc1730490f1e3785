// A small JSON reader for the documents this program writes and reads back
// (an output folder's summary.json): the whole grammar of RFC 8259, values
// held as a plain tree. Numbers are read with strtod; \u escapes become
// UTF-8 (a surrogate pair as one character). Nesting deeper than 200 levels
// is refused rather than risking the stack.
#ifndef RUZARAVO_IO_JSONTEXT_H
#define RUZARAVO_IO_JSONTEXT_H

#include <string>
#include <utility>
#include <vector>

struct JsonValue {
    enum class Kind { Null, Bool, Number, String, Array, Object };
    Kind kind = Kind::Null;
    bool boolean = false;
    double number = 0.0;
    std::string text;                                        // String
    std::vector<JsonValue> items;                            // Array
    std::vector<std::pair<std::string, JsonValue>> members;  // Object, in document order

    // The member named key of an object (the first, if repeated), or null.
    const JsonValue* Find(const std::string& key) const;
    bool IsNumber() const { return kind == Kind::Number; }
};

// Parses a whole document; false with the reason (and the byte offset) on
// malformed text.
bool ParseJson(const std::string& text, JsonValue* out, std::string* reason);

#endif
