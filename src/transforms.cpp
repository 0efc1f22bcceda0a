// Scaling the point records and turning them into instance transformations.
#include "transforms.h"

#include <cmath>
#include <string>
#include <vector>

#include "Geometry/AABB.h"
#include "definitions.h"
#include "module_functions.h"
#include "random_draws.h"
#include "records.h"
#include "reseeding_scope.h"
#include "ruby_conv.h"
#include "ruby_guard.h"

namespace engine {

VALUE float4x4_to_trans(const math::float4x4 &m) {
    VALUE array = rb_ary_new_capa(16);
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) rb_ary_push(array, DBL2NUM(m.At(r, c)));
    return array;
}

math::float4x4 trans_to_float4x4(VALUE array) {
    math::float4x4 m;
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) m.At(r, c) = read_float(array_entry(array, 4 * c + r));
    return m;
}

// A random value between lo and lo + width: (float)(rand() / 2147483647.0) * width + lo.
struct DrawRange {
    float lo = 0.0f, width = 0.0f;

    static DrawRange of(double low, double high) {
        const float l = static_cast<float>(low);
        return {l, static_cast<float>(high) - l};
    }
    static DrawRange percent(double low, double high) {
        const float l = static_cast<float>(low) / 100.0f;
        return {l, static_cast<float>(high) / 100.0f - l};
    }
    float value(int raw) const { return unit_value(raw) * width + lo; }
    float draw() const { return value(rng_next()); }
};

// Six bounds from settings[first] on, read in order: x low, x high, y low, y high, z low, z high.
static void read_draw_ranges(VALUE settings, int first, DrawRange (*make)(double, double), DrawRange &x,
                             DrawRange &y, DrawRange &z) {
    double bound[6];
    for (int k = 0; k < 6; ++k) bound[k] = read_double(array_entry(settings, first + k));
    x = make(bound[0], bound[1]);
    y = make(bound[2], bound[3]);
    z = make(bound[4], bound[5]);
}

// [randomise, axis mode, x low %, x high %, y low %, y high %, z low %, z high %]
struct ScaleSettings {
    bool randomise;
    std::string mode;
    DrawRange x, y, z;

    static ScaleSettings read(VALUE settings) {
        ScaleSettings s;
        s.randomise = read_flag(array_entry(settings, 0));
        s.mode = rb2cstr(array_entry(settings, 1));
        read_draw_ranges(settings, 2, &DrawRange::percent, s.x, s.y, s.z);
        return s;
    }

    // The per-axis factors: one draw shared by all axes ("xyz"), one for x and y and one
    // for z ("xy"), or one per axis, drawn x, y, z.
    math::float3 draw() const {
        const float fx = x.draw();
        const float fy = (mode == "xyz" || mode == "xy") ? fx : y.draw();
        const float fz = mode == "xyz" ? fx : z.draw();
        return math::float3(fx, fy, fz);
    }
};

// The definition records of a container whose element 0 is the list.
static VALUE definition_list(VALUE container) {
    const VALUE list = array_entry(container, 0);
    const int k = array_length(list);
    for (int i = 0; i < k; ++i) check_array(array_entry(list, i));
    return list;
}

// A conversion may run Ruby code that changes the list, so it is checked at every read.
static VALUE definition_slot(VALUE list, int index, long slot) {
    check_definition_index(index, array_length(list));
    return array_entry(array_entry(list, index), slot);
}

// Appends to result a copy of the row with its final scale in slots 2 and 6.
static void scale_row(VALUE result, VALUE row, VALUE definitions, const ScaleSettings &settings) {
    const VALUE copy = append_copy(result, row);
    const int index = read_int(rb_ary_entry(copy, 4));
    math::float3 triple(1.0f, 1.0f, 1.0f);
    if (index != -1) {
        const double s = read_double(rb_ary_entry(copy, 2));
        const double p = read_double(definition_slot(definitions, index, 2));
        const float scale = static_cast<float>(p) / 100.0f * static_cast<float>(s);
        array_store(copy, 2, float_value(scale));
        rng_seed(static_cast<unsigned>(read_int(rb_ary_entry(copy, 3))));
        if (settings.randomise) triple = settings.draw();
    }
    array_store(copy, 6, float3_to_point3d(triple));
}

