// Per-point seeds and the dealing of definitions: both update the given records in place.
// A record that fails to convert stops the step there: the records before it keep their
// update, the ones after it are untouched. The records are written, not the Array that
// holds them, so they are read from the Array itself: an entry that a conversion removed
// reads as nil, which is refused.
#include <algorithm>

#include "engine/seeds.h"
#include "convert.h"
#include "guard.h"
#include "host.h"
#include "module_functions.h"

namespace binding {

// An unfrozen Array, which rb_ary_store updates without raising.
static bool takes_stores(VALUE row) { return RB_TYPE_P(row, T_ARRAY) && !RB_OBJ_FROZEN(row); }

// Updates records 0 to n - 1, a block at a time under one protection: store(i) updates
// record i unless it cannot take the update (not an Array, frozen), when checked(i) updates
// it the checked way, raising with the record's place.
template <class Store, class Checked>
static void store_blocks(int n, engine::Pace &pace, Store &&store, Checked &&checked) {
    constexpr int kBlock = 64;  // records updated between two ticks
    int i = 0;
    while (i < n) {
        pace.tick();
        const int end = std::min(n, i + kBlock);
        protect([&] {
            while (i < end && store(i)) ++i;
            return Qnil;
        });
        if (i < end) checked(i++);
    }
}

// A record whose row can take its seed and whose position is plain numbers is updated inside
// the block; any other the checked way.
static VALUE points_seeds(VALUE rows, VALUE seed) {
    RubyHooks hooks;
    engine::Pace pace(hooks);
    const Where at("rows");
    const int n = array_length(rows, at);
    const int s = read_int(seed, Where("seed"));
    store_blocks(n, pace, [&](int i) {
        const VALUE row = entry_of(rows, i);
        math::float3 position;
        if (!takes_stores(row) || !plain_point(entry_of(row, kPosition), position))
            return false;
        rb_ary_store(row, kSeed, INT2FIX(engine::point_seed(s, position)));
        return true;
    }, [&](int i) {
        const RecordReader r(rows, i, at);
        const int point_seed = engine::point_seed(s, r.position());
        array_store(r.row(), kSeed, INT2FIX(point_seed), Where(Where(at, i), kSeed));
    });
    return rows;
}

static VALUE points_defs(VALUE settings) {
    RubyHooks hooks;
    engine::Pace pace(hooks);
    const Where at("settings");
    // Every key is fetched first, in this order.
    const VALUE points = hash_value(settings, "points", at);
    const VALUE defs = hash_value(settings, "defs", at);
    const VALUE total = hash_value(settings, "probability_total", at);
    hash_value(settings, "clusters", at);
    hash_value(settings, "clusters_perturb", at);
    const VALUE clusters_size = hash_value(settings, "clusters_size", at);
    const VALUE clusters_blur = hash_value(settings, "clusters_blur", at);
    const VALUE clusters_noise = hash_value(settings, "clusters_noise", at);
    const VALUE seed = hash_value(settings, "seed", at);
    const Where points_at(at, "points"), defs_at(at, "defs");
    const int n = array_length(points, points_at);
    const int k = array_length(defs, defs_at);
    std::vector<float> weights;
    float probability_total = 0.0f;
    if (k != 0) {
        for (const engine::Definition &d : read_definitions(defs, kReadWeight, defs_at)) weights.push_back(d.weight);
        probability_total = read_float(total, Where(at, "probability_total"));
    }
    const int s = read_int(seed, Where(at, "seed"));
    // The cluster settings must be numbers, though no cluster is drawn from them.
    read_double(clusters_size, Where(at, "clusters_size"));
    read_double(clusters_blur, Where(at, "clusters_blur"));
    read_double(clusters_noise, Where(at, "clusters_noise"));

    const std::vector<int> dealt = engine::deal_definitions(weights, probability_total, n, s);

    const VALUE no_distance = float_value(-1.0);
    store_blocks(n, pace, [&](int i) {
        Prefetch::ahead<Depth::storage>(points, i);
        const VALUE row = rb_ary_entry(points, i);
        if (!takes_stores(row)) return false;
        rb_ary_store(row, kDefinition, INT2FIX(dealt[i]));
        rb_ary_store(row, kDistance, no_distance);
        return true;
    }, [&](int i) {
        const Where row_at(points_at, i);
        const VALUE row = array_entry(points, i, points_at);
        array_store(row, kDefinition, INT2FIX(dealt[i]), row_at);
        array_store(row, kDistance, no_distance, row_at);
    });
    return points;
}

}  // namespace binding

extern "C" VALUE cpp_points_seeds(VALUE, VALUE rows, VALUE seed) {
    return binding::guarded("cpp_points_seeds", [&] { return binding::points_seeds(rows, seed); });
}

extern "C" VALUE cpp_points_defs(VALUE, VALUE settings) {
    return binding::guarded("cpp_points_defs", [&] { return binding::points_defs(settings); });
}
