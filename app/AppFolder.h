#pragma once
// The running program's AppFolder and the data files in it. The folder is computed once, on
// the first call, which WinMain makes before anything else runs.
#include <string>

namespace quillet {

// The running executable's full path.
std::string ExecutablePath();
// The running executable's folder, ending in "\".
const std::string& AppFolder();

std::string NotesFileName();    // AppFolder + "notes.txt"
std::string SettingsFileName(); // AppFolder + "quillet.ini"
std::string HelpFileName();     // AppFolder + "quillet.chm"

} // namespace quillet
