#include "convert.h"

#include <gtest/gtest.h>

#include <cmath>
#include <new>
#include <stdexcept>

#include "ruby_test_support.h"

using engine_test::call_module_function;
using engine_test::eval;

namespace {

TEST(PointConversion, ReadsNumbersAsFloatsAndWritesThemWidened) {
    const auto out = call_module_function([] {
        return binding::point_value(binding::read_point(eval("[0.1, 0, 2**40]"), binding::Where("point")));
    });
    ASSERT_TRUE(NIL_P(out.error)) << out.message();
    ASSERT_EQ(3, RARRAY_LEN(out.result));
    EXPECT_EQ(0.10000000149011612, RFLOAT_VALUE(rb_ary_entry(out.result, 0)));
    EXPECT_TRUE(RB_FLOAT_TYPE_P(rb_ary_entry(out.result, 1)));
    EXPECT_EQ(1099511627776.0, RFLOAT_VALUE(rb_ary_entry(out.result, 2)));
}

struct FailureCase {
    const char *what;
    const char *source;    // the Ruby value handed to the reader
    int reader;            // which reader to apply
    const char *error_class;
    const char *message_part;
};

VALUE apply_reader(int reader, VALUE v) {
    const binding::Where at("value");
    switch (reader) {
        case 0: return binding::point_value(binding::read_point(v, at));
        case 1: return INT2NUM(binding::read_int(v, at));
        case 2: return DBL2NUM(binding::read_double(v, at));
        case 3: return rb_str_new_cstr(binding::read_text(v, at).c_str());
        case 4: return binding::hash_value(v, "key", at);
        default: return INT2NUM(binding::array_length(v, at));
    }
}

TEST(Readers, MalformedValuesRaiseTheInterpretersErrors) {
    const FailureCase cases[] = {
        {"two-element point", "[1, 2]", 0, "TypeError", "nil"},
        {"nil point", "nil", 0, "TypeError", "wrong argument type nil (expected Array)"},
        {"string component", "[1, '2', 3]", 0, "TypeError", "from string"},
        {"int beyond 32 bits", "2**31", 1, "RangeError", "too big"},
        {"int below 32 bits", "-2**31 - 1", 1, "RangeError", "too small"},
        {"bignum int", "2**70", 1, "RangeError", "bignum too big"},
        {"nil int", "nil", 1, "TypeError", "nil"},
        {"nil number", "nil", 2, "TypeError", "nil"},
        {"true number", "true", 2, "TypeError", "true"},
        {"string number", "'1.5'", 2, "TypeError", "from string"},
        {"non-string", ":sym", 3, "TypeError", "Symbol"},
        {"string with NUL", "\"a\\0b\"", 3, "ArgumentError", "null byte"},
        {"non-hash", "[]", 4, "TypeError", "expected Hash"},
        {"non-array length", "{}", 5, "TypeError", "expected Array"},
    };
    for (const auto &c : cases) {
        const VALUE v = eval(c.source);
        const auto out = call_module_function([&] { return apply_reader(c.reader, v); });
        EXPECT_EQ(c.error_class, out.error_class()) << c.what;
        EXPECT_NE(std::string::npos, out.message().find(c.message_part)) << c.what << ": " << out.message();
    }
}

// The message leads with the function and the place of the value that failed; the rest is
// the interpreter's own.
TEST(Readers, AFailureNamesTheFunctionAndThePlace) {
    struct Case {
        const char *source;
        int reader;  // 0: a point, 1: a record's scale, 2: a Hash's "points" as an Array
        const char *error_class;
        const char *leading;
    };
    const Case cases[] = {
        {"nil", 0, "TypeError", "test_call: value: wrong argument type nil (expected Array)"},
        {"[1, nil, 3]", 0, "TypeError", "test_call: value[1]: "},
        {"[[[0, 0, 0], nil, 1.0], [[0, 0, 0], nil, 'x']]", 1, "TypeError", "test_call: rows[1][2]: "},
        {"[[[0, 0, 0], nil, 1.0], 5]", 1, "TypeError", "test_call: rows[1]: wrong argument type Integer (expected Array)"},
        {"{}", 2, "TypeError", "test_call: settings[\"points\"]: wrong argument type nil (expected Array)"},
    };
    for (const auto &c : cases) {
        const VALUE v = eval(c.source);
        const auto out = call_module_function([&] {
            if (c.reader == 0) return binding::point_value(binding::read_point(v, binding::Where("value")));
            if (c.reader == 1) {
                const binding::Where at("rows");
                for (int i = 0; i < binding::array_length(v, at); ++i) binding::RecordReader(v, i, at).scale();
                return Qnil;
            }
            const binding::Where at("settings");
            binding::array_length(binding::hash_value(v, "points", at), binding::Where(at, "points"));
            return Qnil;
        });
        EXPECT_EQ(c.error_class, out.error_class()) << c.source;
        EXPECT_EQ(0u, out.message().find(c.leading)) << c.source << ": " << out.message();
    }
}

struct ValueCase {
    const char *source;
    int reader;
    double expected;
};

TEST(Readers, AcceptWhatTheInterpreterConverts) {
    const ValueCase cases[] = {
        {"3.7", 1, 3},            // Floats truncate to ints
        {"-3.7", 1, -3},
        {"2**31 - 1", 1, 2147483647},
        {"Rational(1, 4)", 2, 0.25},
        {"2**64", 2, 18446744073709551616.0},
        {"[1, 2, 3]", 5, 3},
    };
    for (const auto &c : cases) {
        const VALUE v = eval(c.source);
        const auto out = call_module_function([&] { return apply_reader(c.reader, v); });
        ASSERT_TRUE(NIL_P(out.error)) << c.source << ": " << out.message();
        EXPECT_EQ(c.expected, NUM2DBL(out.result)) << c.source;
    }
}

TEST(Readers, HashValueUnderAStringKeyAndNilWhenMissing) {
    const VALUE hash = eval("{'key' => 5, :other => 6}");
    EXPECT_EQ(INT2FIX(5), call_module_function([&] { return binding::hash_value(hash, "key", binding::Where("hash")); }).result);
    EXPECT_EQ(Qnil, call_module_function([&] { return binding::hash_value(hash, "other", binding::Where("hash")); }).result);
}

TEST(Readers, FlagsFollowRubyTruthiness) {
    const char *on[] = {"0", "''", "[]", "true"};
    const char *off[] = {"nil", "false"};
    for (const char *s : on) EXPECT_TRUE(binding::read_flag(eval(s))) << s;
    for (const char *s : off) EXPECT_FALSE(binding::read_flag(eval(s))) << s;
}

// Counts destructions, to show that a raise never skips a C++ destructor.
struct Tracked {
    static int alive;
    Tracked() { ++alive; }
    ~Tracked() { --alive; }
};
int Tracked::alive = 0;

TEST(Guard, RubyExceptionsLeaveOnlyAfterTheCppStackUnwound) {
    const auto out = call_module_function([] {
        Tracked t;
        return INT2NUM(binding::read_int(eval("nil"), binding::Where("value")));
    });
    EXPECT_EQ("TypeError", out.error_class());
    EXPECT_EQ(0, Tracked::alive);
}

TEST(Guard, CppExceptionsBecomeRubyExceptions) {
    struct Case {
        void (*thrower)();
        const char *error_class;
        const char *message;
    };
    const Case cases[] = {
        {[] { throw std::bad_alloc(); }, "NoMemoryError", "failed to allocate memory"},
        {[] { throw std::runtime_error("broken"); }, "RuntimeError", "broken"},
        {[] { throw binding::RubyError(rb_eIndexError, "index %d", 7); }, "IndexError", "index 7"},
    };
    for (const auto &c : cases) {
        const auto out = call_module_function([&] {
            Tracked t;
            c.thrower();
            return Qnil;
        });
        EXPECT_EQ(c.error_class, out.error_class());
        EXPECT_EQ(c.message, out.message());
        EXPECT_EQ(0, Tracked::alive);
    }
}

}  // namespace
