#pragma once

#include <limits>
#include <type_traits>

namespace math {

// Logs a column index outside 0..cols-1 and tells whether it is usable; writable
// selects the log lines of the writable view.
bool MatrixProxyColumnInRange(int col, int cols, bool writable);

// A view of one matrix row, without storage of its own. Elem is float for the
// writable view (operator[] gives a reference) and const float for the read-only
// view (operator[] gives the value).
template <int Cols, typename Elem = float>
class MatrixProxy {
public:
    using Access = std::conditional_t<std::is_const_v<Elem>, float, float &>;

    explicit MatrixProxy(Elem *row) : row_(row) {}

    // A bad column is logged; it then reads element 0 of the row (writable view)
    // or NaN (read-only view) rather than memory outside the matrix.
    Access operator[](int col) const {
        constexpr bool writable = !std::is_const_v<Elem>;
        if (MatrixProxyColumnInRange(col, Cols, writable)) return row_[col];
        if constexpr (writable) {
            return row_[0];
        } else {
            return std::numeric_limits<float>::quiet_NaN();
        }
    }

private:
    Elem *row_;
};

}  // namespace math
