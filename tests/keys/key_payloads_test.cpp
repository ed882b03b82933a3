#include "app/keys/key_function.h"
#include "app/keys/key_payloads.h"
#include "app/macros/macro_payloads.h"
#include "tests/support/key_bench.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

using namespace vantrel::testing;

TEST(KeyPayloads, EncodeEventAttribute) {
    struct Case {
        bool release;
        int delay;
        uint8_t byte;
    } cases[] = {{false, 0, 0x01},    {false, 10, 0x01},  {true, 10, 0x81},   {false, 250, 0x19},
                 {true, 500, 0xAA},   {false, 5000, 0x65}, {false, 40000, 0x7F}, {false, -5, 0x01},
                 {true, -5, 0x80},    {false, 310, 0x1F},  {false, 311, 0x26}, {false, 2000, 0x54}};
    for (const Case& c : cases) EXPECT_EQ(EncodeEventAttribute(c.release, c.delay), c.byte) << c.delay;
}

// The complex slot record the simulated keyboard assembled from its 28 packets.
std::vector<uint8_t> Pairs(const ComplexRecord& r, size_t count) {
    return std::vector<uint8_t>(r.begin() + 4, r.begin() + 4 + 2 * static_cast<long>(count));
}

TEST(KeyPayloads, FamilyBShortcutSequences) {
    KeyRig rig(KeyboardFamily::kB);
    for (const SystemShortcut& s : SystemShortcuts()) {
        WriteComplexSlot(rig.Context(), 0x04, 2, kShortcut, s.value);
        std::vector<uint8_t> expected;
        for (const ShortcutEvent& e : s.events) {
            expected.push_back(e.usage);
            expected.push_back(e.release ? 0x81 : 0x01);
        }
        rig.Keyboard([&](SimKeyboard& k) {
            const auto& record = k.B().complexSlots[2];
            EXPECT_EQ(record[2], 0x04);
            EXPECT_EQ(record[3], 1);
            EXPECT_EQ(Pairs(record, s.events.size()), expected) << s.id;
            EXPECT_EQ(record[4 + 2 * s.events.size()], 0) << s.id;
        });
    }
    // Ctrl+C spelled out.
    WriteComplexSlot(rig.Context(), 0x04, 2, kShortcut, 2);
    rig.Keyboard([](SimKeyboard& k) {
        EXPECT_EQ(Pairs(k.B().complexSlots[2], 4), (std::vector<uint8_t>{0xE0, 0x01, 0x06, 0x01, 0x06, 0x81, 0xE0, 0x81}));
    });
}

TEST(KeyPayloads, FamilyBMacroRecordIsCutAfter82Pairs) {
    KeyRig rig(KeyboardFamily::kB);
    const int macro = rig.Macro(90, 250, 7);
    WriteComplexSlot(rig.Context(), 0x1E, 3, kMacro, macro);
    rig.Keyboard([](SimKeyboard& k) {
        const auto& r = k.B().complexSlots[3];
        EXPECT_EQ(r[2], 0x1E);
        EXPECT_EQ(r[3], 7);
        EXPECT_EQ(r[4], 0x04);    // A
        EXPECT_EQ(r[5], 0x19);    // press, 250 ms
        EXPECT_EQ(r[7], 0x99);    // release, 250 ms
        EXPECT_EQ(r[166], 0x04);  // pair 82 is the last one
    });
    // A macro that is gone frees the slot.
    rig.store_.DeleteMacro(macro);
    WriteComplexSlot(rig.Context(), 0x1E, 3, kMacro, macro);
    EXPECT_EQ(rig.Keyboard([](SimKeyboard& k) { return k.SlotTable()[3]; }), 0);
}

