#include "pelta/core/text.h"

#include <glib.h>

namespace Pelta {

std::string ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        gunichar c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD; // a lone surrogate
        }
        char buffer[6];
        out.append(buffer, static_cast<size_t>(g_unichar_to_utf8(c, buffer)));
    }
    return out;
}

std::u16string FromUtf8(std::string_view text) {
    gchar* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
    glong written = 0;
    gunichar2* utf16 = g_utf8_to_utf16(valid, -1, nullptr, &written, nullptr);
    std::u16string out;
    if (utf16) out.assign(reinterpret_cast<const char16_t*>(utf16), static_cast<size_t>(written));
    g_free(utf16);
    g_free(valid);
    return out;
}

} // namespace Pelta
