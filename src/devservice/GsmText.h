// GSM text rules: how many SMS segments a text needs.
#pragma once

#include <cstddef>

namespace GsmText {

// Septets the character takes in the GSM 7-bit default alphabet: 1 for the basic table, 2 for
// the extension table (escape + code), 0 when the character is not in the alphabet.
int septetsFor(char16_t c);

// Segments for `length` UTF-16 code units: GSM 7-bit when every character is in the alphabet
// (160 septets in a single message, 153 per part of a long one, an escape pair never split),
// otherwise UCS-2 (70 code units single, 67 per part, a surrogate pair never split). 0 for the
// empty text.
int segmentCount(const char16_t* text, std::size_t length);

} // namespace GsmText
