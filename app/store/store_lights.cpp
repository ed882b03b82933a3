// Light modes, per-key colours and the music layer.
#include "app/store/store.h"

namespace vantrel {
namespace {

void ReadLight(SQLiteStatement& st, LightRecord* r) {
    r->light_id = st.ColumnInt(0);
    r->profile = st.ColumnInt(1);
    r->name = st.ColumnText(2);
    r->mode = st.ColumnInt(3);
    r->brightness = st.ColumnInt(4);
    r->speed = st.ColumnInt(5);
    r->direction = st.ColumnInt(6);
    r->colorful = st.ColumnInt(7);
    r->colorindex = st.ColumnInt(8);
    r->color_value = st.ColumnInt(9);
    r->config_func = st.ColumnInt(10);
    r->reserved = st.ColumnInt(11);
    r->status = st.ColumnInt(12);
}

} // namespace

int Store::CountLights(int profile) {
    std::lock_guard lock(db_.StoreLock());
    return ReadInt("select count(*) FROM t_light_data WHERE profile = ?", {profile}, 0);
}

int Store::InsertLight(const LightRecord& r) {
    std::lock_guard lock(db_.StoreLock());
    return Insert("INSERT INTO t_light_data(profile, name, mode, brightness, speed, direction, \t\t\t\t\t colorful, "
                  "colorindex, color_value, config_func, reserved, status) \t\t\t\t\t VALUES (?, ?, ?, ?, ?, ?, ?, ?, "
                  "?, ?, ?, ?);",
                  {r.profile, r.name, r.mode, r.brightness, r.speed, r.direction, r.colorful, r.colorindex,
                   r.color_value, r.config_func, r.reserved, r.status});
}

bool Store::UpdateLight(int profile, int mode, const LightRecord& r) {
    std::lock_guard lock(db_.StoreLock());
    return Write("UPDATE t_light_data SET brightness = ?, speed = ?, direction = ?, colorful = ?, colorindex = ?,\t\t\t "
                 "color_value = ?, config_func = ?, reserved = ? WHERE profile = ? AND mode = ?",
                 {r.brightness, r.speed, r.direction, r.colorful, r.colorindex, r.color_value, r.config_func,
                  r.reserved, profile, mode});
}

bool Store::ActivateLight(int profile, int mode) {
    std::lock_guard lock(db_.StoreLock());
    SQLiteAutoTransaction transaction(db_);
    Write("UPDATE t_light_data SET status = ?", {0});
    return Write("UPDATE t_light_data SET status = ? WHERE profile = ? and mode = ?", {1, profile, mode}) &&
           transaction.End();
}

int Store::GetActiveLightMode(int profile) {
    std::lock_guard lock(db_.StoreLock());
    return ReadInt("SELECT mode FROM t_light_data WHERE profile = ? and status = ?", {profile, 1}, 0);
}

bool Store::GetLight(int profile, int mode, LightRecord* out) {
    std::lock_guard lock(db_.StoreLock());
    SQLiteStatement st(db_);
    if (st.Prepare("SELECT * FROM t_light_data WHERE profile = ? AND mode = ?") != SQLITE_OK) return false;
    Bind(st, {profile, mode});
    if (st.Step() != SQLITE_ROW) return false;
    ReadLight(st, out);
    return true;
}

int Store::ListLights(int profile, std::vector<LightRecord>* out) {
    std::lock_guard lock(db_.StoreLock());
    out->clear();
    SQLiteStatement st(db_);
    if (st.Prepare("SELECT * FROM t_light_data WHERE profile = ?") != SQLITE_OK) return 0;
    Bind(st, {profile});
    while (st.Step() == SQLITE_ROW) {
        LightRecord r;
        ReadLight(st, &r);
        out->push_back(std::move(r));
    }
    return static_cast<int>(out->size());
}

int Store::InsertKeyLights(const std::vector<KeyLightRecord>& records) {
    std::lock_guard lock(db_.StoreLock());
    if (!db_.IsOpen()) return 0;
    SQLiteAutoTransaction transaction(db_);
    for (const KeyLightRecord& r : records)
        Insert("INSERT INTO t_key_light_data(profile, light_id, key_code, key_rgb) VALUES (?, ?, ?, ?);",
               {r.profile, r.light_id, r.key_code, r.key_rgb});
    return static_cast<int>(records.size());
}

bool Store::DeleteKeyLights() {
    std::lock_guard lock(db_.StoreLock());
    return Write("DELETE FROM t_key_light_data WHERE light_id = ?", {kKeyColourLightId});
}

int Store::ListKeyLights(int lightId, std::vector<KeyLightRecord>* out) {
    std::lock_guard lock(db_.StoreLock());
    out->clear();
    SQLiteStatement st(db_);
    if (st.Prepare("SELECT * FROM t_key_light_data WHERE light_id = ?") != SQLITE_OK) return 0;
    Bind(st, {lightId});
    while (st.Step() == SQLITE_ROW) {
        KeyLightRecord r;
        r.keylight_id = st.ColumnInt(0);
        r.profile = st.ColumnInt(1);
        r.light_id = st.ColumnInt(2);
        r.key_code = st.ColumnInt(3);
        r.key_rgb = st.ColumnInt(4);
        out->push_back(r);
    }
    return static_cast<int>(out->size());
}

int Store::CountMusicLayers() {
    std::lock_guard lock(db_.StoreLock());
    return ReadInt("select count(*) FROM t_musiclayer_data WHERE profile = ?", {kMusicProfile}, 0);
}

int Store::InsertMusicLayer(std::u16string_view name, int foremode) {
    std::lock_guard lock(db_.StoreLock());
    return Insert("INSERT INTO t_musiclayer_data(profile, name, deviceindex, foremode, fore_amplitude, backmode, "
                  "backb_right, sel) \t\t\t\t\t\t\t\t\t\t\t\t\tVALUES (?, ?, ?, ?, ?, ?, ?, ?);",
                  {kMusicProfile, name, 0, foremode, 300, 0, 100, 0});
}

bool Store::GetMusicLayer(int layerId, MusicLayerRecord* out) {
    std::lock_guard lock(db_.StoreLock());
    SQLiteStatement st(db_);
    if (st.Prepare("SELECT * FROM t_musiclayer_data WHERE layer_id = ?") != SQLITE_OK) return false;
    Bind(st, {layerId});
    if (st.Step() != SQLITE_ROW) return false;
    out->layer_id = st.ColumnInt(0);
    out->profile = st.ColumnInt(1);
    out->name = st.ColumnText(2);
    out->deviceindex = st.ColumnInt(3);
    out->foremode = st.ColumnInt(4);
    out->fore_amplitude = st.ColumnInt(5);
    out->backmode = st.ColumnInt(6);
    out->backb_right = st.ColumnInt(7);
    return true;
}

bool Store::UpdateMusicLayer(const MusicLayerRecord& r) {
    std::lock_guard lock(db_.StoreLock());
    return Write("UPDATE t_musiclayer_data SET deviceindex= ?, foremode= ?, fore_amplitude = ?, backmode= ?, "
                 "backb_right= ? WHERE layer_id = ?",
                 {r.deviceindex, r.foremode, r.fore_amplitude, r.backmode, r.backb_right, kMusicLayerId});
}

bool Store::SelectMusicLayer() {
    std::lock_guard lock(db_.StoreLock());
    SQLiteAutoTransaction transaction(db_);
    Write("UPDATE t_musiclayer_data SET sel = ? WHERE profile = ?", {0, kMusicProfile});
    return Write("UPDATE t_musiclayer_data SET sel = ? WHERE profile = ? AND layer_id = ?",
                 {1, kMusicProfile, kMusicLayerId}) &&
           transaction.End();
}

int Store::GetSelectedMusicLayer() {
    std::lock_guard lock(db_.StoreLock());
    return ReadInt("SELECT layer_id FROM t_musiclayer_data WHERE profile = ? AND sel = ?", {kMusicProfile, 1}, 0);
}

} // namespace vantrel
