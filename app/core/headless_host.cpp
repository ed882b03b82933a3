#include "app/core/headless_host.h"

#include "app/core/text_encoding.h"

#include <cinttypes>

namespace vantrel {

void HeadlessHost::Line(const std::string& text) {
    std::lock_guard lock(mutex_);
    std::fprintf(out_, "%s\n", text.c_str());
    std::fflush(out_);
}

void HeadlessHost::SetStatusText(const std::u16string& text) {
    Line("status: " + WideToUtf8(text));
}

void HeadlessHost::ShowInaccessible(const std::vector<InaccessibleInterface>& interfaces) {
    if (interfaces.empty()) return;
    char ids[32];
    std::snprintf(ids, sizeof ids, "%04x:%04x", interfaces.front().vendorId, interfaces.front().productId);
    Line(std::string("keyboard found but not accessible: ") + ids + " (" + interfaces.front().path +
         "). Install the udev rule: sudo cp data/udev/60-vantrel.rules /etc/udev/rules.d/ && "
         "sudo udevadm control --reload && sudo udevadm trigger");
}

int HeadlessHost::ShowMessageBox(int text, int caption, int buttons) {
    if (texts_) Line(WideToUtf8(texts_->GetLanguageText(caption)) + ": " + WideToUtf8(texts_->GetLanguageText(text)));
    return buttons == kTwoButtons ? kSecondButton : 1;
}

void HeadlessHost::ReportConnection(const std::u16string& model, int kind, bool found) {
    static const char* const kKinds[] = {"cable", "2.4 GHz receiver", "Bluetooth"};
    std::string report = !found ? "connection: none"
                                : "connection: " + WideToUtf8(model) + " via " +
                                      (kind >= 0 && kind <= 2 ? kKinds[kind] : "unknown connection");
    {
        std::lock_guard lock(mutex_);
        if (report == lastReport_) return;
        lastReport_ = report;
    }
    Line(report);
}

} // namespace vantrel
