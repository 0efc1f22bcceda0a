#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <cmath>
#include <limits>

#include "Math/float3x3.h"
#include "Math/float4x4.h"
#include "Math/matrix_oracle.h"

using math::float3x3;
using math::float4x4;
using oracle::Bits;

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

Eigen::Matrix4d ToEigen(const float4x4 &m) {
    Eigen::Matrix4d e;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) e(r, c) = m.elements[r][c];
    return e;
}

float4x4 FromEigen(const Eigen::Matrix4d &e) {
    float4x4 m;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) m.elements[r][c] = float(e(r, c));
    return m;
}

double MaxAbsDiff(const float4x4 &m, const Eigen::Matrix4d &e) { return (ToEigen(m) - e).cwiseAbs().maxCoeff(); }

bool BitEqual(const float4x4 &a, const float4x4 &b) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (Bits(a.elements[r][c]) != Bits(b.elements[r][c])) return false;
    return true;
}

float4x4 Diag(float a, float b, float c, float d) {
    return float4x4(a, 0, 0, 0, 0, b, 0, 0, 0, 0, c, 0, 0, 0, 0, d);
}

class float4x4Factorization : public ::testing::Test {
protected:
    float4x4 RandomMatrix(float lo, float hi) {
        float4x4 m;
        for (auto &row : m.elements)
            for (float &e : row) e = sampler_.Uniform(lo, hi);
        return m;
    }

    // Off-diagonal entries in [-1, 1] and a diagonal of 4 or more in magnitude: every
    // column is diagonally dominant, so elimination with partial pivoting exchanges no rows.
    float4x4 DominantMatrix() {
        float4x4 m = RandomMatrix(-1.f, 1.f);
        for (int i = 0; i < 4; ++i) m.elements[i][i] = (i % 2 ? -1.f : 1.f) * sampler_.Uniform(4.f, 6.f);
        return m;
    }

    // A A^T + I/2 in double, rounded to float: symmetric positive definite.
    float4x4 SpdMatrix() {
        const Eigen::Matrix4d a = ToEigen(RandomMatrix(-2.f, 2.f));
        return FromEigen(a * a.transpose() + 0.5 * Eigen::Matrix4d::Identity());
    }

    oracle::Sampler sampler_{20261211u};
};

TEST_F(float4x4Factorization, MinorsAndSubMatricesOfADiagonal) {
    const float4x4 d = Diag(2, 3, 4, 5);
    EXPECT_EQ(d.Determinant4(), 120.f);
    EXPECT_EQ(d.Minor(0, 0), 60.f);
    EXPECT_TRUE(d.Adjugate().Equals(Diag(60, 40, 30, 24), 1e-30f));  // zeros of either sign

    // Clamped indices: below 0 removes row or column 0, above 3 removes 3.
    for (int n = 0; n < 20; ++n) {
        const float4x4 m = RandomMatrix(-3.f, 3.f);
        EXPECT_EQ(Bits(m.Minor(-5, 9)), Bits(m.Minor(0, 3)));
        EXPECT_EQ(Bits(m.Minor(7, -1)), Bits(m.Minor(3, 0)));
        const float3x3 clamped = m.SubMatrix(-2, 4), kept = m.SubMatrix(0, 3);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) EXPECT_EQ(Bits(clamped.elements[r][c]), Bits(kept.elements[r][c]));
    }

    // Rows and columns keep their order.
    const float4x4 m(0, 1, 2, 3, 10, 11, 12, 13, 20, 21, 22, 23, 30, 31, 32, 33);
    const float3x3 sub = m.SubMatrix(1, 2);
    const float expected[3][3] = {{0, 1, 3}, {20, 21, 23}, {30, 31, 33}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) EXPECT_EQ(sub.elements[r][c], expected[r][c]);
}

// The minor's own evaluation order fixes its last bit.
TEST_F(float4x4Factorization, MinorFollowsItsEvaluationOrder) {
    for (int n = 0; n < 50; ++n) {
        const float4x4 m = RandomMatrix(-3.f, 3.f);
        const float3x3 s = m.SubMatrix(n % 4, (n / 4) % 4);
        const auto &e = s.elements;
        const float a = e[0][0], b = e[0][1], c = e[0][2], d = e[1][0], f0 = e[1][1], f = e[1][2];
        const float g = e[2][0], h = e[2][1], k = e[2][2];
        const float want = (c * d * h + (b * f * g + a * f0 * k)) - a * f * h - b * d * k - c * f0 * g;
        EXPECT_EQ(Bits(m.Minor(n % 4, (n / 4) % 4)), Bits(want));
    }
}

TEST_F(float4x4Factorization, DeterminantAndAdjugateAgreeWithEigen) {
    for (int n = 0; n < 300; ++n) {
        const float4x4 m = RandomMatrix(-2.f, 2.f);
        const Eigen::Matrix4d e = ToEigen(m);
        const double det = e.determinant();
        EXPECT_NEAR(m.Determinant4(), det, 2e-5 * (1.0 + std::fabs(det)));
        // Eigen's adjugate is the transpose of the cofactor matrix; ours is not transposed.
        if (std::fabs(det) < 0.05) continue;
        const Eigen::Matrix4d cofactors = (det * e.inverse()).transpose();
        EXPECT_LT(MaxAbsDiff(m.Adjugate(), cofactors), 1e-4);
        const float4x4 inverse = m.Adjugate().Transposed() / m.Determinant4();
        EXPECT_TRUE((inverse * m).Equals(float4x4::identity, 1e-3f));
    }
}