TEST(KeyPayloads, FamilyBSingleKeySlots) {
    KeyRig rig(KeyboardFamily::kB);
    KeyWriteRequest request;
    request.singleKey = true;
    const int macro = rig.Macro(2);
    // Key 0x05 already holds complex slot 4, and slot 1 is taken.
    rig.Keyboard([](SimKeyboard& k) {
        k.MutableB().complexSlots[4][2] = 0x05;
        k.MutableB().complexSlots[1][2] = 0x09;
    });
    rig.Key(0x05, kMacro, macro);
    request.selectedKey = 0x05;
    WriteKeys(KeyboardFamily::kB, rig.Context(), request);
    EXPECT_FALSE(request.singleKey);
    rig.Keyboard([](SimKeyboard& k) { EXPECT_EQ(k.B().complexSlots[4][3], 1); }); // rewritten in place

    rig.Key(0x06, kShortcut, 2);
    request.singleKey = true;
    request.selectedKey = 0x06;
    WriteKeys(KeyboardFamily::kB, rig.Context(), request);
    EXPECT_EQ(rig.Keyboard([](SimKeyboard& k) { return k.SlotTable()[2]; }), 0x06); // first free

    // With all 13 complex slots taken, a new macro key goes to slot 1.
    rig.Keyboard([](SimKeyboard& k) {
        for (size_t s = 1; s <= 13; ++s) k.MutableB().complexSlots[s][2] = static_cast<uint8_t>(0x30 + s);
    });
    rig.Key(0x07, kMacro, macro);
    request.singleKey = true;
    request.selectedKey = 0x07;
    WriteKeys(KeyboardFamily::kB, rig.Context(), request);
    EXPECT_EQ(rig.Keyboard([](SimKeyboard& k) { return k.SlotTable()[1]; }), 0x07);

    // A disabled key is a simple slot with code 0x01; resetting it frees the slot with 07 FA 01 n 00 01 00 01.
    rig.Keyboard([](SimKeyboard& k) { k.MutableB().simpleKeys = {0, 0x10, 0x11}; });
    rig.Key(0x29, kDisabled, 1);
    request.singleKey = true;
    request.selectedKey = 0x29;
    WriteKeys(KeyboardFamily::kB, rig.Context(), request);
    rig.Keyboard([](SimKeyboard& k) {
        EXPECT_EQ(k.B().simpleKeys[3], 0x29);
        EXPECT_EQ(k.B().simpleCodes[3], 0x01);
        k.ClearReports();
    });
    rig.Key(0x29, kOwnFunction, 0);
    request.singleKey = true;
    WriteKeys(KeyboardFamily::kB, rig.Context(), request);
    rig.Keyboard([](SimKeyboard& k) {
        EXPECT_EQ(k.B().simpleKeys[3], 0);
        EXPECT_EQ(k.Reports().back().bytes, (std::vector<uint8_t>{0x07, 0xFA, 0x01, 0x03, 0x00, 0x01, 0x00, 0x01}));
    });
}

TEST(KeyPayloads, FamilyBFullRewriteGivesSlotsInListOrder) {
    KeyRig rig(KeyboardFamily::kB);
    rig.Keyboard([](SimKeyboard& k) {
        k.MutableB().complexSlots[5][2] = 0x22; // stale slots are freed first
        k.MutableB().simpleKeys[7] = 0x23;
    });
    const int macro = rig.Macro(4);
    rig.Key(0x04, kListCode, 0x05);
    rig.Key(0x05, kMacro, macro);
    rig.Key(0x06, kDisabled, 1);
    rig.Key(0x07, kShortcut, 15);
    KeyWriteRequest request;
    WriteKeys(KeyboardFamily::kB, rig.Context(), request);
    rig.Keyboard([](SimKeyboard& k) {
        const SlotTable t = k.SlotTable();
        EXPECT_EQ(std::vector<uint8_t>(t.begin() + 1, t.begin() + 6), (std::vector<uint8_t>{0x05, 0x07, 0, 0, 0}));
        EXPECT_EQ(std::vector<uint8_t>(t.begin() + 14, t.begin() + 24),
                  (std::vector<uint8_t>{0x04, 0x06, 0, 0, 0, 0, 0, 0, 0, 0}));
        EXPECT_EQ(k.B().simpleCodes[1], 0x05);
        // Every feature report of a builder waits its 16 ms.
        const auto& r = k.Reports();
        for (size_t i = 6; i < r.size(); ++i) EXPECT_GE(r[i].time - r[i - 1].time, std::chrono::milliseconds(16));
    });
}

TEST(KeyPayloads, ReconcileKeepsTheStoreWhenTheKeyboardIsSilent) {
    KeyRig rig(KeyboardFamily::kB);
    rig.Key(0x04, kListCode, 0x05);
    rig.Key(0x05, kDisabled, 1);
    rig.Keyboard([](SimKeyboard& k) { k.MutableB().simpleKeys[1] = 0x04; });
    SlotTable slots{};
    bool complete = false;
    ASSERT_TRUE(ReadAssignmentSlots(rig.link_, &slots, &complete));
    ASSERT_TRUE(complete);
    ReconcileKeyFunctions(rig.store_, rig.profile_, slots);
    std::vector<KeyFunctionRecord> rows;
    EXPECT_EQ(rig.store_.ListKeyFunctions(rig.profile_, 0, &rows), 1); // 0x05 is no longer held
    EXPECT_EQ(rows[0].key_code, 0x04);

    rig.Keyboard([](SimKeyboard& k) { k.Faults().featureSilent = true; });
    ASSERT_TRUE(ReadAssignmentSlots(rig.link_, &slots, &complete));
    EXPECT_FALSE(complete); // the connection code reconciles only complete tables

    rig.Keyboard([](SimKeyboard& k) {
        k.Faults().featureSilent = false;
        k.MutableB().simpleKeys = {};
    });
    ASSERT_TRUE(ReadAssignmentSlots(rig.link_, &slots, &complete));
    ReconcileKeyFunctions(rig.store_, rig.profile_, slots);
    EXPECT_EQ(rig.store_.ListKeyFunctions(rig.profile_, 0, &rows), 0); // all free: all deleted
}

