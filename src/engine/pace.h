// How long steps keep in touch with their caller while they run.
//
// Reading the process CPU clock is a system call (about 0.2 us), dearer than many a unit of
// work, and an area filter checks millions of units. So a step's loop calls tick() once per
// unit and the clock is read only every stride units: the stride doubles while readings come
// less than a millisecond of CPU time apart and halves when they come further apart, up to a
// cap. At every reading the caller's hooks run: pending interrupts are honoured there, and
// the time-limit prompt asks once the CPU time spent passes the budget. Both come a stride
// late at most: about a millisecond or two while units keep their cost. The first tick
// always reads the clock, so a budget already spent prompts before the first unit.
#pragma once

#include <ctime>
#include <string>

namespace engine {

// What the caller does for a running step. Both may throw to leave the step at once.
class StepHooks {
public:
    virtual ~StepHooks() = default;
    virtual void check_interrupts() = 0;
    // The time-limit question: true when the user chose to abort.
    virtual bool ask_abort(const std::string &warning_text) = 0;
};

// Hooks that do nothing: for the engine's own tests and benchmarks.
StepHooks &no_hooks();

class Pace {
public:
    explicit Pace(StepHooks &hooks);
    void tick() {
        if (--countdown_ <= 0) read_clock();
    }

protected:
    virtual void reading(clock_t now) { (void)now; }
    StepHooks &hooks_;
    const clock_t start_;

private:
    void read_clock();

    clock_t last_reading_;
    long stride_ = 1;
    long countdown_ = 1;  // ticks left until the next reading
};

// The time-limit prompt's settings: [warning seconds, seconds already spent, confirmed].
struct TimeBudget {
    double warning = 0.0;
    double elapsed = 0.0;
    bool confirmed = false;
};

// A pace that also asks the user whether to abort once the budget is spent. Once the user
// has answered, it does not ask again.
class TimeLimitPrompt : public Pace {
public:
    TimeLimitPrompt(const TimeBudget &budget, StepHooks &hooks);

    // Called before each unit of work; true when the user chose to abort.
    bool aborted() {
        tick();
        return aborted_;
    }
    bool confirmed() const { return confirmed_; }

private:
    void reading(clock_t now) override;

    std::string warning_text_;
    double budget_;
    bool confirmed_;
    bool aborted_ = false;
};

// The outcome of a step that the prompt can abort.
template <class Result>
struct Prompted {
    bool aborted = false;
    bool confirmed = false;
    Result result{};
};

}  // namespace engine
