#include "Math/grisu3.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

// f * 2^e with a 64-bit significand: the working number of the digit generation.
struct DiyFp {
    uint64_t f;
    int e;
};

constexpr uint64_t kSignBit = 0x8000000000000000ull;
constexpr uint64_t kExponentBits = 0x7FF0000000000000ull;
constexpr uint64_t kFractionBits = 0x000FFFFFFFFFFFFFull;
constexpr uint64_t kHiddenBit = 0x0010000000000000ull;
constexpr int kExponentBias = 1075;  // 1023, plus 52 for the fraction read as an integer
constexpr int kSubnormalExponent = -1074;

// The scaled value's binary exponent is kept in this window, so that its integral part fits
// 32 bits and its fractional part leaves room for multiplying by 10.
constexpr int kMinTargetExponent = -60;
constexpr int kMaxTargetExponent = -32;

struct CachedPower {
    uint64_t significand;
    int16_t binaryExponent;
    int16_t decimalExponent;
};

// 10^k ~ significand * 2^binaryExponent for k = -340, -332, ..., 348 (scripts/cached_powers.py).
const CachedPower kCachedPowers[] = {
    {0xBAAEE17FA23EBF76ull, -1193, -340},
    {0x8B16FB203055AC76ull, -1166, -332},
    {0xCF42894A5DCE35EAull, -1140, -324},
    {0x9A6BB0AA55653B2Dull, -1113, -316},
    {0xE61ACF033D1A45DFull, -1087, -308},
    {0xAB70FE17C79AC6CAull, -1060, -300},
    {0xFF77B1FCBEBCDC4Full, -1034, -292},
    {0xBE5691EF416BD60Cull, -1007, -284},
    {0x8DD01FAD907FFC3Cull, -980, -276},
    {0xD3515C2831559A83ull, -954, -268},
    {0x9D71AC8FADA6C9B5ull, -927, -260},
    {0xEA9C227723EE8BCBull, -901, -252},
    {0xAECC49914078536Dull, -874, -244},
    {0x823C12795DB6CE57ull, -847, -236},
    {0xC21094364DFB5637ull, -821, -228},
    {0x9096EA6F3848984Full, -794, -220},
    {0xD77485CB25823AC7ull, -768, -212},
    {0xA086CFCD97BF97F4ull, -741, -204},
    {0xEF340A98172AACE5ull, -715, -196},
    {0xB23867FB2A35B28Eull, -688, -188},
    {0x84C8D4DFD2C63F3Bull, -661, -180},
    {0xC5DD44271AD3CDBAull, -635, -172},
    {0x936B9FCEBB25C996ull, -608, -164},
    {0xDBAC6C247D62A584ull, -582, -156},
    {0xA3AB66580D5FDAF6ull, -555, -148},
    {0xF3E2F893DEC3F126ull, -529, -140},
    {0xB5B5ADA8AAFF80B8ull, -502, -132},
    {0x87625F056C7C4A8Bull, -475, -124},
    {0xC9BCFF6034C13053ull, -449, -116},
    {0x964E858C91BA2655ull, -422, -108},
    {0xDFF9772470297EBDull, -396, -100},
    {0xA6DFBD9FB8E5B88Full, -369, -92},
    {0xF8A95FCF88747D94ull, -343, -84},
    {0xB94470938FA89BCFull, -316, -76},
    {0x8A08F0F8BF0F156Bull, -289, -68},
    {0xCDB02555653131B6ull, -263, -60},
    {0x993FE2C6D07B7FACull, -236, -52},
    {0xE45C10C42A2B3B06ull, -210, -44},
    {0xAA242499697392D3ull, -183, -36},
    {0xFD87B5F28300CA0Eull, -157, -28},
    {0xBCE5086492111AEBull, -130, -20},
    {0x8CBCCC096F5088CCull, -103, -12},
    {0xD1B71758E219652Cull, -77, -4},
    {0x9C40000000000000ull, -50, 4},
    {0xE8D4A51000000000ull, -24, 12},
    {0xAD78EBC5AC620000ull, 3, 20},
    {0x813F3978F8940984ull, 30, 28},
    {0xC097CE7BC90715B3ull, 56, 36},
    {0x8F7E32CE7BEA5C70ull, 83, 44},
    {0xD5D238A4ABE98068ull, 109, 52},
    {0x9F4F2726179A2245ull, 136, 60},
    {0xED63A231D4C4FB27ull, 162, 68},
    {0xB0DE65388CC8ADA8ull, 189, 76},
    {0x83C7088E1AAB65DBull, 216, 84},
    {0xC45D1DF942711D9Aull, 242, 92},
    {0x924D692CA61BE758ull, 269, 100},
    {0xDA01EE641A708DEAull, 295, 108},
    {0xA26DA3999AEF774Aull, 322, 116},
    {0xF209787BB47D6B85ull, 348, 124},
    {0xB454E4A179DD1877ull, 375, 132},
    {0x865B86925B9BC5C2ull, 402, 140},
    {0xC83553C5C8965D3Dull, 428, 148},
    {0x952AB45CFA97A0B3ull, 455, 156},
    {0xDE469FBD99A05FE3ull, 481, 164},
    {0xA59BC234DB398C25ull, 508, 172},
    {0xF6C69A72A3989F5Cull, 534, 180},
    {0xB7DCBF5354E9BECEull, 561, 188},
    {0x88FCF317F22241E2ull, 588, 196},
    {0xCC20CE9BD35C78A5ull, 614, 204},
    {0x98165AF37B2153DFull, 641, 212},
    {0xE2A0B5DC971F303Aull, 667, 220},
    {0xA8D9D1535CE3B396ull, 694, 228},
    {0xFB9B7CD9A4A7443Cull, 720, 236},
    {0xBB764C4CA7A44410ull, 747, 244},
    {0x8BAB8EEFB6409C1Aull, 774, 252},
    {0xD01FEF10A657842Cull, 800, 260},
    {0x9B10A4E5E9913129ull, 827, 268},
    {0xE7109BFBA19C0C9Dull, 853, 276},
    {0xAC2820D9623BF429ull, 880, 284},
    {0x80444B5E7AA7CF85ull, 907, 292},
    {0xBF21E44003ACDD2Dull, 933, 300},
    {0x8E679C2F5E44FF8Full, 960, 308},
    {0xD433179D9C8CB841ull, 986, 316},
    {0x9E19DB92B4E31BA9ull, 1013, 324},
    {0xEB96BF6EBADF77D9ull, 1039, 332},
    {0xAF87023B9BF0EE6Bull, 1066, 340},
    {0x82C730BEC1CAC961ull, 1093, 348},
};

