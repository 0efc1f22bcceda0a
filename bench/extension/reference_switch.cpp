// Ruby's handle on the engine's reference switch, so that the benchmark can time the
// straightforward algorithms beside the indexed ones and compare their results.
#include "bench_functions.h"
#include "reference.h"
#include "ruby_conv.h"
#include "ruby_guard.h"

extern "C" VALUE bench_set_reference(VALUE, VALUE on) {
    return engine::guarded([&] {
        engine::use_reference_algorithms = engine::read_flag(on);
        return on;
    });
}

extern "C" VALUE bench_reference_p(VALUE) {
    return engine::guarded([] { return engine::use_reference_algorithms ? Qtrue : Qfalse; });
}
