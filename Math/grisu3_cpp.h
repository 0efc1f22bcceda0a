#pragma once

#include <string>

// dtoa_grisu3 of value, as a string.
std::string dtoa_grisu3_string(double value);
