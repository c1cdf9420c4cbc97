// The toolkit's exception family. Handlers let these escape to the
// application's one exception handler, which shows the message in an error
// box; window-free units raise them with a ready, formatted message.
#pragma once

#include <stdexcept>
#include <string>

namespace tk {

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

// A call that is not allowed in the object's current state.
class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

// A text that does not convert to the number or value asked for.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// A file could not be opened, read or written.
class EInOutError : public Exception {
public:
    using Exception::Exception;
};

} // namespace tk
