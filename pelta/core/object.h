// MObject: class identity and the two upward channels every Pelta object offers its children.
#pragma once

#include <string_view>

#include "pelta/core/api.h"
#include "pelta/core/geometry.h"

namespace Pelta {

class MControl;

class PELTA_API MObject {
public:
    virtual ~MObject() = default;

    // 1 when name equals GetClassNameW exactly (case-sensitive, whole string).
    virtual int IsClass(std::u16string_view name);
    virtual const char16_t* GetClassNameW() const { return nullptr; }
    virtual const char16_t* GetObjectClass() { return nullptr; }
    virtual const char16_t* BaseObjectClassName() { return nullptr; }

    // Notification sink: a child reports code with its id.
    virtual long OnBaseMessage(unsigned id, unsigned code, unsigned wParam, long lParam);
    // Invalidation sink: changed = 1 when the control's content changed (its cache is stale),
    // 0 when only the shown frame changed.
    virtual long OnControlUpdate(CRect area, int changed, MControl* control);
};

} // namespace Pelta
