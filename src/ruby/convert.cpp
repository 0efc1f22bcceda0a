#include "convert.h"

#include <ruby/encoding.h>

#include <algorithm>
#include <climits>

#include "engine/paint_areas.h"
#include "guard.h"

namespace binding {

std::string Where::text() const {
    std::vector<const Where *> chain;
    for (const Where *w = this; w; w = w->parent_) chain.push_back(w);
    std::string out = chain.back()->key_;
    for (auto w = chain.rbegin() + 1; w != chain.rend(); ++w)
        out += (*w)->key_ ? "[\"" + std::string((*w)->key_) + "\"]" : "[" + std::to_string((*w)->index_) + "]";
    return out;
}

// Runs f, naming `at` as the place of a Ruby exception that leaves it unnamed.
template <class F>
static auto at_place(const Where &at, F &&f) -> decltype(f()) {
    try {
        return f();
    } catch (RubyJump &jump) {
        if (jump.where.empty()) jump.where = at.text();
        throw;
    }
}

void raise_not_of_type(VALUE v, ruby_value_type type, const Where &at) {
    at_place(at, [&] {
        protect([&] {
            rb_check_type(v, type);  // raises with the interpreter's own message
            return Qnil;
        });
    });
}

int array_length(VALUE ary, const Where &at) {
    check_array(ary, at);
    const long n = RARRAY_LEN(ary);
    if (n > INT_MAX) throw RubyError(rb_eRangeError, "array length %ld too big to convert to `int'", n);
    return static_cast<int>(n);
}

VALUE array_entry(VALUE ary, long i, const Where &at) {
    check_array(ary, at);
    return entry_of(ary, i);
}

VALUE hash_value(VALUE hash, const char *key, const Where &at) {
    check_hash(hash, at);
    // A Hash with a default proc runs Ruby code on a missing key.
    return at_place(Where(at, key), [&] { return protect([&] { return rb_hash_aref(hash, rb_str_new_cstr(key)); }); });
}

// A long Array's sub-array shares its entries until one of the two is changed, which then
// copies them: no copy at all when neither is.
VALUE snapshot(VALUE ary, const Where &at) {
    check_array(ary, at);
    return protect([&] { return rb_ary_subseq(ary, 0, RARRAY_LEN(ary)); });
}

bool plain_double(VALUE v, double &d) {
    if (RB_FIXNUM_P(v)) {
        d = static_cast<double>(FIX2LONG(v));
        return true;
    }
    if (!RB_FLOAT_TYPE_P(v)) return false;
    d = RFLOAT_VALUE(v);
    return true;
}

double read_double(VALUE v, const Where &at) {
    double d = 0;
    if (plain_double(v, d)) return d;
    at_place(at, [&] {
        protect([&] {
            d = rb_num2dbl(v);
            return Qnil;
        });
    });
    return d;
}

float read_float(VALUE v, const Where &at) { return static_cast<float>(read_double(v, at)); }

int read_int(VALUE v, const Where &at) {
    if (RB_FIXNUM_P(v)) {
        const long n = FIX2LONG(v);
        if (n >= INT_MIN && n <= INT_MAX) return static_cast<int>(n);
    }
    long n = 0;
    at_place(at, [&] {
        protect([&] {
            n = rb_num2int(v);  // raises RangeError with the interpreter's message
            return Qnil;
        });
    });
    return static_cast<int>(n);
}

bool read_flag(VALUE v) { return RTEST(v); }

std::string read_text(VALUE v, const Where &at) {
    const char *text = nullptr;
    at_place(at, [&] {
        protect([&] {
            text = rb_string_value_cstr(&v);
            return Qnil;
        });
    });
    std::string copy(text, RSTRING_LEN(v));
    RB_GC_GUARD(v);
    return copy;
}

math::float3 read_point(VALUE p, const Where &at) {
    check_array(p, at);
    // Named locals: the components are read in order x, y, z.
    const float x = read_float(entry_of(p, 0), Where(at, 0L));
    const float y = read_float(entry_of(p, 1), Where(at, 1L));
    const float z = read_float(entry_of(p, 2), Where(at, 2L));
    return math::float3(x, y, z);
}

bool plain_point(VALUE p, math::float3 &point) {
    if (!RB_TYPE_P(p, T_ARRAY)) return false;
    double x, y, z;
    if (!plain_double(entry_of(p, 0), x) || !plain_double(entry_of(p, 1), y) || !plain_double(entry_of(p, 2), z))
        return false;
    point = math::float3(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
    return true;
}

std::vector<math::float3> read_points(VALUE points, const Where &at, engine::Pace *pace) {
    const int m = array_length(points, at);
    std::vector<math::float3> result;
    result.reserve(m);
    for (int j = 0; j < m; ++j) {
        if (pace) pace->tick();
        Prefetch::ahead<Depth::object>(points, j);
        result.push_back(read_point(entry_of(points, j), Where(at, j)));
    }
    return result;
}

RecordReader::RecordReader(VALUE rows, long i, const Where &rows_at)
    : row_(array_entry(rows, i, rows_at)), at_(rows_at, i) {
    check_array(row_, at_);
}

math::float3 RecordReader::plan_axis_scale() const {
    const Where at(at_, kAxisScale);
    const VALUE axis_scale = slot(kAxisScale);
    const float sx = read_float(array_entry(axis_scale, 0, at), Where(at, 0L));
    const float sy = read_float(array_entry(axis_scale, 1, at), Where(at, 1L));
    return math::float3(sx, sy, 1.0f);
}

// The memory of the largest call so far, while no call holds it.
static std::vector<engine::PointRecord> &kept_record_memory() {
    static std::vector<engine::PointRecord> kept;
    return kept;
}

RecordMemory::RecordMemory() { records_.swap(kept_record_memory()); }

RecordMemory::~RecordMemory() {
    std::vector<engine::PointRecord> &kept = kept_record_memory();
    if (records_.capacity() > kept.capacity()) records_.swap(kept);
}

std::vector<engine::Definition> read_definitions(VALUE list, unsigned fields, const Where &at) {
    const int n = array_length(list, at);
    std::vector<engine::Definition> definitions(n);
    for (int i = 0; i < n; ++i) {
        const Where def_at(at, i);
        const VALUE def = array_entry(list, i, at);
        check_array(def, def_at);
        engine::Definition &d = definitions[i];
        if (fields & kReadOrigin) d.centred = read_text(rb_ary_entry(def, kOrigin), Where(def_at, kOrigin)) == "center";
        if (fields & kReadBox) {
            d.box_min = read_point(rb_ary_entry(def, kBoxMin), Where(def_at, kBoxMin));
            d.box_max = read_point(rb_ary_entry(def, kBoxMax), Where(def_at, kBoxMax));
        }
        if (fields & kReadScale) d.scale_percent = read_double(rb_ary_entry(def, kScalePercent), Where(def_at, kScalePercent));
        if (fields & kReadWeight) d.weight = read_float(rb_ary_entry(def, kWeight), Where(def_at, kWeight));
    }
    return definitions;
}

math::float4x4 read_transform(VALUE array, const Where &at) {
    math::float4x4 m;
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            const long k = 4 * c + r;
            m.At(r, c) = read_float(array_entry(array, k, at), Where(at, k));
        }
    return m;
}

VALUE new_transform(const math::float4x4 &m) {
    VALUE columns[16];  // on the stack, where the collector sees the Floats made so far
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) columns[4 * c + r] = DBL2NUM(m.At(r, c));
    return rb_ary_new_from_values(16, columns);
}

