#pragma once
// number * numerator / denominator without intermediate overflow, rounded to the nearest integer
// (halves away from zero); -1 when the denominator is 0 or the result does not fit in an int.

int MulDiv(int number, int numerator, int denominator);