TEST_F(float4x4Factorization, LUReproducesTheMatrixAndMatchesEigenWithoutExchanges) {
    for (int n = 0; n < 200; ++n) {
        const float4x4 m = DominantMatrix();
        float4x4 lower, upper;
        ASSERT_TRUE(m.LUDecompose(lower, upper));
        EXPECT_TRUE(lower.IsLowerTriangular(1e-30f));
        EXPECT_TRUE(upper.IsUpperTriangular(1e-30f));
        EXPECT_TRUE(lower.Diagonal().Equals(1, 1, 1, 1, 1e-30f));
        EXPECT_LT(MaxAbsDiff(lower * upper, ToEigen(m)), 1e-5);

        const Eigen::PartialPivLU<Eigen::Matrix4d> lu(ToEigen(m));
        ASSERT_TRUE(lu.permutationP().indices() == Eigen::Vector4i(0, 1, 2, 3));
        const Eigen::Matrix4d packed = lu.matrixLU();
        const Eigen::Matrix4d l = packed.triangularView<Eigen::UnitLower>();
        const Eigen::Matrix4d u = packed.triangularView<Eigen::Upper>();
        EXPECT_LT(MaxAbsDiff(lower, l), 1e-5);
        EXPECT_LT(MaxAbsDiff(upper, u), 1e-5);
    }

    float4x4 lower, upper;
    EXPECT_TRUE(float4x4::identity.LUDecompose(lower, upper));
    EXPECT_TRUE(BitEqual(lower, float4x4::identity));
    EXPECT_TRUE(BitEqual(upper, float4x4::identity));

    // An output may be the matrix itself.
    float4x4 m = DominantMatrix();
    const float4x4 original = m;
    ASSERT_TRUE(m.LUDecompose(m, upper));
    EXPECT_LT(MaxAbsDiff(m * upper, ToEigen(original)), 1e-5);
}

