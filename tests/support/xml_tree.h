// The element tree of an XmlDocument as text, walked through its links, so that an index kept in
// step by edits can be compared with the index of the same text built afresh.
#pragma once

#include "app/core/text_encoding.h"
#include "app/device/xml_document.h"

#include <string>

namespace vantrel::testing {

inline void DescribeLevel(const XmlDocument& doc, uint32_t parent, std::string& out) {
    const auto& e = doc.Elements();
    uint32_t first = e[parent].firstChild;
    uint32_t last = 0;
    for (uint32_t id = first; id != 0; id = e[id].nextSibling) {
        const auto& r = e[id];
        out += WideToUtf8(doc.TagName(id)) + "@" + std::to_string(r.start) + "+" + std::to_string(r.length) + "(" +
               std::to_string(r.startTagLength) + "," + std::to_string(r.endTagLength) + ") L" +
               std::to_string(r.level) + " f" + std::to_string(r.flags) +
               (r.parent == parent ? "" : " BAD-PARENT") + "{";
        DescribeLevel(doc, id, out);
        out += "}";
        last = id;
    }
    if (first != 0 && e[first].prevSibling != last) out += " BAD-LAST-LINK";
}

inline std::string DescribeTree(const XmlDocument& doc) {
    std::string out;
    DescribeLevel(doc, 0, out);
    return out;
}

} // namespace vantrel::testing
