// Allocation floors: each builds the Ruby result of one pipeline step at a given size in the
// cheapest way there is (fresh Arrays, each made whole from its values, the outer Array
// sized first and filled a chunk at a time), and computes nothing: the least that handing
// that result to Ruby can cost.
#include <array>
#include <string>

#include "Math/float3.h"
#include "Math/float4x4.h"
#include "bench_functions.h"
#include "convert.h"
#include "engine/pace.h"
#include "guard.h"

using namespace binding;

namespace {

int read_count(VALUE count) {
    const int n = read_int(count, Where("count"));
    if (n < 0) throw RubyError(rb_eArgError, "count must not be negative, got %d", n);
    return n;
}

// How many of the given rows a floor takes: the first count of them.
int read_count_of(VALUE rows, VALUE count) {
    const int available = array_length(rows, Where("rows"));
    const int n = read_count(count);
    if (n > available) throw RubyError(rb_eArgError, "count %d exceeds the %d rows given", n, available);
    return n;
}

// Row i, which must be an Array; raises, so only inside a protect block.
VALUE record_at(VALUE rows, long i) {
    const VALUE row = rb_ary_entry(rows, i);
    rb_check_type(row, T_ARRAY);
    return row;
}

math::float3 nth_point(int i) { return math::float3(static_cast<float>(i)); }

// The slot values a floor writes into every record, held on the stack where the collector
// sees and pins them. A record has eight slots, so eight stores at most.
struct SlotStores {
    std::array<long, 8> slots{};
    std::array<VALUE, 8> values{};
    int count = 0;

    // pairs is [[slot, value], ...]. Every slot is read before any value is taken, since
    // reading a slot may run Ruby code.
    static SlotStores read(VALUE pairs) {
        SlotStores s;
        const Where at("slot_values");
        s.count = array_length(pairs, at);
        if (s.count > 8) throw RubyError(rb_eArgError, "at most 8 slot stores, got %d", s.count);
        for (int j = 0; j < s.count; ++j) {
            const VALUE pair = array_entry(pairs, j, at);
            check_array(pair, Where(at, j));
            s.slots[j] = read_int(rb_ary_entry(pair, 0), Where(Where(at, j), 0L));
        }
        for (int j = 0; j < s.count; ++j) s.values[j] = array_entry(array_entry(pairs, j, at), 1, Where(at, j));
        return s;
    }
};

enum class CopyStep { area_filter, scale };

CopyStep read_copy_step(VALUE step) {
    const std::string name = read_text(step, Where("step"));
    if (name == "area filter") return CopyStep::area_filter;
    if (name == "scale") return CopyStep::scale;
    throw RubyError(rb_eArgError, "step must be \"area filter\" or \"scale\", got \"%.64s\"", name.c_str());
}

// A copy of row as the step returns it: an area filter sets the boundary distance, scaling
// the uniform scale and the per-axis scale.
VALUE step_copy(VALUE row, CopyStep step) {
    const VALUE copy = rb_ary_dup(row);
    if (step == CopyStep::area_filter) {
        rb_ary_store(copy, 5, DBL2NUM(0.5));
    } else {
        rb_ary_store(copy, 2, DBL2NUM(1.0));
        rb_ary_store(copy, 6, new_point(math::float3(1.0f)));
    }
    return copy;
}


// n entries made by make(i), built as the engine builds its results, with no interrupt checks.
template <class Make>
VALUE floor_array(int n, Make &&make) {
    engine::Pace pace(engine::no_hooks());
    return build_array(static_cast<size_t>(n), pace, make);
}

}  // namespace

// As the surface grid: n Points [x, y, z].
extern "C" VALUE bench_points(VALUE, VALUE count) {
    return guarded("bench_points", [&] {
        const int n = read_count(count);
        return floor_array(n, [](size_t i) { return new_point(nth_point(static_cast<int>(i))); });
    });
}

// As projection: [false, true, records], each record [Point, normal, 1.0, nil, nil, nil, nil, 0.0]
// with the one normal object given.
extern "C" VALUE bench_point_records(VALUE, VALUE count, VALUE normal) {
    return guarded("bench_point_records", [&] {
        const int n = read_count(count);
        const VALUE records = floor_array(n, [&](size_t i) {
            return new_point_record(new_point(nth_point(static_cast<int>(i))), normal, 0.0f);
        });
        return status_triple(false, true, records);
    });
}

// Fresh copies of the rows, sharing no storage with them, for the in-place floors to write
// into: a copy that shares its storage would first be copied by the write.
extern "C" VALUE bench_fresh_copies(VALUE, VALUE rows) {
    return guarded("bench_fresh_copies", [&] {
        const int n = array_length(rows, Where("rows"));
        return floor_array(n, [&](size_t i) { return rb_ary_dup(record_at(rows, static_cast<long>(i))); });
    });
}

// As the steps that write into the given records: every row gets each [slot, value] of
// slot_values stored. Returns rows.
extern "C" VALUE bench_store_slots(VALUE, VALUE rows, VALUE slot_values) {
    return guarded("bench_store_slots", [&] {
        const SlotStores stores = SlotStores::read(slot_values);
        const int n = array_length(rows, Where("rows"));
        return protect([&] {
            for (int i = 0; i < n; ++i) {
                const VALUE row = record_at(rows, i);
                for (int j = 0; j < stores.count; ++j) rb_ary_store(row, stores.slots[j], stores.values[j]);
            }
            return rows;
        });
    });
}

// As the steps that return changed copies: copies of the first count rows. step "area filter"
// returns [false, true, copies] with slot 5 set, as the area filters do; "scale" returns the
// copies with slots 2 and 6 set.
extern "C" VALUE bench_copies(VALUE, VALUE rows, VALUE count, VALUE step) {
    return guarded("bench_copies", [&] {
        const CopyStep kind = read_copy_step(step);
        const int n = read_count_of(rows, count);
        const VALUE copies = floor_array(n, [&](size_t i) { return step_copy(record_at(rows, static_cast<long>(i)), kind); });
        return kind == CopyStep::area_filter ? status_triple(false, true, copies) : copies;
    });
}

// As the filters that return the surviving records themselves: the first count rows.
extern "C" VALUE bench_selection(VALUE, VALUE rows, VALUE count) {
    return guarded("bench_selection", [&] {
        const int n = read_count_of(rows, count);
        return floor_array(n, [&](size_t i) { return RARRAY_AREF(rows, static_cast<long>(i)); });
    });
}

// As the instance transformations: n items [[16 Floats], definition index].
extern "C" VALUE bench_transform_items(VALUE, VALUE count) {
    return guarded("bench_transform_items", [&] {
        const int n = read_count(count);
        return floor_array(n, [](size_t) { return rb_assoc_new(new_transform(math::float4x4::identity), INT2FIX(0)); });
    });
}
