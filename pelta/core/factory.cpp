#include "pelta/core/factory.h"

#include <mutex>
#include <vector>

#include "pelta/core/menu_item.h"

namespace Pelta {

namespace {

// How the factory fills the constructor's enabled argument.
enum class Enabled { FromP2, One, Disabled, Default };

struct ControlClass {
    std::u16string_view name;
    bool takesTitle;
    Enabled enabled;
    bool dialog;
    bool panel;
    ControlFactory::Maker maker;
};

// Table order is test order ("CArea" first).
std::vector<ControlClass>& Table() {
    static std::vector<ControlClass> table = [] {
        std::vector<ControlClass> t;
        auto add = [&](std::initializer_list<std::u16string_view> names, bool title, Enabled enabled, bool dialog,
                       bool panel) {
            for (auto n : names) t.push_back({n, title, enabled, dialog, panel, nullptr});
        };
        add({u"CArea"}, false, Enabled::One, true, true);
        add({u"MText"}, true, Enabled::Disabled, true, true);
        add({u"MPicture", u"CPhotoFrame", u"CSliderPicture", u"CGifPicture"}, false, Enabled::FromP2, true, true);
        add({u"MProgress", u"MSlider", u"MLevelCtrl"}, false, Enabled::FromP2, true, true);
        add({u"MButton", u"CImageButton", u"CTextButton", u"CCheckButton", u"CRadioButton"}, true, Enabled::FromP2,
            true, true);
        add({u"CColorButton", u"MSpinButton", u"CSpinButton", u"CSwitchButton"}, false, Enabled::FromP2, true, true);
        add({u"CIconButton", u"CTimerButton", u"CHelpButton"}, true, Enabled::FromP2, true, true);
        add({u"MEdit", u"MRichEdit", u"MEditEx"}, true, Enabled::FromP2, true, true);
        add({u"MComboBox", u"MTabCtrl"}, false, Enabled::FromP2, true, true);
        add({u"MTabLayout", u"MListBox", u"MPalette", u"CColorPalette", u"CColorSelect"}, false, Enabled::Default,
            true, true);
        add({u"CirclePalette"}, false, Enabled::One, true, true);
        add({u"CComboBoxList"}, false, Enabled::One, true, false);
        add({u"MenuItem"}, true, Enabled::One, true, true);
        add({u"KeyboardCtrl"}, false, Enabled::Default, true, true);
        add({u"KeyFuncControl", u"DListBox", u"CRecordList"}, false, Enabled::Default, false, true);
        add({u"CDeviceCtrl"}, false, Enabled::One, true, true);
        add({u"BatteryCtrl"}, false, Enabled::One, true, false);
        add({u"UpgradeButton", u"DownloadButton"}, true, Enabled::One, false, true);
        return t;
    }();
    return table;
}

std::mutex tableMutex;

void RegisterCoreClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        ControlFactory::Register(u"MenuItem", [](MObject* parent, unsigned id, CRect rect, const std::u16string& title,
                                                 int visible, int enabled) -> std::unique_ptr<MControl> {
            return std::make_unique<MenuItem>(parent, id, rect, title, visible, enabled);
        });
    });
}

} // namespace

bool ControlFactory::Register(std::u16string_view className, Maker maker) {
    std::lock_guard lock(tableMutex);
    for (ControlClass& c : Table())
        if (c.name == className) {
            c.maker = std::move(maker);
            return true;
        }
    return false;
}

std::unique_ptr<MControl> ControlFactory::Create(std::u16string_view className, Site site, MObject* parent,
                                                 unsigned id, CRect rect, const std::u16string& text, int p1, int p2) {
    if (className.empty()) return nullptr;
    RegisterCoreClasses();
    ControlClass chosen;
    {
        std::lock_guard lock(tableMutex);
        const ControlClass* found = nullptr;
        for (const ControlClass& c : Table())
            if (c.name == className) found = &c;
        if (!found || !found->maker || !(site == Dialog ? found->dialog : found->panel)) return nullptr;
        chosen = *found;
    }
    int enabled = 1;
    switch (chosen.enabled) {
    case Enabled::FromP2: enabled = p2; break;
    case Enabled::One:
    case Enabled::Default: enabled = 1; break;
    case Enabled::Disabled: enabled = 0; break;
    }
    return chosen.maker(parent, id, rect, chosen.takesTitle ? text : std::u16string(), p1, enabled);
}

} // namespace Pelta
