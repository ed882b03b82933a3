#include "app/update/http_client.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace vantrel {
namespace {

constexpr const char* kUserAgent = "IIC2.0/PC 5.5.0000";
constexpr long kMaxRedirects = 5;

// Owns one easy handle, set up for a no-cache GET that follows a few redirects, speaks only
// http and https, and gives up on a dead server.
class Request {
public:
    Request(const std::string& url, const HttpTimeouts& timeouts) : curl_(curl_easy_init()) {
        if (!curl_) return;
        curl_easy_setopt(curl_, CURLOPT_URL, url.c_str());
        curl_easy_setopt(curl_, CURLOPT_USERAGENT, kUserAgent);
        curl_easy_setopt(curl_, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(curl_, CURLOPT_MAXREDIRS, kMaxRedirects);
        curl_easy_setopt(curl_, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl_, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl_, CURLOPT_CONNECTTIMEOUT, static_cast<long>(timeouts.connect.count()));
        curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_TIME, static_cast<long>(timeouts.stalled.count()));
        curl_easy_setopt(curl_, CURLOPT_NOSIGNAL, 1L);
        headers_ = curl_slist_append(headers_, "Accept: */*");
        headers_ = curl_slist_append(headers_, "Cache-Control: no-cache");
        headers_ = curl_slist_append(headers_, "Pragma: no-cache");
        curl_easy_setopt(curl_, CURLOPT_HTTPHEADER, headers_);
    }
    ~Request() {
        curl_slist_free_all(headers_);
        if (curl_) curl_easy_cleanup(curl_);
    }
    Request(const Request&) = delete;
    Request& operator=(const Request&) = delete;
    CURL* get() const { return curl_; }
    // Runs the transfer; true when it completed with a 2xx status.
    bool Perform() {
        if (curl_easy_perform(curl_) != CURLE_OK) return false;
        long status = 0;
        curl_easy_getinfo(curl_, CURLINFO_RESPONSE_CODE, &status);
        return status >= 200 && status < 300;
    }

private:
    CURL* curl_;
    curl_slist* headers_ = nullptr;
};

size_t AppendText(char* data, size_t size, size_t count, void* user) {
    auto* text = static_cast<std::string*>(user);
    if (text->size() + size * count > CurlHttpClient::kMaxTextLength) return 0; // ends the transfer
    text->append(data, size * count);
    return size * count;
}

struct Download {
    std::FILE* file = nullptr;
    const std::function<void(int)>* progress = nullptr;
    int lastPosted = -1;
    void Post(int value) {
        if (value == lastPosted) return;
        lastPosted = value;
        if (*progress) (*progress)(value);
    }
};

size_t WriteBlock(char* data, size_t size, size_t count, void* user) {
    auto* d = static_cast<Download*>(user);
    return std::fwrite(data, size, count, d->file) == count ? size * count : 0;
}

int OnProgress(void* user, curl_off_t total, curl_off_t now, curl_off_t, curl_off_t) {
    auto* d = static_cast<Download*>(user);
    if (total > 0) d->Post(10 + static_cast<int>(90 * now / total));
    return 0;
}

} // namespace

CurlHttpClient::CurlHttpClient(HttpTimeouts timeouts)
    : timeouts_(timeouts), initialised_(curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK) {}

CurlHttpClient::~CurlHttpClient() {
    if (initialised_) curl_global_cleanup();
}

int CurlHttpClient::FetchText(const std::string& url, std::string* text) {
    if (!initialised_) return 0;
    Request request(url, timeouts_);
    if (!request.get()) return 0;
    std::string body;
    curl_easy_setopt(request.get(), CURLOPT_WRITEFUNCTION, AppendText);
    curl_easy_setopt(request.get(), CURLOPT_WRITEDATA, &body);
    if (!request.Perform()) return -1;
    *text = std::move(body);
    return 1;
}

int CurlHttpClient::DownloadFile(const std::string& url, const std::filesystem::path& file,
                                 const std::function<void(int)>& progress) {
    Download d;
    d.progress = &progress;
    d.Post(0);
    if (!initialised_) return 0;
    Request request(url, timeouts_);
    if (!request.get()) return 0;
    d.Post(2);
    std::error_code ec;
    std::filesystem::remove(file, ec);
    d.file = std::fopen(file.c_str(), "wbx");
    if (!d.file) return -1;
    d.Post(8);
    curl_easy_setopt(request.get(), CURLOPT_WRITEFUNCTION, WriteBlock);
    curl_easy_setopt(request.get(), CURLOPT_WRITEDATA, &d);
    curl_easy_setopt(request.get(), CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(request.get(), CURLOPT_XFERINFODATA, &d);
    curl_easy_setopt(request.get(), CURLOPT_NOPROGRESS, 0L);
    d.Post(10);
    const bool ok = request.Perform();
    const bool closed = std::fclose(d.file) == 0;
    if (!ok || !closed) {
        std::filesystem::remove(file, ec); // never leave half a package to be unpacked
        return -1;
    }
    d.Post(100);
    return 1;
}

} // namespace vantrel
