#include "app/cli/commands.h"

#include "app/core/files.h"
#include "app/core/text_encoding.h"
#include "app/device/protocol.h"
#include "app/keys/key_assignments.h"
#include "app/keys/key_codes.h"
#include "app/keys/key_function.h"
#include "app/lighting/lighting.h"
#include "app/macros/macro_exchange.h"
#include "app/macros/macros.h"
#include "app/store/profile_exchange.h"
#include "app/store/profiles.h"

#include <charconv>
#include <map>
#include <sstream>

namespace vantrel {
namespace {

using std::chrono::seconds;

const std::map<std::string, std::string> kCommandUsage = {
    {"", "Usage: vantrelctl [--simulate[=MODELS]] [--trace-hid FILE] [--json] COMMAND ...\n"
         "Commands: list, status, profile, key, macro, light, reset, update. "
         "'vantrelctl COMMAND --help' tells more.\n"
         "Example: vantrelctl --json status\n"},
    {"list", "Usage: vantrelctl list\nThe configured models and the keyboards found.\nExample: vantrelctl list\n"},
    {"status", "Usage: vantrelctl status\nThe connected keyboard, its profile and light mode.\nExample: vantrelctl status\n"},
    {"profile", "Usage: vantrelctl profile list | new | switch NAME | rename OLD NEW | delete NAME | export NAME FILE | import FILE\n"
                "Example: vantrelctl profile switch \"Profile 2\"\n"},
    {"key", "Usage: vantrelctl key list | set KEY FUNCTION | reset KEY | restore\n"
            "KEY: a key's label, name or code (0x1E). FUNCTION: disable, key:NAME, media:NAME, macro:NAME, shortcut:NAME\n"
            "Example: vantrelctl key set CapsLock key:esc\n"},
    {"macro", "Usage: vantrelctl macro list | show NAME | new | rename OLD NEW | delete NAME | import FILE | export NAME FILE\n"
              "Example: vantrelctl macro export \"Macro 1\" macro.xml\n"},
    {"light", "Usage: vantrelctl light list | set MODE [--brightness N] [--speed N] [--direction left|right] "
              "[--color #RRGGBB | --colorful] [--preset N] [--area N=INDEX] | keys FILE | slot N\n"
              "Example: vantrelctl light set 1 --brightness 3 --color #FF8000\n"},
    {"reset", "Usage: vantrelctl reset --yes\nRestores the defaults and the keyboard's factory state.\nExample: vantrelctl reset --yes\n"},
    {"update", "Usage: vantrelctl update check\nThe installed and offered versions.\nExample: vantrelctl update check\n"},
};

std::string U8(std::u16string_view text) {
    return WideToUtf8(text);
}

CommandResult Fail(int code, const std::string& message) {
    CommandResult r;
    r.code = code;
    r.text = "vantrelctl: " + message + "\n";
    r.json.Field("error", message);
    return r;
}

CommandResult Usage(const std::string& message) {
    return Fail(kExitUsage, message);
}

bool ParseNumber(std::string_view text, int* value) {
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *value);
    return ec == std::errc() && end == text.data() + text.size();
}

std::string KindName(int kind) {
    static const char* const kNames[] = {"own", "disabled", "key", "macro", "?", "list", "list2", "shortcut",
                                         "program", "address", "text", "profile", "key"};
    return kind >= 0 && kind <= 12 ? kNames[kind] : "?";
}

// The page sides of the models, for a caller without a window: messages become the error.
struct Messages {
    explicit Messages(const LanguageTexts& t) : texts(t) {}
    void Show(int text) {
        if (message.empty()) message = U8(texts.GetLanguageText(text));
        if (message.empty()) message = "refused (message " + std::to_string(text) + ")";
    }
    const LanguageTexts& texts;
    std::string message;
};

class CliProfilePage : public ProfilePage {
public:
    CliProfilePage(Session& s, Messages& m) : session_(s), messages_(m) {}
    void ShowMessage(int text, int) override { messages_.Show(text); }
    bool AskYesNo(int, int) override { return true; } // asking on the command line is the command itself
    void RefreshKeyPage() override {}
    void SetKeyboardViewEnabled(bool) override {}
    void QueueWriteKeys() override {
        session_.KeyRequest().singleKey = false;
        session_.Queue(kWriteKeys);
    }

private:
    Session& session_;
    Messages& messages_;
};

class CliKeyPage : public KeyPage {
public:
    CliKeyPage(Session& s, Messages& m) : session_(s), messages_(m) {}
    void ShowMessage(int text, int) override { messages_.Show(text); }
    bool AskYesNo(int, int) override { return true; }
    void ClearMarks() override {}
    void MarkKey(int, const std::u16string&, const std::u16string&) override {}
    void UnmarkKey(int) override {}
    void ClearSelection() override {}
    void HighlightListItem(int, int, int) override {}
    bool RunAssignmentDialog(int, int) override { return false; }
    void QueueWriteKeys(bool single) override {
        session_.KeyRequest().singleKey = single;
        session_.Queue(kWriteKeys);
    }
    void SelectFirstColourSet() override {}

private:
    Session& session_;
    Messages& messages_;
};

class CliLightView : public LightView {
public:
    void SetModeList(const std::vector<std::pair<std::u16string, int>>& items, int selected) override {
        modes = items;
        active = selected;
    }
    void ShowMode(const LightRecord&, unsigned, KeyboardFamily) override {}
    void SetPreviewMode(int) override {}
    void SetPreviewColour(bool, int) override {}
    void SetPreviewSpeed(int) override {}
    void SetPaintColour(int) override {}
    void SetKeyColour(int, int) override {}
    void SetPerKeyControls(bool) override {}
    void ShowWaitDialog() override {}
    std::vector<std::pair<std::u16string, int>> modes;
    int active = 0;
};

// Everything a command needs of the session, made the way the window makes it.
struct Context {
    explicit Context(Session& s)
        : session(s), messages(s.Texts()), profilePage(s, messages), keyPage(s, messages),
          profiles(s.GetStore(), s.Texts(), filter, profilePage), macros(s.GetStore(), s.Texts(), filter),
          keys(s.GetStore(), s.Texts(), keyPage,
               [this](int id) {
                   MacroRecord m;
                   return session.GetStore().GetMacro(id, &m) ? macros.DisplayName(m.name) : std::u16string();
               }),
          lighting(s.GetStore(), s.Texts(), s.TaskQueue(), lightView, s.Light()) {
        profiles.FillProfileList();
        keys.SetProfile(profiles.ActiveProfile());
        lighting.SetModel(s.Info().Model());
        lighting.SetProfile(profiles.ActiveProfile());
        lighting.EnsureDefaultLightRows();
        lighting.FillLightModeList();
    }
    bool Connected() const { return session.State().deviceFound && session.State().modePresent; }
    // Runs what was queued; false when no keyboard took all of it (a write failed for good).
    bool Flush() {
        return session.WaitIdle(seconds(60)) && Connected() && session.Link().FailedWrites() == failedAtStart;
    }

