// Pelta keeps texts as UTF-16 ("wide") strings; Pango and SDL speak UTF-8.
#pragma once

#include <string>
#include <string_view>

#include "pelta/core/api.h"

namespace Pelta {

// Invalid sequences are replaced rather than dropping the whole text.
PELTA_API std::string ToUtf8(std::u16string_view text);
PELTA_API std::u16string FromUtf8(std::string_view text);

} // namespace Pelta
