// XmlDocument: the program's XML reader and writer.
//
// The whole document lives in memory as one UTF-16 text with an index of its elements; a cursor
// walks the element tree one level at a time. Edits change the text in place and keep the index in
// step, so saving is writing the text out. Only elements and attributes are supported: callers
// never read or write element text content.
//
// Not thread-safe; one document belongs to one caller.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

class XmlDocument {
public:
    // Document flags shared between LoadFile and SaveFile.
    enum Flags : unsigned {
        kBomUtf8 = 1u << 0,
        kUtf16LE = 1u << 1, // byte-order mark FF FE seen / to be written
        kUtf16BE = 1u << 2, // byte-order mark FE FF seen / to be written
        kReadFile = 1u << 3,
        kWriteFile = 1u << 4,
    };

    // Element record flags.
    enum ElementFlags : uint16_t {
        kEmptyElement = 1u << 0, // written as <name .../>
        kUnended = 1u << 1,      // had no end tag
        kIllFormed = 1u << 2,    // on record 0: the document is not well-formed
    };

    struct Element {
        uint32_t start = 0;       // offset of the start tag in the text
        uint32_t length = 0;      // start tag, content and end tag
        uint32_t startTagLength = 0;
        uint32_t endTagLength = 0; // 0 for the empty-element form
        uint16_t level = 0;
        uint16_t flags = 0;
        uint32_t parent = 0;
        uint32_t firstChild = 0;
        uint32_t nextSibling = 0;
        uint32_t prevSibling = 0; // on a first child: the last child of the level
    };

    XmlDocument();

    // Replaces the text and indexes it; returns IsWellFormed().
    bool SetText(std::u16string text);
    // Reads and decodes the file, indexes it; true only when read completely and well-formed.
    bool LoadFile(const std::filesystem::path& path);
    // Writes the text in the declared encoding (UTF-8 when none), replacing the file atomically.
    bool SaveFile(const std::filesystem::path& path);

    bool IsWellFormed() const;

    // Cursor: one level at a time. Names are matched case-sensitively.
    bool FindElement(std::u16string_view name);
    bool EnterElement();
    bool LeaveElement();
    std::u16string GetAttribute(std::u16string_view name) const;
    bool SetAttribute(std::u16string_view name, std::u16string_view value);
    bool AddElement(std::u16string_view name);

    const std::u16string& Text() const { return text_; }
    const std::string& ResultLog() const { return log_; }
    unsigned DocumentFlags() const { return docFlags_; }
    const std::vector<Element>& Elements() const { return elements_; }
    // Tag name of an element record (diagnostics and tests).
    std::u16string_view TagName(uint32_t element) const;
    uint32_t CurrentElement() const { return current_; }
    uint32_t ParentElement() const { return parent_; }

    static constexpr size_t kMaxLogLength = 1000;

private:
    struct Span {
        size_t pos = 0;
        size_t length = 0;
    };
    // Where one attribute sits inside a start tag: the whole "name=value" and the value part.
    struct AttributeSpan {
        Span whole;
        Span value;   // including quotes when quoted
        bool quoted = false;
    };

    void Index();
    void ResetCursor();
    void Log(std::string_view finding, std::string_view detail = {});
    void MarkIllFormed(std::string_view finding, std::string_view detail = {});
    uint32_t NewElement(uint32_t parent, uint32_t start);
    void LinkLastChild(uint32_t parent, uint32_t child);
    bool FindAttribute(const Element& e, std::u16string_view name, AttributeSpan* out) const;
    // Replaces [pos, pos+removed) with text and shifts the index accordingly.
    void Replace(size_t pos, size_t removed, std::u16string_view text);
    size_t AfterLineBreak(size_t pos) const;
    std::u16string DeclaredEncoding() const;

    std::u16string text_;
    std::vector<Element> elements_;
    uint32_t parent_ = 0;
    uint32_t current_ = 0;
    uint32_t child_ = 0;
    unsigned docFlags_ = 0;
    std::string log_;
};

// Attribute value escaping and character-reference decoding.
std::u16string XmlEscape(std::u16string_view value);
std::u16string XmlDecode(std::u16string_view value);

} // namespace vantrel