    Session& session;
    Messages messages;
    NameFilter filter;
    CliProfilePage profilePage;
    CliKeyPage keyPage;
    Profiles profiles;
    Macros macros;
    KeyAssignments keys;
    CliLightView lightView;
    Lighting lighting;
    unsigned failedAtStart = session.Link().FailedWrites();
};

const char* KindOfConnection(int kind) {
    switch (kind) {
    case 0: return "cable";
    case 1: return "2.4 GHz";
    case 2: return "Bluetooth";
    default: return "none";
    }
}

CommandResult NoKeyboard() {
    return Fail(kExitFailed, "the keyboard did not take the change: none is connected, or it went away "
                             "(vantrelctl list shows what was found)");
}

// ---- list and status -------------------------------------------------------------------------

CommandResult List(Context& c) {
    CommandResult r;
    std::vector<Json> models, found, blocked;
    std::ostringstream text;
    text << "Models:\n";
    for (const ModelRecord& m : c.session.Info().Models()) {
        text << "  " << U8(m.name) << " (type " << m.deviceType << ")\n";
        models.push_back(Json().Field("name", U8(m.name)).Field("device_type", m.deviceType));
    }
    text << "Keyboards found:\n";
    const auto& modes = c.session.Info().Modes();
    for (size_t i = 0; i < modes.size(); ++i) {
        if (!c.session.GetConnection().IsModePresent(i)) continue;
        const ModelRecord& m = modes[i];
        std::string model;
        for (const ModelRecord& k : c.session.Info().Models())
            if (k.deviceType == m.deviceType) model = U8(k.name);
        text << "  " << model << " via " << KindOfConnection(m.modeValue) << "\n";
        found.push_back(Json().Field("model", model).Field("connection", KindOfConnection(m.modeValue)));
    }
    if (found.empty()) text << "  none\n";
    for (const InaccessibleInterface& i : c.session.Link().Inaccessible()) {
        char ids[16];
        std::snprintf(ids, sizeof ids, "%04x:%04x", i.vendorId, i.productId);
        text << "Found but not accessible: " << ids << " at " << i.path
             << "\n  Fix: sudo cp data/udev/60-vantrel.rules /etc/udev/rules.d/ && sudo udevadm control --reload"
                " && sudo udevadm trigger\n";
        blocked.push_back(Json().Field("ids", ids).Field("path", i.path));
    }
    r.text = text.str();
    r.json.Field("models", models).Field("keyboards", found).Field("inaccessible", blocked);
    return r;
}

CommandResult Status(Context& c) {
    CommandResult r;
    std::ostringstream text;
    const bool connected = c.Connected();
    const ModelSettings& model = c.session.Info().Model();
    r.json.Field("connected", connected);
    if (connected) {
        text << "Keyboard: " << U8(model.name) << " via " << KindOfConnection(c.session.GetConnection().ConnectionKind()) << "\n";
        r.json.Field("model", U8(model.name)).Field("connection", KindOfConnection(c.session.GetConnection().ConnectionKind()));
        uint16_t version = 0;
        if (FamilyForDeviceType(model.deviceType) == KeyboardFamily::kB && ReadFirmwareVersion(c.session.Link(), &version)) {
            text << "Firmware: " << FirmwareVersionNumber(version) << "\n";
            r.json.Field("firmware", FirmwareVersionNumber(version));
        }
    } else {
        text << "Keyboard: none connected\n";
    }
    std::u16string profile;
    c.session.GetStore().GetProfileName(c.profiles.ActiveProfile(), &profile);
    text << "Profile: " << U8(c.profiles.DisplayName(profile)) << "\n";
    r.json.Field("profile", U8(c.profiles.DisplayName(profile)));
    if (auto light = c.lighting.Selected()) {
        const std::string name = U8(c.session.Texts().GetLanguageText(DecimalToInt(light->name)));
        char colour[8];
        std::snprintf(colour, sizeof colour, "#%02X%02X%02X", Red(light->color_value), Green(light->color_value),
                      Blue(light->color_value));
        text << "Light: " << light->mode << " " << name << ", brightness " << light->brightness << ", speed "
             << light->speed << ", direction " << light->direction << ", colour " << colour
             << (light->colorful ? " (colourful)" : "") << "\n";
        r.json.Field("light", Json()
                                  .Field("mode", light->mode)
                                  .Field("name", name)
                                  .Field("brightness", light->brightness)
                                  .Field("speed", light->speed)
                                  .Field("direction", light->direction)
                                  .Field("color", colour)
                                  .Field("colorful", light->colorful != 0));
    }
    r.text = text.str();
    return r;
}

// ---- profiles -------------------------------------------------------------------------------

int ProfileIndex(Context& c, const std::string& name) {
    return c.profiles.FindByName(Utf8ToWide(name));
}

CommandResult ProfileCommand(Context& c, const std::vector<std::string>& w) {
    const std::string sub = w.size() > 1 ? w[1] : "";
    auto needs = [&](size_t n) { return w.size() == n; };
    CommandResult r;
    if (sub == "list" && needs(2)) {
        std::vector<Json> items;
        for (size_t i = 0; i < c.profiles.Entries().size(); ++i) {
            const ProfileEntry& e = c.profiles.Entries()[i];
            const bool active = e.id == c.profiles.ActiveProfile();
            r.text += std::string(active ? "* " : "  ") + U8(e.display) + "\n";
            items.push_back(Json().Field("name", U8(e.display)).Field("active", active));
        }
        r.json.Field("profiles", items);
        return r;
    }
    if (sub == "export" && needs(4)) {
        const int index = ProfileIndex(c, w[2]);
        if (index < 0) return Usage("no profile named '" + w[2] + "' (vantrelctl profile list shows them)");
        const ProfileEntry& e = c.profiles.Entries()[static_cast<size_t>(index)];
        if (!ExportProfile(c.session.GetStore(), e.id, e.display, w[3])) return Fail(kExitFailed, "cannot write " + w[3]);
        r.text = "Exported " + U8(e.display) + " to " + w[3] + "\n";
        r.json.Field("exported", U8(e.display)).Field("file", w[3]);
        return r;
    }
    // Everything else changes the keyboard's keys.
    const bool known = (sub == "new" && needs(2)) || (sub == "switch" && needs(3)) || (sub == "rename" && needs(4)) ||
                       (sub == "delete" && needs(3)) || (sub == "import" && needs(3));
    if (!known) return Usage("expected: " + kCommandUsage.at("profile"));
    if (sub == "rename") {
        const int index = ProfileIndex(c, w[2]);
        if (index < 0) return Usage("no profile named '" + w[2] + "'");
        if (!c.profiles.Rename(index, Utf8ToWide(w[3])))
            return Fail(kExitFailed, c.messages.message.empty() ? "cannot rename" : c.messages.message);
        r.text = "Renamed to " + w[3] + "\n";
        r.json.Field("renamed", w[3]);
        return r;
    }
    if (!c.Connected()) return NoKeyboard();
    if (sub == "new") {
        c.profiles.NewProfile();
        if (!c.messages.message.empty()) return Fail(kExitFailed, c.messages.message);
    } else if (sub == "switch" || sub == "delete") {
        const int index = ProfileIndex(c, w[2]);
        if (index < 0) return Usage("no profile named '" + w[2] + "' (vantrelctl profile list shows them)");
        c.profiles.SwitchProfile(index);
        if (sub == "delete") {
            if (c.profiles.Entries().size() < 2) return Fail(kExitFailed, "the last profile cannot be deleted");
            c.profiles.DeleteSelectedProfile();
        }
    } else if (sub == "import") {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(w[2], ec)) return Fail(kExitFailed, "no file " + w[2]);
        ProfileImport imported = ImportProfile(c.session.GetStore(), w[2]);
        if (imported.profile == 0) return Fail(kExitFailed, w[2] + " is not a profile file");
        c.profiles.AdoptImported(imported.profile);
    }
    if (!c.Flush()) return NoKeyboard();
    std::u16string name;
    c.session.GetStore().GetProfileName(c.profiles.ActiveProfile(), &name);
    r.text = "Active profile: " + U8(c.profiles.DisplayName(name)) + "\n";
    r.json.Field("active", U8(c.profiles.DisplayName(name)));
    return r;
}

