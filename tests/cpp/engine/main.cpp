// Runs the engine's tests inside an embedded interpreter.
#include <gtest/gtest.h>
#include <ruby.h>

int main(int argc, char **argv) {
    RUBY_INIT_STACK;
    ruby_init();
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    ruby_cleanup(0);
    return result;
}
