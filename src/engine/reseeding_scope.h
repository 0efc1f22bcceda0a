// For a step that seeds and draws from the random stream.
//
// Inside the scope, seeding and drawing run on a stream of the step's own: the first draws
// after a seed are computed by SeededRand instead of running the system library's warm-up
// for every seed, the later ones by the library's generator on a state of the scope's own.
// The system stream is brought to where the plain srand and rand calls would have left it
// when the scope ends, also when it ends by an exception. So Ruby code that runs while the
// step waits (another thread, the time-limit prompt) neither changes the step's draws nor
// sees them, and finds the system stream where it stood before the step's first seed.
// The model is checked against the real stream at the scope's first seed and not used when
// they differ (another C library, or a host that switched the generator's state); the step
// then draws from the system stream itself.
#pragma once

#include <memory>

namespace engine {

class ReseedingScope {
public:
    ReseedingScope();
    ~ReseedingScope();
    ReseedingScope(const ReseedingScope &) = delete;
    ReseedingScope &operator=(const ReseedingScope &) = delete;

    // While one lives, seeds and draws go to the system stream again; the scope that was
    // active takes over once more when it ends. For waiting on code outside the step.
    class Pause {
    public:
        Pause();
        ~Pause();
        Pause(const Pause &) = delete;
        Pause &operator=(const Pause &) = delete;

    private:
        void *paused_;
    };

    struct Deferral;  // the scope's stream

private:
    std::unique_ptr<Deferral> deferral_;  // null when another source is in charge
};

}  // namespace engine
