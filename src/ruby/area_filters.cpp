// cpp_areas and cpp_object_areas: copies of the records kept by the outlines given in the
// call or by the stored object footprints, each with its distance to the nearest boundary.
#include "engine/area_filters.h"
#include "engine/custom_axis.h"
#include "convert.h"
#include "guard.h"
#include "host.h"
#include "module_functions.h"
#include "scene_store.h"

namespace binding {

static VALUE prompted_copies(VALUE list, const engine::Prompted<std::vector<engine::Kept>> &out, engine::Pace &pace) {
    if (out.aborted) return status_triple(true, false, new_array());
    return status_triple(false, out.confirmed, kept_copies(list, out.result, kDistance, pace));
}

// Positions and distances; the definition and scale slots must be numbers, though unused.
static const std::vector<engine::PointRecord> &read_area_records(VALUE list, const Where &at, bool check_unused,
                                                                 engine::Pace &pace, RecordMemory &memory) {
    return read_records(list, at, pace, memory, [&](const RecordReader &r, engine::PointRecord &record) {
        record.position = r.position();
        if (check_unused) {
            r.definition();
            r.scale();
        }
        record.distance = r.distance();
    });
}

// Any falloff, or a boundary check that measures, needs the distances.
static bool distances_wanted(VALUE hash, const Where &at) {
    const bool density_falloff = read_flag(hash_value(hash, "area_density_falloff", at));
    const bool scale_falloff = read_flag(hash_value(hash, "area_scale_falloff", at));
    const std::string boundary_check = read_text(hash_value(hash, "boundary_check", at), Where(at, "boundary_check"));
    return density_falloff || scale_falloff || boundary_check == "distance" || boundary_check == "size";
}

// One entry of the curve list: a curve is an Array of segments [Point, Point], an area an
// Array of Points.
static engine::OutlinePoints read_outline(VALUE entry, bool curve, const Where &at) {
    if (!curve) return read_points(entry, at);
    engine::OutlinePoints ends;
    const int n = array_length(entry, at);
    for (int k = 0; k < n; ++k) {
        const Where segment_at(at, k);
        const VALUE segment = array_entry(entry, k, at);
        ends.push_back(read_point(array_entry(segment, 0, segment_at), Where(segment_at, 0L)));
        ends.push_back(read_point(array_entry(segment, 1, segment_at), Where(segment_at, 1L)));
    }
    return ends;
}

static VALUE areas(VALUE receiver, VALUE hash) {
    const Where at("settings");
    engine::AreaSettings settings{};
    const int mode = read_int(hash_value(hash, "include", at), Where(at, "include"));
    settings.mode = mode >= 1 && mode <= 3 ? static_cast<engine::AreaMode>(mode) : engine::AreaMode::other;
    const VALUE points = hash_value(hash, "points", at);
    const VALUE entries = hash_value(hash, "curves", at);
    settings.distances = distances_wanted(hash, at);
    settings.rotate = read_flag(hash_value(hash, "project_custom_axis", at));
    settings.to_frame =
        engine::quat_from_z_to_axis(read_point(hash_value(hash, "custom_axis", at), Where(at, "custom_axis")), false);
    settings.seed = read_int(hash_value(hash, "seed", at), Where(at, "seed"));
    const VALUE warning = hash_value(hash, "global_warning_time", at);
    const VALUE elapsed = hash_value(hash, "elapsed_time", at);
    const VALUE confirmed = hash_value(hash, "confirmed", at);
    const engine::TimeBudget budget{read_double(warning, Where(at, "global_warning_time")),
                                    read_double(elapsed, Where(at, "elapsed_time")), read_flag(confirmed)};

    RubyHooks hooks(receiver);
    engine::TimeLimitPrompt prompt(budget, hooks);  // over the units of work
    engine::Pace pace(hooks);                       // over the reading and the building
    const Where points_at(at, "points"), entries_at(at, "curves");
    // A budget already spent is asked about before any work.
    const bool work = array_length(points, points_at) > 0 && array_length(entries, entries_at) > 0;
    if (work && prompt.aborted()) return status_triple(true, false, new_array());
    VALUE list = snapshot(points, points_at);
    VALUE outline_list = snapshot(entries, entries_at);
    const int entry_count = array_length(outline_list, entries_at);
    std::vector<engine::OutlinePoints> outlines(entry_count);
    for (int y = 0; y < entry_count; ++y)
        outlines[y] = read_outline(array_entry(outline_list, y, entries_at), settings.mode == engine::AreaMode::curves,
                                   Where(entries_at, y));
    RecordMemory memory;
    const std::vector<engine::PointRecord> &records = read_area_records(list, points_at, entry_count > 0, pace, memory);

    const VALUE result = prompted_copies(list, engine::area_filter(records, outlines, settings, prompt), pace);
    RB_GC_GUARD(list);
    RB_GC_GUARD(outline_list);
    return result;
}

static VALUE object_areas(VALUE receiver, VALUE rows, VALUE timing) {
    const Where at("rows");
    const int n = array_length(rows, at);
    RubyHooks hooks(receiver);
    engine::TimeLimitPrompt prompt(read_budget(timing, Where("timing")), hooks);  // over the units of work
    engine::Pace pace(hooks);                                                     // over the reading and the building
    // A budget already spent is asked about before any work; the step then works on the
    // footprints as the answer left them.
    if (n > 0 && prompt.aborted()) return status_triple(true, false, new_array());
    const HeldScene held = hold_scene();
    VALUE list = snapshot(rows, at);
    RecordMemory memory;
    const std::vector<engine::PointRecord> &records = read_area_records(list, at, false, pace, memory);
    const VALUE result =
        prompted_copies(list, engine::object_area_filter(*held.scene->object_areas, records, prompt), pace);
    RB_GC_GUARD(list);
    return result;
}

}  // namespace binding

using binding::guarded;

extern "C" VALUE cpp_areas(VALUE self, VALUE settings) {
    return guarded("cpp_areas", [&] { return binding::areas(self, settings); });
}

extern "C" VALUE cpp_object_areas(VALUE self, VALUE rows, VALUE, VALUE timing) {
    return guarded("cpp_object_areas", [&] { return binding::object_areas(self, rows, timing); });
}