// Counts the digits of the integral part: kPowersOfTen[n] is the largest power below n + 1 digits.
const uint32_t kPowersOfTen[] = {0, 1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000};

DiyFp Normalized(DiyFp v) {
    const int shift = __builtin_clzll(v.f);
    return {v.f << shift, v.e - shift};
}

// The product's upper 64 bits, rounded half up.
DiyFp Multiply(DiyFp a, DiyFp b) {
    const unsigned __int128 product = static_cast<unsigned __int128>(a.f) * b.f;
    const uint64_t high = static_cast<uint64_t>(product >> 64);
    const uint64_t low = static_cast<uint64_t>(product);
    return {high + (low >> 63), a.e + b.e + 64};
}

// A positive finite double w and the midpoints to its neighbours, all on one exponent.
struct Boundaries {
    DiyFp lower, w, upper;
};

Boundaries BoundariesOf(uint64_t bits) {
    const uint64_t fraction = bits & kFractionBits;
    const int biased = static_cast<int>(bits >> 52);
    const DiyFp v = biased == 0 ? DiyFp{fraction, kSubnormalExponent}
                                : DiyFp{fraction | kHiddenBit, biased - kExponentBias};
    const DiyFp upper = Normalized({(v.f << 1) + 1, v.e - 1});
    // Below a power of two the next smaller double is only half as far away.
    const bool closerBelow = fraction == 0 && biased > 1;
    DiyFp lower = closerBelow ? DiyFp{(v.f << 2) - 1, v.e - 2} : DiyFp{(v.f << 1) - 1, v.e - 1};
    lower.f <<= lower.e - upper.e;
    lower.e = upper.e;
    const DiyFp w = Normalized(v);
    assert(w.e == upper.e);
    return {lower, w, upper};
}

