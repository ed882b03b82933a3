#include "app/core/product.h"

#include "app/device/xml_document.h"

namespace vantrel {

std::optional<std::u16string> ReadProductName(const std::filesystem::path& configFile) {
    XmlDocument doc;
    if (!doc.LoadFile(configFile)) return std::nullopt;
    if (!doc.FindElement(u"config") || !doc.EnterElement() || !doc.FindElement(u"software"))
        return std::nullopt;
    std::u16string name = doc.GetAttribute(u"name");
    if (name.empty()) return std::nullopt; // an empty name would name no folder
    return name;
}

} // namespace vantrel