engine::TimeBudget read_budget(VALUE status, const Where &at) {
    // Named locals: warning, elapsed and confirmed are read in this order.
    const double warning = read_double(array_entry(status, 0, at), Where(at, 0L));
    const double elapsed = read_double(array_entry(status, 1, at), Where(at, 1L));
    const bool confirmed = read_flag(array_entry(status, 2, at));
    return {warning, elapsed, confirmed};
}

// ---------------------------------------------------------------- outlines

static clip::IntPoint read_clip_point(VALUE p, const Where &at) {
    check_array(p, at);
    // Named locals: the components are read in order x, y, z.
    const std::int64_t x = engine::clip_coordinate_of(read_double(rb_ary_entry(p, 0), Where(at, 0L)));
    const std::int64_t y = engine::clip_coordinate_of(read_double(rb_ary_entry(p, 1), Where(at, 1L)));
    const std::int64_t z = engine::clip_coordinate_of(read_double(rb_ary_entry(p, 2), Where(at, 2L)));
    return clip::IntPoint(x, y, z);
}

clip::Path read_path(VALUE ring, const Where &at) {
    const int n = array_length(ring, at);
    clip::Path path;
    path.reserve(n);
    for (int i = 0; i < n; ++i) path.push_back(read_clip_point(rb_ary_entry(ring, i), Where(at, i)));
    return path;
}

