#include "app/device/sim_keyboard.h"

#include "app/core/files.h"

#include <algorithm>
#include <cstring>
#include <sstream>

namespace vantrel {
namespace {

// Copies a chunk of a frame into a table at its offset, within bounds.
template <size_t N>
void Place(std::array<uint8_t, N>& table, size_t offset, const uint8_t* data, size_t length) {
    if (offset >= N) return;
    std::memcpy(table.data() + offset, data, std::min(length, N - offset));
}

uint8_t At(const uint8_t* d, size_t n, size_t i) {
    return i < n ? d[i] : 0;
}

constexpr uint8_t kWirelessHeader[4] = {0xBB, 0xAA, 0x99, 0x88};

} // namespace

bool SimKeyboard::Admit(SimReport::Kind kind, int mode, int interfaceNumber, const uint8_t* data, size_t length) {
    if (vanished_) return false;
    if (faults_.vanishAfter == 0) {
        vanished_ = true;
        faults_.vanishAfter = -1;
        return false;
    }
    if (faults_.vanishAfter > 0) --faults_.vanishAfter;
    if (kind != SimReport::kFeatureIn && faults_.failWrites != 0) {
        if (faults_.failWrites > 0) --faults_.failWrites;
        return false;
    }
    reports_.push_back({std::chrono::steady_clock::now(), kind, mode, interfaceNumber,
                        std::vector<uint8_t>(data, data + length)});
    return true;
}

bool SimKeyboard::Output(int mode, int interfaceNumber, const uint8_t* data, size_t length) {
    if (!Admit(SimReport::kOutput, mode, interfaceNumber, data, length)) return false;
    if (family_ == KeyboardFamily::kA)
        OutputA(interfaceNumber, data, length);
    else
        OutputB(data, length);
    return true;
}

void SimKeyboard::OutputA(int interfaceNumber, const uint8_t* d, size_t n) {
    const uint8_t command = At(d, n, 1);
    const size_t len = At(d, n, 2);
    const size_t offset = At(d, n, 3) | (At(d, n, 4) << 8);
    auto tail = [&](size_t from) { return std::vector<uint8_t>(d + std::min(from, n), d + n); };
    if (interfaceNumber == 3) {
        if (command == 0xF1 && n > 5) {
            Place(a_.liveColours, offset, d + 5, std::min(len, n - 5));
            if (offset + len >= a_.liveColours.size()) ++a_.liveFrames;
        }
        return;
    }
    switch (command) {
    case 0x8D:
        if (n > 5) Place(a_.keyTable, offset, d + 5, std::min(len, n - 5));
        break;
    case 0x8E:
        if (n > 6) {
            std::vector<uint8_t>& stream = a_.macros[At(d, n, 5)];
            size_t count = std::min(len, n - 6);
            if (stream.size() < offset + count) stream.resize(offset + count);
            std::memcpy(stream.data() + offset, d + 6, count);
        }
        break;
    case 0x8B:
        if (n > 5) Place(a_.colourTable, offset, d + 5, std::min(len, n - 5));
        break;
    case 0x88: a_.lightMode = tail(2); break;
    case 0x89: a_.lightParameters = tail(2); break;
    case 0xF0:
        if (At(d, n, 2) == 0xF4 && At(d, n, 3) == 0x01) a_.streaming = true;
        break;
    case 0xFF:
        if (At(d, n, 2) == 0xFE && At(d, n, 3) == 0xAA && At(d, n, 4) == 0xFF) {
            const int resets = a_.resets;
            a_ = FamilyAState{};
            a_.resets = resets + 1;
        }
        break;
    default: break;
    }
}

void SimKeyboard::OutputB(const uint8_t* d, size_t n) {
    // Wireless payloads: report id 0, the 4-byte header, then the command.
    if (n < 6 || std::memcmp(d + 1, kWirelessHeader, 4) != 0) return;
    const uint8_t* p = d + 5;
    const size_t m = n - 5;
    bool allZero = std::all_of(p, p + m, [](uint8_t b) { return b == 0; });
    bool resetArm = m >= 6 && std::all_of(p, p + 6, [](uint8_t b) { return b == 0xAA; });
    if (resetArm) {
        b_.complexSlots = {};
        b_.simpleKeys = {};
        b_.simpleCodes = {};
        b_.lightFeature.clear();
        b_.lightWireless.clear();
        ++b_.resets;
    } else if (!allZero && p[0] == 0xAA) {
        b_.lightWireless.assign(p, p + m);
    }
}

bool SimKeyboard::FeatureOut(int mode, const uint8_t* data, size_t length) {
    if (!Admit(SimReport::kFeatureOut, mode, 1, data, length)) return false;
    if (family_ == KeyboardFamily::kA) {
        if (length >= 3 && data[1] == 0xFF && data[2] == 0xFF) a_.customSelect.assign(data + 3, data + length);
        return true;
    }
    uint8_t packet[8] = {};
    std::memcpy(packet, data, std::min<size_t>(length, 8));
    FeatureB(packet);
    return true;
}

void SimKeyboard::FeatureB(const uint8_t* d) {
    switch (d[1]) {
    case 0xFB:
        pending_ = Pending::kSlots;
        readIndex_ = 0;
        break;
    case 0xFD:
        pending_ = Pending::kVersion;
        break;
    case 0xFA: {
        const int slot = d[3];
        if (slot >= 1 && slot <= 10) {
            b_.simpleKeys[static_cast<size_t>(slot)] = d[4];
            b_.simpleCodes[static_cast<size_t>(slot)] = d[6];
        }
        break;
    }
    case 0xF1:
        complexRecord_.assign(d + 2, d + 8);
        break;
    case 0x00:
        if (!complexRecord_.empty()) {
            complexRecord_.insert(complexRecord_.end(), d + 2, d + 8);
            if (complexRecord_.size() == 168) {
                const int slot = complexRecord_[1];
                if (slot >= 1 && slot <= 13)
                    std::copy(complexRecord_.begin(), complexRecord_.end(), b_.complexSlots[static_cast<size_t>(slot)].begin());
                complexRecord_.clear();
            }
        }
        break;
    case 0xF7:
        b_.lightFeature.assign(d + 2, d + 8);
        break;
    case 0xF0:
        if (d[2] == 0xAA) {
            b_.complexSlots = {};
            b_.simpleKeys = {};
            b_.simpleCodes = {};
            b_.lightFeature.clear();
            ++b_.resets;
        }
        break;
    case 0x23:
        if (d[2] == 0x45 && d[3] == 0x67 && d[4] == 0x89) b_.levelFrames.push_back({d[5], d[6], d[7]});
        break;
    default: break;
    }
}

std::array<uint8_t, 28> SimKeyboard::SlotTable() const {
    std::array<uint8_t, 28> table{};
    table[0] = 0x01;
    for (size_t s = 1; s <= 13; ++s) table[s] = b_.complexSlots[s][2];
    for (size_t s = 1; s <= 10; ++s) table[13 + s] = b_.simpleKeys[s];
    return table;
}

int SimKeyboard::FeatureIn(int mode, uint8_t* data, size_t length) {
    if (faults_.featureSilent || length < 8) return -1;
    uint8_t reply[8] = {0x07};
    if (family_ == KeyboardFamily::kB) {
        if (pending_ == Pending::kSlots && readIndex_ < 4) {
            std::array<uint8_t, 28> table = SlotTable();
            std::memcpy(reply + 1, table.data() + 7 * readIndex_, 7);
            ++readIndex_;
        } else if (pending_ == Pending::kVersion) {
            reply[1] = static_cast<uint8_t>(b_.firmwareVersion >> 8);
            reply[2] = static_cast<uint8_t>(b_.firmwareVersion & 0xFF);
        }
    }
    if (faults_.wrongReportId) reply[0] = 0x08;
    if (!Admit(SimReport::kFeatureIn, mode, 1, reply, 8)) return -1;
    std::memcpy(data, reply, 8);
    return 8;
}

bool SimKeyboard::Save(const std::filesystem::path& file) const {
    std::ostringstream out;
    auto hex = [&](const char* name, const uint8_t* bytes, size_t n) {
        out << name;
        for (size_t i = 0; i < n; ++i) out << ' ' << static_cast<int>(bytes[i]);
        out << '\n';
    };
    hex("a.keys", a_.keyTable.data(), a_.keyTable.size());
    hex("a.colours", a_.colourTable.data(), a_.colourTable.size());
    for (const auto& [slot, stream] : a_.macros) hex(("a.macro." + std::to_string(slot)).c_str(), stream.data(), stream.size());
    hex("b.simple.keys", b_.simpleKeys.data(), b_.simpleKeys.size());
    hex("b.simple.codes", b_.simpleCodes.data(), b_.simpleCodes.size());
    for (size_t s = 1; s <= 13; ++s) hex(("b.complex." + std::to_string(s)).c_str(), b_.complexSlots[s].data(), 168);
    hex("a.light.mode", a_.lightMode.data(), a_.lightMode.size());
    hex("a.light.parameters", a_.lightParameters.data(), a_.lightParameters.size());
    hex("b.light.feature", b_.lightFeature.data(), b_.lightFeature.size());
    hex("b.light.wireless", b_.lightWireless.data(), b_.lightWireless.size());
    const uint8_t resets[2] = {static_cast<uint8_t>(a_.resets), static_cast<uint8_t>(b_.resets)};
    hex("resets", resets, 2);
    return WriteFileAtomically(file, out.str());
}

bool SimKeyboard::Load(const std::filesystem::path& file) {
    std::string text;
    if (!ReadFileBytes(file, &text)) return false;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string name;
        words >> name;
        std::vector<uint8_t> bytes;
        int v;
        while (words >> v) bytes.push_back(static_cast<uint8_t>(v));
        auto fill = [&](uint8_t* target, size_t n) { std::memcpy(target, bytes.data(), std::min(n, bytes.size())); };
        if (name == "a.keys") fill(a_.keyTable.data(), a_.keyTable.size());
        else if (name == "a.colours") fill(a_.colourTable.data(), a_.colourTable.size());
        else if (name.rfind("a.macro.", 0) == 0) a_.macros[std::atoi(name.c_str() + 8)] = bytes;
        else if (name == "b.simple.keys") fill(b_.simpleKeys.data(), b_.simpleKeys.size());
        else if (name == "b.simple.codes") fill(b_.simpleCodes.data(), b_.simpleCodes.size());
        else if (name == "a.light.mode") a_.lightMode = bytes;
        else if (name == "a.light.parameters") a_.lightParameters = bytes;
        else if (name == "b.light.feature") b_.lightFeature = bytes;
        else if (name == "b.light.wireless") b_.lightWireless = bytes;
        else if (name == "resets" && bytes.size() == 2) a_.resets = bytes[0], b_.resets = bytes[1];
        else if (name.rfind("b.complex.", 0) == 0) {
            int s = std::atoi(name.c_str() + 10);
            if (s >= 1 && s <= 13) fill(b_.complexSlots[static_cast<size_t>(s)].data(), 168);
        }
    }
    return true;
}

} // namespace vantrel
