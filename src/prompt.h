// The time-limit prompt of the long steps: once the CPU time spent in a call passes the
// caller's remaining budget, the host asks the user whether to abort.
#pragma once

#include <ruby.h>

#include <ctime>
#include <string>

namespace engine {

// Reading the process CPU clock is a system call (about 0.2 us), dearer than many a unit of
// work, and an area filter checks millions of units. So the check reads the clock only
// every stride units: the stride doubles while readings come less than a millisecond of CPU
// time apart and halves when they come further apart, up to a cap. The prompt then comes a
// stride late at most: about a millisecond or two while units keep their cost, and never
// more than the cap's worth of units. The first check always reads the clock, so a budget
// already spent prompts before the first unit.
class TimeLimitPrompt {
public:
    // status is [warning seconds, seconds already spent, confirmed]; receiver holds "@transl8".
    TimeLimitPrompt(VALUE receiver, VALUE status);

    // Called before each unit of work; true when the user chose to abort. Once the user
    // has answered, the clock is not read again.
    bool aborted() {
        if (!confirmed_ && !aborted_ && --countdown_ <= 0) read_clock();
        return aborted_;
    }
    bool confirmed() const { return confirmed_; }

private:
    void read_clock();
    void ask();

    VALUE receiver_;
    std::string warning_text_;
    double budget_;
    clock_t start_;
    clock_t last_reading_;
    long stride_ = 1;
    long countdown_ = 1;  // checks left until the next reading
    bool confirmed_;
    bool aborted_ = false;
};

// [aborted, confirmed, records]
VALUE status_triple(bool aborted, bool confirmed, VALUE records);

// The status triple of an aborted step: [true, false, []].
VALUE aborted_triple();

}  // namespace engine
