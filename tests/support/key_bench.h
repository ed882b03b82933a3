// A store and a simulated keyboard of either family, connected, for key and macro writes.
#pragma once

#include "app/keys/key_payloads.h"
#include "tests/support/sim_models.h"
#include "tests/support/temp_dir.h"

#include <memory>

namespace vantrel::testing {

class KeyRig {
public:
    explicit KeyRig(KeyboardFamily family, int mode = 0) {
        std::filesystem::create_directories(dir_ / "db");
        db_.OpenForModel(dir_.path(), u"Model");
        profile_ = store_.InsertProfile(u"P", u"");
        AddShippedInterfaces(link_);
        keyboard_ = hid_.AddKeyboard(family == KeyboardFamily::kA ? FamilyASpec() : FamilyBSpec());
        hid_.Plug(keyboard_, mode);
        Scan(link_, family == KeyboardFamily::kA ? kFamilyAType : kFamilyBType);
        // Positions as a layout gives them: key code c at position c - 4 for the letters and digits.
        for (int code = 4; code < 110; ++code) positions_[code] = code - 4;
    }
    KeyWriteContext Context() { return KeyWriteContext{store_, link_, profile_, positions_, layout_}; }
    int Key(int code, int kind, int value, std::u16string desc = u"") {
        KeyFunctionRecord r;
        r.profile = profile_;
        r.key_code = code;
        r.macro_type = kind;
        r.macro_value = value;
        r.macro_desc = std::move(desc);
        return store_.SaveKeyFunction(r);
    }
    // A macro of `count` press/release events of the A key, `delay` ms each.
    int Macro(int count, int delay = 20, int playTimes = 1) {
        MacroRecord m;
        m.name = u"M";
        m.play_times = playTimes;
        const int id = store_.InsertMacroRecord(m);
        std::vector<MacroEventRecord> events;
        for (int i = 0; i < count; ++i) events.push_back({0, id, i % 2 == 0 ? 2 : 3, i, 65, delay, u"A"});
        store_.InsertMacroEvents(events);
        return id;
    }
    template <typename F>
    auto Keyboard(F&& f) {
        return hid_.With(keyboard_, std::forward<F>(f));
    }

    TempDir dir_;
    SQLiteDB db_;
    Store store_{db_};
    SimulatedHid hid_;
    HidDeviceList link_{hid_};
    UsKeyboardLayout layout_;
    std::map<int, int> positions_;
    int profile_ = 0;
    int keyboard_ = -1;
};

} // namespace vantrel::testing
