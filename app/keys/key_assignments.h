// The key page's operations: selecting a key, choosing a function from the list or the menu,
// restoring the defaults, and refreshing the marks and tips of the keyboard view.
// UI thread; the controls are reached through KeyPage.
#pragma once

#include "app/core/language.h"
#include "app/keys/key_function.h"
#include "app/store/store.h"

#include <functional>
#include <string>

namespace vantrel {

inline constexpr int kMenuOwnFunction = 606;
inline constexpr int kMenuDisable = 607;
inline constexpr int kMenuMacro = 608;
inline constexpr int kMenuShortcut = 609;

// What the key operations show.
class KeyPage {
public:
    virtual ~KeyPage() = default;
    virtual void ShowMessage(int text, int caption) = 0;
    virtual bool AskYesNo(int text, int caption) = 0;
    virtual void ClearMarks() = 0; // every key's mark and tip, and the list highlight
    virtual void MarkKey(int keyCode, const std::u16string& tipTitle, const std::u16string& tipText) = 0;
    virtual void UnmarkKey(int keyCode) = 0;
    virtual void ClearSelection() = 0;
    virtual void HighlightListItem(int value, int value2, int value3) = 0;
    // Opens the assignment dialog for kind 3 or 7; true when it closed with OK (it stored the row).
    virtual bool RunAssignmentDialog(int kind, int keyCode) = 0;
    // Queues WriteKeys; `singleKey` asks for the selected key's slot only. Shows the wait dialog.
    virtual void QueueWriteKeys(bool singleKey) = 0;
    virtual void SelectFirstColourSet() = 0;
};

class KeyAssignments {
public:
    // `macroName` gives a macro's shown name for tips (nothing when it is gone).
    KeyAssignments(Store& store, const LanguageTexts& texts, KeyPage& page,
                   std::function<std::u16string(int macroId)> macroName);

    void SetProfile(int profile) { profile_ = profile; }
    int Profile() const { return profile_; }
    int SelectedKey() const { return selectedKey_; }

    // Left click; false when the key cannot be selected (Fn).
    bool SelectKey(int keyCode);
    // Context menu command on the selected key.
    void OnMenuCommand(int command);
    // A function list item chosen for the selected key.
    void ChooseListItem(int value, int value2, int value3, std::u16string_view label);
    // Stores the record for the selected key and shows the result; queues the key write.
    void ApplyKeyFunction(KeyFunctionRecord record);
    void RestoreDefaultKeys();
    void Refresh();

    // Tip title and text of a stored function, as the refresh shows them; the title is empty
    // for kinds without a tip.
    std::pair<std::u16string, std::u16string> TipOf(const KeyFunctionRecord& row, bool fromRefresh) const;
    int CountKinds(bool complex) const;

private:
    Store& store_;
    const LanguageTexts& texts_;
    KeyPage& page_;
    std::function<std::u16string(int)> macroName_;
    int profile_ = 0;
    int selectedKey_ = 0;
};

} // namespace vantrel
