// Matching phone numbers the way people expect: formatting is ignored, and the international
// form (+49 171 2345678, 0049 171 2345678) equals the national one (0171 2345678).
#pragma once

#include <QString>

namespace PhoneNumber {

struct Key {
    QString digits;        // digits only, international prefix ("+"/"00") and trunk "0" removed
    bool international = false;
    bool valid = false;    // at least one digit
};

Key normalize(const QString& number);

// Short codes (fewer than 7 digits) match only themselves. Otherwise equal keys match, and an
// international key matches a national one when it is the national digits behind a country code
// of one to three digits.
bool matches(const QString& a, const QString& b);
bool matches(const Key& a, const Key& b);

} // namespace PhoneNumber
