// A sectioned key=value text file (UTF-8), read the way the language and settings files need:
// section and key names match without regard to ASCII case, values are trimmed and lose one pair
// of enclosing quotes, the first of duplicate keys wins, lines that are neither a section nor a
// key=value pair are ignored when reading and kept unchanged when writing.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

class IniFile {
public:
    static IniFile Parse(std::string_view utf8);

    std::optional<std::u16string> Get(std::u16string_view section, std::u16string_view key) const;
    // Replaces the value of an existing key, or adds the key (and the section) at the end.
    void Set(std::u16string_view section, std::u16string_view key, std::u16string_view value);
    std::string Serialize() const;

private:
    struct Line {
        std::string raw;          // the line as read, without its line break
        std::u16string section;   // set on section headers
        std::u16string key;       // set on key=value lines
        std::u16string value;
        enum Kind { kOther, kSection, kValue } kind = kOther;
    };
    // Index of the header line of `section`, or -1.
    long FindSection(std::u16string_view section) const;

    std::vector<Line> lines_;
};

} // namespace vantrel
