// Plain HTTP(S) GET of a short text or of a file, for the update checks.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

namespace vantrel {

// Results: 1 success, -1 the address did not answer with content or the transfer failed,
// 0 no HTTP client could be made.
class HttpClient {
public:
    virtual ~HttpClient() = default;
    virtual int FetchText(const std::string& url, std::string* text) = 0;
    // Progress 0 to 100 as the download goes; a failed download leaves no file behind.
    virtual int DownloadFile(const std::string& url, const std::filesystem::path& file,
                             const std::function<void(int)>& progress) = 0;
};

struct HttpTimeouts {
    std::chrono::seconds connect{10};
    // A transfer slower than one byte a second for this long is given up.
    std::chrono::seconds stalled{20};
};

class CurlHttpClient final : public HttpClient {
public:
    explicit CurlHttpClient(HttpTimeouts timeouts = {});
    ~CurlHttpClient() override;
    int FetchText(const std::string& url, std::string* text) override;
    int DownloadFile(const std::string& url, const std::filesystem::path& file,
                     const std::function<void(int)>& progress) override;

    static constexpr size_t kMaxTextLength = 64 * 1024; // a version file, never a page

private:
    HttpTimeouts timeouts_;
    bool initialised_ = false;
};

} // namespace vantrel
