#include "scene.h"

#include "custom_axis.h"
#include "module_functions.h"
#include "ruby_conv.h"
#include "ruby_guard.h"

namespace engine {

std::string surface_type;
std::vector<math::Polygon> surface;
std::vector<math::AABB2D> poly_bboxes;
math::AABB bbox(math::float3(0.0f, 0.0f, 0.0f), math::float3(0.0f, 0.0f, 0.0f));
std::vector<std::vector<math::LineSegment>> curves;
std::vector<std::vector<math::Polygon>> object_areas;
unsigned surface_generation = 0;
unsigned object_areas_generation = 0;

static VALUE surface_normals_store = Qnil;

// Made on first use and registered with the collector, which then marks it (and updates
// its elements when it compacts) for the rest of the process.
static VALUE surface_normals() {
    if (NIL_P(surface_normals_store)) {
        protect([] {
            // Registered before the Array is made: registering allocates, and a collection
            // then must already see the new Array.
            rb_gc_register_address(&surface_normals_store);
            surface_normals_store = rb_ary_new();
            return Qnil;
        });
    }
    return surface_normals_store;
}

VALUE surface_normal(long face) { return rb_ary_entry(surface_normals(), face); }

// Sized to n: entries past n are dropped; new entries hold false until a face fills them.
static void resize_surface_normals(long n) {
    const VALUE normals = surface_normals();
    protect([&] {
        const long old_size = RARRAY_LEN(normals);
        rb_ary_resize(normals, n);
        for (long i = old_size; i < n; ++i) rb_ary_store(normals, i, Qfalse);
        return Qnil;
    });
}

static void store_surface_normal(long face, VALUE normal) {
    const VALUE normals = surface_normals();
    protect([&] {
        rb_ary_store(normals, face, normal);
        return Qnil;
    });
}

// Running x and y bounds over the vertices of one face; a NaN coordinate never replaces one.
struct Bounds2D {
    float minx = 0, maxx = 0, miny = 0, maxy = 0;

    void start(const math::float3 &p) {
        minx = maxx = p.x;
        miny = maxy = p.y;
    }
    void extend(const math::float3 &p) {
        if (p.x < minx) minx = p.x;
        if (p.x > maxx) maxx = p.x;
        if (p.y < miny) miny = p.y;
        if (p.y > maxy) maxy = p.y;
    }
    math::AABB2D record() const {
        math::AABB2D box;
        box.minCorner = math::float2(minx, miny);
        box.maxCorner = math::float2(maxx, maxy);
        return box;
    }
};

static std::vector<math::float3> read_points(VALUE points) {
    const int m = array_length(points);
    std::vector<math::float3> result;
    result.reserve(m);
    for (int j = 0; j < m; ++j) result.push_back(point3d_to_float3(rb_ary_entry(points, j)));
    return result;
}

// Sized to n faces: polygons, bounds and normals together.
static void resize_surface(int n) {
    surface.resize(n);
    poly_bboxes.resize(n);
    resize_surface_normals(n);
}

static VALUE initialize_surface(VALUE faces, VALUE use_axis, VALUE axis) {
    const math::Quat q = quat_from_z_to_axis(point3d_to_float3(axis), false);
    const bool rotate = read_flag(use_axis);
    surface_type = "surface";
    ++surface_generation;
    const int n = array_length(faces);
    resize_surface(n);
    bbox.SetNegativeInfinity();
    Bounds2D bounds;  // carries over from face to face: an empty face keeps the previous bounds
    for (int i = 0; i < n; ++i) {
        const VALUE face = array_entry(faces, i);
        std::vector<math::float3> vertices = read_points(array_entry(face, 0));
        for (size_t j = 0; j < vertices.size(); ++j) {
            if (rotate) vertices[j] = q.Transform(vertices[j]);
            if (j == 0) bounds.start(vertices[j]);
            else bounds.extend(vertices[j]);
        }
        // Converting a coordinate may run Ruby code, even another load: size again.
        if (surface.size() < static_cast<size_t>(n)) resize_surface(n);
        surface[i].vertices = std::move(vertices);
        store_surface_normal(i, rb_ary_entry(face, 1));
        bbox.Enclose(surface[i]);
        poly_bboxes[i] = bounds.record();
    }
    return float_value(bbox.minCorner.x);
}

static VALUE initialize_curves(VALUE rb_curves) {
    surface_type = "curve";
    const int n = array_length(rb_curves);
    curves.resize(n);
    for (int i = 0; i < n; ++i) {
        const std::vector<math::float3> points = read_points(array_entry(rb_curves, i));
        std::vector<math::LineSegment> segments;
        for (size_t j = 1; j < points.size(); ++j) segments.emplace_back(points[j - 1], points[j]);
        if (curves.size() < static_cast<size_t>(n)) curves.resize(n);  // reloaded by a conversion
        curves[i] = std::move(segments);  // a curve of fewer than two points has no segments
    }
    return Qtrue;
}

static VALUE initialize_object_areas(VALUE areas) {
    ++object_areas_generation;
    const int n = array_length(areas);
    object_areas.resize(n);
    for (int i = 0; i < n; ++i) {
        const VALUE object = array_entry(areas, i);
        const int k = array_length(object);
        std::vector<math::Polygon> footprints(k);
        for (int j = 0; j < k; ++j) {
            footprints[j].vertices = read_points(array_entry(object, j));
            for (math::float3 &v : footprints[j].vertices) v.z = 0.0f;
        }
        if (object_areas.size() < static_cast<size_t>(n)) object_areas.resize(n);  // reloaded by a conversion
        object_areas[i] = std::move(footprints);
    }
    return Qtrue;
}

}  // namespace engine

extern "C" VALUE cpp_initialize_surface(VALUE, VALUE faces, VALUE use_axis, VALUE axis) {
    return engine::guarded([&] { return engine::initialize_surface(faces, use_axis, axis); });
}

extern "C" VALUE cpp_initialize_curves(VALUE, VALUE curves) {
    return engine::guarded([&] { return engine::initialize_curves(curves); });
}

extern "C" VALUE cpp_initialize_object_areas(VALUE, VALUE areas) {
    return engine::guarded([&] { return engine::initialize_object_areas(areas); });
}
