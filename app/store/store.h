// Store: every operation on the tables of the profile database.
//
// Each operation holds the store lock for its whole run, so the UI thread and the device worker
// never interleave statements; none calls another. Without an open database each returns its
// failure value: false, 0, an empty list, or (GetOtherData) its outputs unchanged. Inserts return
// the new row id, 0 when nothing was stored. Text goes into statements only through binds.
#pragma once

#include "app/store/records.h"
#include "app/store/sqlite_db.h"

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

// Fixed rows of the lighting tables: the per-key colour set, and the one music layer of profile 1.
inline constexpr int kKeyColourLightId = 128;
inline constexpr int kMusicProfile = 1;
inline constexpr int kMusicLayerId = 1;
inline constexpr int kMacroFunctionKind = 3;

class Store {
public:
    explicit Store(SQLiteDB& db) : db_(db) {}

    // Default settings
    void WriteDefaultSettings();

    // Profiles
    int InsertProfile(std::u16string_view name, std::u16string_view app);
    bool DeleteProfile(int profile);
    bool RenameProfile(int profile, std::u16string_view name);
    bool GetProfileName(int profile, std::u16string* name);
    int ListProfiles(std::vector<ProfileRecord>* out);
    bool ActivateProfile(int profile);
    int GetActiveProfile();

    // Key functions
    int SaveKeyFunction(const KeyFunctionRecord& record);
    bool GetKeyFunction(int profile, int fnLayer, int keyCode, KeyFunctionRecord* out);
    int ListKeyFunctions(int profile, int fnLayer, std::vector<KeyFunctionRecord>* out);
    void DeleteProfileKeyFunctions(int profile);
    int InsertOtherData(std::u16string_view macroDesc, std::u16string_view param, int type);
    bool GetOtherData(int macroValue, std::u16string* macroDesc, std::u16string* param, int* type);

    // Macros
    int InsertMacro(std::u16string_view name);
    int InsertMacroRecord(const MacroRecord& record);
    bool RenameMacro(int macroId, std::u16string_view name);
    bool UpdateMacroPlayback(const MacroRecord& record);
    bool DeleteMacro(int macroId);
    bool GetPlayTimes(int macroId, int* playTimes);
    bool GetMacro(int macroId, MacroRecord* out);
    int ListMacros(std::vector<MacroRecord>* out);
    int InsertMacroEvent(const MacroEventRecord& record);
    void InsertMacroEvents(const std::vector<MacroEventRecord>& records);
    int ListMacroEvents(int macroId, std::vector<MacroEventRecord>* out);
    bool DeleteMacroEvents(int macroId);
    int CountMacroActions(int macroId);

    // Lighting
    int CountLights(int profile);
    int InsertLight(const LightRecord& record);
    bool UpdateLight(int profile, int mode, const LightRecord& record);
    bool ActivateLight(int profile, int mode);
    int GetActiveLightMode(int profile);
    bool GetLight(int profile, int mode, LightRecord* out);
    int ListLights(int profile, std::vector<LightRecord>* out);
    int InsertKeyLights(const std::vector<KeyLightRecord>& records);
    bool DeleteKeyLights();
    int ListKeyLights(int lightId, std::vector<KeyLightRecord>* out);
    int CountMusicLayers();
    int InsertMusicLayer(std::u16string_view name, int foremode);
    bool GetMusicLayer(int layerId, MusicLayerRecord* out);
    bool UpdateMusicLayer(const MusicLayerRecord& record);
    bool SelectMusicLayer();
    int GetSelectedMusicLayer();

private:
    // One bound parameter.
    struct Value {
        Value(int v) : isText(false), number(v) {}
        Value(std::u16string_view v) : isText(true), text(v) {}
        Value(const std::u16string& v) : isText(true), text(v) {}
        Value(const char16_t* v) : isText(true), text(v) {}
        bool isText;
        int number = 0;
        std::u16string_view text;
    };
    static void Bind(SQLiteStatement& st, std::initializer_list<Value> values);
    // A statement that returns no rows; true when its step gave 0, 100 or 101. Lock held by caller.
    bool Write(const char* sql, std::initializer_list<Value> values);
    // Write, then the new row id, or 0.
    int Insert(const char* sql, std::initializer_list<Value> values);
    // First column of the first row as int; `fallback` when there is none.
    int ReadInt(const char* sql, std::initializer_list<Value> values, int fallback);

    SQLiteDB& db_;
};

} // namespace vantrel
