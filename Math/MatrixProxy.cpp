#include "Math/MatrixProxy.h"

#include "Math/Assume.h"

namespace math {

bool MatrixProxyColumnInRange(int col, int cols, bool writable) {
    if (writable) {
        MATH_ASSUME(col >= 0, "col >= 0", "Math/MatrixProxy", 42);
        MATH_ASSUME(col < cols, "col < Cols", "Math/MatrixProxy", 43);
    } else {
        MATH_ASSUME(col >= 0, "col >= 0", "Math/MatrixProxy", 35);
        MATH_ASSUME(col < cols, "col < Cols", "Math/MatrixProxy", 36);
    }
    return col >= 0 && col < cols;
}

}  // namespace math
