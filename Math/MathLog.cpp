#include "Math/MathLog.h"

#include <execinfo.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kMaxFrames = 128;
constexpr size_t kMessageBufferSize = 2048;
// The mangled name of GetCallstack(const char *, const char *): its own frame is left out.
constexpr const char *kOwnFrame = "_Z12GetCallstackPK";
// Only the frames of the logging functions follow a logged error or warning.
constexpr const char *kLogFrameFilter = "PrintToConsole";

}  // namespace

std::string GetCallstack(const char *indent, const char *filter) {
    void *frames[kMaxFrames];
    const int count = backtrace(frames, kMaxFrames);
    char **lines = backtrace_symbols(frames, count);
    std::string text;
    if (!lines) return text;
    for (int i = 0; i < count; ++i) {
        if (strstr(lines[i], kOwnFrame)) continue;
        if (filter && !strstr(lines[i], filter)) continue;
        text += indent;
        text += lines[i];
        text += '\n';
    }
    free(lines);
    return text;
}

namespace math {

void PrintToConsole(unsigned channel, const char *text) {
    const bool withStack = (channel & LogNoCallstack) == 0;
    switch (channel & ~static_cast<unsigned>(LogNoCallstack)) {
    case LogError:
        fprintf(stderr, "Error: %s\n", text);
        if (withStack) fputs(GetCallstack("  ", kLogFrameFilter).c_str(), stderr);
        break;
    case LogWarning:
        printf("Warning: %s\n", text);
        if (withStack) printf("%s", GetCallstack("  ", kLogFrameFilter).c_str());
        break;
    default:
        puts(text);
        break;
    }
}

void PrintToConsoleVariadic(unsigned channel, const char *format, ...) {
    char message[kMessageBufferSize];
    va_list args;
    va_start(args, format);
    vsnprintf(message, sizeof message, format, args);  // cuts and terminates long messages
    va_end(args);
    PrintToConsole(channel, message);
}

}  // namespace math