clip::Paths read_paths(VALUE rings, const Where &at) {
    const int n = array_length(rings, at);
    clip::Paths paths;
    paths.reserve(n);
    for (int i = 0; i < n; ++i) paths.push_back(read_path(rb_ary_entry(rings, i), Where(at, i)));
    return paths;
}

static VALUE clip_point_value(const clip::IntPoint &pt) {
    return protect([&] {
        const VALUE xyz[3] = {DBL2NUM(engine::model_coordinate(pt.X)), DBL2NUM(engine::model_coordinate(pt.Y)),
                              DBL2NUM(engine::model_coordinate(pt.Z))};
        return rb_ary_new_from_values(3, xyz);
    });
}

VALUE path_value(const clip::Path &path, bool rotate, const math::Quat &q) {
    const VALUE ring = new_array();
    for (const clip::IntPoint &pt : path)
        array_push(ring, clip_point_value(rotate ? engine::intpoint_quat_trans(pt, q) : pt));
    if (!path.empty()) array_push(ring, rb_ary_entry(ring, 0));  // the same object closes the ring
    return ring;
}

VALUE paths_value(const clip::Paths &paths, bool rotate, const math::Quat &q) {
    const VALUE rings = new_array();
    for (const clip::Path &path : paths) array_push(rings, path_value(path, rotate, q));
    return rings;
}

TreeBuilder::TreeBuilder() : levels_(new_array()) { array_push(levels_, new_array()); }

void TreeBuilder::add(long depth, VALUE ring, VALUE is_hole) {
    protect([&] {
        const VALUE children = rb_ary_new();
        rb_ary_push(rb_ary_entry(levels_, depth), rb_ary_new_from_args(3, ring, is_hole, children));
        rb_ary_store(levels_, depth + 1, children);
        return Qnil;
    });
    RB_GC_GUARD(ring);
}

VALUE TreeBuilder::tree() const { return rb_ary_entry(levels_, 0); }

void walk_tree(VALUE tree, const Where &at, const std::function<void(VALUE entry, long depth)> &visit) {
    struct Level {
        long next;
        long length;
    };
    std::vector<Level> levels;
    VALUE lists = new_array();  // lists[d]: the entry list walked at depth d
    auto enter = [&](VALUE list) {
        const int n = array_length(list, at);
        if (n == 0) return;
        if (levels.size() == static_cast<std::size_t>(kMaxTreeDepth))
            throw RubyError(rb_eArgError, "outline tree nested deeper than %d levels", kMaxTreeDepth);
        protect([&] {
            rb_ary_store(lists, static_cast<long>(levels.size()), list);
            return Qnil;
        });
        levels.push_back({0, n});
    };
    enter(tree);
    while (!levels.empty()) {
        Level &level = levels.back();
        if (level.next == level.length) {
            levels.pop_back();
            continue;
        }
        const long depth = static_cast<long>(levels.size()) - 1;
        const VALUE entry = array_entry(rb_ary_entry(lists, depth), level.next++, at);
        check_array(entry, at);
        visit(entry, depth);
        enter(rb_ary_entry(entry, 2));
    }
    RB_GC_GUARD(lists);
}

