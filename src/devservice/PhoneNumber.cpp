#include "PhoneNumber.h"

namespace PhoneNumber {

namespace {
const int kShortCodeDigits = 7;
}

Key normalize(const QString& number)
{
    Key key;
    QString digits;
    digits.reserve(number.size());
    bool plus = false;
    for (const QChar c : number) {
        if (c.isDigit() && c.unicode() < 128)
            digits.append(c);
        else if (c == QLatin1Char('+') && digits.isEmpty())
            plus = true;
        else if (c == QLatin1Char('*') || c == QLatin1Char('#'))
            digits.append(c);   // service codes: kept so that *100# only matches itself
        // spaces, dashes, dots, slashes and brackets are formatting
    }
    if (!plus && digits.startsWith(QLatin1String("00"))) {
        digits.remove(0, 2);
        plus = true;
    }
    key.international = plus;
    if (!plus && digits.size() >= kShortCodeDigits && digits.startsWith(QLatin1Char('0')))
        digits.remove(0, 1);   // national trunk prefix
    key.digits = digits;
    key.valid = !digits.isEmpty();
    return key;
}

bool matches(const Key& a, const Key& b)
{
    if (!a.valid || !b.valid)
        return false;
    const bool aShort = a.digits.size() < kShortCodeDigits;
    const bool bShort = b.digits.size() < kShortCodeDigits;
    if (aShort || bShort)
        return aShort && bShort && a.digits == b.digits && a.international == b.international;
    if (a.international == b.international)
        return a.digits == b.digits;
    const Key& intl = a.international ? a : b;
    const Key& national = a.international ? b : a;
    const int countryCode = intl.digits.size() - national.digits.size();
    return countryCode >= 1 && countryCode <= 3 && intl.digits.endsWith(national.digits);
}

bool matches(const QString& a, const QString& b)
{
    return matches(normalize(a), normalize(b));
}

} // namespace PhoneNumber
