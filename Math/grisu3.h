#pragma once

// The shortest decimal text of a double that reads back to the same double.
//
// Writes "NaN(hhhhhhhhhhhhhhhh)" for a NaN (its 64-bit pattern), "inf", "0" (with "-" before
// negative values, -0 included), otherwise the shortest digits with a decimal point or an
// exponent placed by fixed rules (".5", "2.5e-1", "100", "1e3"); when the shortest digits
// cannot be proven, the "%.17g" text. buffer must hold 25 bytes; returns the text's length.
int dtoa_grisu3(double value, char *buffer);
