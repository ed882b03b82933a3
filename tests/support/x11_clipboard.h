// A test's view of the X11 clipboard, kept apart from GoogleTest (X11 defines None and Bool).
#pragma once

#include <string>

namespace vantrel::testing {

// Waits for a clipboard owner and pastes its text as UTF-8, as an application would.
std::string PasteFromClipboard();
bool ClipboardHasOwner();

} // namespace vantrel::testing
