// A small JSON writer for vantrelctl's --json output.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

class Json {
public:
    Json& Field(std::string_view key, std::string_view value);
    Json& Field(std::string_view key, const char* value) { return Field(key, std::string_view(value)); }
    Json& Field(std::string_view key, long long value);
    Json& Field(std::string_view key, int value) { return Field(key, static_cast<long long>(value)); }
    Json& Field(std::string_view key, bool value);
    Json& Field(std::string_view key, const Json& object);
    Json& Field(std::string_view key, const std::vector<Json>& array);
    std::string Text() const { return "{" + body_ + "}"; }
    static std::string Quote(std::string_view text);

private:
    void Key(std::string_view key);
    std::string body_;
};

} // namespace vantrel
