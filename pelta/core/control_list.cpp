#include "pelta/core/control_list.h"

#include <algorithm>

#include "pelta/core/control.h"

namespace Pelta {

ControlList::ControlList() = default;
ControlList::~ControlList() = default;

std::vector<MControl*> ControlList::Snapshot() const {
    std::lock_guard lock(mutex_);
    std::vector<MControl*> out;
    out.reserve(items_.size());
    for (const auto& c : items_) out.push_back(c.get());
    return out;
}

void ControlList::Add(std::unique_ptr<MControl> control) {
    if (!control) return;
    std::lock_guard lock(mutex_);
    items_.push_back(std::move(control));
}

std::unique_ptr<MControl> ControlList::Take(MControl* control) {
    std::lock_guard lock(mutex_);
    auto it = std::find_if(items_.begin(), items_.end(), [&](const auto& c) { return c.get() == control; });
    if (it == items_.end()) return nullptr;
    std::unique_ptr<MControl> owned = std::move(*it);
    items_.erase(it);
    return owned;
}

std::vector<std::unique_ptr<MControl>> ControlList::TakeAll() {
    std::lock_guard lock(mutex_);
    std::vector<std::unique_ptr<MControl>> all;
    all.swap(items_);
    return all;
}

MControl* ControlList::Find(const ControlList& controls, const ControlList& areas, unsigned id) {
    for (const ControlList* list : {&controls, &areas})
        for (MControl* c : list->Snapshot()) {
            if (c->GetControlID() == id) return c;
            if (MControl* found = c->GetControl(id)) return found;
        }
    return nullptr;
}

} // namespace Pelta
