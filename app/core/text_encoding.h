// Conversions between the program's wide text (UTF-16) and byte encodings.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vantrel {

struct DecodeResult {
    std::u16string text;
    bool ok = false;          // false: the encoding is unknown to the converter
    std::size_t consumed = 0; // bytes turned into text
    std::size_t replaced = 0; // invalid sequences replaced by U+FFFD
    bool truncated = false;   // the data ended inside a multi-byte sequence, left unconverted
};

struct EncodeResult {
    std::string bytes;
    bool ok = false;      // false: the encoding is unknown to the converter
    std::size_t lost = 0; // characters the target encoding cannot hold, written as '?'
};

// Any encoding name iconv knows (IANA names and their aliases).
DecodeResult DecodeToWide(std::string_view bytes, const char* encoding);
EncodeResult EncodeFromWide(std::u16string_view text, const char* encoding);

// Appends one code point as UTF-16 (a surrogate pair above U+FFFF).
void AppendCodePoint(std::u16string& out, char32_t cp);

// UTF-8 is the encoding of every file and socket message we write ourselves.
std::u16string Utf8ToWide(std::string_view bytes);
std::string WideToUtf8(std::u16string_view text);

// Bytes at the end that begin a UTF-8 sequence the data cuts off (0 to 3).
size_t IncompleteUtf8Tail(std::string_view bytes);

// True when the bytes are well-formed UTF-8; a sequence cut off only by the end still counts.
bool LooksLikeUtf8(std::string_view bytes);

// Decimal text to int as the settings and XML callers read numbers: optional blanks and sign,
// then digits; 0 for empty or non-numeric text; saturates instead of overflowing.
int DecimalToInt(std::u16string_view text);

} // namespace vantrel
