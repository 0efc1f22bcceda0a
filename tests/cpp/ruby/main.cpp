// Runs the engine's tests inside an embedded interpreter.
#include <gtest/gtest.h>
#include <ruby.h>

// The interpreter leaves its heap to the process exit by design: leak reports would only
// show its allocations. Read by AddressSanitizer at start-up; unused otherwise.
extern "C" const char *__asan_default_options() { return "detect_leaks=0"; }

int main(int argc, char **argv) {
    RUBY_INIT_STACK;
    ruby_init();
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    ruby_cleanup(0);
    return result;
}
