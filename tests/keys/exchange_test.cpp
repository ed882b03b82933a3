#include "app/core/files.h"
#include "app/keys/key_function.h"
#include "app/macros/macro_exchange.h"
#include "app/macros/macro_payloads.h"
#include "app/store/profile_exchange.h"
#include "tests/support/key_bench.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

using namespace vantrel::testing;

TEST(MacroExchange, ExportImportRoundTrip) {
    KeyRig rig(KeyboardFamily::kA);
    const int id = rig.Macro(4, 35, 9);
    rig.store_.RenameMacro(id, u"Quote \"it\" & <go>");
    const auto file = rig.dir_ / "My macro.v2.xml";
    ASSERT_TRUE(ExportMacro(rig.store_, id, file));
    std::string text;
    ReadFileBytes(file, &text);
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<macro>\r\n<macroinfo name=", 0), 0u);

    const int imported = ImportMacro(rig.store_, file);
    ASSERT_NE(imported, 0);
    MacroRecord m;
    ASSERT_TRUE(rig.store_.GetMacro(imported, &m));
    EXPECT_EQ(m.name, u"My macro"); // the file's name up to its first dot
    EXPECT_EQ(m.play_times, 9);
    std::vector<MacroEventRecord> a, b;
    rig.store_.ListMacroEvents(id, &a);
    rig.store_.ListMacroEvents(imported, &b);
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].value, b[i].value);
        EXPECT_EQ(a[i].type, b[i].type);
        EXPECT_EQ(a[i].delay_time, b[i].delay_time);
        EXPECT_EQ(b[i].record_index, static_cast<int>(i));
    }
}

TEST(MacroExchange, FilesThatAreNotMacros) {
    KeyRig rig(KeyboardFamily::kA);
    struct Case {
        const char* name;
        std::string text;
        bool imported;
        int events;
    } cases[] = {
        {"profile root", "<profile><macroinfo times='1'/></profile>", false, 0},
        {"malformed", "<macro><macroinfo times='1'>", false, 0},
        {"binary", std::string("\x00\xFF\x13", 3), false, 0},
        {"empty items", "<macro><macroinfo times='2' type='1' delaytime='0'/><macroitems/></macro>", true, 0},
        {"odd values", "<macro><macroinfo times='x'/><macroitems><item type='9' value='-5' delay_time='y'/></macroitems></macro>",
         true, 1},
    };
    for (const Case& c : cases) {
        const auto file = rig.dir_ / "in.xml";
        ASSERT_TRUE(WriteFileAtomically(file, c.text));
        const int id = ImportMacro(rig.store_, file);
        EXPECT_EQ(id != 0, c.imported) << c.name;
        std::vector<MacroEventRecord> events;
        if (id) {
            EXPECT_EQ(rig.store_.ListMacroEvents(id, &events), c.events) << c.name;
        }
    }
    EXPECT_EQ(ImportMacro(rig.store_, rig.dir_ / "missing.xml"), 0);
}

TEST(MacroExchange, TenThousandItems) {
    KeyRig rig(KeyboardFamily::kA);
    std::string text = "<macro><macroinfo times='1'/><macroitems>";
    for (int i = 0; i < 10000; ++i) text += "<item desc='A' type='2' value='65' delay_time='10'/>";
    text += "</macroitems></macro>";
    ASSERT_TRUE(WriteFileAtomically(rig.dir_ / "big.xml", text));
    const int id = ImportMacro(rig.store_, rig.dir_ / "big.xml");
    std::vector<MacroEventRecord> events;
    EXPECT_EQ(rig.store_.ListMacroEvents(id, &events), 10000); // stored as read, not cut
    size_t length = 0;
    BuildMacroStream(rig.Context(), id, &length); // but a download stays inside its buffer
    EXPECT_EQ(length, kMacroStreamSize);
}

// A profile with list functions, a disabled key, two keys on one macro and a shortcut.
void FillProfile(KeyRig& rig, int macro) {
    rig.Key(0x09, kListCode, 0x04, u"A");
    rig.Key(0x0A, kListCode, 234, u"Volume up");
    rig.Key(0x0B, kDisabled, 1, u"Disabled");
    rig.Key(0x0C, kMacro, macro, u"M");
    rig.Key(0x0D, kMacro, macro, u"M");
    rig.Key(0x0E, kShortcut, 2, u"Copy");
}

struct Written {
    KeyTable keyTable;
    std::map<int, std::vector<uint8_t>> macros;
    SlotTable slots;
    std::vector<std::array<uint8_t, 168>> complexSlots;
};

Written WriteBoth(KeyRig& a, KeyRig& b) {
    KeyWriteRequest request;
    WriteKeys(KeyboardFamily::kA, a.Context(), request);
    WriteKeys(KeyboardFamily::kB, b.Context(), request);
    Written w;
    a.Keyboard([&](SimKeyboard& k) {
        w.keyTable = k.A().keyTable;
        w.macros = k.A().macros;
    });
    b.Keyboard([&](SimKeyboard& k) {
        w.slots = k.SlotTable();
        for (size_t s = 1; s <= 13; ++s) w.complexSlots.push_back(k.B().complexSlots[s]);
    });
    return w;
}

