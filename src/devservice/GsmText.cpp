#include "GsmText.h"

namespace GsmText {

namespace {

// The 128 characters of the default alphabet in code order; 0x1B (escape) is not a character.
const char16_t kBasic[] =
    u"@\u00A3$\u00A5\u00E8\u00E9\u00F9\u00EC\u00F2\u00C7\n\u00D8\u00F8\r\u00C5\u00E5"
    u"\u0394_\u03A6\u0393\u039B\u03A9\u03A0\u03A8\u03A3\u0398\u039E\u00A0\u00C6\u00E6\u00DF\u00C9"
    u" !\"#\u00A4%&'()*+,-./0123456789:;<=>?"
    u"\u00A1ABCDEFGHIJKLMNOPQRSTUVWXYZ\u00C4\u00D6\u00D1\u00DC\u00A7"
    u"\u00BFabcdefghijklmnopqrstuvwxyz\u00E4\u00F6\u00F1\u00FC\u00E0";

const char16_t kExtension[] = u"\f^{}\\[~]|\u20AC";

bool isBasic(char16_t c)
{
    for (char16_t b : kBasic) {
        // The escape slot (written as NBSP above) is not a printable character.
        if (b == c && b != u'\u00A0' && b != 0)
            return true;
    }
    return false;
}

bool isExtension(char16_t c)
{
    for (char16_t e : kExtension)
        if (e == c && e != 0)
            return true;
    return false;
}

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Greedy packing into parts of `perPart` units; `unitCost(i, &width)` gives the cost of the unit
// starting at i and how many code units it spans. A unit never straddles a part boundary.
template <typename Cost>
int packParts(std::size_t length, int perPart, Cost unitCost)
{
    int parts = 1;
    int used = 0;
    for (std::size_t i = 0; i < length;) {
        std::size_t width = 1;
        const int cost = unitCost(i, &width);
        if (used + cost > perPart) {
            ++parts;
            used = 0;
        }
        used += cost;
        i += width;
    }
    return parts;
}

} // namespace

int septetsFor(char16_t c)
{
    if (isBasic(c))
        return 1;
    if (isExtension(c))
        return 2;
    return 0;
}

int segmentCount(const char16_t* text, std::size_t length)
{
    if (!text || length == 0)
        return 0;
    bool gsm = true;
    int septets = 0;
    for (std::size_t i = 0; i < length && gsm; ++i) {
        const int s = septetsFor(text[i]);
        gsm = s > 0;
        septets += s;
    }
    if (gsm) {
        if (septets <= 160)
            return 1;
        return packParts(length, 153, [&](std::size_t i, std::size_t* width) {
            *width = 1;
            return septetsFor(text[i]);
        });
    }
    if (length <= 70)
        return 1;
    return packParts(length, 67, [&](std::size_t i, std::size_t* width) {
        const bool pair = isHighSurrogate(text[i]) && i + 1 < length && isLowSurrogate(text[i + 1]);
        *width = pair ? 2 : 1;
        return static_cast<int>(*width);
    });
}

} // namespace GsmText
