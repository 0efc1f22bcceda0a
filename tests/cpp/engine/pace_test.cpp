// Long steps call their hooks while they run: interrupts can leave a step at once, and code
// run by the hooks meets the system's random stream, not the step's own.
#include "engine/pace.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/filters.h"
#include "engine/overlaps.h"
#include "engine/random_draws.h"

namespace {

struct Interrupted : std::runtime_error {
    Interrupted() : std::runtime_error("interrupted") {}
};

// Counts the calls; throws at the given interrupt check; answers the prompt as told.
class ScriptedHooks : public engine::StepHooks {
public:
    int checks = 0, questions = 0, throw_at = -1;
    bool abort = false;
    bool system_stream_seen = true;  // at every check while a step drew from its own
    void check_interrupts() override {
        system_stream_seen = system_stream_seen && engine::system_source_active();
        if (++checks == throw_at) throw Interrupted();
    }
    bool ask_abort(const std::string &) override {
        ++questions;
        return abort;
    }
};

TEST(TimeLimitPrompt, ABudgetSpentAsksAtTheFirstUnitAndOnlyOnce) {
    struct Case { engine::TimeBudget budget; bool abort; int questions; bool aborted, confirmed; };
    const Case cases[] = {
        {{0, 1, false}, true, 1, true, false},
        {{0, 1, false}, false, 1, false, true},
        {{0, 1, true}, true, 0, false, true},    // already confirmed: never asked
        {{1e9, 0, false}, true, 0, false, false},  // a budget never reached
    };
    for (const Case &c : cases) {
        ScriptedHooks hooks;
        hooks.abort = c.abort;
        engine::TimeLimitPrompt prompt(c.budget, hooks);
        bool aborted = false;
        for (int k = 0; k < 100000 && !aborted; ++k) aborted = prompt.aborted();
        EXPECT_EQ(c.questions, hooks.questions);
        EXPECT_EQ(c.aborted, aborted);
        EXPECT_EQ(c.confirmed, prompt.confirmed());
        EXPECT_GE(hooks.checks, 1);
    }
}

std::vector<engine::PointRecord> banded_records(int n) {
    std::vector<engine::PointRecord> records(n);
    for (int i = 0; i < n; ++i) records[i].position = math::float3(0.0f, 0.0f, 6.0f * i / n);
    return records;
}

TEST(Pace, AnInterruptLeavesTheStepAndTheStreamAsPlainCallsLeaveIt) {
    const std::vector<engine::PointRecord> records = banded_records(200000);
    const engine::RangeSettings settings{engine::RangeOf::altitude, {0, 6, 2, 2}, true, false, 5};
    ScriptedHooks counting;
    engine::Pace pace(counting);
    const std::vector<engine::Kept> kept = engine::range_filter(records, settings, pace);
    ASSERT_GT(counting.checks, 3) << "a long step checks for interrupts as it goes";
    EXPECT_TRUE(counting.system_stream_seen);
    EXPECT_LT(kept.size(), records.size());

    ScriptedHooks interrupting;
    interrupting.throw_at = 3;
    engine::Pace stopped(interrupting);
    srand(1);
    EXPECT_THROW(engine::range_filter(records, settings, stopped), Interrupted);
    EXPECT_EQ(3, interrupting.checks);
    // The step seeded with 5 and drew some; the system stream stands after the last of them.
    const int next = rand();
    srand(5);
    bool found = false;
    for (int k = 0; k < 400000 && !found; ++k) found = rand() == next;
    EXPECT_TRUE(found);
}

TEST(Pace, OverlapRemovalChecksAsItGoes) {
    std::vector<engine::Footprint> footprints;
    std::vector<int> order;
    for (int i = 0; i < 100000; ++i) {
        footprints.push_back({math::float3(i * 0.5f, 0.0f, 0.0f), 0.3f});
        order.push_back(i);
    }
    ScriptedHooks hooks;
    hooks.throw_at = 2;
    engine::Pace pace(hooks);
    EXPECT_THROW(engine::remove_overlaps(footprints, order, pace), Interrupted);
}

}  // namespace
