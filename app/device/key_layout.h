// A keyboard model's key layout: the keys on the picture and the three lookup tables the
// payloads use (key table position, LED position, row/column grid).
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace vantrel {

class XmlDocument;

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const Rect&) const = default;
};

struct KeyLayoutItem {
    int code = 0;
    std::u16string name; // label on the key tile
    std::u16string desc; // tip title
    int keyIndex = 0;
    int lightIndex = 0;
    std::u16string icon;
    Rect rect;
    int row = -1, column = -1; // as parsed; outside the grid when not placed
};

inline constexpr int kGridRows = 8;
inline constexpr int kGridColumns = 32;
inline constexpr uint8_t kEmptyGridCell = 0xFF;

struct KeyLayout {
    bool present = false; // a Keyboard element was read
    int xpos = 0, ypos = 0, width = 0, height = 0;
    std::u16string image;
    int rowCount = 0, colCount = 0;
    std::vector<KeyLayoutItem> keys;               // file order
    std::map<int, int> keyPosition;                // key code -> key table position
    std::map<int, int> lightPosition;              // key code -> LED position
    std::array<std::array<uint8_t, kGridColumns>, kGridRows> grid;

    KeyLayout() { Clear(); }
    void Clear();
    const KeyLayoutItem* FindKey(int code) const;
};

// Reads the Keyboard element of a description whose cursor stands inside device.info.
KeyLayout ReadLayout(XmlDocument& doc);

// "r#c": the row is the first character; the column the last character when the text has 3,
// otherwise the last two.
void ParseRowCol(std::u16string_view text, int* row, int* column);
// "X#Y#W#H" to (X, Y, X + W, Y + H); a missing separator leaves that number 0.
Rect ParseRect(std::u16string_view text);
// Hexadecimal text, "0x" optional; 0 for empty or non-hex text.
int HexToInt(std::u16string_view text);

} // namespace vantrel