// ---- keys -----------------------------------------------------------------------------------

std::string Normal(std::string_view text) {
    std::string out;
    for (char ch : text)
        if (ch != ' ' && ch != '_' && ch != '-') out += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return out;
}

const KeyLayoutItem* FindKey(Context& c, const std::string& text) {
    const KeyLayout& layout = c.session.Info().Layout();
    int code = 0;
    if (text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0) {
        code = HexToInt(Utf8ToWide(text));
        if (const KeyLayoutItem* k = layout.FindKey(code)) return k;
    }
    for (const KeyLayoutItem& k : layout.keys)
        if (Normal(U8(k.desc)) == Normal(text)) return &k;
    for (const KeyLayoutItem& k : layout.keys)
        if (!k.name.empty() && Normal(U8(k.name)) == Normal(text)) return &k;
    return nullptr;
}

CommandResult KeyCommand(Context& c, const std::vector<std::string>& w) {
    const std::string sub = w.size() > 1 ? w[1] : "";
    CommandResult r;
    if (sub == "list" && w.size() == 2) {
        std::vector<KeyFunctionRecord> rows;
        c.session.GetStore().ListKeyFunctions(c.profiles.ActiveProfile(), 0, &rows);
        std::vector<Json> items;
        for (const KeyFunctionRecord& row : rows) {
            const KeyLayoutItem* key = c.session.Info().Layout().FindKey(row.key_code);
            const std::string name = key ? U8(key->desc) : "0x" + std::to_string(row.key_code);
            r.text += name + ": " + KindName(row.macro_type) + " " + U8(row.macro_desc) + "\n";
            items.push_back(Json().Field("key", name).Field("code", row.key_code).Field("kind", KindName(row.macro_type))
                                .Field("value", row.macro_value).Field("description", U8(row.macro_desc)));
        }
        if (rows.empty()) r.text = "Every key has its own function.\n";
        r.json.Field("keys", items);
        return r;
    }
    const bool known = (sub == "set" && w.size() == 4) || (sub == "reset" && w.size() == 3) || (sub == "restore" && w.size() == 2);
    if (!known) return Usage("expected: " + kCommandUsage.at("key"));
    const KeyLayoutItem* key = nullptr;
    if (sub != "restore") {
        key = FindKey(c, w[2]);
        if (!key) return Usage("no key '" + w[2] + "' on this keyboard: use a label, a name or a code such as 0x1E");
    }
    KeyFunctionRecord record;
    if (sub == "set") {
        const std::string& f = w[3];
        const size_t colon = f.find(':');
        const std::string type = f.substr(0, colon), name = colon == std::string::npos ? "" : f.substr(colon + 1);
        if (f == "disable") {
            record.macro_type = kDisabled;
            record.macro_value = 1;
            record.macro_desc = c.session.Texts().GetLanguageText(kDisabledText);
        } else if (type == "key" || type == "media") {
            const FunctionListItem* item = nullptr;
            for (const FunctionListItem& i : FunctionList())
                if (i.id == Normal(name) || i.id == name) item = (type == "media") == (i.icon != nullptr) ? &i : item;
            if (!item) return Usage("no " + type + " function '" + name + "' (for example key:esc, media:volume-up)");
            record.macro_type = item->value < kHighListValue ? kListCode : kListCodeHigh;
            record.macro_value = item->value;
            record.macro_desc = item->label;
        } else if (type == "macro") {
            auto macro = c.macros.FindByName(Utf8ToWide(name));
            if (!macro) return Usage("no macro named '" + name + "' (vantrelctl macro list shows them)");
            if (c.macros.CountActions(macro->macro_id) == 0) return Fail(kExitFailed, "the macro has no actions");
            record.macro_type = kMacro;
            record.macro_value = macro->macro_id;
            record.macro_desc = macro->name;
        } else if (type == "shortcut") {
            const SystemShortcut* s = nullptr;
            for (const SystemShortcut& i : SystemShortcuts())
                if (i.id == Normal(name) || i.id == name) s = &i;
            if (!s) return Usage("no shortcut '" + name + "' (for example shortcut:ctrl+c, shortcut:alt+tab)");
            record.macro_type = kShortcut;
            record.macro_value = s->value;
            record.macro_desc = c.session.Texts().GetLanguageText(kShortcutLabelBase + s->value);
        } else {
            return Usage("unknown function '" + f + "': use disable, key:NAME, media:NAME, macro:NAME or shortcut:NAME");
        }
    }
    if (!c.Connected()) return NoKeyboard();
    c.session.KeyRequest().selectedKey = key ? key->code : 0;
    if (sub == "restore") {
        c.keys.RestoreDefaultKeys();
    } else {
        if (!c.keys.SelectKey(key->code)) return Fail(kExitFailed, c.messages.message);
        if (IsListKind(record.macro_type)) {
            c.keys.ChooseListItem(record.macro_value, 0, 0, record.macro_desc);
        } else if (IsComplexKind(record.macro_type)) {
            if (c.keys.CountKinds(true) > kMaxComplexFunctions - 1) c.messages.Show(363);
            else c.keys.ApplyKeyFunction(record);
        } else {
            c.keys.ApplyKeyFunction(record);
        }
        if (!c.messages.message.empty()) return Fail(kExitFailed, c.messages.message);
    }
    if (!c.Flush()) return NoKeyboard();
    r.text = sub == "restore" ? "Every key has its own function again.\n" : U8(key->desc) + ": " + (sub == "reset" ? "own function" : w[3]) + "\n";
    r.json.Field("done", sub).Field("key", key ? U8(key->desc) : "");
    return r;
}

