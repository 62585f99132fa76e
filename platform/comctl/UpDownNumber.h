#pragma once
// The number an up-down control writes into its buddy and reads back from it.

#include "platform/base/WinTypes.h"

#include <optional>
#include <string>

namespace fln::comctl {

// Base 10: digits in groups of three split by `thousands` (none when it is empty), with a minus
// sign when negative. Base 16: "0x" and at least four upper-case hexadecimal digits.
std::wstring FormatUpDownNumber(int value, int base, const std::wstring& thousands);

// Reads what FormatUpDownNumber writes, with or without separators (or "0x"), blanks around it
// allowed; nothing for any other text or a number beyond 32 bits.
std::optional<int> ParseUpDownNumber(const std::wstring& text, int base, const std::wstring& thousands);

} // namespace fln::comctl
