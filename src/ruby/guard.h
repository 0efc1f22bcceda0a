// The boundary between Ruby and C++.
//
// A raising Ruby call leaves by longjmp, which would skip the destructors of every C++
// frame it crosses. So raising Ruby APIs are only called through `protect`, which turns a
// Ruby exception into the C++ exception RubyJump; `guarded` runs a module function's body,
// lets the C++ stack unwind, and only then re-raises. Errors the binding or the engine
// detect themselves are thrown as C++ exceptions and raised the same way.
#pragma once

#include <ruby.h>

#include <string>
#include <utility>

namespace binding {

// A Ruby exception caught by rb_protect, carried up the C++ stack. `where` is the place in
// the call's arguments whose conversion raised it, when a reader knows it.
struct RubyJump {
    int state;
    std::string where;
};

// A Ruby exception to raise once the C++ stack has unwound.
class RubyError {
public:
    RubyError(VALUE klass, const char *format, ...) __attribute__((format(printf, 3, 4)));
    VALUE klass() const { return klass_; }
    const char *message() const { return message_; }

private:
    VALUE klass_;
    char message_[256];
};

// Calls f() under rb_protect. f must not throw C++ exceptions: C++ unwinding must not cross
// the interpreter's frames.
template <class F>
VALUE protect(F &&f) {
    using Fn = std::remove_reference_t<F>;
    int state = 0;
    const VALUE result = rb_protect(
        [](VALUE data) -> VALUE { return (*reinterpret_cast<Fn *>(data))(); },
        reinterpret_cast<VALUE>(&f), &state);
    if (state) throw RubyJump{state, {}};
    return result;
}

namespace detail {
// What `guarded` must raise after unwinding. Plain data: it outlives the C++ frames.
struct PendingRaise {
    int jump_state = 0;      // re-raise a caught Ruby exception
    VALUE exception = Qnil;  // or raise this one: the caught exception, told where
    VALUE klass = Qnil;      // or raise klass with message
    char message[256] = {};
};
[[noreturn]] void raise_pending(const PendingRaise &pending);
// Called inside a catch (...) handler; function names the module function for the place.
void record_exception(PendingRaise &pending, const char *function);
}  // namespace detail

// Runs a module function's body; every exception leaves as a Ruby exception, raised only
// after the body's C++ objects are destroyed.
template <class Body>
VALUE guarded(const char *function, Body &&body) {
    detail::PendingRaise pending;
    try {
        return body();
    } catch (...) {
        detail::record_exception(pending, function);
    }
    detail::raise_pending(pending);
}

}  // namespace binding