// ---- macros ---------------------------------------------------------------------------------

CommandResult MacroCommand(Context& c, const std::vector<std::string>& w) {
    const std::string sub = w.size() > 1 ? w[1] : "";
    Store& store = c.session.GetStore();
    CommandResult r;
    auto find = [&](const std::string& name) { return c.macros.FindByName(Utf8ToWide(name)); };
    if (sub == "list" && w.size() == 2) {
        std::vector<MacroRecord> macros;
        store.ListMacros(&macros);
        std::vector<Json> items;
        for (const MacroRecord& m : macros) {
            const int actions = c.macros.CountActions(m.macro_id);
            r.text += U8(c.macros.DisplayName(m.name)) + " (" + std::to_string(actions) + " actions, repeat " +
                      std::to_string(m.play_times) + ")\n";
            items.push_back(Json().Field("name", U8(c.macros.DisplayName(m.name))).Field("actions", actions)
                                .Field("repeat", m.play_times));
        }
        r.json.Field("macros", items);
        return r;
    }
    if (sub == "show" && w.size() == 3) {
        auto m = find(w[2]);
        if (!m) return Usage("no macro named '" + w[2] + "'");
        std::vector<MacroEventRecord> events;
        store.ListMacroEvents(m->macro_id, &events);
        std::vector<Json> items;
        for (const MacroEventRecord& e : events) {
            const char* what = e.type == 2 ? "press" : e.type == 3 ? "release" : "other";
            r.text += std::string(what) + " " + U8(e.desc) + ", then " + std::to_string(e.delay_time) + " ms\n";
            items.push_back(Json().Field("event", what).Field("key", U8(e.desc)).Field("virtual_key", e.value)
                                .Field("delay_ms", e.delay_time));
        }
        r.json.Field("name", U8(m->name)).Field("repeat", m->play_times).Field("events", items);
        return r;
    }
    if (sub == "new" && w.size() == 2) {
        const int id = c.macros.Create();
        if (!id) return Fail(kExitFailed, "the macro could not be stored");
        MacroRecord m;
        store.GetMacro(id, &m);
        r.text = "Created " + U8(m.name) + "\n";
        r.json.Field("created", U8(m.name));
        return r;
    }
    if (sub == "rename" && w.size() == 4) {
        auto m = find(w[2]);
        if (!m) return Usage("no macro named '" + w[2] + "'");
        switch (c.macros.Rename(m->macro_id, Utf8ToWide(w[3]))) {
        case RenameResult::kRenamed: break;
        case RenameResult::kEmpty: return Usage("a macro name cannot be empty");
        case RenameResult::kFiltered: return Usage("that name cannot be used");
        case RenameResult::kFailed: return Fail(kExitFailed, "the macro could not be renamed");
        }
        r.text = "Renamed to " + w[3] + "\n";
        r.json.Field("renamed", w[3]);
        return r;
    }
    if (sub == "delete" && w.size() == 3) {
        auto m = find(w[2]);
        if (!m) return Usage("no macro named '" + w[2] + "'");
        if (!c.macros.Delete(m->macro_id)) return Fail(kExitFailed, "the macro could not be deleted");
        r.text = "Deleted " + w[2] + "\n";
        r.json.Field("deleted", w[2]);
        return r;
    }
    if (sub == "import" && w.size() == 3) {
        const int id = ImportMacro(store, w[2]);
        if (!id) return Fail(kExitFailed, w[2] + " cannot be read as a macro file");
        MacroRecord m;
        store.GetMacro(id, &m);
        r.text = "Imported " + U8(m.name) + "\n";
        r.json.Field("imported", U8(m.name));
        return r;
    }
    if (sub == "export" && w.size() == 4) {
        auto m = find(w[2]);
        if (!m) return Usage("no macro named '" + w[2] + "'");
        if (!ExportMacro(store, m->macro_id, w[3])) return Fail(kExitFailed, "cannot write " + w[3]);
        r.text = "Exported " + w[2] + " to " + w[3] + "\n";
        r.json.Field("exported", w[2]).Field("file", w[3]);
        return r;
    }
    return Usage("expected: " + kCommandUsage.at("macro"));
}

