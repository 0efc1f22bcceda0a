// cpp_project_down(points, status) -> [aborted, confirmed, records]
#include "engine/projection.h"
#include "convert.h"
#include "guard.h"
#include "host.h"
#include "module_functions.h"
#include "scene_store.h"

namespace binding {

static VALUE project_down(VALUE receiver, VALUE points, VALUE status) {
    RubyHooks hooks(receiver);
    engine::TimeLimitPrompt prompt(read_budget(status, Where("status")), hooks);  // over the units of work
    engine::Pace pace(hooks);                                                     // over the reading and the building
    const Where at("points");
    // A budget already spent is asked about before any work; the step then works on the
    // scene as the answer left it.
    if (array_length(points, at) > 0 && prompt.aborted()) return status_triple(true, false, new_array());
    HeldScene held = hold_scene();
    VALUE list = snapshot(points, at);
    const std::vector<math::float3> positions = read_points(list, at, &pace);

    const auto out = engine::project_down(*held.scene->surface, positions, prompt);

    const VALUE records = build_array(out.result.size(), pace, [&](size_t i) {
        const engine::Projected &p = out.result[i];
        return new_point_record(new_point(p.position), rb_ary_entry(held.normals, p.face), 0.0f);
    });
    RB_GC_GUARD(held.normals);
    RB_GC_GUARD(list);
    return status_triple(out.aborted, out.confirmed, records);
}

}  // namespace binding

extern "C" VALUE cpp_project_down(VALUE self, VALUE points, VALUE status) {
    return binding::guarded("cpp_project_down", [&] { return binding::project_down(self, points, status); });
}
