#include "app/core/startup.h"

namespace vantrel {

int ResolveLanguageId(SettingsStore& settings, int userDefaultLanguageId) {
    int id = settings.ReadLanguageId();
    if (id != 0) return id;
    id = userDefaultLanguageId;
    if (id == kDefaultLanguageId) settings.WriteLanguageId(id);
    return id;
}

} // namespace vantrel