static VALUE scale(VALUE rows, VALUE definitions, VALUE settings) {
    const ScaleSettings s = ScaleSettings::read(settings);
    const VALUE list = definition_list(definitions);
    const int n = array_length(rows);
    const VALUE result = new_array();
    const ReseedingScope reseeding;  // every record reseeds
    for (int i = 0; i < n; ++i) scale_row(result, array_entry(rows, i), list, s);
    return result;
}

// [on, x low, x high, y low, y high, z low, z high]; the bounds are read even when off.
struct RangeSettings {
    bool on;
    DrawRange x, y, z;

    static RangeSettings read(VALUE settings) {
        RangeSettings s;
        s.on = read_flag(array_entry(settings, 0));
        read_draw_ranges(settings, 1, &DrawRange::of, s.x, s.y, s.z);
        return s;
    }

    // Three numbers are drawn first, then turned into the x, y and z values.
    math::float3 draw() const {
        const int rx = rng_next();
        const int ry = rng_next();
        const int rz = rng_next();
        return math::float3(x.value(rx), y.value(ry), z.value(rz));
    }
};

struct TransformSettings {
    VALUE points, definitions;
    bool scale;
    RangeSettings rotation, translation;
    float pointing;  // percent
    bool swap_yz, mirror, vmirror, quarter_turns;
    std::vector<math::float3> base_points;  // per definition: the centre of its box's bottom face

    static TransformSettings read(VALUE hash) {
        TransformSettings s;
        read_int(hash_value(hash, "seed"));  // checked, not used
        s.points = hash_value(hash, "points");
        s.definitions = definition_list(hash_value(hash, "comp_defs"));
        s.scale = ScaleSettings::read(hash_value(hash, "scale")).randomise;
        s.rotation = RangeSettings::read(hash_value(hash, "rotation"));
        s.translation = RangeSettings::read(hash_value(hash, "translation"));
        s.pointing = read_float(hash_value(hash, "pointing"));
        s.swap_yz = read_flag(hash_value(hash, "swap_yz")) && s.pointing == 100.0f;
        s.mirror = read_flag(hash_value(hash, "mirror"));
        s.vmirror = read_flag(hash_value(hash, "vmirror"));
        s.quarter_turns = read_flag(hash_value(hash, "r90_180_270"));
        for (int k = 0; k < array_length(s.definitions); ++k) {
            const VALUE def = array_entry(s.definitions, k);
            const math::float3 lo = point3d_to_float3(array_entry(def, 4));
            const math::float3 hi = point3d_to_float3(array_entry(def, 5));
            s.base_points.push_back(math::AABB(lo, hi).FaceCenterPoint(4));
        }
        return s;
    }
};

static float round5(float c) { return roundf(c * 100000.0f) / 100000.0f; }

// Turns the instance from world up toward the record's normal, as far as `pointing` says.
static void point_along(math::float4x4 &m, const math::float3 &n, const math::float3 &pivot,
                        const TransformSettings &s) {
    const math::float3 rounded(round5(n.x), round5(n.y), round5(n.z));
    const math::float3 up(0.0f, 0.0f, 1.0f);
    if (rounded.x == 0.0f && rounded.y == 0.0f && rounded.z == 1.0f) return;
    const math::float3 target = up.Lerp(n, s.pointing / 100.0f);
    if (rounded.x == 0.0f && rounded.y == 0.0f && rounded.z == -1.0f)
        m = m * math::float4x4::RotateFromTo(up, target, pivot);
    else if (!s.swap_yz)
        m = m * math::float4x4::LookAt(up, target, m.WorldY(), up);
    else
        m = m * math::float4x4::LookAt(math::float3(0.0f, 1.0f, 0.0f), target, m.WorldZ(), up);
}

