// XmlDocument's file layer: byte-order marks, declared encodings and conversion to UTF-16.
#include "app/core/files.h"
#include "app/core/text_encoding.h"
#include "app/device/xml_document.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace vantrel {
namespace {

// Text that is neither marked nor declared nor valid UTF-8 is most likely a file written on
// Windows in its Western code page.
constexpr const char* kAnsiCodePage = "WINDOWS-1252";

// Charset names that appear in XML and HTML files but that iconv spells differently.
struct Alias {
    const char* name;
    const char* iconvName;
};
constexpr Alias kAliases[] = {
    {"x-sjis", "SHIFT_JIS"},   {"shift-jis", "SHIFT_JIS"},     {"ks_c_5601-1987", "CP949"},
    {"x-mac-roman", "MACINTOSH"}, {"x-euc-jp", "EUC-JP"},      {"x-cp1250", "CP1250"},
    {"x-cp1251", "CP1251"},    {"x-cp1252", "CP1252"},        {"unicode", "UTF-16LE"},
    {"unicodefffe", "UTF-16BE"}, {"utf8", "UTF-8"},           {"utf-16", "UTF-16LE"},
    {"ucs-2", "UTF-16LE"},
};

std::string Lowered(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// The name to hand to iconv for a declared encoding; "UTF-16..." names for the 16-bit family.
std::string IconvName(std::string_view declared) {
    std::string lower = Lowered(declared);
    for (const Alias& a : kAliases)
        if (lower == a.name) return a.iconvName;
    std::string upper(declared);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

bool IsSixteenBit(const std::string& iconvName) {
    return iconvName == "UTF-16LE" || iconvName == "UTF-16BE" || iconvName == "UTF-16";
}

// Value of a pseudo-attribute such as encoding="..." inside `tag`.
std::string PseudoAttribute(std::string_view tag, std::string_view name) {
    std::string lower = Lowered(tag);
    size_t at = 0;
    while ((at = lower.find(name, at)) != std::string::npos) {
        size_t i = at + name.size();
        while (i < tag.size() && std::isspace(static_cast<unsigned char>(tag[i]))) ++i;
        if (i < tag.size() && tag[i] == '=') {
            ++i;
            while (i < tag.size() && std::isspace(static_cast<unsigned char>(tag[i]))) ++i;
            if (i >= tag.size()) return {};
            char quote = (tag[i] == '"' || tag[i] == '\'') ? tag[i++] : 0;
            size_t end = i;
            while (end < tag.size() && (quote ? tag[end] != quote
                                              : !std::isspace(static_cast<unsigned char>(tag[end])) &&
                                                    tag[end] != '>' && tag[end] != '?' && tag[end] != ';'))
                ++end;
            return std::string(tag.substr(i, end - i));
        }
        at += name.size();
    }
    return {};
}

// The encoding declared by an XML declaration or an HTML Content-Type meta element.
std::string DeclaredIn(std::string_view head) {
    size_t i = 0;
    while (i < head.size() && std::isspace(static_cast<unsigned char>(head[i]))) ++i;
    if (head.substr(i, 5) == "<?xml") {
        size_t end = head.find("?>", i);
        return PseudoAttribute(head.substr(i, end == std::string::npos ? head.size() - i : end - i),
                               "encoding");
    }
    std::string lower = Lowered(head);
    size_t headTag = lower.find("<head");
    if (headTag == std::string::npos) return {};
    for (size_t meta = lower.find("<meta", headTag); meta != std::string::npos;
         meta = lower.find("<meta", meta + 5)) {
        size_t end = lower.find('>', meta);
        std::string_view tag = std::string_view(head).substr(meta, end == std::string::npos ? head.size() - meta
                                                                                             : end - meta);
        if (Lowered(PseudoAttribute(tag, "http-equiv")) != "content-type") continue;
        std::string content = PseudoAttribute(tag, "content");
        size_t cs = Lowered(content).find("charset=");
        if (cs == std::string::npos) continue;
        std::string charset = content.substr(cs + 8);
        charset.erase(std::find_if(charset.begin(), charset.end(),
                                   [](char c) { return c == ';' || std::isspace(static_cast<unsigned char>(c)); }),
                      charset.end());
        return charset;
    }
    return {};
}

} // namespace

std::u16string XmlDocument::DeclaredEncoding() const {
    std::u16string_view head = std::u16string_view(text_).substr(0, 1024);
    std::string narrow;
    narrow.reserve(head.size());
    for (char16_t c : head) narrow.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    std::string declared = DeclaredIn(narrow);
    return std::u16string(declared.begin(), declared.end());
}

bool XmlDocument::LoadFile(const std::filesystem::path& path) {
    docFlags_ = kReadFile;
    std::string bytes, error;
    if (!ReadFileBytes(path, &bytes, &error)) {
        Log("file_error", error);
        text_.clear();
        Index();
        return false;
    }

    std::string_view data(bytes);
    std::string encoding;
    if (data.substr(0, 3) == "\xEF\xBB\xBF") {
        docFlags_ |= kBomUtf8;
        encoding = "UTF-8";
        data.remove_prefix(3);
        Log("bom", "UTF-8");
    } else if (data.substr(0, 2) == "\xFF\xFE") {
        docFlags_ |= kUtf16LE;
        encoding = "UTF-16LE";
        data.remove_prefix(2);
        Log("bom", "UTF-16LE");
    } else if (data.substr(0, 2) == "\xFE\xFF") {
        docFlags_ |= kUtf16BE;
        encoding = "UTF-16BE";
        data.remove_prefix(2);
        Log("bom", "UTF-16BE");
    } else {
        std::string declared = DeclaredIn(data.substr(0, 1024));
        if (!declared.empty()) {
            encoding = IconvName(declared);
            // A declaration readable as 8-bit text cannot belong to unmarked 16-bit text.
            if (IsSixteenBit(encoding)) encoding.clear();
        } else if (!data.empty() && data[0] == '<') {
            encoding = "UTF-8";
        }
    }

    std::u16string text;
    if (encoding == "UTF-16LE" || encoding == "UTF-16BE") {
        const bool swap = encoding == "UTF-16BE";
        text.resize(data.size() / 2);
        for (size_t k = 0; k < text.size(); ++k) {
            auto lo = static_cast<unsigned char>(data[2 * k + (swap ? 1 : 0)]);
            auto hi = static_cast<unsigned char>(data[2 * k + (swap ? 0 : 1)]);
            text[k] = static_cast<char16_t>(lo | (hi << 8));
        }
        if (swap) Log("endian_swap");
        if (data.size() % 2 != 0) Log("truncation_error", "odd byte at end");
    } else {
        if (encoding.empty()) {
            encoding = LooksLikeUtf8(data) ? "UTF-8" : kAnsiCodePage;
            Log("utf8_detection", encoding);
        }
        DecodeResult decoded;
        if (encoding == "UTF-8") {
            // The most common case gets the fast converter; the cut-off tail is left out as iconv would.
            size_t tail = IncompleteUtf8Tail(data);
            decoded.ok = true;
            decoded.text = Utf8ToWide(data.substr(0, data.size() - tail));
            decoded.consumed = data.size() - tail;
            decoded.truncated = tail != 0;
        } else {
            decoded = DecodeToWide(data, encoding.c_str());
        }
        if (!decoded.ok) {
            Log("unknown_encoding", encoding);
            encoding = kAnsiCodePage;
            decoded = DecodeToWide(data, encoding.c_str());
        }
        Log("converted_to", "UTF-16 from " + encoding);
        if (decoded.truncated)
            Log("truncation_error", std::to_string(data.size() - decoded.consumed) + " bytes");
        if (decoded.replaced) Log("invalid_sequences", std::to_string(decoded.replaced));
        text = std::move(decoded.text);
    }
    size_t before = text.size();
    std::erase(text, u'\0');
    if (text.size() != before) Log("nulls_removed", std::to_string(before - text.size()));

    return SetText(std::move(text));
}

bool XmlDocument::SaveFile(const std::filesystem::path& path) {
    std::u16string declared = DeclaredEncoding();
    std::string encoding = declared.empty() ? "UTF-8" : IconvName(std::string(declared.begin(), declared.end()));
    docFlags_ = (docFlags_ & ~kReadFile) | kWriteFile;

    std::string bytes;
    if (IsSixteenBit(encoding)) {
        const bool bigEndian = encoding == "UTF-16BE" || (docFlags_ & kUtf16BE);
        if (docFlags_ & (kUtf16LE | kUtf16BE)) {
            bytes.push_back(static_cast<char>(bigEndian ? 0xFE : 0xFF));
            bytes.push_back(static_cast<char>(bigEndian ? 0xFF : 0xFE));
        }
        bytes.reserve(bytes.size() + text_.size() * 2);
        for (char16_t c : text_) {
            char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>(c >> 8);
            bytes += bigEndian ? hi : lo;
            bytes += bigEndian ? lo : hi;
        }
    } else {
        EncodeResult encoded = EncodeFromWide(text_, encoding.c_str());
        if (!encoded.ok) {
            Log("file_error", "unknown encoding " + encoding);
            return false;
        }
        if (encoded.lost) Log("conversion_loss", std::to_string(encoded.lost) + " characters");
        if ((docFlags_ & kBomUtf8) && encoding == "UTF-8") bytes = "\xEF\xBB\xBF";
        bytes += encoded.bytes;
    }
    std::string error;
    if (!WriteFileAtomically(path, bytes, &error)) {
        Log("file_error", error);
        return false;
    }
    return true;
}

} // namespace vantrel
