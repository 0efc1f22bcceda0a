// The one reading and writing path between Ruby values and the engine's values.
//
// Every reader checks the shape it needs before touching the object (a nil where an Array
// is expected raises TypeError instead of crashing the interpreter) and converts the common
// immediates inline; anything else goes through the interpreter's own conversion under
// rb_protect, so its exceptions and messages are Ruby's. Each reader is told where its
// value sits in the call's arguments; a failing one names that place, which is put into
// words only then. The builders make Ruby objects under protection; the `new_` ones make
// them without, for use inside a protect block.
#pragma once

#include <ruby.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "Math/float3.h"
#include "Math/Quat.h"
#include "Math/float4x4.h"
#include "clipping/Path.h"
#include "clipping/PolyTree.h"
#include "collector_hold.h"
#include "engine/pace.h"
#include "engine/records.h"
#include "guard.h"
#include "prefetch.h"

namespace binding {

// The slots of a point record: [position, normal, scale, seed, definition, distance,
// axis scale, heading].
enum RecordSlot : long {
    kPosition = 0,
    kNormal = 1,
    kScale = 2,
    kSeed = 3,
    kDefinition = 4,
    kDistance = 5,
    kAxisScale = 6,
    kHeading = 7,
    kRecordSlots = 8,
};

// The slots of a definition record: [name, weight, scale percent, origin, box min, box max].
enum DefinitionSlot : long {
    kWeight = 1,
    kScalePercent = 2,
    kOrigin = 3,
    kBoxMin = 4,
    kBoxMax = 5,
};

// Where a value sits in the call's arguments: an argument, an element of an Array or a
// value of a Hash under a key. A chain of stack objects; put into words only on failure,
// as `rows[12][6]` or `settings["points"]`.
class Where {
public:
    explicit Where(const char *argument) : parent_(nullptr), key_(argument), index_(-1) {}
    Where(const Where &parent, long index) : parent_(&parent), key_(nullptr), index_(index) {}
    Where(const Where &parent, const char *key) : parent_(&parent), key_(key), index_(-1) {}
    std::string text() const;

private:
    const Where *parent_;
    const char *key_;
    long index_;
};

// Arrays and Hashes. The checks are inline: a step checks every record and point it reads.
void raise_not_of_type(VALUE v, ruby_value_type type, const Where &at);  // TypeError in the interpreter's words
inline void check_array(VALUE v, const Where &at) {
    if (!RB_TYPE_P(v, T_ARRAY)) raise_not_of_type(v, T_ARRAY, at);
}
inline void check_hash(VALUE v, const Where &at) {
    if (!RB_TYPE_P(v, T_HASH)) raise_not_of_type(v, T_HASH, at);
}
// Entry i >= 0 of an Array, nil past its end: rb_ary_entry, inline.
inline VALUE entry_of(VALUE ary, long i) { return i < RARRAY_LEN(ary) ? RARRAY_AREF(ary, i) : Qnil; }
int array_length(VALUE ary, const Where &at);           // TypeError unless an Array; RangeError past int
VALUE array_entry(VALUE ary, long i, const Where &at);  // nil past the end; at: the Array's place
VALUE hash_value(VALUE hash, const char *key, const Where &at);  // under a String key, nil when missing
// The Array's entries as they are now, kept apart from the Array itself: a conversion that
// changes the Array later changes nothing read from it.
VALUE snapshot(VALUE ary, const Where &at);

// Scalars.
// Integers and Floats, read without calling Ruby code and without raising: false for any
// other value, which only read_double reads.
bool plain_double(VALUE v, double &d);
double read_double(VALUE v, const Where &at);  // Integer, Float or anything Float() accepts numerically
float read_float(VALUE v, const Where &at);    // read_double narrowed to the nearest float
int read_int(VALUE v, const Where &at);        // 32-bit; RangeError outside, Floats truncated
bool read_flag(VALUE v);                       // Ruby truthiness
std::string read_text(VALUE v, const Where &at);  // TypeError for a non-String, ArgumentError for a NUL byte

// Points: [x, y, z], read in that order.
math::float3 read_point(VALUE p, const Where &at);
// A Point of plain numbers, as read_point reads it; false for anything else. Calls no Ruby
// code and raises nothing, so that it may run inside a protected block.
bool plain_point(VALUE p, math::float3 &point);
// With a pace, the reading ticks it once per point: long inputs stay interruptible.
std::vector<math::float3> read_points(VALUE ary, const Where &at, engine::Pace *pace = nullptr);

// One point record of an Array of records, its slots read by name.
class RecordReader {
public:
    RecordReader(VALUE rows, long i, const Where &rows_at);
    VALUE row() const { return row_; }
    math::float3 position() const { return read_point(slot(kPosition), Where(at_, kPosition)); }
    math::float3 normal() const { return read_point(slot(kNormal), Where(at_, kNormal)); }
    double scale() const { return read_double(slot(kScale), Where(at_, kScale)); }
    int seed() const { return read_int(slot(kSeed), Where(at_, kSeed)); }
    int definition() const { return read_int(slot(kDefinition), Where(at_, kDefinition)); }
    float distance() const { return read_float(slot(kDistance), Where(at_, kDistance)); }
    math::float3 axis_scale() const { return read_point(slot(kAxisScale), Where(at_, kAxisScale)); }
    // The first two factors only: [x, y, ...].
    math::float3 plan_axis_scale() const;
    float heading() const { return read_float(slot(kHeading), Where(at_, kHeading)); }

private:
    VALUE slot(RecordSlot s) const { return entry_of(row_, s); }

