// Formats values taken from the input bytes in every number format, with digit counts, exponent
// widths and padding from the input as well, and checks the results that every format promises.

#include "engine/MathHelper.h"
#include "platform/base/TextToNumber.h"
#include "platform/sys/Locale.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

template<typename T>
bool Take(const uint8_t*& data, size_t& size, T& value)
{
    if (size < sizeof(T))
        return false;
    std::memcpy(&value, data, sizeof(T));
    data += sizeof(T);
    size -= sizeof(T);
    return true;
}

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

void CheckMantissaExponent(const CString& text, int marker, double value, NumberFormatMode mode, int digits)
{
    long double mantissa = ClassicWcsToD(text.GetString());
    int exponent = _wtoi(text.GetString() + marker + 2);
    long double magnitude = std::fabs(mantissa);
    if (mode == NumberFormatScientific)
        Check(magnitude >= 1 && magnitude < 10);
    else if (mode == NumberFormatEngineering)
        Check(magnitude >= 0.1L && magnitude < 1);
    else
        Check(magnitude < 1000 && exponent % 3 == 0 && (std::fabs(value) < 1 || magnitude >= 1));
    long double exact = static_cast<long double>(value) / std::pow(10.0L, exponent);
    Check(std::fabs(mantissa - exact) <= 0.5000001L * std::pow(10.0L, -digits) + 1e-14L * std::fabs(exact));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    uint8_t options = 0;
    double value = 0;
    int8_t digits = 0, minExpDigits = 0, minWidth = 0;
    if (!Take(data, size, options) || !Take(data, size, value) || !Take(data, size, digits)
        || !Take(data, size, minExpDigits) || !Take(data, size, minWidth))
        return 0;

    ScopedNumberLocale locale(options & 0x80 ? NumberLocale { L",", L".", 3, 2, 0, 3 }
                                             : NumberLocale { L".", L",", 3, 2, 1, 0 });
    auto mode = static_cast<NumberFormatMode>(options & 0x0F);
    BOOL zeroAsPlain = (options & 0x10) != 0;

    CString text;
    CString returned = CMathHelper::FormatValue(&text, 0, value, minWidth, mode, digits, minExpDigits,
                                                zeroAsPlain, FALSE);
    Check(returned == text);
    Check(text.Find(L"Catch Error") < 0);
    bool inRange = std::fabs(value) < 1.7976931348623157e+308;
    bool plainZero = value == 0 && zeroAsPlain;
    // The range error and the plain zero are the only texts that are not padded.
    if (!inRange)
        Check(text == L"Error: Max. Data Range");
    else if (plainZero)
        Check(text == L"0");
    else
        Check(text.GetLength() >= minWidth);

    // The mantissa layouts always show " E" and never a "+"; read back, they give the value to the
    // decimals shown, with the mantissa in the layout's range.
    if (mode >= NumberFormatScientific && mode <= NumberFormatTechnical && inRange && !plainZero) {
        int marker = text.Find(L" E");
        Check(marker >= 0);
        Check(text.Find(L'+') < 0);
        if (!(options & 0x80) && value != 0 && digits >= 1 && digits <= 15)
            CheckMantissaExponent(text, marker, value, mode, digits);
    }

    int exponent = CMathHelper::ScientificExponent(value);
    Check(exponent >= -324 && exponent <= 308);
    CMathString shortForm(value, digits);
    Check(shortForm.Find(L',') < 0);
    return 0;
}
