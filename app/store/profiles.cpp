#include "app/store/profiles.h"

namespace vantrel {
namespace {

constexpr std::u16string_view kStoredPrefix = u"Profile";
constexpr int kSpanish = 1034;

} // namespace

Profiles::Profiles(Store& store, const LanguageTexts& texts, const NameFilter& filter, ProfilePage& page)
    : store_(store), texts_(texts), filter_(filter), page_(page) {}

std::u16string Profiles::BaseName() const {
    std::u16string base = texts_.GetLanguageText(kProfileBaseText);
    return base.empty() ? std::u16string(kStoredPrefix) : base; // never " 1" for want of a text
}

std::u16string Profiles::DisplayName(std::u16string_view stored) const {
    if (texts_.LanguageId() == kSpanish && stored.substr(0, kStoredPrefix.size()) == kStoredPrefix)
        return texts_.GetLanguageText(kProfileBaseText) + std::u16string(stored.substr(kStoredPrefix.size()));
    return std::u16string(stored);
}

void Profiles::Add(int id, std::u16string name) {
    ProfileEntry e;
    e.id = id;
    e.display = DisplayName(name);
    e.name = std::move(name);
    entries_.push_back(std::move(e));
}

int Profiles::FindByName(std::u16string_view name) const {
    for (size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].name == name || entries_[i].display == name) return static_cast<int>(i);
    return -1;
}

void Profiles::FillProfileList() {
    entries_.clear();
    selected_ = -1;
    std::vector<ProfileRecord> records;
    store_.ListProfiles(&records);
    if (records.empty()) {
        const std::u16string base = BaseName();
        int first = 0;
        for (int n = 1; n <= 3; ++n) {
            std::string digits = std::to_string(n);
            int id = store_.InsertProfile(base + u" " + std::u16string(digits.begin(), digits.end()), u"");
            if (n == 1) {
                first = id;
                if (id != 0) store_.WriteDefaultSettings();
            }
        }
        if (first != 0) store_.ActivateProfile(first);
        store_.ListProfiles(&records);
    }
    for (ProfileRecord& r : records) Add(r.profile, std::move(r.name));

    activeProfile_ = store_.GetActiveProfile();
    if (activeProfile_ == 0 && !entries_.empty()) {
        activeProfile_ = entries_.front().id;
        store_.ActivateProfile(activeProfile_);
    }
    for (size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].id == activeProfile_) selected_ = static_cast<int>(i);
    page_.RefreshKeyPage();
}

void Profiles::NewProfile() {
    if (entries_.size() >= kMaxProfiles) {
        page_.ShowMessage(kTooManyProfilesText, kProfileBaseText);
        return;
    }
    std::vector<std::u16string> names;
    for (const ProfileEntry& e : entries_) names.push_back(e.name);
    std::u16string name = UniqueListName(BaseName(), names);
    int id = store_.InsertProfile(name, u"");
    if (id == 0) return;
    Add(id, std::move(name));
    selected_ = static_cast<int>(entries_.size()) - 1;
    activeProfile_ = id;
    page_.RefreshKeyPage();
    page_.QueueWriteKeys();
}

void Profiles::DeleteSelectedProfile() {
    if (entries_.size() < 2 || selected_ < 0) return;
    if (!page_.AskYesNo(kDeleteProfileText, kDeleteProfileCaption)) return;
    if (!store_.DeleteProfile(entries_[static_cast<size_t>(selected_)].id)) return;
    entries_.erase(entries_.begin() + selected_);
    if (selected_ > 0) {
        --selected_;
        activeProfile_ = entries_[static_cast<size_t>(selected_)].id;
    } else {
        selected_ = -1;
        activeProfile_ = entries_.front().id;
    }
    page_.RefreshKeyPage();
    page_.QueueWriteKeys();
}

bool Profiles::Rename(int index, std::u16string_view name) {
    if (index < 0 || static_cast<size_t>(index) >= entries_.size()) return false;
    if (name.empty() || !filter_.Allows(name)) {
        page_.ShowMessage(kRefusedNameText, kRefusedNameCaption);
        return false;
    }
    ProfileEntry& e = entries_[static_cast<size_t>(index)];
    if (!store_.RenameProfile(e.id, name)) return false;
    e.name = std::u16string(name);
    e.display = DisplayName(name);
    return true;
}

void Profiles::AdoptImported(int id) {
    std::u16string name;
    if (!store_.GetProfileName(id, &name)) return;
    Add(id, std::move(name));
    selected_ = static_cast<int>(entries_.size()) - 1;
    activeProfile_ = id;
    store_.ActivateProfile(id);
    page_.RefreshKeyPage();
    page_.QueueWriteKeys();
}

void Profiles::SwitchProfile(int index) {
    if (index < 0 || static_cast<size_t>(index) >= entries_.size()) {
        selected_ = -1;
        page_.SetKeyboardViewEnabled(false);
        return;
    }
    selected_ = index;
    page_.SetKeyboardViewEnabled(true);
    activeProfile_ = entries_[static_cast<size_t>(index)].id;
    store_.ActivateProfile(activeProfile_);
    page_.RefreshKeyPage();
    page_.QueueWriteKeys();
}

} // namespace vantrel
