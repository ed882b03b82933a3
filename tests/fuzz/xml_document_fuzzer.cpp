// Feeds arbitrary text to the XML indexer, walks it with the cursor and edits it, checking that
// the index kept in step by the edits equals the index of the edited text built afresh.
#include "app/device/xml_document.h"
#include "tests/support/xml_tree.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vantrel;
    std::u16string text(size / 2, u'\0');
    std::memcpy(text.data(), data, text.size() * 2);

    XmlDocument doc;
    doc.SetText(text);
    if (doc.ResultLog().size() > XmlDocument::kMaxLogLength) std::abort();

    // Walk down the first branch, reading and writing attributes and adding a child on each level.
    for (int depth = 0; depth < 8; ++depth) {
        uint32_t first = doc.Elements()[doc.ParentElement()].firstChild;
        if (first == 0) break;
        std::u16string name(doc.TagName(first));
        if (!doc.FindElement(name)) break;
        doc.GetAttribute(u"a");
        if (doc.SetAttribute(u"a", u"<&\"'>") && doc.GetAttribute(u"a") != u"<&\"'>") std::abort();
        if (!doc.EnterElement()) break;
        doc.AddElement(u"n");
        doc.SetAttribute(u"b", u"1");
    }
    while (doc.LeaveElement()) {
    }
    if (doc.IsWellFormed()) {
        XmlDocument fresh;
        fresh.SetText(doc.Text());
        if (vantrel::testing::DescribeTree(doc) != vantrel::testing::DescribeTree(fresh)) std::abort();
    }
    return 0;
}