TEST_F(float4x4Factorization, LUFailsOnASmallPivotButNotOnTheLastOne) {
    // No rows are exchanged, so a zero m00 fails though the matrix is invertible. The
    // outputs keep what was computed: row 0 of upper and the undivided l10.
    const float4x4 swapped(0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    float4x4 lower, upper;
    EXPECT_FALSE(swapped.LUDecompose(lower, upper));
    EXPECT_TRUE(upper.Row(0).Equals(0, 1, 0, 0, 1e-30f));
    EXPECT_EQ(lower.elements[1][0], 1.f);

    struct Case {
        float pivot;  // the second pivot, u11
        bool ok;
    };
    const Case cases[] = {{5e-5f, false}, {-9e-5f, false}, {2e-4f, true}, {-2e-4f, true}};
    for (const Case &c : cases) {
        const float4x4 m(1, 2, 0, 0, 3, 6 + c.pivot, 1, 0, 0, 1, 1, 0, 0, 0, 0, 1);
        EXPECT_EQ(m.LUDecompose(lower, upper), c.ok) << c.pivot;
        EXPECT_NEAR(upper.elements[1][1], c.pivot, 1e-6f);
    }

    // A singular matrix whose only small pivot is the last still factorises.
    const float4x4 singular(2, 1, 0, 1, 1, 3, 1, 0, 0, 1, 4, 1, 3, 5, 5, 2);
    ASSERT_TRUE(singular.LUDecompose(lower, upper));
    EXPECT_NEAR(upper.elements[3][3], 0.f, 1e-5f);
    EXPECT_LT(MaxAbsDiff(lower * upper, ToEigen(singular)), 1e-5);
}

TEST_F(float4x4Factorization, CholeskyOfSymmetricPositiveDefiniteMatrices) {
    for (int n = 0; n < 200; ++n) {
        const float4x4 m = SpdMatrix();
        float4x4 lower;
        ASSERT_TRUE(m.CholeskyDecompose(lower));
        EXPECT_TRUE(lower.IsLowerTriangular(1e-30f));
        const Eigen::Matrix4d e = ToEigen(m);
        EXPECT_LT(MaxAbsDiff(lower * lower.Transposed(), e), 1e-4 * e.cwiseAbs().maxCoeff());
        const Eigen::Matrix4d l = Eigen::LLT<Eigen::Matrix4d>(e).matrixL();
        EXPECT_LT(MaxAbsDiff(lower, l), 1e-4);

        // Only the lower triangle is read.
        float4x4 garbled = m;
        for (int r = 0; r < 4; ++r)
            for (int c = r + 1; c < 4; ++c) garbled.elements[r][c] = kNaN;
        float4x4 again;
        ASSERT_TRUE(garbled.CholeskyDecompose(again));
        EXPECT_TRUE(BitEqual(again, lower));
    }

    float4x4 lower;
    EXPECT_TRUE(Diag(4, 9, 16, 25).CholeskyDecompose(lower));
    EXPECT_TRUE(BitEqual(lower, Diag(2, 3, 4, 5)));
}

TEST_F(float4x4Factorization, CholeskyFailsOnMatricesThatAreNotPositiveDefinite) {
    float4x4 indefinite = SpdMatrix();
    indefinite -= float4x4::identity * 100.f;  // every eigenvalue pushed below zero
    float4x4 withNaN = SpdMatrix();
    withNaN.elements[2][1] = kNaN;
    float4x4 nanDiagonal = SpdMatrix();
    nanDiagonal.elements[3][3] = kNaN;

    struct Case {
        const char *name;
        float4x4 m;
    };
    const Case cases[] = {
        {"negative first diagonal", Diag(-1, 1, 1, 1)},
        {"zero on the last row", Diag(1, 1, 1, 0)},
        {"zero on an earlier row", Diag(1, 0, 1, 1)},
        {"indefinite", float4x4(1, 0, 0, 0, 2, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1)},
        {"all eigenvalues negative", indefinite},
        {"NaN below the diagonal", withNaN},
        {"NaN on the diagonal", nanDiagonal},
    };
    for (const Case &c : cases) {
        float4x4 lower;
        EXPECT_FALSE(c.m.CholeskyDecompose(lower)) << c.name;
    }
}

// The number of nonzero rows of a, which must be in reduced row-echelon form: each nonzero
// row's first entry above 1e-3 is 1, lies right of the row above's, is the only one in its
// column, and zero rows come last.
int EchelonRank(const float4x4 &a) {
    int rank = 0, lastColumn = -1;
    for (int r = 0; r < 4; ++r) {
        int lead = -1;
        for (int c = 0; c < 4 && lead < 0; ++c)
            if (std::fabs(a.elements[r][c]) > 1e-3f) lead = c;
        if (lead < 0) continue;
        EXPECT_EQ(rank, r) << "a nonzero row below a zero row";
        EXPECT_GT(lead, lastColumn);
        EXPECT_NEAR(a.elements[r][lead], 1.f, 1e-5f);
        for (int k = 0; k < 4; ++k)
            if (k != r) {
                EXPECT_NEAR(a.elements[k][lead], 0.f, 1e-4f);
            }
        lastColumn = lead;
        ++rank;
    }
    return rank;
}

TEST_F(float4x4Factorization, PivotGivesTheReducedRowEchelonFormOfTheRank) {
    for (int n = 0; n < 200; ++n) {
        // B C with B 4 x r and C r x 4 has rank r (almost surely).
        const int r = 1 + n % 4;
        const Eigen::MatrixXd b = ToEigen(RandomMatrix(-2.f, 2.f)).leftCols(r);
        const Eigen::MatrixXd c = ToEigen(RandomMatrix(-2.f, 2.f)).topRows(r);
        const float4x4 m = FromEigen(b * c);
        float4x4 echelon = m;
        echelon.Pivot();

        Eigen::FullPivLU<Eigen::Matrix4d> lu(ToEigen(m));
        lu.setThreshold(1e-5);
        const int rank = EchelonRank(echelon);
        EXPECT_EQ(rank, int(lu.rank())) << "draw " << n;
        // Row operations keep the row space: stacking both spans no more than the rank.
        Eigen::Matrix<double, 8, 4> stacked;
        stacked << ToEigen(m), ToEigen(echelon);
        Eigen::FullPivLU<Eigen::Matrix<double, 8, 4>> both(stacked);
        both.setThreshold(1e-4);
        EXPECT_EQ(int(both.rank()), rank) << "draw " << n;
    }
}

TEST_F(float4x4Factorization, PivotEdgeCases) {
    float4x4 invertible = DominantMatrix();
    invertible.Pivot();
    EXPECT_TRUE(invertible.Equals(float4x4::identity, 1e-5f));

    float4x4 zero = float4x4::zero;
    zero.Pivot();
    EXPECT_TRUE(BitEqual(zero, float4x4::zero));

    float4x4 lastRowZero = DominantMatrix();
    lastRowZero.Row(3) = math::float4(0, 0, 0, 0);
    lastRowZero.Pivot();
    EXPECT_TRUE(lastRowZero.Row(3).BitEquals(math::float4(0, 0, 0, 0)));
    EXPECT_EQ(EchelonRank(lastRowZero), 3);

    // Partial pivoting looks past a small first entry to the largest one below it.
    float4x4 small = Diag(5e-5f, 0, 1, 1);
    small.elements[1][0] = 1.f;
    small.Pivot();
    EXPECT_TRUE(BitEqual(small, float4x4(1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0)));

    // A column whose best pivot is below 1e-4 is skipped and its row stays behind.
    float4x4 skipped = Diag(1, 5e-5f, 1, 1);
    skipped.Pivot();
    EXPECT_TRUE(BitEqual(skipped, float4x4(1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 5e-5f, 0, 0)));
}

}  // namespace
