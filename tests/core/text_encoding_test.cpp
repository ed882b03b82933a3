#include "app/core/text_encoding.h"

#include <gtest/gtest.h>

#include <climits>

namespace vantrel {
namespace {

TEST(TextEncoding, Utf8RoundTripAndInvalidInput) {
    const std::u16string text = u"a\u00f1\u20ac\U0001F600";
    EXPECT_EQ(Utf8ToWide(WideToUtf8(text)), text);
    struct Case {
        std::string bytes;
        std::u16string wide;
    } cases[] = {
        {"\xC3", u"\uFFFD"},                 // cut off by the end
        {"\xC0\xAF", u"\uFFFD\uFFFD"},       // overlong form
        {"\xED\xA0\x80", u"\uFFFD"},         // an encoded surrogate
        {"a\xFF" "b", u"a\uFFFDb"},
    };
    for (const auto& c : cases) EXPECT_EQ(Utf8ToWide(c.bytes), c.wide) << c.bytes;
    EXPECT_EQ(WideToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD"); // lone surrogate
}

TEST(TextEncoding, DecodeAndEncodeThroughCodePages) {
    DecodeResult d = DecodeToWide("\x80\xE9", "WINDOWS-1252");
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.text, u"\u20ac\u00e9");
    EXPECT_FALSE(DecodeToWide("x", "NO-SUCH-CHARSET").ok);
    DecodeResult cut = DecodeToWide("ab\xE2\x82", "UTF-8");
    EXPECT_TRUE(cut.truncated);
    EXPECT_EQ(cut.text, u"ab");
    EncodeResult e = EncodeFromWide(u"\u00e9\u4e2d", "ISO-8859-1");
    EXPECT_EQ(e.bytes, "\xE9?");
    EXPECT_EQ(e.lost, 1u);
}

TEST(TextEncoding, IncompleteUtf8Tail) {
    struct Case {
        std::string bytes;
        size_t tail;
    } cases[] = {{"", 0},           {"abc", 0},          {"a\xC3", 1},           {"a\xC3\xB1", 0},
                 {"\xE2\x82", 2},   {"\xE2\x82\xAC", 0}, {"\xF0\x9F\x98", 3},    {"\x80\x80\x80\x80", 0}};
    for (const auto& c : cases) EXPECT_EQ(IncompleteUtf8Tail(c.bytes), c.tail) << c.bytes;
}

TEST(TextEncoding, DecimalToInt) {
    struct Case {
        const char16_t* text;
        int value;
    } cases[] = {{u"", 0}, {u"abc", 0}, {u"1034", 1034}, {u"  -7", -7}, {u"+3x", 3}, {u"12abc", 12},
                 {u"99999999999999", INT_MAX}, {u"-99999999999999", INT_MIN}};
    for (const auto& c : cases) EXPECT_EQ(DecimalToInt(c.text), c.value);
}

} // namespace
} // namespace vantrel
