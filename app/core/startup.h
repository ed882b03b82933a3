// Start-up steps that do not need a window.
#pragma once

#include "app/core/settings.h"

namespace vantrel {

// The UI language at start: the stored one, else the user's default. Only Spanish (1034),
// the language the settings page offers, is stored at once when it comes from the default.
int ResolveLanguageId(SettingsStore& settings, int userDefaultLanguageId);

} // namespace vantrel
