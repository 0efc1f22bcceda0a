// Asks the processor early for the Ruby objects a loop over a long Array will read.
//
// A point record is an Array whose slots are stored apart from it and whose points are
// Arrays of their own; a face is an Array of an Array of points. A loop over a million of
// them, in the order a step returned them (a shuffled one after the collision test), misses
// the cache on every one of those objects, one after the other. Fetching them several
// entries ahead, one level deeper at each stage, lets those misses overlap. Nothing here
// changes what is read; it only reads the headers and entries of objects the loop's Array
// holds, as the loop itself will.
#pragma once

#include <ruby.h>

namespace binding {

// How deep the loop reads each entry: the object itself, the storage of its entries, the
// objects in those entries, and the objects in those objects' entries.
enum class Depth { object = 1, storage = 2, elements = 3, grandchildren = 4 };

class Prefetch {
public:
    // How many entries lie between two stages: about the number of misses that overlap.
    static constexpr long kStride = 12;

    // Before the loop reads entry i of n, whose entry k is at(k): the entries further on, each
    // as deep as its stage has come. at(k) is called for k < n only.
    template <Depth D, class At>
    static void ahead(long i, long n, At &&at) {
        constexpr long depth = static_cast<long>(D);
        if (long k = i + depth * kStride; k < n) object(at(k));
        if constexpr (depth >= 2) {
            if (long k = i + (depth - 1) * kStride; k < n) storage(at(k));
        }
        if constexpr (depth >= 3) {
            if (long k = i + (depth - 2) * kStride; k < n) elements(at(k));
        }
        if constexpr (depth >= 4) {
            if (long k = i + kStride; k < n) grandchildren(at(k));
        }
    }

    // The same over the entries of an Array itself.
    template <Depth D>
    static void ahead(VALUE list, long i) {
        ahead<D>(i, RARRAY_LEN(list), [list](long k) { return RARRAY_AREF(list, k); });
    }

private:
    static void object(VALUE v) {
        if (!RB_SPECIAL_CONST_P(v)) fetch(reinterpret_cast<const void *>(v));
    }
    static void storage(VALUE v);        // where an Array keeps its entries, when not in itself
    static void elements(VALUE v);       // the objects in an Array's entries
    static void grandchildren(VALUE v);  // the objects in the entries of those that are Arrays

    // A prefetch the compiler keeps: g++ deletes loops whose only effect is __builtin_prefetch.
    static void fetch(const void *p) {
#if defined(__x86_64__)
        asm volatile("prefetcht0 %0" : : "m"(*static_cast<const char *>(p)));
#elif defined(__aarch64__)
        asm volatile("prfm pldl1keep, %0" : : "Q"(*static_cast<const char *>(p)));
#else
        __builtin_prefetch(p);
#endif
    }
};

}  // namespace binding
