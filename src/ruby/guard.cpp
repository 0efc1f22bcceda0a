#include "guard.h"

#include <cstdarg>
#include <cstdio>
#include <stdexcept>

#include "engine/error.h"

namespace binding {

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

static VALUE engine_error_class(engine::ErrorKind kind) {
    switch (kind) {
        case engine::ErrorKind::argument: return rb_eArgError;
        case engine::ErrorKind::range: return rb_eRangeError;
        case engine::ErrorKind::index: return rb_eIndexError;
        case engine::ErrorKind::runtime: break;
    }
    return rb_eRuntimeError;
}

// The conversion errors, which are told where they arose; any other exception (an
// interrupt, a caller's own class) leaves as it was raised.
static bool told_where(VALUE klass) {
    return klass == rb_eTypeError || klass == rb_eArgError || klass == rb_eRangeError || klass == rb_eIndexError ||
           klass == rb_eFloatDomainError || klass == rb_eFrozenError;
}

// The caught exception again, its message led by the function and the argument's place.
static void record_jump(PendingRaise &pending, const RubyJump &jump, const char *function) {
    pending.jump_state = jump.state;
    const VALUE error = rb_errinfo();
    if (jump.where.empty() || !RB_TYPE_P(error, T_OBJECT) || !told_where(rb_obj_class(error))) return;
    try {
        pending.exception = protect([&] {
            const VALUE message = rb_funcall(error, rb_intern("message"), 0);
            const VALUE text = rb_sprintf("%s: %s: %" PRIsVALUE, function, jump.where.c_str(), message);
            return rb_exc_new_str(rb_obj_class(error), text);
        });
    } catch (const RubyJump &) {
        pending.exception = Qnil;  // the original exception then
        rb_set_errinfo(error);
    }
}

void record_exception(PendingRaise &pending, const char *function) {
    try {
        throw;
    } catch (const RubyJump &jump) {
        record_jump(pending, jump, function);
    } catch (const RubyError &error) {
        set_message(pending, error.klass(), error.message());
    } catch (const engine::Error &error) {
        set_message(pending, engine_error_class(error.kind()), error.what());
    } catch (const std::bad_alloc &) {
        set_message(pending, rb_eNoMemError, "failed to allocate memory");
    } catch (const std::out_of_range &error) {
        set_message(pending, rb_eRangeError, error.what());
    } catch (const std::invalid_argument &error) {
        set_message(pending, rb_eArgError, error.what());
    } catch (const std::exception &error) {
        set_message(pending, rb_eRuntimeError, error.what());
    } catch (...) {
        set_message(pending, rb_eRuntimeError, "unknown C++ exception");
    }
}

void raise_pending(const PendingRaise &pending) {
    if (!NIL_P(pending.exception)) rb_exc_raise(pending.exception);
    if (pending.jump_state) rb_jump_tag(pending.jump_state);
    rb_raise(pending.klass, "%s", pending.message);
}

}  // namespace detail
}  // namespace binding
