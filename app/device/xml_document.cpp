#include "app/device/xml_document.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace vantrel {
namespace {

inline bool IsSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// Characters that end a tag name.
inline bool EndsName(char16_t c) {
    switch (c) {
    case u' ': case u'\t': case u'\n': case u'\r': case u'<': case u'>': case u'=':
    case u'\\': case u'/': case u'?': case u'!': case u'"': case u'\'': case u';':
        return true;
    default:
        return false;
    }
}

inline size_t Find(const std::u16string& text, std::u16string_view what, size_t from) {
    return text.find(what.data(), from, what.size());
}

inline bool StartsWithAt(const std::u16string& text, size_t pos, std::u16string_view what) {
    return text.size() - pos >= what.size() && std::u16string_view(text).substr(pos, what.size()) == what;
}

std::string Narrow(std::u16string_view s) {
    std::string out;
    out.reserve(std::min<size_t>(s.size(), 64));
    for (char16_t c : s.substr(0, 64)) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

} // namespace

XmlDocument::XmlDocument() {
    elements_.emplace_back();
}

void XmlDocument::ResetCursor() {
    parent_ = current_ = child_ = 0;
}

void XmlDocument::Log(std::string_view finding, std::string_view detail) {
    if (log_.size() >= kMaxLogLength) return;
    std::string entry(finding);
    if (!detail.empty()) {
        entry += ' ';
        entry += detail;
    }
    entry += '\n';
    log_.append(entry, 0, kMaxLogLength - log_.size());
}

void XmlDocument::MarkIllFormed(std::string_view finding, std::string_view detail) {
    elements_[0].flags |= kIllFormed;
    Log(finding, detail);
}

bool XmlDocument::SetText(std::u16string text) {
    text_ = std::move(text);
    Index();
    return IsWellFormed();
}

bool XmlDocument::IsWellFormed() const {
    const Element& doc = elements_[0];
    return !(doc.flags & kIllFormed) && doc.firstChild != 0 && elements_[doc.firstChild].nextSibling == 0;
}

std::u16string_view XmlDocument::TagName(uint32_t element) const {
    if (element == 0 || element >= elements_.size()) return {};
    size_t begin = elements_[element].start + 1;
    size_t end = begin;
    while (end < text_.size() && !EndsName(text_[end])) ++end;
    return std::u16string_view(text_).substr(begin, end - begin);
}

uint32_t XmlDocument::NewElement(uint32_t parent, uint32_t start) {
    Element e;
    e.start = start;
    e.parent = parent;
    uint16_t parentLevel = elements_[parent].level;
    e.level = parentLevel == std::numeric_limits<uint16_t>::max() ? parentLevel : parentLevel + 1;
    elements_.push_back(e);
    return static_cast<uint32_t>(elements_.size() - 1);
}

void XmlDocument::LinkLastChild(uint32_t parent, uint32_t child) {
    Element& p = elements_[parent];
    Element& c = elements_[child];
    if (p.firstChild == 0) {
        p.firstChild = child;
        c.prevSibling = child;
        c.nextSibling = 0;
        return;
    }
    Element& first = elements_[p.firstChild];
    uint32_t last = first.prevSibling;
    elements_[last].nextSibling = child;
    c.prevSibling = last;
    c.nextSibling = 0;
    first.prevSibling = child;
}

void XmlDocument::Index() {
    elements_.clear();
    elements_.reserve(text_.size() / 64 + 8);
    elements_.emplace_back();
    ResetCursor();
    if (text_.size() >= std::numeric_limits<uint32_t>::max()) {
        MarkIllFormed("document_too_large");
        return;
    }
    elements_[0].length = static_cast<uint32_t>(text_.size());

    std::vector<uint32_t> open; // elements whose end tag has not been seen yet
    const char16_t* t = text_.data();
    const size_t n = text_.size();

    // Closes every element above `keep` on the stack as unended at `pos`.
    auto closeUnended = [&](size_t keep, size_t pos) {
        while (open.size() > keep) {
            uint32_t id = open.back();
            open.pop_back();
            Element& e = elements_[id];
            e.length = static_cast<uint32_t>(pos - e.start);
            e.endTagLength = 0;
            e.flags |= kUnended;
            MarkIllFormed("unended_start_tag", Narrow(TagName(id)));
        }
    };

    size_t i = 0;
    for (;;) {
        const char16_t* lt = std::char_traits<char16_t>::find(t + i, n - i, u'<');
        if (!lt) break;
        i = static_cast<size_t>(lt - t);
        const size_t tagStart = i;
        if (i + 1 >= n) {
            MarkIllFormed("unterminated_tag_syntax", "at end");
            break;
        }
        const char16_t c = t[i + 1];
        if (c == u'!') {
            if (StartsWithAt(text_, i, u"<!--")) {
                size_t end = Find(text_, u"-->", i + 4);
                if (end == std::u16string::npos) {
                    MarkIllFormed("comment_tag_syntax", "offset " + std::to_string(i));
                    break;
                }
                i = end + 3;
            } else if (StartsWithAt(text_, i, u"<![CDATA[")) {
                size_t end = Find(text_, u"]]>", i + 9);
                if (end == std::u16string::npos) {
                    MarkIllFormed("cdata_section_syntax", "offset " + std::to_string(i));
                    break;
                }
                i = end + 3;
            } else if (StartsWithAt(text_, i, u"<!DOCTYPE")) {
                // The internal subset in brackets may hold '>' of its own declarations.
                size_t k = i + 9;
                int depth = 0;
                char16_t quote = 0;
                for (; k < n; ++k) {
                    char16_t ch = t[k];
                    if (quote) {
                        if (ch == quote) quote = 0;
                    } else if (ch == u'"' || ch == u'\'') {
                        quote = ch;
                    } else if (ch == u'[') {
                        ++depth;
                    } else if (ch == u']') {
                        --depth;
                    } else if (ch == u'>' && depth <= 0) {
                        break;
                    }
                }
                if (k >= n) {
                    MarkIllFormed("ctype_tag_syntax", "offset " + std::to_string(i));
                    break;
                }
                i = k + 1;
            } else {
                size_t end = text_.find(u'>', i + 2);
                MarkIllFormed("exclamation_tag_syntax", "offset " + std::to_string(i));
                if (end == std::u16string::npos) break;
                i = end + 1;
            }
            continue;
        }
        if (c == u'?') {
            size_t end = Find(text_, u"?>", i + 2);
            if (end == std::u16string::npos) {
                MarkIllFormed("unterminated_tag_syntax", "processing instruction at " + std::to_string(i));
                break;
            }
            i = end + 2;
            continue;
        }
        if (c == u'/') {
            size_t nameBegin = i + 2;
            size_t nameEnd = nameBegin;
            while (nameEnd < n && !EndsName(t[nameEnd])) ++nameEnd;
            size_t gt = text_.find(u'>', nameEnd);
            if (gt == std::u16string::npos) {
                MarkIllFormed("unterminated_tag_syntax", "end tag at " + std::to_string(i));
                break;
            }
            std::u16string_view name(t + nameBegin, nameEnd - nameBegin);
            size_t match = open.size();
            while (match > 0 && TagName(open[match - 1]) != name) --match;
            if (match == 0) {
                MarkIllFormed("lone_end_tag", Narrow(name));
            } else {
                closeUnended(match, tagStart);
                uint32_t id = open.back();
                open.pop_back();
                Element& e = elements_[id];
                e.endTagLength = static_cast<uint32_t>(gt + 1 - tagStart);
                e.length = static_cast<uint32_t>(gt + 1 - e.start);
            }
            i = gt + 1;
            continue;
        }
        if (IsSpace(c) || EndsName(c)) {
            MarkIllFormed("first_tag_syntax", "offset " + std::to_string(i));
            i = i + 1;
            continue;
        }
        // Start tag: its end is the first '>' outside a quoted attribute value.
        size_t k = i + 2;
        char16_t quote = 0;
        for (; k < n; ++k) {
            char16_t ch = t[k];
            if (quote) {
                if (ch == quote) quote = 0;
            } else if (ch == u'"' || ch == u'\'') {
                quote = ch;
            } else if (ch == u'>' || ch == u'<') {
                break;
            }
        }
        if (k >= n) {
            MarkIllFormed("unterminated_tag_syntax", "start tag at " + std::to_string(i));
            break;
        }
        if (t[k] == u'<') { // a new tag began before this one ended
            MarkIllFormed("unterminated_tag_syntax", "start tag at " + std::to_string(i));
            i = k;
            continue;
        }
        uint32_t parent = open.empty() ? 0 : open.back();
        uint32_t id = NewElement(parent, static_cast<uint32_t>(tagStart));
        LinkLastChild(parent, id);
        Element& e = elements_[id];
        e.startTagLength = static_cast<uint32_t>(k + 1 - tagStart);
        if (t[k - 1] == u'/') {
            e.flags |= kEmptyElement;
            e.length = e.startTagLength;
        } else {
            open.push_back(id);
        }
        i = k + 1;
    }
    closeUnended(0, n);

    // Whether there is exactly one root is asked of the tree as it stands (IsWellFormed), so a
    // document started from its declaration alone becomes well-formed once its root is added.
    const Element& doc = elements_[0];
    if (doc.firstChild == 0) {
        Log("no_root_element");
    } else if (elements_[doc.firstChild].nextSibling != 0) {
        Log("root_has_sibling", Narrow(TagName(elements_[doc.firstChild].nextSibling)));
    }
}

bool XmlDocument::FindElement(std::u16string_view name) {
    uint32_t e = current_ ? elements_[current_].nextSibling : elements_[parent_].firstChild;
    for (; e != 0; e = elements_[e].nextSibling) {
        if (TagName(e) == name) {
            current_ = e;
            child_ = 0;
            return true;
        }
    }
    return false;
}

bool XmlDocument::EnterElement() {
    if (current_ == 0) return false;
    parent_ = current_;
    current_ = 0;
    child_ = 0;
    return true;
}

bool XmlDocument::LeaveElement() {
    if (parent_ == 0) return false;
    child_ = current_;
    current_ = parent_;
    parent_ = elements_[parent_].parent;
    return true;
}

bool XmlDocument::FindAttribute(const Element& e, std::u16string_view name, AttributeSpan* out) const {
    const char16_t* t = text_.data();
    size_t i = e.start + 1;
    while (i < text_.size() && !EndsName(t[i])) ++i;
    const size_t end = e.start + e.startTagLength - 1; // the closing '>'
    while (i < end) {
        while (i < end && (IsSpace(t[i]) || t[i] == u'/')) ++i;
        if (i >= end) break;
        const size_t nameBegin = i;
        while (i < end && !IsSpace(t[i]) && t[i] != u'=' && t[i] != u'/' && t[i] != u'"' && t[i] != u'\'')
            ++i;
        if (i == nameBegin) {
            // A stray quote opens a run that the tag scan also skipped as a whole.
            if (t[i] == u'"' || t[i] == u'\'') {
                const char16_t quote = t[i++];
                while (i < end && t[i] != quote) ++i;
            }
            ++i;
            continue;
        }
        std::u16string_view attrName(t + nameBegin, i - nameBegin);
        size_t afterName = i;
        while (i < end && IsSpace(t[i])) ++i;
        AttributeSpan span;
        span.whole.pos = nameBegin;
        if (i < end && t[i] == u'=') {
            ++i;
            // Blanks may stand before a quoted value only; "x= y='1'" is an empty x, then y.
            size_t k = i;
            while (k < end && IsSpace(t[k])) ++k;
            if (k < end && (t[k] == u'"' || t[k] == u'\'')) i = k;
            const size_t valueBegin = i;
            if (i < end && (t[i] == u'"' || t[i] == u'\'')) {
                const char16_t quote = t[i];
                ++i;
                while (i < end && t[i] != quote) ++i;
                if (i < end) ++i; // past the closing quote
                span.quoted = true;
            } else {
                // Unquoted: ends at whitespace, '>' or the "/>" of an empty-element tag. A quote
                // inside still opens a run, as it did for the tag scan.
                while (i < end && !IsSpace(t[i]) && !(t[i] == u'/' && i + 1 == end)) {
                    if (t[i] == u'"' || t[i] == u'\'') {
                        const char16_t quote = t[i++];
                        while (i < end && t[i] != quote) ++i;
                    }
                    if (i < end) ++i;
                }
            }
            span.value = {valueBegin, i - valueBegin};
            span.whole.length = i - nameBegin;
        } else {
            i = afterName;
            span.value = {afterName, 0};
            span.whole.length = afterName - nameBegin;
        }
        if (attrName == name) {
            *out = span;
            return true;
        }
    }
    return false;
}

std::u16string XmlDocument::GetAttribute(std::u16string_view name) const {
    if (current_ == 0) return {};
    AttributeSpan span;
    if (!FindAttribute(elements_[current_], name, &span)) return {};
    std::u16string_view value = std::u16string_view(text_).substr(span.value.pos, span.value.length);
    if (span.quoted) {
        value.remove_prefix(1);
        if (!value.empty() && (value.back() == u'"' || value.back() == u'\'')) value.remove_suffix(1);
    }
    return XmlDecode(value);
}

void XmlDocument::Replace(size_t pos, size_t removed, std::u16string_view text) {
    text_.replace(pos, removed, text);
    const int64_t delta = static_cast<int64_t>(text.size()) - static_cast<int64_t>(removed);
    elements_[0].length = static_cast<uint32_t>(text_.size());
    for (size_t id = 1; id < elements_.size(); ++id) {
        Element& e = elements_[id];
        if (e.start >= pos + removed) {
            e.start = static_cast<uint32_t>(e.start + delta);
        } else if (e.start < pos && pos < static_cast<size_t>(e.start) + e.length) {
            // The edit lies inside this element (an ancestor, or its own start tag).
            if (pos < static_cast<size_t>(e.start) + e.startTagLength)
                e.startTagLength = static_cast<uint32_t>(e.startTagLength + delta);
            e.length = static_cast<uint32_t>(e.length + delta);
        }
    }
}

bool XmlDocument::SetAttribute(std::u16string_view name, std::u16string_view value) {
    if (current_ == 0 || name.empty()) return false;
    for (char16_t c : name)
        if (EndsName(c)) return false;
    std::u16string quoted;
    quoted.reserve(value.size() + 2);
    quoted += u'"';
    quoted += XmlEscape(value);
    quoted += u'"';

    const Element& e = elements_[current_];
    AttributeSpan span;
    if (FindAttribute(e, name, &span)) {
        if (span.value.length > 0 || span.whole.length > name.size())
            Replace(span.value.pos, span.value.length, quoted);
        else
            Replace(span.whole.pos + span.whole.length, 0, u"=" + quoted);
        return true;
    }
    size_t at = e.start + e.startTagLength - 1; // before '>'
    if ((e.flags & kEmptyElement) && text_[at - 1] == u'/') --at;
    std::u16string added;
    added.reserve(name.size() + quoted.size() + 2);
    added += u' ';
    added += name;
    added += u'=';
    added += quoted;
    Replace(at, 0, added);
    return true;
}

size_t XmlDocument::AfterLineBreak(size_t pos) const {
    if (pos + 1 < text_.size() && text_[pos] == u'\r' && text_[pos + 1] == u'\n') return pos + 2;
    if (pos < text_.size() && text_[pos] == u'\n') return pos + 1;
    return pos;
}

bool XmlDocument::AddElement(std::u16string_view name) {
    if (name.empty() || text_.size() + name.size() + 8 >= std::numeric_limits<uint32_t>::max()) return false;
    for (char16_t c : name)
        if (EndsName(c)) return false;
    std::u16string tag = u"<";
    tag += name;
    tag += u"/>";

    const uint32_t parent = parent_;
    uint32_t id;
    if (parent != 0 && (elements_[parent].flags & kEmptyElement)) {
        // Open the parent into a start and an end tag around its first child.
        const Element p = elements_[parent];
        std::u16string startTag = text_.substr(p.start, p.startTagLength);
        startTag.erase(startTag.size() - 2, 1); // the '/' of "/>"
        // "<a b=x//>" would still read as an empty-element tag: keep the slash, add a blank.
        if (startTag.size() >= 2 && startTag[startTag.size() - 2] == u'/') startTag.insert(startTag.end() - 1, u' ');
        std::u16string endTag = u"</";
        endTag += TagName(parent);
        endTag += u'>';
        std::u16string replacement = startTag + u"\r\n" + tag + u"\r\n" + endTag;
        Replace(p.start, p.startTagLength, replacement);
        Element& opened = elements_[parent];
        opened.startTagLength = static_cast<uint32_t>(startTag.size());
        opened.endTagLength = static_cast<uint32_t>(endTag.size());
        opened.length = static_cast<uint32_t>(replacement.size());
        opened.flags &= static_cast<uint16_t>(~kEmptyElement);
        id = NewElement(parent, static_cast<uint32_t>(p.start + startTag.size() + 2));
        LinkLastChild(parent, id);
    } else {
        uint32_t after = current_;
        if (after == 0 && elements_[parent].firstChild != 0)
            after = elements_[elements_[parent].firstChild].prevSibling; // last child
        size_t pos;
        if (after != 0) {
            pos = AfterLineBreak(static_cast<size_t>(elements_[after].start) + elements_[after].length);
        } else if (parent == 0) {
            pos = text_.size();
        } else {
            const Element& p = elements_[parent];
            pos = static_cast<size_t>(p.start) + p.length - p.endTagLength;
        }
        Replace(pos, 0, tag + u"\r\n");
        id = NewElement(parent, static_cast<uint32_t>(pos));
        if (after == 0) {
            LinkLastChild(parent, id);
        } else {
            Element& a = elements_[after];
            Element& e = elements_[id];
            e.prevSibling = after;
            e.nextSibling = a.nextSibling;
            if (a.nextSibling != 0)
                elements_[a.nextSibling].prevSibling = id;
            else
                elements_[elements_[parent].firstChild].prevSibling = id;
            a.nextSibling = id;
        }
    }
    Element& e = elements_[id];
    e.length = e.startTagLength = static_cast<uint32_t>(tag.size());
    e.flags = kEmptyElement;
    current_ = id;
    child_ = 0;
    return true;
}

} // namespace vantrel