VALUE tree_value(const std::vector<clip::PolyNode *> &nodes, bool rotate, const math::Quat &q) {
    struct Level {
        const std::vector<clip::PolyNode *> *nodes;
        std::size_t next;
    };
    // An explicit stack: a result may nest as deeply as its input.
    std::vector<Level> levels{{&nodes, 0}};
    TreeBuilder builder;
    while (!levels.empty()) {
        Level &level = levels.back();
        if (level.next == level.nodes->size()) {
            levels.pop_back();
            continue;
        }
        const clip::PolyNode &node = *(*level.nodes)[level.next++];
        const long depth = static_cast<long>(levels.size()) - 1;
        builder.add(depth, path_value(node.contour, rotate, q), node.IsHole() ? Qtrue : Qfalse);
        if (node.ChildCount() > 0) levels.push_back({&node.childs, 0});
    }
    return builder.tree();
}

// ---------------------------------------------------------------- builders

VALUE new_array(long capacity) {
    return protect([&] { return rb_ary_new_capa(capacity); });
}

void array_push(VALUE ary, VALUE value) {
    protect([&] { return rb_ary_push(ary, value); });
}

void array_store(VALUE ary, long i, VALUE value, const Where &at) {
    check_array(ary, at);
    at_place(at, [&] {
        protect([&] {
            rb_ary_store(ary, i, value);
            return Qnil;
        });
    });
}

VALUE float_value(double d) {
    return protect([&] { return DBL2NUM(d); });
}

VALUE text_value(const std::string &text) {
    return protect([&] { return rb_utf8_str_new(text.data(), static_cast<long>(text.size())); });
}

VALUE new_point(const math::float3 &v) {
    const VALUE xyz[3] = {DBL2NUM(v.x), DBL2NUM(v.y), DBL2NUM(v.z)};
    return rb_ary_new_from_values(3, xyz);
}

VALUE point_value(const math::float3 &v) {
    return protect([&] { return new_point(v); });
}

VALUE kept_copies(VALUE list, const std::vector<engine::Kept> &kept, RecordSlot slot, engine::Pace &pace) {
    const long n = static_cast<long>(kept.size());
    const auto row = [&](long k) { return RARRAY_AREF(list, kept[k].index); };
    return build_array(kept.size(), pace, [&](size_t i) {
        Prefetch::ahead<Depth::storage>(static_cast<long>(i), n, row);
        const engine::Kept &k = kept[i];
        const VALUE copy = rb_ary_dup(rb_ary_entry(list, k.index));
        if (k.changed) rb_ary_store(copy, slot, DBL2NUM(k.value));
        return copy;
    });
}

VALUE new_point_record(VALUE position, VALUE normal, float heading) {
    const VALUE slots[kRecordSlots] = {position, normal, DBL2NUM(1.0), Qnil, Qnil, Qnil, Qnil, DBL2NUM(heading)};
    return rb_ary_new_from_values(kRecordSlots, slots);
}

VALUE point_records(const std::vector<engine::GeneratedPoint> &points, engine::Pace &pace) {
    return build_array(points.size(), pace, [&](size_t i) {
        const engine::GeneratedPoint &p = points[i];
        return new_point_record(new_point(p.position), new_point(p.normal), p.heading);
    });
}

VALUE bare_points(const std::vector<engine::GeneratedPoint> &points, engine::Pace &pace) {
    return build_array(points.size(), pace, [&](size_t i) { return new_point(points[i].position); });
}

VALUE status_triple(bool aborted, bool confirmed, VALUE records) {
    return protect([&] { return rb_ary_new_from_args(3, aborted ? Qtrue : Qfalse, confirmed ? Qtrue : Qfalse, records); });
}

}  // namespace binding
