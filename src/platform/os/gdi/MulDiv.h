// MulDiv as the platform computes it: a * b / c over 64 bits, rounded half
// away from zero; -1 when c is 0 or the result does not fit in 32 bits.
#pragma once

#include "platform/os/Types.h"

int MulDiv(int number, int numerator, int denominator);
