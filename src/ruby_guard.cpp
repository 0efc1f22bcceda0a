#include "ruby_guard.h"

#include <cstdarg>
#include <cstdio>
#include <stdexcept>

namespace engine {

RubyError::RubyError(VALUE klass, const char *format, ...) : klass_(klass) {
    va_list args;
    va_start(args, format);
    vsnprintf(message_, sizeof message_, format, args);
    va_end(args);
}

namespace detail {

static void set_message(PendingRaise &pending, VALUE klass, const char *text) {
    pending.klass = klass;
    snprintf(pending.message, sizeof pending.message, "%s", text);
}

void record_exception(PendingRaise &pending) {
    try {
        throw;
    } catch (const RubyJump &jump) {
        pending.jump_state = jump.state;
    } catch (const RubyError &error) {
        set_message(pending, error.klass(), error.message());
    } catch (const std::bad_alloc &) {
        set_message(pending, rb_eNoMemError, "failed to allocate memory");
    } catch (const std::out_of_range &error) {
        set_message(pending, rb_eRangeError, error.what());
    } catch (const std::invalid_argument &error) {
        set_message(pending, rb_eArgError, error.what());
    } catch (const std::exception &error) {
        set_message(pending, rb_eRuntimeError, error.what());
    } catch (const char *text) {
        set_message(pending, rb_eRangeError, text);
    } catch (...) {
        set_message(pending, rb_eRuntimeError, "unknown C++ exception");
    }
}

void raise_pending(const PendingRaise &pending) {
    if (pending.jump_state) rb_jump_tag(pending.jump_state);
    rb_raise(pending.klass, "%s", pending.message);
}

}  // namespace detail
}  // namespace engine
