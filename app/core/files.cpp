#include "app/core/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace vantrel {
namespace {

void SetError(std::string* error, const std::string& what) {
    if (error) *error = what + ": " + std::strerror(errno);
}

// Closes a descriptor when it goes out of scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    int release() {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

} // namespace

bool ReadFileBytes(const std::filesystem::path& path, std::string* bytes, std::string* error) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        SetError(error, "open " + path.string());
        return false;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        SetError(error, "stat " + path.string());
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        if (error) *error = path.string() + " is not a regular file";
        return false;
    }
    std::string data;
    data.resize(static_cast<size_t>(st.st_size));
    size_t used = 0;
    for (;;) {
        char extra[4096];
        const bool full = used == data.size(); // the file may have grown since fstat
        ssize_t got = full ? ::read(fd.get(), extra, sizeof extra)
                           : ::read(fd.get(), data.data() + used, data.size() - used);
        if (got < 0) {
            if (errno == EINTR) continue;
            SetError(error, "read " + path.string());
            return false;
        }
        if (got == 0) break;
        if (full) data.append(extra, static_cast<size_t>(got));
        used += static_cast<size_t>(got);
    }
    data.resize(used);
    *bytes = std::move(data);
    return true;
}

bool WriteFileAtomically(const std::filesystem::path& path, const std::string& bytes, std::string* error) {
    std::error_code ec;
    std::filesystem::path target = path;
    if (std::filesystem::is_symlink(path, ec)) {
        auto resolved = std::filesystem::weakly_canonical(path, ec);
        if (!ec) target = resolved;
    }
    static std::atomic<unsigned> counter{0};
    std::filesystem::path temp = target;
    temp += ".tmp." + std::to_string(::getpid()) + "." + std::to_string(counter++);

    FileDescriptor fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (fd.get() < 0) {
        SetError(error, "create " + temp.string());
        return false;
    }
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0) ::fchmod(fd.get(), old.st_mode & 07777);

    size_t written = 0;
    bool ok = true;
    while (written < bytes.size()) {
        ssize_t put = ::write(fd.get(), bytes.data() + written, bytes.size() - written);
        if (put < 0) {
            if (errno == EINTR) continue;
            SetError(error, "write " + temp.string());
            ok = false;
            break;
        }
        written += static_cast<size_t>(put);
    }
    if (ok && ::fsync(fd.get()) != 0) {
        SetError(error, "sync " + temp.string());
        ok = false;
    }
    if (::close(fd.release()) != 0 && ok) {
        SetError(error, "close " + temp.string());
        ok = false;
    }
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
        SetError(error, "rename to " + target.string());
        ok = false;
    }
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

} // namespace vantrel
