#include "prompt.h"

#include <algorithm>
#include <ctime>
#include <locale>
#include <sstream>

#include "ruby_conv.h"
#include "ruby_guard.h"

namespace engine {

static constexpr clock_t kReadingGap = CLOCKS_PER_SEC / 1000;  // 1 ms
static constexpr long kMaxStride = 4096;

// The budget as the user set it, in the default stream format (30, 2.5, 1e+07), whatever
// the host's locale.
static std::string warning_text(double warning) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << warning;
    return out.str();
}

TimeLimitPrompt::TimeLimitPrompt(VALUE receiver, VALUE status) : receiver_(receiver) {
    // Named locals: warning, elapsed and confirmed are read in this order.
    const double warning = read_double(array_entry(status, 0));
    const double elapsed = read_double(array_entry(status, 1));
    confirmed_ = read_flag(array_entry(status, 2));
    warning_text_ = warning_text(warning);
    start_ = last_reading_ = clock();
    budget_ = warning - elapsed;
}

void TimeLimitPrompt::read_clock() {
    const clock_t now = clock();
    const bool close = now - last_reading_ < kReadingGap;
    stride_ = close ? std::min(stride_ * 2, kMaxStride) : std::max(stride_ / 2, 1L);
    countdown_ = stride_;
    last_reading_ = now;
    if (static_cast<double>(now - start_) / 1000000.0 > budget_) ask();
}

// The text shown for a fixed part of the question, from the receiver's translations.
static std::string translation(VALUE receiver, const char *key) {
    const VALUE translations = protect([&] { return rb_iv_get(receiver, "@transl8"); });
    if (!RB_TYPE_P(translations, T_HASH)) throw RubyError(rb_eTypeError, "@transl8 must be a Hash");
    return rb2cstr(hash_value(translations, key));
}

void TimeLimitPrompt::ask() {
    static const ID messagebox = rb_intern("messagebox");
    const std::string before = translation(receiver_, "Computing this setup is taking more than ");
    const std::string after = translation(receiver_, " seconds, do you want to abort?");
    const std::string text = before + warning_text_ + after;
    const VALUE answer = protect([&] {
        return rb_funcall(rb_define_module("UI"), messagebox, 2, rb_utf8_str_new(text.data(), text.size()), INT2FIX(4));
    });
    if (answer == INT2FIX(6)) aborted_ = true;
    else confirmed_ = true;
}

VALUE status_triple(bool aborted, bool confirmed, VALUE records) {
    return protect([&] { return rb_ary_new_from_args(3, aborted ? Qtrue : Qfalse, confirmed ? Qtrue : Qfalse, records); });
}

VALUE aborted_triple() {
    return status_triple(true, false, new_array());
}

}  // namespace engine
