// Runs engine code the way the interpreter would call a module function, and reports the
// Ruby exception it raised, if any.
#pragma once

#include <ruby.h>

#include <string>

#include "guard.h"

namespace engine_test {

struct Outcome {
    VALUE result = Qnil;
    VALUE error = Qnil;  // the raised exception, nil when none
    std::string error_class() const { return NIL_P(error) ? "" : rb_obj_classname(error); }
    std::string message() const {
        if (NIL_P(error)) return "";
        VALUE text = rb_funcall(error, rb_intern("message"), 0);
        return std::string(RSTRING_PTR(text), RSTRING_LEN(text));
    }
};

// Runs body inside binding::guarded, itself under rb_protect as the interpreter's frame would.
template <class Body>
Outcome call_module_function(Body body) {
    Outcome outcome;
    int state = 0;
    outcome.result = rb_protect(
        [](VALUE data) -> VALUE { return binding::guarded("test_call", *reinterpret_cast<Body *>(data)); },
        reinterpret_cast<VALUE>(&body), &state);
    if (state) {
        outcome.error = rb_errinfo();
        rb_set_errinfo(Qnil);
    }
    return outcome;
}

inline VALUE eval(const char *source) { return rb_eval_string(source); }

}  // namespace engine_test
