#include "app/core/ini_file.h"

#include "app/core/text_encoding.h"

namespace vantrel {
namespace {

std::u16string_view Trim(std::u16string_view s) {
    auto blank = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char16_t x = a[i], y = b[i];
        if (x >= u'A' && x <= u'Z') x = static_cast<char16_t>(x + 32);
        if (y >= u'A' && y <= u'Z') y = static_cast<char16_t>(y + 32);
        if (x != y) return false;
    }
    return true;
}

} // namespace

IniFile IniFile::Parse(std::string_view utf8) {
    if (utf8.substr(0, 3) == "\xEF\xBB\xBF") utf8.remove_prefix(3);
    IniFile file;
    size_t pos = 0;
    while (pos < utf8.size()) {
        size_t end = utf8.find('\n', pos);
        if (end == std::string_view::npos) end = utf8.size();
        Line line;
        line.raw = std::string(utf8.substr(pos, end - pos));
        if (!line.raw.empty() && line.raw.back() == '\r') line.raw.pop_back();
        pos = end + 1;

        std::u16string wide = Utf8ToWide(line.raw);
        std::u16string_view text = Trim(wide);
        if (!text.empty() && text.front() == u'[') {
            size_t close = text.find(u']');
            if (close != std::u16string_view::npos) {
                line.kind = Line::kSection;
                line.section = std::u16string(Trim(text.substr(1, close - 1)));
            }
        } else if (!text.empty() && text.front() != u';' && text.front() != u'#') {
            size_t eq = text.find(u'=');
            if (eq != std::u16string_view::npos && eq > 0) {
                line.kind = Line::kValue;
                line.key = std::u16string(Trim(text.substr(0, eq)));
                std::u16string_view value = Trim(text.substr(eq + 1));
                if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
                    value.back() == value.front())
                    value = value.substr(1, value.size() - 2);
                line.value = std::u16string(value);
            }
        }
        file.lines_.push_back(std::move(line));
    }
    return file;
}

long IniFile::FindSection(std::u16string_view section) const {
    for (size_t i = 0; i < lines_.size(); ++i)
        if (lines_[i].kind == Line::kSection && EqualsIgnoringCase(lines_[i].section, section))
            return static_cast<long>(i);
    return -1;
}

std::optional<std::u16string> IniFile::Get(std::u16string_view section, std::u16string_view key) const {
    long header = FindSection(section);
    if (header < 0) return std::nullopt;
    for (size_t i = static_cast<size_t>(header) + 1; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        if (line.kind == Line::kSection) break;
        if (line.kind == Line::kValue && EqualsIgnoringCase(line.key, key)) return line.value;
    }
    return std::nullopt;
}

void IniFile::Set(std::u16string_view section, std::u16string_view key, std::u16string_view value) {
    // A line break inside a value would split it into lines of its own.
    std::u16string clean(value);
    for (char16_t& c : clean)
        if (c == u'\r' || c == u'\n') c = u' ';

    Line line;
    line.kind = Line::kValue;
    line.key = std::u16string(key);
    line.value = clean;
    line.raw = WideToUtf8(key) + "=" + WideToUtf8(clean);

    long header = FindSection(section);
    if (header < 0) {
        Line head;
        head.kind = Line::kSection;
        head.section = std::u16string(section);
        head.raw.push_back('[');
        head.raw += WideToUtf8(section);
        head.raw.push_back(']');
        lines_.push_back(std::move(head));
        lines_.push_back(std::move(line));
        return;
    }
    size_t insertAt = static_cast<size_t>(header) + 1;
    for (size_t i = insertAt; i < lines_.size(); ++i) {
        Line& existing = lines_[i];
        if (existing.kind == Line::kSection) break;
        if (existing.kind == Line::kValue) {
            if (EqualsIgnoringCase(existing.key, key)) {
                line.key = existing.key;
                line.raw = WideToUtf8(existing.key) + "=" + WideToUtf8(clean);
                existing = std::move(line);
                return;
            }
            insertAt = i + 1;
        }
    }
    lines_.insert(lines_.begin() + static_cast<long>(insertAt), std::move(line));
}

std::string IniFile::Serialize() const {
    std::string out;
    for (const Line& line : lines_) {
        out += line.raw;
        out += '\n';
    }
    return out;
}

} // namespace vantrel
