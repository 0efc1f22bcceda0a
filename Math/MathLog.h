#pragma once

#include <string>

namespace math {

// Log channels: the first argument of PrintToConsole. Any value that is not an error or a
// warning (with or without LogNoCallstack) is written as plain information.
enum LogChannel : unsigned {
    LogInfo = 1,
    LogError = 2,
    LogWarning = 4,
    LogNoCallstack = 0x10000,  // added to LogError or LogWarning: no call-stack lines
};

// Errors go to standard error as "Error: text", warnings to standard output as
// "Warning: text", each followed by the call-stack lines of the logging functions.
void PrintToConsole(unsigned channel, const char *text);

// Formats into a 2048-byte buffer (longer messages are cut) and logs it with PrintToConsole.
void PrintToConsoleVariadic(unsigned channel, const char *format, ...)
    __attribute__((format(printf, 2, 3)));

}  // namespace math

// The current call stack, one frame symbol line per line, each written as indent + line + "\n".
// Its own frame is left out; with a filter, so is every line that does not contain it.
// Global on purpose: the self-exclusion matches the mangled name of this exact declaration,
// "_Z12GetCallstackPKcS0_". The symbol is named explicitly because libstdc++ would otherwise
// add the ABI tag of its std::string return type to the name.
std::string GetCallstack(const char *indent, const char *filter) __asm__("_Z12GetCallstackPKcS0_");
