// The product name from the installed configuration file.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace vantrel {

inline constexpr char16_t kDefaultProductName[] = u"Vantrel";

// <config><software name="..."/></config>; nothing when the file is missing, not well-formed,
// or lacks the element or the attribute.
std::optional<std::u16string> ReadProductName(const std::filesystem::path& configFile);

} // namespace vantrel
