#include "Math/MathLog.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "Math/Assume.h"
#include "log_capture.h"

namespace {

// Every line after the message is a call-stack line of the logging functions.
::testing::AssertionResult IsLogStack(const std::string &lines) {
    if (lines.empty()) return ::testing::AssertionFailure() << "no call-stack lines";
    std::istringstream in(lines);
    for (std::string line; std::getline(in, line);) {
        if (line.compare(0, 2, "  ") != 0 || line.find("PrintToConsole") == std::string::npos)
            return ::testing::AssertionFailure() << "unexpected line: " << line;
    }
    return ::testing::AssertionSuccess();
}

struct Output {
    std::string out;
    std::string err;
};

Output Log(unsigned channel, const char *text) {
    Output o;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    math::PrintToConsole(channel, text);
    o.err = testing::internal::GetCapturedStderr();
    o.out = testing::internal::GetCapturedStdout();
    return o;
}

}  // namespace

TEST(PrintToConsole, ChannelsChooseStreamPrefixAndCallStack) {
    struct Case { unsigned channel; bool toStderr; const char *line; bool stack; };
    const Case cases[] = {
        {math::LogError, true, "Error: abc\n", true},
        {math::LogError + math::LogNoCallstack, true, "Error: abc\n", false},
        {math::LogWarning, false, "Warning: abc\n", true},
        {math::LogWarning + math::LogNoCallstack, false, "Warning: abc\n", false},
        {math::LogInfo, false, "abc\n", false},
        {3, false, "abc\n", false},
        {math::LogInfo + math::LogNoCallstack, false, "abc\n", false},
    };
    for (const Case &c : cases) {
        const Output o = Log(c.channel, "abc");
        const std::string &written = c.toStderr ? o.err : o.out;
        EXPECT_EQ(c.toStderr ? o.out : o.err, "") << c.channel;
        const std::string line = c.line;
        ASSERT_EQ(written.compare(0, line.size(), line), 0) << c.channel << ": " << written;
        const std::string rest = written.substr(line.size());
        if (c.stack)
            EXPECT_TRUE(IsLogStack(rest)) << c.channel;
        else
            EXPECT_EQ(rest, "") << c.channel;
    }
}

TEST(PrintToConsoleVariadic, FormatsAndCutsAt2047Characters) {
    EXPECT_EQ(StdoutOf([] { math::PrintToConsoleVariadic(math::LogInfo, "%d-%s", 7, "x"); }), "7-x\n");
    const std::string longText(3000, 'a');
    const std::string written =
        StdoutOf([&] { math::PrintToConsoleVariadic(math::LogInfo, "%s", longText.c_str()); });
    EXPECT_EQ(written, std::string(2047, 'a') + "\n");
    const std::string error = StderrOf([] { math::PrintToConsoleVariadic(math::LogError, "edge %d", 3); });
    EXPECT_EQ(FirstLine(error), "Error: edge 3");
    EXPECT_TRUE(IsLogStack(error.substr(error.find('\n') + 1)));
}

TEST(Callstack, IndentsFramesAndLeavesOutItsOwn) {
    const std::string all = ::GetCallstack("> ", nullptr);
    ASSERT_FALSE(all.empty());
    std::istringstream in(all);
    for (std::string line; std::getline(in, line);) EXPECT_EQ(line.compare(0, 2, "> "), 0) << line;
    EXPECT_EQ(all.find("_Z12GetCallstackPK"), std::string::npos);
    EXPECT_EQ(::GetCallstack("", "GetCallstack"), "");  // no other frame carries the name
    EXPECT_NE(::GetCallstack("", "TestBody").find("TestBody"), std::string::npos);
}

TEST(Assume, LogsTheFixedTextAndGoesOn) {
    const std::string log = StderrOf([] { MATH_ASSUME(1 > 2, "s+1 - str < 256", "Math/float3", 229); });
    EXPECT_EQ(FirstLine(log), "Error: s+1 - str < 256 in Math/float3:229");
    EXPECT_TRUE(IsLogStack(log.substr(log.find('\n') + 1)));
    EXPECT_EQ(StderrOf([] { MATH_ASSUME(2 > 1, "never", "Math/float3", 1); }), "");
}

TEST(Assume, BreakFlagIsRecordedButNotConsulted) {
    EXPECT_FALSE(math::MathBreakOnAssume());
    math::SetMathBreakOnAssume(true);
    EXPECT_TRUE(math::MathBreakOnAssume());
    EXPECT_TRUE(math::AssumeFailed());
    EXPECT_NE(StderrOf([] { MATH_ASSUME(false, "x", "Math/float3", 2); }), "");
    math::SetMathBreakOnAssume(false);
    EXPECT_FALSE(math::AssumeFailed());
}
