#include "app/device/key_layout.h"
#include "app/device/xml_document.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(KeyLayout, ParsesRowColRectAndCodes) {
    struct RowCol {
        const char16_t* text;
        int row, column;
    } rowCols[] = {{u"3#5", 3, 5}, {u"3#12", 3, 12}, {u"12#4", 1, 0}, {u"", -1, -1}, {u"x#y", 0, 0}, {u"7#31", 7, 31}};
    for (const auto& c : rowCols) {
        int row, column;
        ParseRowCol(c.text, &row, &column);
        EXPECT_EQ(row, c.row);
        EXPECT_EQ(column, c.column);
    }
    struct RectCase {
        const char16_t* text;
        Rect rect;
    } rects[] = {{u"10#20#30#40", {10, 20, 40, 60}},
                 {u"10#20#30", {10, 20, 10, 50}},  // a separator missing: W is 0, the 30 is left for H
                 {u"10 20 30 40", {0, 0, 0, 10}},  // no separators: the last number gets the text
                 {u"", {0, 0, 0, 0}},
                 {u"a#b#c#d", {0, 0, 0, 0}}};
    for (const auto& c : rects) EXPECT_EQ(ParseRect(c.text), c.rect);
    struct Hex {
        const char16_t* text;
        int value;
    } hexes[] = {{u"1E", 30}, {u"0x1E", 30}, {u"0X1a2c", 0x1A2C}, {u"", 0}, {u"zz", 0}, {u"FFFFFFFFFF", 0x7FFFFFFF}};
    for (const auto& c : hexes) EXPECT_EQ(HexToInt(c.text), c.value);
}

TEST(KeyLayout, BuildsTheMapsAndTheGrid) {
    XmlDocument doc;
    ASSERT_TRUE(doc.SetText(u"<device.info><Keyboard xpos='1' ypos='2' width='300' height='100' image='k.png' "
                            u"row_count='6' col_count='20'><KeyItems>"
                            u"<key code='0x04' name='A' key_index='5' light_index='9' row_col='3#5' rect='1#2#3#4'/>"
                            u"<key code='1E' key_index='6' light_index='10' row_col='9#1'/>"
                            u"<key code='0x04' key_index='7' light_index='11' row_col='0#0'/>"
                            u"<key code='0x1FF' key_index='8' light_index='12' row_col='2#31'/>"
                            u"</KeyItems></Keyboard></device.info>"));
    doc.FindElement(u"device.info");
    doc.EnterElement();
    KeyLayout layout = ReadLayout(doc);
    ASSERT_TRUE(layout.present);
    EXPECT_EQ(layout.keys.size(), 4u);                 // duplicates stay as keys of the views
    EXPECT_EQ(layout.keyPosition.at(0x04), 7);         // but the later one wins in the maps
    EXPECT_EQ(layout.lightPosition.at(0x1E), 10);
    EXPECT_EQ(layout.grid[3][5], 0x04);
    EXPECT_EQ(layout.grid[0][0], 0x04);
    EXPECT_EQ(layout.grid[2][31], 0xFF);               // low byte of 0x1FF
    int placed = 0;
    for (const auto& row : layout.grid)
        for (uint8_t cell : row) placed += cell != kEmptyGridCell;
    EXPECT_EQ(placed, 2); // 9#1 is outside the grid; the low byte of 0x1FF reads as an empty cell
    EXPECT_EQ(layout.keys[0].rect, (Rect{1, 2, 4, 6}));
}

} // namespace
} // namespace vantrel
