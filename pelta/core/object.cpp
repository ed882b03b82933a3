#include "pelta/core/object.h"

namespace Pelta {

int MObject::IsClass(std::u16string_view name) {
    const char16_t* own = GetClassNameW();
    return own && name == own ? 1 : 0;
}

long MObject::OnBaseMessage(unsigned, unsigned, unsigned, long) { return 0; }

long MObject::OnControlUpdate(CRect, int, MControl*) { return 0; }

} // namespace Pelta