TEST(KeyPayloads, FamilyAKeyTableAndMacroSlots) {
    KeyRig rig(KeyboardFamily::kA);
    const int first = rig.Macro(2, 20, 3), second = rig.Macro(19);
    rig.Key(0x09, kListCode, 0x04);  // position 5
    rig.Key(0x0A, kDisabled, 1);     // position 6
    rig.Key(0x0B, kMacro, first);    // slot 0
    rig.Key(0x0C, kShortcut, 2);     // slot 2: shortcuts follow the macros
    rig.Key(0x0D, kMacro, second);   // slot 1
    rig.Key(0x0E, kFurtherList, 3);  // keeps its own function
    rig.Key(200, kListCode, 0x05);   // no position: skipped
    KeyWriteRequest request;
    WriteKeys(KeyboardFamily::kA, rig.Context(), request);
    rig.Keyboard([](SimKeyboard& k) {
        const auto& t = k.A().keyTable;
        EXPECT_EQ(t[10], 0x04);
        EXPECT_EQ(t[11], 0x20);
        EXPECT_EQ(t[12], 0x00);
        EXPECT_EQ(t[13], 0x20);
        EXPECT_EQ(t[14], 0);
        EXPECT_EQ(t[15], 0x40);
        EXPECT_EQ(t[16], 2);
        EXPECT_EQ(t[17], 0x40);
        EXPECT_EQ(t[18], 1);
        EXPECT_EQ(t[19], 0x40);
        EXPECT_EQ(t[20] | t[21], 0);
        // The macro streams as the keyboard assembled them.
        const auto& m0 = k.A().macros.at(0);
        EXPECT_EQ(std::vector<uint8_t>(m0.begin(), m0.begin() + 8),
                  (std::vector<uint8_t>{0x03, 0x02, 0x04, 0x14, 0x80, 0x04, 0x94, 0x00}));
        EXPECT_EQ(m0.size(), 9u);
        EXPECT_EQ(k.A().macros.at(1).size(), 60u);
        const auto& shortcut = k.A().macros.at(2);
        EXPECT_EQ(std::vector<uint8_t>(shortcut.begin(), shortcut.begin() + 6),
                  (std::vector<uint8_t>{0x01, 0x04, 0xE0, 0x64, 0x80, 0x06}));
        // Frames: the 19-event macro in two frames of 59 and 1 bytes; the key table's last frame 40.
        std::vector<std::pair<int, int>> lengths; // (command, length)
        for (const auto& r : k.Reports()) lengths.emplace_back(r.bytes[1], r.bytes[2]);
        EXPECT_EQ(lengths, (std::vector<std::pair<int, int>>{
                               {0x8E, 9}, {0x8E, 59}, {0x8E, 1}, {0x8E, 12}, {0x8D, 60}, {0x8D, 60}, {0x8D, 60}, {0x8D, 40}}));
        EXPECT_EQ(k.Reports()[2].bytes[3], 59); // offset of the second frame
        EXPECT_GE(k.Reports()[1].time - k.Reports()[0].time, std::chrono::milliseconds(100));
    });
}

TEST(KeyPayloads, FamilyAPlayTimesAndFailedDownload) {
    KeyRig rig(KeyboardFamily::kA);
    size_t length = 0;
    EXPECT_EQ(BuildMacroStream(rig.Context(), rig.Macro(2, 20, 300), &length)[0], 255);
    EXPECT_EQ(BuildMacroStream(rig.Context(), 999, &length)[0], 1); // a macro that is gone
    EXPECT_EQ(length, 3u);

    rig.Key(0x0B, kMacro, rig.Macro(2));
    rig.Key(0x0C, kShortcut, 1);
    rig.Keyboard([](SimKeyboard& k) { k.Faults().failWrites = 2; }); // the macro frame and its retry
    KeyWriteRequest request;
    WriteKeys(KeyboardFamily::kA, rig.Context(), request);
    rig.Keyboard([](SimKeyboard& k) {
        EXPECT_TRUE(k.A().macros.empty()); // the download stopped: no shortcut either
        EXPECT_EQ(k.A().keyTable[15], 0);  // and the keys keep their own function
        EXPECT_EQ(k.Reports().size(), 4u); // the key table still went out
    });
}

} // namespace
} // namespace vantrel
