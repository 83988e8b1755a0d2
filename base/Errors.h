#pragma once
// The program's failures. Whatever escapes a user command is shown by the application's
// error box with its message; the alarm check's failures are discarded by the tick timer.
#include <stdexcept>
#include <string>

namespace quillet {

struct Exception : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A text that does not read as a date or time, or a date that cannot be encoded.
struct EConvertError : Exception {
    using Exception::Exception;
};

// The notes file could not be created or opened ("Cannot Create ...", "Cannot open file ...").
struct EAdvGridError : Exception {
    using Exception::Exception;
};

// A read or write of an open file failed.
struct EInOutError : Exception {
    using Exception::Exception;
};

// An index outside a list ("Invalid Index").
struct EListError : Exception {
    using Exception::Exception;
};

} // namespace quillet
