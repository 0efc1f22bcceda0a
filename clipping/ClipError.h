#pragma once

#include <exception>
#include <string>

namespace clip {

// Misuse of the clipping functions (open paths) and internal inconsistencies of the sweep.
class ClipError : public std::exception {
public:
    explicit ClipError(const char* message);
    const char* what() const noexcept override;

private:
    std::string message_;
};

}  // namespace clip