// ---- lighting -------------------------------------------------------------------------------

bool ParseColour(std::string_view text, int* colour) {
    if (text.size() != 7 || text[0] != '#') return false;
    unsigned value = 0;
    auto [end, ec] = std::from_chars(text.data() + 1, text.data() + 7, value, 16);
    if (ec != std::errc() || end != text.data() + 7) return false;
    *colour = static_cast<int>((value >> 16 & 0xFF) | (value & 0xFF00) | (value & 0xFF) << 16);
    return true;
}

CommandResult LightCommand(Context& c, const std::vector<std::string>& w) {
    const std::string sub = w.size() > 1 ? w[1] : "";
    CommandResult r;
    if (sub == "list" && w.size() == 2) {
        std::vector<Json> items;
        for (const auto& [name, mode] : c.lightView.modes) {
            const bool active = mode == c.lightView.active;
            r.text += std::string(active ? "* " : "  ") + std::to_string(mode) + " " + U8(name) + "\n";
            items.push_back(Json().Field("mode", mode).Field("name", U8(name)).Field("active", active));
        }
        r.json.Field("modes", items);
        return r;
    }
    if (sub == "set" && w.size() >= 3) {
        int mode = 0;
        for (const auto& [name, m] : c.lightView.modes)
            if (Normal(U8(name)) == Normal(w[2]) || std::to_string(m) == w[2]) mode = m;
        if (!mode) return Usage("no light mode '" + w[2] + "' (vantrelctl light list shows them)");
        // Check every option before anything changes.
        struct Change {
            std::string option;
            int value = 0, extra = 0;
        };
        std::vector<Change> changes;
        for (size_t i = 3; i < w.size(); ++i) {
            const std::string& o = w[i];
            auto value = [&](int low, int high, int* out) {
                return i + 1 < w.size() && ParseNumber(w[++i], out) && *out >= low && *out <= high;
            };
            Change ch{o};
            const ModelSettings& model = c.session.Info().Model();
            if (o == "--brightness") {
                if (!value(1, std::max(1, model.brightnessMax), &ch.value))
                    return Usage("--brightness takes 1 to " + std::to_string(std::max(1, model.brightnessMax)));
            } else if (o == "--speed") {
                if (!value(1, std::max(1, model.speedMax), &ch.value))
                    return Usage("--speed takes 1 to " + std::to_string(std::max(1, model.speedMax)));
            } else if (o == "--direction") {
                if (i + 1 >= w.size() || (w[i + 1] != "left" && w[i + 1] != "right"))
                    return Usage("--direction takes left or right");
                ch.value = w[++i] == "left";
            } else if (o == "--color" || o == "--colour") {
                if (i + 1 >= w.size() || !ParseColour(w[++i], &ch.value))
                    return Usage("--color takes #RRGGBB, for example #FF8000");
            } else if (o == "--colorful" || o == "--colourful") {
            } else if (o == "--preset") {
                if (!value(0, 7, &ch.value)) return Usage("--preset takes 0 to 7");
            } else if (o == "--area") {
                int area = 0, index = 0;
                const std::string spec = i + 1 < w.size() ? w[++i] : "";
                const size_t eq = spec.find('=');
                if (eq == std::string::npos || !ParseNumber(spec.substr(0, eq), &area) ||
                    !ParseNumber(spec.substr(eq + 1), &index) || area < 1 || area > 6 || index < 0 || index > 6)
                    return Usage("--area takes AREA=INDEX with area 1 to 6 and colour index 0 to 6");
                ch.value = area;
                ch.extra = index;
            } else {
                return Usage("unknown option '" + o + "' for light set");
            }
            changes.push_back(ch);
        }
        if (!c.Connected()) return NoKeyboard();
        c.lighting.SelectMode(mode);
        for (const Change& ch : changes) {
            if (ch.option == "--brightness") c.lighting.SetBrightness(ch.value);
            else if (ch.option == "--speed") c.lighting.SetSpeed(ch.value);
            else if (ch.option == "--direction") c.lighting.SetDirection(ch.value != 0);
            else if (ch.option == "--color" || ch.option == "--colour") {
                c.lighting.SetFreeColour(ch.value);
                c.lighting.SetColourful(false, true);
            } else if (ch.option == "--colorful" || ch.option == "--colourful") c.lighting.SetColourful(true);
            else if (ch.option == "--preset") c.lighting.SetPresetColour(ch.value);
            else if (ch.option == "--area") c.lighting.SetAreaColour(ch.value, ch.extra);
        }
        // A family-A keyboard takes the mode first, then its parameters.
        if (!changes.empty() && FamilyForDeviceType(c.session.Info().Model().deviceType) == KeyboardFamily::kA) {
            if (!c.Flush()) return NoKeyboard();
            c.session.Queue(kApplyLight);
        }
        if (!c.Flush()) return NoKeyboard();
        return Status(c);
    }
    if (sub == "keys" && w.size() == 3) {
        std::string text;
        if (!ReadFileBytes(w[2], &text)) return Fail(kExitFailed, "cannot read " + w[2]);
        std::map<int, int> colours;
        std::istringstream lines(text);
        std::string line;
        int number = 0;
        while (std::getline(lines, line)) {
            ++number;
            std::istringstream words(line);
            std::string keyName, colourText;
            if (!(words >> keyName) || keyName[0] == '#') continue; // blank lines and comments
            words >> colourText;
            int colour = 0;
            const KeyLayoutItem* key = FindKey(c, keyName);
            if (!key) return Usage(w[2] + ":" + std::to_string(number) + ": no key '" + keyName + "'");
            if (!ParseColour(colourText, &colour))
                return Usage(w[2] + ":" + std::to_string(number) + ": colour '" + colourText + "' is not #RRGGBB");
            colours[key->code] = colour;
        }
        if (!c.Connected()) return NoKeyboard();
        unsigned caps = 0;
        for (const auto& [name, m] : c.lightView.modes) {
            LightRecord lr;
            if (c.session.GetStore().GetLight(c.profiles.ActiveProfile(), m, &lr) && (lr.config_func & kPerKeyColours)) {
                c.lighting.SelectMode(m);
                caps = static_cast<unsigned>(lr.config_func);
                break;
            }
        }
        if (!(caps & kPerKeyColours)) return Fail(kExitFailed, "this keyboard has no per-key colour mode");
        // Every key of the keyboard is stored, as a paint on the window stores them.
        std::vector<KeyLightRecord> stored;
        c.session.GetStore().ListKeyLights(kKeyColourLightId, &stored);
        std::map<int, int> current;
        for (const KeyLightRecord& k : stored) current[k.key_code] = k.key_rgb;
        std::vector<std::pair<int, int>> all;
        for (const KeyLayoutItem& k : c.session.Info().Layout().keys) {
            auto given = colours.find(k.code);
            all.emplace_back(k.code, given != colours.end() ? given->second : current[k.code]);
        }
        c.lighting.PaintKeys(all);
        if (!c.Flush()) return NoKeyboard();
        r.text = "Set " + std::to_string(colours.size()) + " key colours\n";
        r.json.Field("keys", static_cast<int>(colours.size()));
        return r;
    }
    if (sub == "slot" && w.size() == 3) {
        int slot = 0;
        if (!ParseNumber(w[2], &slot) || slot < 1 || slot > 3) return Usage("light slot takes 1, 2 or 3");
        if (!c.Connected()) return NoKeyboard();
        c.lighting.SelectSlot(slot - 1, c.session.Link());
        r.text = "Per-key colour slot " + w[2] + "\n";
        r.json.Field("slot", slot);
        return r;
    }
    return Usage("expected: " + kCommandUsage.at("light"));
}