    VALUE row_;
    Where at_;
};

// The memory a step reads its records into, kept from one call to the next. A million
// records take 60 MB, and memory fresh from the system costs about as much to map as a
// step's own work on it; so the largest such memory of the calls so far is kept for the
// next call (the Ruby lock keeps two calls from taking it at once; a call that finds it
// taken makes its own).
class RecordMemory {
public:
    RecordMemory();
    ~RecordMemory();
    RecordMemory(const RecordMemory &) = delete;
    RecordMemory &operator=(const RecordMemory &) = delete;
    std::vector<engine::PointRecord> &records() { return records_; }

private:
    std::vector<engine::PointRecord> records_;
};

// Every record of list (a snapshot of the rows at `at`), read into memory: each starts
// with the defaults and is read by fill(reader, record), pace ticking once per record.
template <class Fill>
const std::vector<engine::PointRecord> &read_records(VALUE list, const Where &at, engine::Pace &pace,
                                                     RecordMemory &memory, Fill &&fill) {
    const int n = array_length(list, at);
    std::vector<engine::PointRecord> &records = memory.records();
    records.assign(n, engine::PointRecord{});
    for (int i = 0; i < n; ++i) {
        pace.tick();
        Prefetch::ahead<Depth::elements>(list, i);
        fill(RecordReader(list, i, at), records[i]);
    }
    return records;
}

// The fields of definition records a step reads, read per definition in this order.
enum DefinitionFields : unsigned {
    kReadOrigin = 1,  // slot 3: "center" or another origin
    kReadBox = 2,     // slots 4 and 5
    kReadScale = 4,   // slot 2
    kReadWeight = 8,  // slot 1
};
std::vector<engine::Definition> read_definitions(VALUE list, unsigned fields, const Where &at);

// Instance transformations: 16 numbers, the matrix column by column.
math::float4x4 read_transform(VALUE array, const Where &at);
VALUE new_transform(const math::float4x4 &m);

// The time-limit prompt's status [warning seconds, seconds already spent, confirmed].
engine::TimeBudget read_budget(VALUE status, const Where &at);

// Paint-area outlines travel as rings (Arrays of Points whose first Point is repeated at
// the end, the same object) and trees ([ring, is_hole, children] entries, outer rings at
// the top level). Model coordinates are read in double and scaled to the clip grid.
clip::Path read_path(VALUE ring, const Where &at);
clip::Paths read_paths(VALUE rings, const Where &at);
// Rotated by q on the way out when rotate is on.
VALUE path_value(const clip::Path &path, bool rotate, const math::Quat &q);
VALUE paths_value(const clip::Paths &paths, bool rotate, const math::Quat &q);
VALUE tree_value(const std::vector<clip::PolyNode *> &nodes, bool rotate, const math::Quat &q);

// Deepest nesting of an outline tree read from Ruby.
constexpr int kMaxTreeDepth = 10000;

// Builds an outline tree in pre-order: an entry added at depth d goes into the children of
// the entry last added at depth d - 1, or into the tree itself at depth 0. A stack object:
// its Arrays are held by the C stack for the collector.
class TreeBuilder {
public:
    TreeBuilder();
    void add(long depth, VALUE ring, VALUE is_hole);
    VALUE tree() const;

private:
    VALUE levels_;  // levels_[d]: the Array that takes the entries at depth d
};

// Visits the entries of an outline tree in pre-order with their depths (0 at the top),
// without recursion; a tree nested deeper than kMaxTreeDepth raises ArgumentError. Every
// entry and every children list must be an Array. A failure names the tree's place.
void walk_tree(VALUE tree, const Where &at, const std::function<void(VALUE entry, long depth)> &visit);

// Builders.
VALUE new_array(long capacity = 0);
void array_push(VALUE ary, VALUE value);
void array_store(VALUE ary, long i, VALUE value, const Where &at);  // FrozenError if frozen
VALUE float_value(double d);
VALUE text_value(const std::string &text);  // UTF-8
VALUE point_value(const math::float3 &v);
VALUE new_point(const math::float3 &v);
// Copies of the kept rows of list (Arrays, all of them), each with its slot set where the
// step changed it.
VALUE kept_copies(VALUE list, const std::vector<engine::Kept> &kept, RecordSlot slot, engine::Pace &pace);
// [position, normal, 1.0, nil, nil, nil, nil, heading]
VALUE new_point_record(VALUE position, VALUE normal, float heading);
// Builds an Array of n entries, entry i made by make(i) without protection, in chunks
// between which pace ticks, with the collector held. make may raise a Ruby exception but
// must not throw.
template <class Make>
VALUE build_array(size_t n, engine::Pace &pace, Make &&make) {
    constexpr size_t kChunk = 64;  // entries made between two ticks
    const VALUE result = new_array(static_cast<long>(n));
    const CollectorHold hold;
    for (size_t first = 0; first < n; first += kChunk) {
        pace.tick();
        protect([&] {
            // Made into the stack, where the collector sees them, then appended at once.
            VALUE chunk[kChunk];
            const size_t count = std::min(kChunk, n - first);
            for (size_t k = 0; k < count; ++k) chunk[k] = make(first + k);
            return rb_ary_cat(result, chunk, static_cast<long>(count));
        });
    }
    return result;
}
VALUE point_records(const std::vector<engine::GeneratedPoint> &points, engine::Pace &pace);
VALUE bare_points(const std::vector<engine::GeneratedPoint> &points, engine::Pace &pace);  // their positions
// [aborted, confirmed, records]
VALUE status_triple(bool aborted, bool confirmed, VALUE records);

}  // namespace binding
