// Instance transformations as Ruby sees them: 16 numbers, the matrix column by column.
#pragma once

#include <ruby.h>

#include "Math/float4x4.h"

namespace engine {

VALUE float4x4_to_trans(const math::float4x4 &m);  // unprotected: call inside a protect block
math::float4x4 trans_to_float4x4(VALUE array);

}  // namespace engine
