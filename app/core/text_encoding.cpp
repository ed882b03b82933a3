#include "app/core/text_encoding.h"

#include <iconv.h>

#include <bit>
#include <cerrno>
#include <climits>
#include <cstring>

namespace vantrel {
namespace {

static_assert(std::endian::native == std::endian::little, "wide text is taken as UTF-16LE");

// Owns one iconv descriptor.
class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (valid()) iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

} // namespace

DecodeResult DecodeToWide(std::string_view bytes, const char* encoding) {
    DecodeResult result;
    Iconv cd("UTF-16LE", encoding);
    if (!cd.valid()) return result;
    result.ok = true;

    std::string out(bytes.size() * 2 + 16, '\0');
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    size_t used = 0;
    while (inLeft > 0) {
        char* outPtr = out.data() + used;
        size_t outLeft = out.size() - used;
        size_t rc = iconv(cd.get(), &in, &inLeft, &outPtr, &outLeft);
        used = out.size() - outLeft;
        if (rc != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
        } else if (errno == EILSEQ) {
            // Keep going past a broken sequence, as a reader of user files should.
            if (out.size() - used < 2) out.resize(out.size() * 2);
            out[used++] = static_cast<char>(0xFD);
            out[used++] = static_cast<char>(0xFF);
            ++in;
            --inLeft;
            ++result.replaced;
            iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
        } else { // EINVAL: incomplete sequence at the end
            result.truncated = true;
            break;
        }
    }
    result.consumed = bytes.size() - inLeft;
    result.text.resize(used / 2);
    std::memcpy(result.text.data(), out.data(), result.text.size() * 2);
    return result;
}

EncodeResult EncodeFromWide(std::u16string_view text, const char* encoding) {
    EncodeResult result;
    Iconv cd(encoding, "UTF-16LE");
    if (!cd.valid()) return result;
    result.ok = true;

    std::string out(text.size() * 3 + 16, '\0');
    char* in = reinterpret_cast<char*>(const_cast<char16_t*>(text.data()));
    size_t inLeft = text.size() * 2;
    size_t used = 0;
    while (inLeft > 0) {
        char* outPtr = out.data() + used;
        size_t outLeft = out.size() - used;
        size_t rc = iconv(cd.get(), &in, &inLeft, &outPtr, &outLeft);
        used = out.size() - outLeft;
        if (rc != static_cast<size_t>(-1)) {
            // glibc counts characters it replaced in a lossy way in the return value
            result.lost += rc;
            break;
        }
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
        } else if (errno == EILSEQ || errno == EINVAL) {
            // A character the target cannot hold, or a lone surrogate: one '?' for it.
            if (used == out.size()) out.resize(out.size() * 2);
            out[used++] = '?';
            char16_t unit;
            std::memcpy(&unit, in, 2);
            size_t skip = (unit >= 0xD800 && unit <= 0xDBFF && inLeft >= 4) ? 4 : 2;
            in += skip;
            inLeft -= skip;
            ++result.lost;
            iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
        } else {
            break;
        }
    }
    // Flush shift state for stateful encodings.
    for (;;) {
        char* outPtr = out.data() + used;
        size_t outLeft = out.size() - used;
        if (iconv(cd.get(), nullptr, nullptr, &outPtr, &outLeft) != static_cast<size_t>(-1)) {
            used = out.size() - outLeft;
            break;
        }
        if (errno != E2BIG) break;
        out.resize(out.size() * 2);
    }
    out.resize(used);
    result.bytes = std::move(out);
    return result;
}

void AppendCodePoint(std::u16string& out, char32_t cp) {
    if (cp > 0xFFFF) {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
        out += static_cast<char16_t>(cp);
    }
}

// UTF-8 is converted by hand: it is on every settings, language and socket read, where an
// iconv descriptor per call would cost more than the conversion.
std::u16string Utf8ToWide(std::string_view bytes) {
    std::u16string out(bytes.size(), u'\0'); // never more units than bytes
    char16_t* o = out.data();
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    size_t i = 0;
    while (i < n) {
        unsigned char c = p[i];
        if (c < 0x80) {
            *o++ = c;
            ++i;
            continue;
        }
        size_t len = 0;
        char32_t cp = 0, min = 0;
        if (c >= 0xC2 && c <= 0xDF) len = 2, cp = c & 0x1F, min = 0x80;
        else if (c >= 0xE0 && c <= 0xEF) len = 3, cp = c & 0x0F, min = 0x800;
        else if (c >= 0xF0 && c <= 0xF4) len = 4, cp = c & 0x07, min = 0x10000;
        size_t k = 1;
        for (; len && k < len && i + k < n && (p[i + k] & 0xC0) == 0x80; ++k) cp = (cp << 6) | (p[i + k] & 0x3F);
        if (len == 0 || k < len || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            *o++ = u'\uFFFD';
            i += len == 0 ? 1 : k;
            continue;
        }
        if (cp > 0xFFFF) {
            cp -= 0x10000;
            *o++ = static_cast<char16_t>(0xD800 + (cp >> 10));
            *o++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            *o++ = static_cast<char16_t>(cp);
        }
        i += len;
    }
    out.resize(static_cast<size_t>(o - out.data()));
    return out;
}

size_t IncompleteUtf8Tail(std::string_view bytes) {
    const size_t n = bytes.size();
    // Look back over at most three continuation bytes for the lead byte of the last sequence.
    for (size_t back = 1; back <= 4 && back <= n; ++back) {
        auto c = static_cast<unsigned char>(bytes[n - back]);
        if ((c & 0xC0) == 0x80) continue;
        size_t len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        return len > back ? back : 0;
    }
    return 0;
}

std::string WideToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD; // a lone surrogate has no UTF-8 form
        }
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

bool LooksLikeUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    size_t i = 0;
    while (i < n) {
        unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t len;
        if (c >= 0xC2 && c <= 0xDF) len = 2;
        else if (c >= 0xE0 && c <= 0xEF) len = 3;
        else if (c >= 0xF0 && c <= 0xF4) len = 4;
        else return false;
        for (size_t k = 1; k < len; ++k) {
            if (i + k >= n) return true; // cut off by the end of the data
            if ((p[i + k] & 0xC0) != 0x80) return false;
        }
        i += len;
    }
    return true;
}

int DecimalToInt(std::u16string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t' || text[i] == u'\r' || text[i] == u'\n'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i] - u'0');
        if (value > static_cast<long long>(INT_MAX) + 1) break;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

} // namespace vantrel
