#pragma once
// Division and remainder rounding toward minus infinity, as calendar arithmetic needs them for
// days and years before an epoch.

#include <cstdint>

constexpr std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
constexpr std::int64_t FloorMod(std::int64_t a, std::int64_t b) { return a - FloorDiv(a, b) * b; }
