// The profile list of one keyboard model: filling it with default profiles, creating, deleting,
// renaming and switching. The window's list control and vantrelctl both show this model.
//
// UI thread only (a factory reset on the worker hands the refill to the UI thread).
#pragma once

#include "app/core/language.h"
#include "app/store/name_rules.h"
#include "app/store/store.h"

#include <string>
#include <vector>

namespace vantrel {

// Text numbers of the profile messages.
inline constexpr int kProfileBaseText = 65;      // "Profile", also the caption of the limit message
inline constexpr int kTooManyProfilesText = 295;
inline constexpr int kDeleteProfileText = 290;
inline constexpr int kDeleteProfileCaption = 291;
inline constexpr int kRefusedNameText = 330;
inline constexpr int kRefusedNameCaption = 33;
inline constexpr size_t kMaxProfiles = 200;

// What the profile operations need of the key page and the main window.
class ProfilePage {
public:
    virtual ~ProfilePage() = default;
    virtual void ShowMessage(int text, int caption) = 0;
    virtual bool AskYesNo(int text, int caption) = 0;
    // The key page shows the active profile's key functions again.
    virtual void RefreshKeyPage() = 0;
    virtual void SetKeyboardViewEnabled(bool enabled) = 0;
    // Queues the key write (device task 6) and shows the wait dialog.
    virtual void QueueWriteKeys() = 0;
};

struct ProfileEntry {
    int id = 0;
    std::u16string name;    // as stored
    std::u16string display; // as shown
};

class Profiles {
public:
    Profiles(Store& store, const LanguageTexts& texts, const NameFilter& filter, ProfilePage& page);

    void FillProfileList();
    void NewProfile();
    void DeleteSelectedProfile();
    // Renames the entry; a refused or empty name shows a message and keeps the stored one.
    bool Rename(int index, std::u16string_view name);
    // A click on an entry; -1 for none.
    void SwitchProfile(int index);
    // A profile made by an import: listed, selected, active, written to the keyboard.
    void AdoptImported(int id);

    const std::vector<ProfileEntry>& Entries() const { return entries_; }
    int Selected() const { return selected_; }
    int ActiveProfile() const { return activeProfile_; }
    int FnLayer() const { return 0; }
    // Index of the entry with this name, -1 when none.
    int FindByName(std::u16string_view name) const;

    // The stored name as shown: in Spanish (1034), "Profile…" shows text 65 in its place.
    std::u16string DisplayName(std::u16string_view stored) const;

private:
    std::u16string BaseName() const;
    void Add(int id, std::u16string name);

    Store& store_;
    const LanguageTexts& texts_;
    const NameFilter& filter_;
    ProfilePage& page_;
    std::vector<ProfileEntry> entries_;
    int selected_ = -1;
    int activeProfile_ = 0;
};

} // namespace vantrel
