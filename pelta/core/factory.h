// The control factory: a control made from its class name, with the meaning of the factory's text,
// p1 and p2 arguments fixed per class. Control families register their constructors; a name
// without a registered constructor (or not in the table) makes nothing.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "pelta/core/control.h"

namespace Pelta {

class PELTA_API ControlFactory {
public:
    enum Site { Dialog, Panel };
    // What the constructor receives: parent, id, rect, title, visible, enabled.
    using Maker = std::function<std::unique_ptr<MControl>(MObject*, unsigned, CRect, const std::u16string&, int, int)>;

    // False when the name is not a class the factory knows.
    static bool Register(std::u16string_view className, Maker maker);
    // Null for an empty or unknown name, a class the site does not make, or one not yet registered.
    static std::unique_ptr<MControl> Create(std::u16string_view className, Site site, MObject* parent, unsigned id,
                                            CRect rect, const std::u16string& text, int p1, int p2);
};

} // namespace Pelta
