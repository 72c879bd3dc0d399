// The program's error types: each carries the text that the error display shows.
#pragma once
#include <stdexcept>
#include <string>

namespace fw {

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& text) : std::runtime_error(text) {}
};

// A text that does not read as the number or time it should be.
class EConvertError : public Exception { using Exception::Exception; };
// A file that cannot be opened for reading.
class EFOpenError : public Exception { using Exception::Exception; };
// A file that cannot be created.
class EFCreateError : public Exception { using Exception::Exception; };
// The system ran out of a resource (timers).
class EOutOfResources : public Exception { using Exception::Exception; };
// A resource missing from the executable: a fault of the build.
class EResNotFound : public Exception { using Exception::Exception; };
// A registry key or value that cannot be opened, read or written.
class ERegistryException : public Exception { using Exception::Exception; };

// The program's policy for guarded blocks: the first failure ends the block
// silently and the caller goes on with its next step.
template <typename Fn>
bool Guarded(Fn&& block) noexcept
{
    try {
        block();
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace fw
