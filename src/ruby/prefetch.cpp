#include "prefetch.h"

namespace binding {

namespace {

// An Array's entries, which lie in the Array itself when there are few of them.
const VALUE *entries(VALUE ary) { return RARRAY_CONST_PTR_TRANSIENT(ary); }

bool heap_array(VALUE v) { return !RB_SPECIAL_CONST_P(v) && RB_TYPE_P(v, T_ARRAY); }

bool embedded(VALUE ary) { return RB_FL_ANY_RAW(ary, RARRAY_EMBED_FLAG); }

// The entries a record or a face may have; longer Arrays are read past them only rarely.
constexpr long kEntries = 8;

}  // namespace

void Prefetch::storage(VALUE v) {
    if (!heap_array(v) || embedded(v)) return;
    const long n = RARRAY_LEN(v);
    if (n == 0) return;
    const VALUE *e = entries(v);
    fetch(e);
    fetch(e + (n < kEntries ? n : kEntries) - 1);  // a record's slots may straddle two lines
}

void Prefetch::elements(VALUE v) {
    if (!heap_array(v)) return;
    const long n = RARRAY_LEN(v);
    const VALUE *e = entries(v);
    for (long k = 0; k < n && k < kEntries; ++k) object(e[k]);
}

void Prefetch::grandchildren(VALUE v) {
    if (!heap_array(v)) return;
    const long n = RARRAY_LEN(v);
    const VALUE *e = entries(v);
    for (long k = 0; k < n && k < kEntries; ++k) {
        if (!heap_array(e[k])) continue;
        if (embedded(e[k])) elements(e[k]);
        else storage(e[k]);
    }
}

}  // namespace binding
