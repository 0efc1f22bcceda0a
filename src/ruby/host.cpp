#include "host.h"

#include "collector_hold.h"
#include "convert.h"
#include "guard.h"

namespace binding {

bool host_says_yes(const std::string &text) {
    static const ID messagebox = rb_intern("messagebox");
    const VALUE answer = protect([&] {
        return rb_funcall(rb_define_module("UI"), messagebox, 2, rb_utf8_str_new(text.data(), text.size()), INT2FIX(4));
    });
    return answer == INT2FIX(6);
}

bool write_line(const char *msg) {
    try {
        VALUE line = text_value(std::string(msg) + "\n");
        protect([&] { return rb_funcall(rb_gv_get("$stdout"), rb_intern("write"), 1, line); });
        RB_GC_GUARD(line);
        return true;
    } catch (const std::bad_alloc &) {  // a failing $stdout stays the caller's Ruby exception
        return false;
    }
}

void RubyHooks::check_interrupts() {
    const CollectorHold::Pause pause;  // other threads may run here
    protect([] {
        rb_thread_check_ints();
        return Qnil;
    });
}

// The text shown for a fixed part of the question, from the receiver's translations.
static std::string translation(VALUE receiver, const char *key) {
    const VALUE translations = protect([&] { return rb_iv_get(receiver, "@transl8"); });
    if (!RB_TYPE_P(translations, T_HASH)) throw RubyError(rb_eTypeError, "@transl8 must be a Hash");
    const Where at("@transl8");
    return read_text(hash_value(translations, key, at), Where(at, key));
}

bool RubyHooks::ask_abort(const std::string &warning_text) {
    const CollectorHold::Pause pause;  // the host's Ruby code runs here
    const std::string before = translation(receiver_, "Computing this setup is taking more than ");
    const std::string after = translation(receiver_, " seconds, do you want to abort?");
    return host_says_yes(before + warning_text + after);
}

}  // namespace binding
