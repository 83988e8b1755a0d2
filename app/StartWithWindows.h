#pragma once
// Starting with Windows: the current user's Run key holds a value "Quillet" with the
// executable's full path, quoted. Nothing is written there unless the user asks, so the program
// stays portable; a copy moved elsewhere finds the value pointing to the old place.
#include <string>

namespace quillet {

// Whether Windows starts the program at `exe` (a full path) when the user signs in.
bool StartsWithWindows(const std::string& exe);
// Points the value at exe, or removes it. Throws Exception with the system's reason when the
// registry refuses.
void SetStartWithWindows(const std::string& exe, bool start);

} // namespace quillet