// ---- reset and updates ----------------------------------------------------------------------

CommandResult ResetCommand(Context& c, const std::vector<std::string>& w) {
    if (w.size() != 2 || w[1] != "--yes")
        return Usage("reset deletes every profile, macro and colour of this model: confirm with 'vantrelctl reset --yes'");
    if (!c.Connected()) return NoKeyboard();
    SQLiteDB& db = SQLiteDB::GetDatabase();
    const ModelSettings& model = c.session.Info().Model();
    db.Close();
    SQLiteDB::DeleteModelFile(c.session.GetFolders().data, model.name);
    db.OpenForModel(c.session.GetFolders().data, model.name, model.deviceType);
    c.session.Queue(kFactoryReset);
    if (!c.Flush()) return NoKeyboard();
    c.profiles.FillProfileList();
    c.lighting.SetProfile(c.profiles.ActiveProfile());
    c.lighting.EnsureDefaultLightRows();
    CommandResult r;
    r.text = "Restored the defaults and the keyboard's factory state\n";
    r.json.Field("reset", true);
    return r;
}

CommandResult UpdateCommand(Context& c, const std::vector<std::string>& w) {
    if (w.size() != 2 || w[1] != "check") return Usage("expected: vantrelctl update check");
    Updates& updates = c.session.GetUpdates();
    updates.CheckSoftwareUpdate();
    CommandResult r;
    const std::string installed = U8(c.session.Info().Software().version);
    const std::string offered = U8(updates.LatestSoftware());
    r.text = "Software: installed " + installed + ", offered " + (offered.empty() ? "unknown" : offered) + "\n";
    r.json.Field("software", Json().Field("installed", installed).Field("offered", offered));
    if (c.Connected()) {
        updates.CheckFirmwareUpdate([&]() -> std::optional<uint16_t> {
            uint16_t v = 0;
            if (!ReadFirmwareVersion(c.session.Link(), &v)) return std::nullopt;
            return v;
        });
        uint16_t v = 0;
        const bool read = FamilyForDeviceType(c.session.Info().Model().deviceType) == KeyboardFamily::kB &&
                          ReadFirmwareVersion(c.session.Link(), &v);
        const std::string keyboard = read ? std::to_string(FirmwareVersionNumber(v)) : "";
        const std::string latest = U8(updates.LatestFirmware());
        r.text += "Firmware: keyboard " + (keyboard.empty() ? std::string("unknown") : keyboard) + ", offered " +
                  (latest.empty() ? "unknown" : latest) + "\n";
        r.json.Field("firmware", Json().Field("keyboard", keyboard).Field("offered", latest));
    }
    return r;
}

} // namespace

