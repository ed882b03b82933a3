#include "app/update/checksum.h"

#include <openssl/evp.h>

#include <cctype>
#include <cstdio>
#include <memory>

namespace vantrel {

std::optional<std::string> Sha256OfFile(const std::filesystem::path& file) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(file.c_str(), "rb"), std::fclose);
    if (!in) return std::nullopt;
    std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX*)> ctx(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    if (!ctx || EVP_DigestInit_ex(ctx.get(), EVP_sha256(), nullptr) != 1) return std::nullopt;
    char buffer[64 * 1024];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, in.get())) > 0) EVP_DigestUpdate(ctx.get(), buffer, got);
    if (std::ferror(in.get())) return std::nullopt;
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(ctx.get(), digest, &length) != 1) return std::nullopt;
    std::string hex;
    for (unsigned i = 0; i < length; ++i) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", digest[i]);
        hex += pair;
    }
    return hex;
}

std::optional<std::string> ParseSha256File(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    std::string digest;
    for (; i < text.size() && std::isxdigit(static_cast<unsigned char>(text[i])) && digest.size() < 64; ++i)
        digest += static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
    const bool ends = i == text.size() || std::isspace(static_cast<unsigned char>(text[i]));
    if (digest.size() != 64 || !ends) return std::nullopt;
    return digest;
}

} // namespace vantrel
