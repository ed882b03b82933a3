#include "app/cli/json.h"

#include <cstdio>

namespace vantrel {

std::string Json::Quote(std::string_view text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

void Json::Key(std::string_view key) {
    if (!body_.empty()) body_ += ",";
    body_ += Quote(key) + ":";
}

Json& Json::Field(std::string_view key, std::string_view value) {
    Key(key);
    body_ += Quote(value);
    return *this;
}

Json& Json::Field(std::string_view key, long long value) {
    Key(key);
    body_ += std::to_string(value);
    return *this;
}

Json& Json::Field(std::string_view key, bool value) {
    Key(key);
    body_ += value ? "true" : "false";
    return *this;
}

Json& Json::Field(std::string_view key, const Json& object) {
    Key(key);
    body_ += object.Text();
    return *this;
}

Json& Json::Field(std::string_view key, const std::vector<Json>& array) {
    Key(key);
    body_ += "[";
    for (size_t i = 0; i < array.size(); ++i) body_ += (i ? "," : "") + array[i].Text();
    body_ += "]";
    return *this;
}

} // namespace vantrel
