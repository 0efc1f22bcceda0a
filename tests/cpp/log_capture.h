#pragma once

#include <gtest/gtest.h>

#include <string>

// What a call writes to standard error or standard output, captured around it.
template <typename Call>
std::string StderrOf(Call call) {
    testing::internal::CaptureStderr();
    call();
    return testing::internal::GetCapturedStderr();
}

template <typename Call>
std::string StdoutOf(Call call) {
    testing::internal::CaptureStdout();
    call();
    return testing::internal::GetCapturedStdout();
}

inline std::string FirstLine(const std::string &text) { return text.substr(0, text.find('\n')); }

// The logged message lines, without the indented call-stack lines that follow each of them.
inline std::string WithoutStackLines(const std::string &log) {
    std::string messages;
    for (size_t start = 0; start < log.size();) {
        const size_t end = log.find('\n', start);
        const std::string line = log.substr(start, end - start);
        if (line.compare(0, 2, "  ") != 0) messages += line + "\n";
        start = end == std::string::npos ? log.size() : end + 1;
    }
    return messages;
}
