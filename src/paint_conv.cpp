#include "paint_conv.h"

#include <cmath>
#include <cstdint>
#include <memory>

#include "clipping/IntMath.h"
#include "ruby_conv.h"
#include "ruby_guard.h"

namespace engine {

static constexpr double kScale = 100000.0;

// A scaled coordinate as a clip engine integer, truncated toward zero. Beyond 2^62 the clip
// engine refuses X and Y and the conversion itself would overflow; Z is held to the same
// range. NaN fails the comparison too.
static std::int64_t clip_coordinate(double scaled) {
    if (!(std::fabs(scaled) < 0x1p62)) throw RubyError(rb_eRangeError, "%s", clip::kRangeError);
    return static_cast<std::int64_t>(scaled);
}

static double model_coordinate(std::int64_t c) { return static_cast<double>(c) / kScale; }

clip::IntPoint point3d_to_IntPoint(VALUE p) {
    check_array(p);
    // Named locals: the components are read in order x, y, z.
    const std::int64_t x = clip_coordinate(read_double(rb_ary_entry(p, 0)) * kScale);
    const std::int64_t y = clip_coordinate(read_double(rb_ary_entry(p, 1)) * kScale);
    const std::int64_t z = clip_coordinate(read_double(rb_ary_entry(p, 2)) * kScale);
    return clip::IntPoint(x, y, z);
}

VALUE IntPoint_to_point3d(const clip::IntPoint &pt) {
    return protect([&] {
        const VALUE point = rb_ary_new_capa(3);
        rb_ary_push(point, DBL2NUM(model_coordinate(pt.X)));
        rb_ary_push(point, DBL2NUM(model_coordinate(pt.Y)));
        rb_ary_push(point, DBL2NUM(model_coordinate(pt.Z)));
        return point;
    });
}

math::float3 IntPoint_to_float3(const clip::IntPoint &pt) {
    const float s = static_cast<float>(kScale);
    return math::float3(static_cast<float>(pt.X) / s, static_cast<float>(pt.Y) / s, static_cast<float>(pt.Z) / s);
}

clip::IntPoint float3_to_IntPoint(const math::float3 &v) {
    const float s = static_cast<float>(kScale);
    return clip::IntPoint(clip_coordinate(v.x * s), clip_coordinate(v.z * s), clip_coordinate(v.y * s));
}

clip::IntPoint intpoint_quat_trans(const clip::IntPoint &pt, const math::Quat &q) {
    const math::float3 v =
        q.Transform(math::float3(static_cast<float>(pt.X), static_cast<float>(pt.Y), static_cast<float>(pt.Z)));
    return clip::IntPoint(clip_coordinate(v.x), clip_coordinate(v.y), clip_coordinate(v.z));
}

clip::Path path_from_rb(VALUE ring) {
    const int n = array_length(ring);
    clip::Path path;
    path.reserve(n);
    for (int i = 0; i < n; ++i) path.push_back(point3d_to_IntPoint(rb_ary_entry(ring, i)));
    return path;
}

clip::Paths paths_from_rb(VALUE rings) {
    const int n = array_length(rings);
    clip::Paths paths;
    paths.reserve(n);
    for (int i = 0; i < n; ++i) paths.push_back(path_from_rb(rb_ary_entry(rings, i)));
    return paths;
}

void rotate_path(clip::Path &path, const math::Quat &q) {
    for (clip::IntPoint &pt : path) pt = intpoint_quat_trans(pt, q);
}

VALUE path_to_rb(const clip::Path &path, bool rotate, const math::Quat &q) {
    const VALUE ring = new_array();
    for (const clip::IntPoint &pt : path) array_push(ring, IntPoint_to_point3d(rotate ? intpoint_quat_trans(pt, q) : pt));
    if (!path.empty()) array_push(ring, rb_ary_entry(ring, 0));  // the same object closes the ring
    return ring;
}

VALUE paths_to_rb(const clip::Paths &paths, bool rotate, const math::Quat &q) {
    const VALUE rings = new_array();
    for (const clip::Path &path : paths) array_push(rings, path_to_rb(path, rotate, q));
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

void walk_tree(VALUE tree, const std::function<void(VALUE entry, long depth)> &visit) {
    struct Level {
        long next;
        long length;
    };
    std::vector<Level> levels;
    VALUE lists = new_array();  // lists[d]: the entry list walked at depth d
    auto enter = [&](VALUE list) {
        const int n = array_length(list);
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
        const VALUE entry = array_entry(rb_ary_entry(lists, depth), level.next++);
        check_array(entry);
        visit(entry, depth);
        enter(rb_ary_entry(entry, 2));
    }
    RB_GC_GUARD(lists);
}

VALUE childs_to_rb(const std::vector<clip::PolyNode *> &nodes, bool rotate, const math::Quat &q) {
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
        builder.add(depth, path_to_rb(node.contour, rotate, q), node.IsHole() ? Qtrue : Qfalse);
        if (node.ChildCount() > 0) levels.push_back({&node.childs, 0});
    }
    return builder.tree();
}

std::vector<clip::PolyNode *> &childs_quat_trans(std::vector<clip::PolyNode *> &nodes, const math::Quat &q) {
    std::vector<clip::PolyNode *> pending(nodes.begin(), nodes.end());
    while (!pending.empty()) {
        clip::PolyNode *node = pending.back();
        pending.pop_back();
        rotate_path(node->contour, q);
        pending.insert(pending.end(), node->childs.begin(), node->childs.end());
    }
    return nodes;
}

}  // namespace engine
