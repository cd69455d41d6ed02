// JSON, as the page's events and the exercises' list write it.
#pragma once

#include <stdio.h>

#include <string>

// Text as a JSON string.
inline std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += (char)c;
        } else if (c < 0x20) {
            char escape[8];
            snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += (char)c;
        }
    }
    return out + "\"";
}

// A JSON object or array, written member by member.
class Json {
   public:
    explicit Json(char open) : text(1, open), close(open == '{' ? '}' : ']') {}
    Json& field(const char* name, const std::string& raw) {
        text += (text.size() > 1 ? "," : "") + quoted(name) + ":" + raw;
        return *this;
    }
    Json& item(const std::string& raw) {
        text += (text.size() > 1 ? "," : "") + raw;
        return *this;
    }
    Json& string(const char* name, const std::string& value) { return field(name, quoted(value)); }
    Json& number(const char* name, long value) { return field(name, std::to_string(value)); }
    Json& boolean(const char* name, bool value) { return field(name, value ? "true" : "false"); }
    std::string done() const { return text + close; }

   private:
    std::string text;
    char close;
};
