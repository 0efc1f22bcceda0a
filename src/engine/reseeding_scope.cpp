#include "reseeding_scope.h"

#include <cstdint>
#include <cstdlib>
#include <optional>

#include "random_draws.h"
#include "seeded_rand.h"

namespace engine {

// The scope's stream: in step with the system library's, or ahead of it by the seed and
// the draws taken since.
struct ReseedingScope::Deferral {
    bool checked = false;
    bool trusted = false;
    bool ahead = false;
    unsigned seed = 0;
    long drawn = 0;
    std::optional<SeededRand> model;  // the first draws after the seed
    bool stepping = false;            // past the model: the generator on the state below
    random_data data{};
    char state[128];  // the system library's default state size

    void catch_up() {
        if (!ahead) return;
        srand(seed);
        for (long k = 0; k < drawn; ++k) rand();
        ahead = false;
    }

    // Seeds the real stream, and tells whether the model agrees with it.
    static bool model_agrees(unsigned s) {
        srand(s);
        const int real = rand();
        srand(s);
        return SeededRand(s).next() == real;
    }

    void reseed(unsigned s) {
        if (!checked) {
            checked = true;
            trusted = model_agrees(s);
        }
        if (!trusted) {
            srand(s);
            return;
        }
        ahead = true;
        seed = s;
        drawn = 0;
        model.emplace(s);
        stepping = false;
    }

    int next() {
        if (!ahead) return rand();
        ++drawn;
        if (!model->exhausted()) return model->next();
        std::int32_t value;
        if (!stepping) {
            data = random_data{};
            initstate_r(seed, state, sizeof state, &data);
            for (int k = 0; k < SeededRand::kDraws; ++k) random_r(&data, &value);
            stepping = true;
        }
        random_r(&data, &value);
        return value;
    }
};

namespace {

ReseedingScope::Deferral *active = nullptr;

}  // namespace

static int deferred_next() { return active->next(); }
static void deferred_seed(unsigned seed) { active->reseed(seed); }

static void take_over(ReseedingScope::Deferral *deferral) {
    active = deferral;
    set_random_source({&deferred_next, &deferred_seed});
}

static void hand_back() {
    active = nullptr;
    reset_random_source();
}

// Only over the system library's own stream: C++ tests that script the stream keep it, and
// a scope inside a scope leaves the outer one in charge.
ReseedingScope::ReseedingScope() : deferral_(system_source_active() ? std::make_unique<Deferral>() : nullptr) {
    if (deferral_) take_over(deferral_.get());
}

ReseedingScope::~ReseedingScope() {
    if (!deferral_) return;
    hand_back();
    deferral_->catch_up();
}

ReseedingScope::Pause::Pause() : paused_(active) {
    if (active) hand_back();
}

ReseedingScope::Pause::~Pause() {
    if (paused_) take_over(static_cast<Deferral *>(paused_));
}

}  // namespace engine