// The smallest cached power that lifts a significand of binary exponent e into the target window.
const CachedPower &CachedPowerFor(int e) {
    const int k = static_cast<int>(std::ceil((-e - 61) * 0.30102999566398114));
    const CachedPower &power = kCachedPowers[(k + 347) / 8];
    assert(e + power.binaryExponent + 64 >= kMinTargetExponent);
    assert(e + power.binaryExponent + 64 <= kMaxTargetExponent);
    return power;
}

int DigitCount(uint32_t n) {
    int count = 0;
    while (count < 10 && n >= kPowersOfTen[count + 1]) ++count;
    return count;
}

// Lowers the last digit while that brings the digits closer to w, then tells whether they
// are provably the closest shortest digits: the scaled numbers carry an error of one unit
// each, and digits too near either end of the interval cannot be trusted.
bool RoundAndWeed(char *digits, int length, uint64_t distanceTooHighW, uint64_t unsafeInterval, uint64_t rest,
                  uint64_t tenKappa, uint64_t unit) {
    const uint64_t smallDistance = distanceTooHighW - unit;
    const uint64_t bigDistance = distanceTooHighW + unit;
    assert(rest <= unsafeInterval);
    while (rest < smallDistance && unsafeInterval - rest >= tenKappa &&
           (rest + tenKappa < smallDistance || smallDistance - rest >= rest + tenKappa - smallDistance)) {
        --digits[length - 1];
        rest += tenKappa;
    }
    if (rest < bigDistance && unsafeInterval - rest >= tenKappa &&
        (rest + tenKappa < bigDistance || bigDistance - rest > rest + tenKappa - bigDistance))
        return false;
    return 2 * unit <= rest && rest <= unsafeInterval - 4 * unit;
}

// Writes the digits of the scaled upper boundary until the remainder falls inside the
// interval; the digits times 10^kappa then approximate w.
bool GenerateDigits(DiyFp low, DiyFp w, DiyFp high, char *digits, int &length, int &kappa) {
    assert(low.e == w.e && w.e == high.e);
    assert(low.f + 1 <= high.f - 1);
    assert(w.e >= kMinTargetExponent && w.e <= kMaxTargetExponent);
    uint64_t unit = 1;
    const uint64_t tooLow = low.f - unit;
    const uint64_t tooHigh = high.f + unit;
    uint64_t unsafeInterval = tooHigh - tooLow;
    const int shift = -w.e;
    const uint64_t one = 1ull << shift;
    uint32_t integrals = static_cast<uint32_t>(tooHigh >> shift);
    uint64_t fractionals = tooHigh & (one - 1);
    kappa = DigitCount(integrals);
    uint32_t divisor = kPowersOfTen[kappa];
    length = 0;
    while (kappa > 0) {
        digits[length++] = static_cast<char>('0' + integrals / divisor);
        integrals %= divisor;
        --kappa;
        const uint64_t rest = (static_cast<uint64_t>(integrals) << shift) + fractionals;
        if (rest < unsafeInterval)
            return RoundAndWeed(digits, length, tooHigh - w.f, unsafeInterval, rest,
                                static_cast<uint64_t>(divisor) << shift, unit);
        divisor /= 10;
    }
    for (;;) {
        fractionals *= 10;
        unit *= 10;
        unsafeInterval *= 10;
        digits[length++] = static_cast<char>('0' + (fractionals >> shift));
        assert(length <= 18);
        fractionals &= one - 1;
        --kappa;
        if (fractionals < unsafeInterval)
            return RoundAndWeed(digits, length, (tooHigh - w.f) * unit, unsafeInterval, fractionals, one, unit);
    }
}

