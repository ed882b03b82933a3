#include "app/update/unpack.h"

#include "app/core/text_encoding.h"

#include <fcntl.h>
#include <minizip/unzip.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <memory>

namespace vantrel {
namespace {

constexpr unsigned kUnixHost = 3;
constexpr uint16_t kExtendedTimestamp = 0x5455; // "UT"
constexpr unsigned kUtf8NameFlag = 0x800;
constexpr unsigned kDosReadOnly = 0x01;
constexpr unsigned kDosDirectory = 0x10;

struct ZipCloser {
    void operator()(void* zip) const { unzClose(zip); }
};

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

// Names are UTF-8 when the entry says so; otherwise they are in the archiver's code page, which
// for zip files is DOS code page 437 unless the bytes happen to be valid UTF-8.
std::string NameToUtf8(const std::string& raw, unsigned long flags) {
    if ((flags & kUtf8NameFlag) || LooksLikeUtf8(raw)) return raw;
    return WideToUtf8(DecodeToWide(raw, "CP437").text);
}

// Modification time of the entry: the DOS time in local time, replaced by the Unix time of an
// extended-timestamp extra field when there is one.
time_t EntryTime(const unz_file_info64& info, const std::vector<unsigned char>& extra) {
    std::tm tm{};
    tm.tm_sec = static_cast<int>(info.tmu_date.tm_sec);
    tm.tm_min = static_cast<int>(info.tmu_date.tm_min);
    tm.tm_hour = static_cast<int>(info.tmu_date.tm_hour);
    tm.tm_mday = static_cast<int>(info.tmu_date.tm_mday);
    tm.tm_mon = static_cast<int>(info.tmu_date.tm_mon);
    tm.tm_year = static_cast<int>(info.tmu_date.tm_year) - 1900;
    tm.tm_isdst = -1;
    time_t when = std::mktime(&tm);
    for (size_t i = 0; i + 4 <= extra.size();) {
        const unsigned id = extra[i] | extra[i + 1] << 8;
        const size_t size = extra[i + 2] | extra[i + 3] << 8;
        if (id == kExtendedTimestamp && size >= 5 && i + 4 + size <= extra.size() && (extra[i + 4] & 1)) {
            const unsigned char* t = &extra[i + 5];
            when = static_cast<time_t>(static_cast<uint32_t>(t[0] | t[1] << 8 | t[2] << 16 | static_cast<uint32_t>(t[3]) << 24));
        }
        i += 4 + size;
    }
    return when;
}

// Creates the folders of `relative` below `base` one by one, refusing to go through a link.
bool MakeParents(const std::filesystem::path& base, const std::filesystem::path& relative, std::string* why) {
    std::filesystem::path at = base;
    for (const auto& part : relative.parent_path()) {
        at /= part;
        struct stat st {};
        if (::lstat(at.c_str(), &st) == 0) {
            if (S_ISLNK(st.st_mode)) {
                *why = "a folder on its way is a symbolic link";
                return false;
            }
            if (!S_ISDIR(st.st_mode)) {
                *why = "a file stands where a folder must be";
                return false;
            }
            continue;
        }
        if (::mkdir(at.c_str(), 0755) != 0 && errno != EEXIST) {
            *why = "cannot create a folder";
            return false;
        }
    }
    return true;
}

} // namespace

std::string CleanEntryName(std::string_view name) {
    std::string s(name);
    for (bool changed = true; changed;) {
        changed = false;
        if (s.size() >= 2 && s[1] == ':') {
            s.erase(0, 2);
            changed = true;
        }
        if (!s.empty() && (s[0] == '\\' || s[0] == '/')) {
            s.erase(0, 1);
            changed = true;
        }
        if (StartsWith(s, "..\\") || StartsWith(s, "../")) {
            s.erase(0, 3);
            changed = true;
        }
        size_t cut = std::string::npos;
        for (const char* step : {"\\..\\", "\\../", "/../", "/..\\"}) cut = std::min(cut, s.find(step));
        if (cut != std::string::npos) {
            s.erase(0, cut + 4);
            changed = true;
        }
    }
    for (char& c : s)
        if (c == '\\') c = '/';
    // What is left must be plain folder and file names.
    std::string clean;
    size_t start = 0;
    while (start <= s.size()) {
        size_t slash = s.find('/', start);
        std::string part = s.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (part == "..") return {};
        if (!part.empty() && part != ".") clean += (clean.empty() ? "" : "/") + part;
        if (slash == std::string::npos) break;
        start = slash + 1;
    }
    return clean;
}

bool UnpackArchive(const std::filesystem::path& archive, const std::filesystem::path& folder, UnpackReport* report,
                   const UnpackLimits& limits) {
    UnpackReport local;
    UnpackReport& out = report ? *report : local;
    if (::access(archive.c_str(), R_OK) != 0) return false;
    std::unique_ptr<void, ZipCloser> zip(unzOpen64(archive.c_str()));
    if (!zip) return true; // not a zip file: nothing to unpack

    // Refuse a bomb before writing anything, by what the directory declares.
    unz_global_info64 global{};
    if (unzGetGlobalInfo64(zip.get(), &global) != UNZ_OK) return true;
    if (global.number_entry > limits.maxEntries) {
        out.tooLarge = true;
        return false;
    }
    uint64_t declared = 0;
    for (int rc = unzGoToFirstFile(zip.get()); rc == UNZ_OK; rc = unzGoToNextFile(zip.get())) {
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(zip.get(), &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) break;
        declared += info.uncompressed_size;
        if (declared > limits.maxTotalBytes) {
            out.tooLarge = true;
            return false;
        }
    }

    uint64_t written = 0;
    for (int rc = unzGoToFirstFile(zip.get()); rc == UNZ_OK; rc = unzGoToNextFile(zip.get())) {
        unz_file_info64 info{};
        char rawName[4096];
        std::vector<unsigned char> extra(65536);
        if (unzGetCurrentFileInfo64(zip.get(), &info, rawName, sizeof rawName, extra.data(), extra.size(), nullptr, 0) !=
            UNZ_OK)
            continue;
        extra.resize(info.size_file_extra);
        const std::string name = NameToUtf8(std::string(rawName, strnlen(rawName, sizeof rawName)), info.flag);
        auto refuse = [&](const std::string& why) { out.refused.push_back(name + ": " + why); };

        const unsigned unixMode = (info.version >> 8) == kUnixHost ? static_cast<unsigned>(info.external_fa >> 16) : 0;
        if (S_ISLNK(unixMode)) {
            refuse("symbolic links are not unpacked");
            continue;
        }
        const std::string clean = CleanEntryName(name);
        if (clean.empty()) {
            refuse("no usable name");
            continue;
        }
        const bool directory = (info.external_fa & kDosDirectory) || S_ISDIR(unixMode) || name.back() == '/' ||
                                name.back() == '\\';
        const std::filesystem::path relative(clean);
        std::string why;
        if (!MakeParents(folder, directory ? relative / "x" : relative, &why)) {
            refuse(why);
            continue;
        }
        const std::filesystem::path target = folder / relative;
        if (directory) continue;

        if (unzOpenCurrentFile(zip.get()) != UNZ_OK) {
            refuse("cannot read");
            continue;
        }
        // O_NOFOLLOW: never write through a link that stands where the file goes.
        int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0) {
            unzCloseCurrentFile(zip.get());
            refuse(errno == ELOOP ? "a symbolic link stands where the file goes" : "cannot create the file");
            continue;
        }
        char buffer[64 * 1024];
        bool ok = true;
        for (;;) {
            int got = unzReadCurrentFile(zip.get(), buffer, sizeof buffer);
            if (got == 0) break;
            if (got < 0) {
                ok = false;
                break;
            }
            written += static_cast<uint64_t>(got);
            if (written > limits.maxTotalBytes) { // the directory lied about the sizes
                out.tooLarge = true;
                ok = false;
                break;
            }
            if (::write(fd, buffer, static_cast<size_t>(got)) != got) {
                ok = false;
                break;
            }
        }
        const bool crcOk = unzCloseCurrentFile(zip.get()) == UNZ_OK;
        ::close(fd);
        if (!ok || !crcOk) {
            ::unlink(target.c_str());
            if (out.tooLarge) return false;
            refuse("damaged entry");
            continue;
        }
        if (info.external_fa & kDosReadOnly) ::chmod(target.c_str(), 0444);
        const time_t when = EntryTime(info, extra);
        timespec times[2] = {{when, 0}, {when, 0}};
        ::utimensat(AT_FDCWD, target.c_str(), times, 0);
        out.written.push_back(clean);
    }
    return true;
}

} // namespace vantrel
