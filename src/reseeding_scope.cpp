#include "reseeding_scope.h"

#include <cstdlib>
#include <optional>

#include "random_draws.h"
#include "seeded_rand.h"

namespace engine {

namespace {

// The stream inside the scope: in step with the system library's, or ahead of it by the
// model's seed and the draws taken from the model since.
struct Deferral {
    std::optional<SeededRand> ahead;
    bool checked = false;
    bool trusted = false;

    void catch_up() {
        if (!ahead) return;
        srand(ahead->seed());
        for (int k = 0; k < ahead->drawn(); ++k) rand();
        ahead.reset();
    }

    // Seeds the real stream, which stays in step, and tells whether the model agrees with it.
    bool model_agrees(unsigned seed) {
        srand(seed);
        const int real = rand();
        srand(seed);
        return SeededRand(seed).next() == real;
    }

    void seed(unsigned s) {
        if (!checked) {
            checked = true;
            trusted = model_agrees(s);
            return;
        }
        if (!trusted) {
            srand(s);
            return;
        }
        ahead.emplace(s);
    }

    int next() {
        if (ahead && ahead->exhausted()) catch_up();
        return ahead ? ahead->next() : rand();
    }
};

Deferral deferral;

int deferred_next() { return deferral.next(); }
void deferred_seed(unsigned seed) { deferral.seed(seed); }

}  // namespace

// Only over the system library's own stream: C++ tests that script the stream keep it, and
// a scope inside a scope leaves the outer one in charge.
ReseedingScope::ReseedingScope() : active_(system_source_active()) {
    if (!active_) return;
    deferral = Deferral{};
    set_random_source({&deferred_next, &deferred_seed});
}

ReseedingScope::~ReseedingScope() {
    if (!active_) return;
    deferral.catch_up();
    reset_random_source();
}

}  // namespace engine
