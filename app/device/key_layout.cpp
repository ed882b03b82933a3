#include "app/device/key_layout.h"

#include "app/core/text_encoding.h"
#include "app/device/xml_document.h"

#include <climits>

namespace vantrel {

void KeyLayout::Clear() {
    present = false;
    xpos = ypos = width = height = rowCount = colCount = 0;
    image.clear();
    keys.clear();
    keyPosition.clear();
    lightPosition.clear();
    for (auto& row : grid) row.fill(kEmptyGridCell);
}

const KeyLayoutItem* KeyLayout::FindKey(int code) const {
    for (const KeyLayoutItem& k : keys)
        if (k.code == code) return &k;
    return nullptr;
}

int HexToInt(std::u16string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
    if (i + 1 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) i += 2;
    long long value = 0;
    for (; i < text.size(); ++i) {
        char16_t c = text[i];
        int digit;
        if (c >= u'0' && c <= u'9') digit = c - u'0';
        else if (c >= u'a' && c <= u'f') digit = c - u'a' + 10;
        else if (c >= u'A' && c <= u'F') digit = c - u'A' + 10;
        else break;
        value = value * 16 + digit;
        if (value > INT_MAX) return INT_MAX;
    }
    return static_cast<int>(value);
}

void ParseRowCol(std::u16string_view text, int* row, int* column) {
    *row = DecimalToInt(text.substr(0, 1));
    *column = DecimalToInt(text.size() == 3 ? text.substr(2) : text.size() >= 2 ? text.substr(text.size() - 2) : u"");
    if (text.empty()) *row = *column = -1;
}

Rect ParseRect(std::u16string_view text) {
    int numbers[4] = {};
    for (int i = 0; i < 3; ++i) {
        size_t hash = text.find(u'#');
        if (hash == std::u16string_view::npos) {
            numbers[i] = 0; // the separator is missing: the text is left for the next number
            continue;
        }
        numbers[i] = DecimalToInt(text.substr(0, hash));
        text.remove_prefix(hash + 1);
    }
    numbers[3] = DecimalToInt(text);
    return Rect{numbers[0], numbers[1], numbers[0] + numbers[2], numbers[1] + numbers[3]};
}

KeyLayout ReadLayout(XmlDocument& doc) {
    KeyLayout layout;
    if (!doc.FindElement(u"Keyboard")) return layout;
    layout.present = true;
    layout.xpos = DecimalToInt(doc.GetAttribute(u"xpos"));
    layout.ypos = DecimalToInt(doc.GetAttribute(u"ypos"));
    layout.width = DecimalToInt(doc.GetAttribute(u"width"));
    layout.height = DecimalToInt(doc.GetAttribute(u"height"));
    layout.image = doc.GetAttribute(u"image");
    layout.rowCount = DecimalToInt(doc.GetAttribute(u"row_count"));
    layout.colCount = DecimalToInt(doc.GetAttribute(u"col_count"));
    doc.EnterElement();
    if (!doc.FindElement(u"KeyItems")) {
        doc.LeaveElement();
        return layout;
    }
    doc.EnterElement();
    while (doc.FindElement(u"key")) {
        KeyLayoutItem key;
        key.code = HexToInt(doc.GetAttribute(u"code"));
        key.name = doc.GetAttribute(u"name");
        key.desc = doc.GetAttribute(u"desc");
        key.keyIndex = DecimalToInt(doc.GetAttribute(u"key_index"));
        key.lightIndex = DecimalToInt(doc.GetAttribute(u"light_index"));
        key.icon = doc.GetAttribute(u"icon");
        layout.keyPosition[key.code] = key.keyIndex;
        layout.lightPosition[key.code] = key.lightIndex;
        ParseRowCol(doc.GetAttribute(u"row_col"), &key.row, &key.column);
        if (key.row >= 0 && key.row < kGridRows && key.column >= 0 && key.column < kGridColumns)
            layout.grid[static_cast<size_t>(key.row)][static_cast<size_t>(key.column)] = static_cast<uint8_t>(key.code & 0xFF);
        key.rect = ParseRect(doc.GetAttribute(u"rect"));
        layout.keys.push_back(std::move(key));
    }
    doc.LeaveElement();
    doc.LeaveElement();
    return layout;
}

} // namespace vantrel