std::string CommandUsage(const std::string& command) {
    auto it = kCommandUsage.find(command);
    return it == kCommandUsage.end() ? std::string() : it->second;
}

CommandResult RunCommand(Session& session, const std::vector<std::string>& words) {
    if (words.empty()) return Usage("no command given\n" + kCommandUsage.at(""));
    const std::string& command = words[0];
    if (kCommandUsage.find(command) == kCommandUsage.end() || command.empty())
        return Usage("unknown command '" + command + "': use list, status, profile, key, macro, light, reset or update");
    for (const std::string& w : words)
        if (w == "--help" || w == "-h") {
            CommandResult r;
            r.text = kCommandUsage.at(command);
            r.json.Field("usage", kCommandUsage.at(command));
            return r;
        }
    Context c(session);
    if (command == "list") return words.size() == 1 ? List(c) : Usage("list takes no arguments");
    if (command == "status") return words.size() == 1 ? Status(c) : Usage("status takes no arguments");
    if (command == "profile") return ProfileCommand(c, words);
    if (command == "key") return KeyCommand(c, words);
    if (command == "macro") return MacroCommand(c, words);
    if (command == "light") return LightCommand(c, words);
    if (command == "reset") return ResetCommand(c, words);
    return UpdateCommand(c, words);
}

} // namespace vantrel
