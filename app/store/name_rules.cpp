#include "app/store/name_rules.h"

#include <algorithm>
#include <string>

namespace vantrel {

NameFilter::NameFilter()
    : fragments_{
          // Latin insults
          u"fuck", u"shit", u"bitch", u"cunt", u"asshole", u"wanker",
          // Chinese insults and political names
          u"\u50bb\u903c",       // 傻逼
          u"\u64cd\u4f60\u5988", // 操你妈
          u"\u4ed6\u5988\u7684", // 他妈的
          u"\u738b\u516b\u86cb", // 王八蛋
          u"\u72d7\u65e5\u7684", // 狗日的
          u"\u4e60\u8fd1\u5e73", // 习近平
          u"\u6bdb\u6cfd\u4e1c", // 毛泽东
          u"\u6cd5\u8f6e\u529f", // 法轮功
          u"\u53f0\u72ec",       // 台独
      } {}

std::u16string LowerCase(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& c : out) {
        if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) c = static_cast<char16_t>(c + 32);
    }
    return out;
}

bool NameFilter::Allows(std::u16string_view name) const {
    const std::u16string lower = LowerCase(name);
    return std::none_of(fragments_.begin(), fragments_.end(),
                        [&](const std::u16string& f) { return !f.empty() && lower.find(f) != std::u16string::npos; });
}

std::u16string UniqueListName(std::u16string_view base, const std::vector<std::u16string>& existing) {
    std::u16string candidate;
    for (int n = 1; n <= 1000; ++n) {
        std::string digits = std::to_string(n);
        candidate = std::u16string(base) + u" " + std::u16string(digits.begin(), digits.end());
        if (std::find(existing.begin(), existing.end(), candidate) == existing.end()) break;
    }
    return candidate;
}

} // namespace vantrel