// A step that applies with probability 1/4 per draw: at most one of the three, the draws
// stopping at the first that applies. Returns the index applied, or -1.
static int first_quarter_of_three() {
    for (int k = 0; k < 3; ++k)
        if (percentage_draw() <= 25.0f) return k;
    return -1;
}

static math::float4x4 instance_transform(VALUE record, int index, const TransformSettings &s) {
    const math::float3 pos = point3d_to_float3(rb_ary_entry(record, 0));
    const math::float3 n = point3d_to_float3(rb_ary_entry(record, 1));
    const double uniform = read_double(rb_ary_entry(record, 2));
    const int seed = read_int(rb_ary_entry(record, 3));
    read_double(definition_slot(s.definitions, index, 2));  // checked, not used
    const bool centred = rb2cstr(definition_slot(s.definitions, index, 3)) == "center";

    // The base points are those of the definitions as the call began.
    check_definition_index(index, static_cast<int>(s.base_points.size()));
    math::float4x4 m = math::float4x4::identity;
    m.SetTranslatePart(pos);
    math::float3 pivot(0.0f, 0.0f, 0.0f);
    if (centred) {
        pivot = s.base_points[index];
        math::float4x4 base = math::float4x4::identity;
        base.SetTranslatePart(pivot);
        m = m * base.Inverted();
    }
    if (s.pointing > 0.0f) point_along(m, n, pivot, s);
    rng_seed(static_cast<unsigned>(seed));
    if (s.mirror) {
        static const math::float3 mirrors[3] = {{-1, 1, 1}, {1, -1, 1}, {-1, -1, 1}};
        const int k = first_quarter_of_three();
        if (k >= 0) m = m * math::float4x4::Scale(mirrors[k], pivot);
    }
    if (s.vmirror && percentage_draw() <= 50.0f) m = m * math::float4x4::Scale(math::float3(1, 1, -1), pivot);
    if (s.translation.on) {
        const math::float3 t = s.translation.draw();
        m = m * math::float4x4::Translate(t.x, t.y, t.z);
    }
    const float u = static_cast<float>(uniform);
    if (u != 1.0f) m = m * math::float4x4::UniformScale(u, pivot);
    if (s.scale) m = m * math::float4x4::Scale(point3d_to_float3(rb_ary_entry(record, 6)), pivot);
    m = m * math::float4x4::RotateZ(read_float(rb_ary_entry(record, 7)), pivot);
    if (s.rotation.on) {
        const math::float3 a = s.rotation.draw();
        m = m * math::float4x4::RotateX(a.x, pivot);
        m = m * math::float4x4::RotateY(a.y, pivot);
        m = m * math::float4x4::RotateZ(a.z, pivot);
    }
    if (s.quarter_turns) {
        static const float turns[3] = {1.5707964f, 3.1415927f, 4.712389f};
        const int k = first_quarter_of_three();
        if (k >= 0) m = m * math::float4x4::RotateZ(turns[k], pivot);
    }
    return m;
}

static VALUE random_transform(VALUE hash) {
    const TransformSettings s = TransformSettings::read(hash);
    const VALUE result = new_array();
    const int n = array_length(s.points);
    const ReseedingScope reseeding;  // every record reseeds
    for (int j = 0; j < n; ++j) {
        const VALUE record = array_entry(s.points, j);
        check_array(record);
        const int index = read_int(rb_ary_entry(record, 4));
        if (index == -1) continue;
        const math::float4x4 m = instance_transform(record, index, s);
        protect([&] { return rb_ary_push(result, rb_assoc_new(float4x4_to_trans(m), INT2FIX(index))); });
    }
    return result;
}

}  // namespace engine

extern "C" VALUE cpp_scale(VALUE, VALUE rows, VALUE definitions, VALUE settings, VALUE) {
    return engine::guarded([&] { return engine::scale(rows, definitions, settings); });
}

extern "C" VALUE cpp_random_transform(VALUE, VALUE hash) {
    return engine::guarded([&] { return engine::random_transform(hash); });
}
