// Errors the engine finds in its input. The binding raises each as the matching exception
// of the caller's language, with the message as it stands.
#pragma once

#include <exception>
#include <string>

namespace engine {

enum class ErrorKind { argument, range, index, runtime };

class Error : public std::exception {
public:
    Error(ErrorKind kind, std::string message) : kind_(kind), message_(std::move(message)) {}
    ErrorKind kind() const { return kind_; }
    const char *what() const noexcept override { return message_.c_str(); }

private:
    ErrorKind kind_;
    std::string message_;
};

// Throws an Error whose message is the printf-style format filled in.
[[noreturn]] void fail(ErrorKind kind, const char *format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace engine
