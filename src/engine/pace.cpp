#include "pace.h"

#include <algorithm>
#include <locale>
#include <sstream>

#include "reseeding_scope.h"

namespace engine {

static constexpr clock_t kReadingGap = CLOCKS_PER_SEC / 1000;  // 1 ms
static constexpr long kMaxStride = 4096;

namespace {
class NoHooks : public StepHooks {
public:
    void check_interrupts() override {}
    bool ask_abort(const std::string &) override { return false; }
};
}  // namespace

StepHooks &no_hooks() {
    static NoHooks hooks;
    return hooks;
}

Pace::Pace(StepHooks &hooks) : hooks_(hooks), start_(clock()), last_reading_(start_) {}

void Pace::read_clock() {
    const clock_t now = clock();
    const bool close = now - last_reading_ < kReadingGap;
    stride_ = close ? std::min(stride_ * 2, kMaxStride) : std::max(stride_ / 2, 1L);
    countdown_ = stride_;
    last_reading_ = now;
    // Code outside the step may run meanwhile: it must not draw from the step's stream.
    const ReseedingScope::Pause pause;
    hooks_.check_interrupts();
    reading(now);
}

// The budget as the user set it, in the default stream format (30, 2.5, 1e+07), whatever
// the host's locale.
static std::string warning_text(double warning) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << warning;
    return out.str();
}

TimeLimitPrompt::TimeLimitPrompt(const TimeBudget &budget, StepHooks &hooks)
    : Pace(hooks),
      warning_text_(warning_text(budget.warning)),
      budget_(budget.warning - budget.elapsed),
      confirmed_(budget.confirmed) {}

void TimeLimitPrompt::reading(clock_t now) {
    if (confirmed_ || aborted_) return;
    if (!(static_cast<double>(now - start_) / 1000000.0 > budget_)) return;
    if (hooks_.ask_abort(warning_text_)) aborted_ = true;
    else confirmed_ = true;
}

}  // namespace engine
