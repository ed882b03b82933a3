#include "app/keys/key_assignments.h"

#include "app/keys/key_codes.h"

namespace vantrel {
namespace {

constexpr int kFnRefusedText = 365, kFnRefusedCaption = 366;
constexpr int kTooManyComplexText = 363, kTooManyComplexCaption = 364;
constexpr int kTooManyListText = 367, kTooManyListCaption = 368;
constexpr int kRestoreText = 165, kRestoreCaption = 166;
constexpr int kUnselectableCode = 255;

// Tip titles by kind; 0: no tip.
int TipTitleText(int kind) {
    switch (kind) {
    case kDisabled: return 202;
    case kListCode: case kListCodeHigh: return 205;
    case kMacro: return 206;
    case kFurtherList: return 207;
    case kSecondFurtherList: return 208;
    case kShortcut: return 209;
    case kLaunchProgram: return 210;
    case kOpenAddress: return 211;
    case kTypeText: return 212;
    default: return 0;
    }
}

int FurtherListLabel(int value) {
    switch (value) {
    case 1: return 220;
    case 2: return 222;
    case 3: return 223;
    case 7: return 227;
    case 8: return 228;
    default: return 0;
    }
}

} // namespace

KeyAssignments::KeyAssignments(Store& store, const LanguageTexts& texts, KeyPage& page,
                               std::function<std::u16string(int)> macroName)
    : store_(store), texts_(texts), page_(page), macroName_(std::move(macroName)) {}

bool KeyAssignments::SelectKey(int keyCode) {
    if (keyCode == kFnKeyCode) {
        page_.ShowMessage(kFnRefusedText, kFnRefusedCaption);
        page_.ClearSelection();
        selectedKey_ = 0;
        return false;
    }
    selectedKey_ = keyCode;
    KeyFunctionRecord row;
    if (store_.GetKeyFunction(profile_, 0, keyCode, &row) && row.macro_type == kListCode)
        page_.HighlightListItem(row.macro_value, row.macro_value2, row.macro_value3);
    return true;
}

int KeyAssignments::CountKinds(bool complex) const {
    std::vector<KeyFunctionRecord> rows;
    store_.ListKeyFunctions(profile_, 0, &rows);
    int count = 0;
    for (const KeyFunctionRecord& r : rows)
        if (complex ? IsComplexKind(r.macro_type) : IsListKind(r.macro_type)) ++count;
    return count;
}

void KeyAssignments::OnMenuCommand(int command) {
    if (selectedKey_ == 0) return;
    KeyFunctionRecord record;
    switch (command) {
    case kMenuOwnFunction:
        ApplyKeyFunction(record);
        break;
    case kMenuDisable:
        record.macro_type = kDisabled;
        record.macro_value = 1;
        record.macro_desc = texts_.GetLanguageText(kDisabledText);
        ApplyKeyFunction(record);
        break;
    case kMenuMacro:
    case kMenuShortcut:
        if (CountKinds(true) > kMaxComplexFunctions - 1) {
            page_.ShowMessage(kTooManyComplexText, kTooManyComplexCaption);
            return;
        }
        if (page_.RunAssignmentDialog(command == kMenuMacro ? kMacro : kShortcut, selectedKey_)) {
            Refresh();
            page_.QueueWriteKeys(true);
        }
        break;
    default:
        break;
    }
}

void KeyAssignments::ChooseListItem(int value, int value2, int value3, std::u16string_view label) {
    if (selectedKey_ == 0 || selectedKey_ == kUnselectableCode) {
        page_.ShowMessage(kFnRefusedText, kFnRefusedCaption);
        return;
    }
    if (CountKinds(false) >= kMaxListFunctions) {
        page_.ShowMessage(kTooManyListText, kTooManyListCaption);
        return;
    }
    KeyFunctionRecord record;
    record.macro_type = value < kHighListValue ? kListCode : kListCodeHigh;
    record.macro_value = value;
    record.macro_value2 = value2;
    record.macro_value3 = value3;
    record.macro_desc = std::u16string(label);
    ApplyKeyFunction(record);
}

void KeyAssignments::ApplyKeyFunction(KeyFunctionRecord record) {
    record.profile = profile_;
    record.fn_layer = 0;
    record.key_code = selectedKey_;
    if (store_.SaveKeyFunction(record) == 0) {
        page_.UnmarkKey(selectedKey_);
        page_.ClearSelection();
    } else {
        auto [title, text] = TipOf(record, false);
        page_.MarkKey(selectedKey_, title, text);
        if (IsListKind(record.macro_type))
            page_.HighlightListItem(record.macro_value, record.macro_value2, record.macro_value3);
    }
    page_.QueueWriteKeys(true);
}

void KeyAssignments::RestoreDefaultKeys() {
    if (!page_.AskYesNo(kRestoreText, kRestoreCaption)) return;
    store_.DeleteProfileKeyFunctions(profile_);
    page_.SelectFirstColourSet();
    Refresh();
    page_.QueueWriteKeys(false);
}

std::pair<std::u16string, std::u16string> KeyAssignments::TipOf(const KeyFunctionRecord& row, bool fromRefresh) const {
    const int title = TipTitleText(row.macro_type);
    if (title == 0) return {};
    if (!fromRefresh) return {texts_.GetLanguageText(title), row.macro_type == kDisabled ? u"" : row.macro_desc};
    std::u16string text;
    switch (row.macro_type) {
    case kDisabled: break;
    case kMacro: text = macroName_ ? macroName_(row.macro_value) : row.macro_desc; break;
    case kFurtherList:
        if (int label = FurtherListLabel(row.macro_value)) text = texts_.GetLanguageText(label);
        break;
    case kShortcut: text = texts_.GetLanguageText(kShortcutLabelBase + row.macro_value); break;
    default: text = row.macro_desc; break;
    }
    return {texts_.GetLanguageText(title), text};
}

void KeyAssignments::Refresh() {
    page_.ClearMarks();
    std::vector<KeyFunctionRecord> rows;
    store_.ListKeyFunctions(profile_, 0, &rows);
    for (const KeyFunctionRecord& row : rows) {
        auto [title, text] = TipOf(row, true);
        page_.MarkKey(row.key_code, title, text);
    }
}

} // namespace vantrel
