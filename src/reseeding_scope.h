// For a step that reseeds the random stream for every record.
//
// Inside the scope, seeding and drawing are computed by SeededRand instead of running the
// system library's warm-up for every seed; the system stream is then brought to where the
// plain srand and rand calls would have left it, whenever the model runs out of draws and
// when the scope ends, also when it ends by an exception. The model is checked against the
// real stream at the scope's first seed and not used when they differ (another C library,
// or a host that switched the generator's state). Ruby code that a conversion runs inside
// the scope finds the system stream where it stood before the last seed.
#pragma once

namespace engine {

class ReseedingScope {
public:
    ReseedingScope();
    ~ReseedingScope();
    ReseedingScope(const ReseedingScope &) = delete;
    ReseedingScope &operator=(const ReseedingScope &) = delete;

private:
    bool active_;
};

}  // namespace engine
