// The exception type that carries the program's message texts. Every core failure that reaches a
// caller (SDP rendering, session saving, Bluetooth access) is raised as this type.
#pragma once

#include <stdexcept>

namespace orvelle {

// what() is the complete message as the user sees it, for example "Unable to enumerate SDP
// attributes.\n\nError: The data is invalid.\r\n". The text may hold any byte, NUL included.
class EOrvelleError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace orvelle