// The shortest digits of a positive finite double and the exponent d with value = digits * 10^d;
// false when they cannot be proven shortest and closest.
bool ShortestDigits(uint64_t bits, char *digits, int &length, int &exponent) {
    assert(bits != 0 && bits < kExponentBits);
    const Boundaries b = BoundariesOf(bits);
    const CachedPower &cached = CachedPowerFor(b.w.e);
    const DiyFp power = {cached.significand, cached.binaryExponent};
    int kappa = 0;
    const bool proven = GenerateDigits(Multiply(b.lower, power), Multiply(b.w, power), Multiply(b.upper, power),
                                       digits, length, kappa);
    exponent = kappa - cached.decimalExponent;
    return proven;
}

// The length of the text of an exponent, its minus sign included.
int ExponentTextLength(int exponent) {
    if (exponent < -999) return 5;
    if (exponent < -99) return 4;
    if (exponent < -9) return 3;
    if (exponent < 0) return 2;
    if (exponent < 10) return 1;
    if (exponent < 100) return 2;
    if (exponent < 1000) return 3;
    return 4;
}

char *Copy(char *out, const char *from, int count) {
    std::memcpy(out, from, static_cast<size_t>(count));
    return out + count;
}

char *Zeros(char *out, int count) {
    std::memset(out, '0', static_cast<size_t>(count));
    return out + count;
}

char *WriteExponent(char *out, int exponent) {
    *out++ = 'e';
    if (exponent < 0) *out++ = '-';
    unsigned magnitude = static_cast<unsigned>(exponent < 0 ? -exponent : exponent);
    char digits[4];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    while (count > 0) *out++ = digits[--count];
    return out;
}

// Places the point or an exponent around the digits of value = digits * 10^exponent.
char *FormatDigits(char *out, const char *digits, int length, int exponent) {
    const int decimals = std::min(-exponent, std::max(1, length - 1));
    if (exponent < 0 &&
        (length >= -exponent || ExponentTextLength(exponent + decimals) < ExponentTextLength(exponent))) {
        const int whole = length - decimals;
        out = Copy(out, digits, whole);
        *out++ = '.';
        out = Copy(out, digits + whole, decimals);
        exponent += decimals;
        if (exponent != 0) out = WriteExponent(out, exponent);
    } else if (exponent >= -3 && exponent < 0) {
        *out++ = '.';
        out = Zeros(out, -exponent - length);
        out = Copy(out, digits, length);
    } else if (exponent < 0 || exponent > 2) {
        out = Copy(out, digits, length);
        out = WriteExponent(out, exponent);
    } else {
        out = Copy(out, digits, length);
        out = Zeros(out, exponent);
    }
    *out = '\0';
    return out;
}

}  // namespace

int dtoa_grisu3(double value, char *buffer) {
    assert(buffer != nullptr);
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    if ((bits & kExponentBits) == kExponentBits && (bits & kFractionBits) != 0)
        return std::sprintf(buffer, "NaN(%08X%08X)", static_cast<unsigned>(bits >> 32),
                            static_cast<unsigned>(bits & 0xFFFFFFFFu));
    char *out = buffer;
    if (bits & kSignBit) *out++ = '-';
    bits &= ~kSignBit;
    char digits[20];
    int length = 0;
    int exponent = 0;
    if (bits == kExponentBits)
        out = Copy(out, "inf", 4) - 1;
    else if (bits == 0)
        out = Copy(out, "0", 2) - 1;
    else if (ShortestDigits(bits, digits, length, exponent))
        out = FormatDigits(out, digits, length, exponent);
    else
        out += std::sprintf(out, "%.17g", std::fabs(value));
    return static_cast<int>(out - buffer);
}
