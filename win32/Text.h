#pragma once
// The one boundary between the program's texts, UTF-8 in std::string, and Windows' UTF-16:
// every text goes to and comes from the "W" functions through these. The "A" functions and
// the 8-bit code page would lose every character the code page lacks.
#include <windows.h>

#include <string>
#include <string_view>

namespace quillet::win32 {

// Ill-formed UTF-8 (which the program never makes) becomes U+FFFD, never a lost text.
std::wstring Wide(std::string_view utf8);
// A lone surrogate becomes U+FFFD.
std::string Utf8(std::wstring_view wide);

// A window's text (a caption, a control's content) in UTF-8, and setting it.
std::string WindowText(HWND window);
void SetText(HWND window, std::string_view text);

} // namespace quillet::win32