TEST(ProfileExchange, RoundTripThroughBothKeyboards) {
    KeyRig a(KeyboardFamily::kA), b(KeyboardFamily::kB);
    const int macroA = a.Macro(6, 30, 2);
    const int macroB = b.Macro(6, 30, 2);
    FillProfile(a, macroA);
    FillProfile(b, macroB);
    const Written before = WriteBoth(a, b);
    // The keyboards hold what the store says.
    EXPECT_EQ(before.keyTable[10], 0x04);
    EXPECT_EQ(before.keyTable[12], 234);
    EXPECT_EQ(before.keyTable[15], 0x20);
    EXPECT_EQ(before.keyTable[17], 0x40);
    EXPECT_EQ(before.keyTable[19], 0x40);
    EXPECT_EQ(before.macros.size(), 3u); // the macro once per key, then the shortcut
    EXPECT_EQ(std::vector<uint8_t>(before.slots.begin() + 1, before.slots.begin() + 4),
              (std::vector<uint8_t>{0x0C, 0x0D, 0x0E}));
    EXPECT_EQ(std::vector<uint8_t>(before.slots.begin() + 14, before.slots.begin() + 17),
              (std::vector<uint8_t>{0x09, 0x0A, 0x0B}));

    // Export from each store, import into fresh stores, write to fresh keyboards.
    ASSERT_TRUE(ExportProfile(a.store_, a.profile_, u"Gaming", a.dir_ / "Gaming.profile.xml"));
    ASSERT_TRUE(ExportProfile(b.store_, b.profile_, u"Gaming", b.dir_ / "Gaming.profile.xml"));
    KeyRig a2(KeyboardFamily::kA), b2(KeyboardFamily::kB);
    ProfileImport ia = ImportProfile(a2.store_, a.dir_ / "Gaming.profile.xml");
    ProfileImport ib = ImportProfile(b2.store_, b.dir_ / "Gaming.profile.xml");
    ASSERT_NE(ia.profile, 0);
    ASSERT_NE(ib.profile, 0);
    std::u16string name;
    a2.store_.GetProfileName(ia.profile, &name);
    EXPECT_EQ(name, u"Gaming");
    EXPECT_EQ(ia.importedMacros.size(), 2u); // the macro was written once per key
    a2.profile_ = ia.profile;
    b2.profile_ = ib.profile;
    const Written after = WriteBoth(a2, b2);
    EXPECT_EQ(after.keyTable, before.keyTable);
    EXPECT_EQ(after.macros, before.macros);
    EXPECT_EQ(after.slots, before.slots);
    EXPECT_EQ(after.complexSlots, before.complexSlots);
}

TEST(ProfileExchange, ImportIntoTheSameStoreReusesTheMacro) {
    KeyRig rig(KeyboardFamily::kA);
    const int macro = rig.Macro(2);
    FillProfile(rig, macro);
    ASSERT_TRUE(ExportProfile(rig.store_, rig.profile_, u"P", rig.dir_ / "p.xml"));
    ProfileImport imported = ImportProfile(rig.store_, rig.dir_ / "p.xml");
    EXPECT_TRUE(imported.importedMacros.empty());
    std::vector<KeyFunctionRecord> keys;
    rig.store_.ListKeyFunctions(imported.profile, 0, &keys);
    ASSERT_EQ(keys.size(), 6u);
    EXPECT_EQ(keys[3].macro_value, macro);
    EXPECT_EQ(keys[4].macro_value, macro);
}

TEST(ProfileExchange, BadFilesImportNothing) {
    KeyRig rig(KeyboardFamily::kA);
    struct Case {
        const char* name;
        std::string text;
    } cases[] = {{"macro root", "<macro><macroinfo/></macro>"},
                 {"malformed", "<profile><keyitems><item key_code='4'"},
                 {"not xml", "hello"}};
    std::vector<ProfileRecord> before;
    rig.store_.ListProfiles(&before);
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteFileAtomically(rig.dir_ / "x.xml", c.text));
        EXPECT_EQ(ImportProfile(rig.store_, rig.dir_ / "x.xml").profile, 0) << c.name;
    }
    std::vector<ProfileRecord> after;
    rig.store_.ListProfiles(&after);
    EXPECT_EQ(after.size(), before.size());

    // Odd but well-formed: missing attributes, unknown kinds, a macro id not in the file.
    ASSERT_TRUE(WriteFileAtomically(rig.dir_ / "odd.xml",
                                    "<profile><keyitems><item key_code='4' macro_type='99' macro_value='5'/>"
                                    "<item key_code='5' macro_type='3' macro_value='77'/><item/></keyitems></profile>"));
    ProfileImport odd = ImportProfile(rig.store_, rig.dir_ / "odd.xml");
    std::vector<KeyFunctionRecord> keys;
    EXPECT_EQ(rig.store_.ListKeyFunctions(odd.profile, 0, &keys), 2);
}

} // namespace
} // namespace vantrel
