#pragma once
#include <string>
#include <string_view>

namespace quillet {

// The text of the application's error box: the failure's message with a full stop appended
// when it does not already end with one.
inline std::string ErrorBoxText(std::string_view message) {
    std::string text(message);
    if (text.empty() || text.back() != '.') text += '.';
    return text;
}

} // namespace quillet
