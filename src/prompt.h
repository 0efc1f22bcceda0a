// The time-limit prompt of the long steps: once the CPU time spent in a call passes the
// caller's remaining budget, the host asks the user whether to abort.
#pragma once

#include <ruby.h>

#include <ctime>
#include <string>

namespace engine {

class TimeLimitPrompt {
public:
    // status is [warning seconds, seconds already spent, confirmed]; receiver holds "@transl8".
    TimeLimitPrompt(VALUE receiver, VALUE status);

    // Called before each unit of work; true when the user chose to abort.
    bool aborted();
    bool confirmed() const { return confirmed_; }

private:
    void ask();

    VALUE receiver_;
    std::string warning_text_;
    double budget_;
    clock_t start_;
    bool confirmed_;
    bool aborted_ = false;
};

// [aborted, confirmed, records]
VALUE status_triple(bool aborted, bool confirmed, VALUE records);

// The status triple of an aborted step: [true, false, []].
VALUE aborted_triple();

}  // namespace engine
