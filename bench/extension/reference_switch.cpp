// Ruby's handle on the engine's reference switch, so that the benchmark can time the
// straightforward algorithms beside the indexed ones and compare their results.
#include "bench_functions.h"
#include "convert.h"
#include "engine/reference.h"
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
