// An owned, locked list of controls: the area list and the control list of a control or a window.
// Walks take snapshots or hold the (recursive) lock, so a handler may add to the list it is in.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "pelta/core/api.h"

namespace Pelta {

class MControl;

class PELTA_API ControlList {
public:
    ControlList();
    ~ControlList();
    ControlList(const ControlList&) = delete;
    ControlList& operator=(const ControlList&) = delete;

    std::vector<MControl*> Snapshot() const;
    void Add(std::unique_ptr<MControl> control);
    // Null when control is not in the list.
    std::unique_ptr<MControl> Take(MControl* control);
    std::vector<std::unique_ptr<MControl>> TakeAll();
    // f(control) for each, in list order, under the lock.
    template <class F> void ForEach(F&& f) const {
        std::lock_guard lock(mutex_);
        for (const auto& c : items_) f(c.get());
    }

    // Depth-first through the control lists, then the area lists, each child before its subtree.
    static MControl* Find(const ControlList& controls, const ControlList& areas, unsigned id);

private:
    mutable std::recursive_mutex mutex_;
    std::vector<std::unique_ptr<MControl>> items_;
};

} // namespace Pelta
