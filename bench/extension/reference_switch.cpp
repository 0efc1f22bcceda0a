// Ruby's handle on the engine's reference switch, so that the benchmark can time the
// straightforward algorithms beside the indexed ones and compare their results, and on the
// state of the process-wide shuffle engine, so that both start from the same one.
#include <sstream>

#include "bench_functions.h"
#include "convert.h"
#include "engine/reference.h"
#include "engine/shuffle.h"
#include "guard.h"

extern "C" VALUE bench_set_reference(VALUE, VALUE on) {
    return binding::guarded("bench_set_reference", [&] {
        engine::use_reference_algorithms = binding::read_flag(on);
        return on;
    });
}

extern "C" VALUE bench_reference_p(VALUE) {
    return binding::guarded("bench_reference_p", [] { return engine::use_reference_algorithms ? Qtrue : Qfalse; });
}

extern "C" VALUE bench_shuffle_state(VALUE) {
    return binding::guarded("bench_shuffle_state", [] {
        std::ostringstream state;
        state << engine::shuffle_engine();
        return binding::text_value(state.str());
    });
}

extern "C" VALUE bench_set_shuffle_state(VALUE, VALUE text) {
    return binding::guarded("bench_set_shuffle_state", [&] {
        std::istringstream state(binding::read_text(text, binding::Where("state")));
        std::mt19937 engine;
        if (!(state >> engine)) throw binding::RubyError(rb_eArgError, "not a state of the shuffle engine");
        engine::shuffle_engine() = engine;
        return text;
    });
}
