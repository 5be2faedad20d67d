#pragma once

#include <cstdint>

namespace kestrava {

// a * b / c with a 64-bit product, the quotient rounded to the nearest integer and halves
// rounded away from zero. As on the platform we replace, a zero divisor or a result that does
// not fit in 32 bits gives -1.
int MulDiv(int a, int b, int c);

}  // namespace kestrava
