// The firmware of a simulated keyboard: decodes every report of both families into state that
// tests and --simulate can read back, and answers feature requests like the real firmware.
#pragma once

#include "app/device/family.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <vector>

namespace vantrel {

struct SimReport {
    enum Kind { kOutput, kFeatureOut, kFeatureIn };
    std::chrono::steady_clock::time_point time;
    Kind kind;
    int mode;            // connection mode the report came through
    int interfaceNumber; // 3 is the streaming interface
    std::vector<uint8_t> bytes;
};

struct FamilyAState {
    std::array<uint8_t, 220> keyTable{};          // 0x8D frames by offset
    std::map<int, std::vector<uint8_t>> macros;   // 0x8E streams by slot
    std::array<uint8_t, 440> colourTable{};       // 0x8B frames by offset
    std::vector<uint8_t> lightMode;               // 0x88 parameters (from byte 2)
    std::vector<uint8_t> lightParameters;         // 0x89 parameters (from byte 2)
    std::vector<uint8_t> customSelect;            // feature 07 FF FF … (bytes 3 to 7)
    bool streaming = false;                       // 0xF0 0xF4 0x01 seen
    std::array<uint8_t, 330> liveColours{};       // 0xF1 frames by offset, streaming interface
    int liveFrames = 0;                           // complete live frames (last chunk seen)
    int resets = 0;
};

struct FamilyBState {
    std::array<uint8_t, 11> simpleKeys{};   // slots 1 to 10: key code, 0 free
    std::array<uint8_t, 11> simpleCodes{};
    std::array<std::array<uint8_t, 168>, 14> complexSlots{}; // slots 1 to 13: the 168-byte record
    std::vector<uint8_t> lightFeature;      // F7 parameters (bytes 2 to 7)
    std::vector<uint8_t> lightWireless;     // wireless light command (payload bytes 4 to 63)
    uint16_t firmwareVersion = 0x0105;
    std::vector<std::array<uint8_t, 3>> levelFrames;
    int resets = 0;
};

// Faults a test can ask for.
struct SimFaults {
    int failWrites = 0;          // fail this many writes (output and feature); -1: every one
    bool featureSilent = false;  // feature reads never answer
    bool wrongReportId = false;  // feature replies carry report id 0x08
    int vanishAfter = -1;        // the keyboard disappears after this many more reports
};

class SimKeyboard {
public:
    explicit SimKeyboard(KeyboardFamily family) : family_(family) {}

    KeyboardFamily Family() const { return family_; }
    // Handles one report; false when the keyboard refuses it (a fault).
    bool Output(int mode, int interfaceNumber, const uint8_t* data, size_t length);
    bool FeatureOut(int mode, const uint8_t* data, size_t length);
    // Fills the reply; returns its length or -1.
    int FeatureIn(int mode, uint8_t* data, size_t length);

    const FamilyAState& A() const { return a_; }
    const FamilyBState& B() const { return b_; }
    FamilyBState& MutableB() { return b_; }
    const std::vector<SimReport>& Reports() const { return reports_; }
    void ClearReports() { reports_.clear(); }
    SimFaults& Faults() { return faults_; }
    // True once a vanish fault has fired.
    bool Vanished() const { return vanished_; }
    void Reappear() { vanished_ = false; }

    // The 28-byte slot table the read-back request returns.
    std::array<uint8_t, 28> SlotTable() const;

    // Slots and tables survive "power cycles" in a file, as the real keyboard keeps them.
    bool Save(const std::filesystem::path& file) const;
    bool Load(const std::filesystem::path& file);

private:
    bool Admit(SimReport::Kind kind, int mode, int interfaceNumber, const uint8_t* data, size_t length);
    void OutputA(int interfaceNumber, const uint8_t* d, size_t n);
    void OutputB(const uint8_t* d, size_t n);
    void FeatureB(const uint8_t* d);

    KeyboardFamily family_;
    FamilyAState a_;
    FamilyBState b_;
    SimFaults faults_;
    bool vanished_ = false;
    std::vector<SimReport> reports_;
    // Feature read-back state.
    enum class Pending { kNone, kSlots, kVersion } pending_ = Pending::kNone;
    int readIndex_ = 0;
    // A complex slot record being assembled from its 28 packets.
    std::vector<uint8_t> complexRecord_;
};

} // namespace vantrel
