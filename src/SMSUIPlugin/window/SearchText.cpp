#include "window/SearchText.h"

#include <QtAlgorithms>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// Case folding as QString's case-insensitive search does it, for one UTF-16 unit of the cell.
// ASCII folds by table; any other unit through QChar::toCaseFolded, since a few fold to ASCII
// (the Kelvin sign to 'k', the long s to 's'). A surrogate is half of a character outside the
// BMP, which never folds to ASCII: it can match no unit of an ASCII text.
inline ushort foldUnit(ushort c)
{
    if (c < 128)
        return (c >= 'A' && c <= 'Z') ? ushort(c + 32) : c;
    if (QChar::isSurrogate(c))
        return 0xffff;
    return ushort(QChar::toCaseFolded(uint(c)));
}

bool isIsoTimeChar(ushort folded)
{
    return (folded >= '0' && folded <= '9') || folded == '-' || folded == '+' || folded == ':' || folded == '.' || folded == 't';
}

} // namespace

SearchText::SearchText(const QString& text) : m_text(text)
{
    for (const QChar ch : text) {
        const ushort c = ch.unicode();
        if (c >= 128) {
            m_bAscii = false;
            break;
        }
        const ushort folded = foldUnit(c);
        m_folded.append(folded);
        m_bIsoChars = m_bIsoChars && isIsoTimeChar(folded);
    }
    if (!m_bAscii) {
        m_folded.clear();
        m_bIsoChars = true;   // not worked out: look at the time cells too
    }
}

bool SearchText::FoundIn(const QString& haystack) const
{
    if (!m_bAscii)
        return haystack.contains(m_text, Qt::CaseInsensitive);
    const int m = m_folded.size();
    if (m == 0)
        return true;
    const ushort* h = haystack.utf16();
    const int last = haystack.size() - m;
    const ushort first = m_folded[0];
    auto matchesAt = [&](int i) {
        if (foldUnit(h[i]) != first)
            return false;
        int k = 1;
        while (k < m && foldUnit(h[i + k]) == m_folded[k])
            ++k;
        return k == m;
    };
    int i = 0;
#ifdef __SSE2__
    // Most of a cell holds no candidate for the first character: eight units are ruled out at a
    // time. A candidate is the folded first character, its capital, or any non-ASCII unit (a few
    // fold to ASCII); each is then compared as above.
    const ushort capital = (first >= 'a' && first <= 'z') ? ushort(first - 32) : first;
    const __m128i wantFolded = _mm_set1_epi16(short(first));
    const __m128i wantCapital = _mm_set1_epi16(short(capital));
    const __m128i nonAsciiBits = _mm_set1_epi16(short(0xff80));
    const __m128i zero = _mm_setzero_si128();
    for (; i + 7 <= last; i += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(h + i));
        const __m128i ascii = _mm_cmpeq_epi16(_mm_and_si128(units, nonAsciiBits), zero);
        const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(units, wantFolded), _mm_cmpeq_epi16(units, wantCapital)),
                                         _mm_andnot_si128(ascii, _mm_set1_epi16(-1)));
        unsigned mask = unsigned(_mm_movemask_epi8(hit));
        while (mask) {
            const int bit = int(qCountTrailingZeroBits(mask));
            if (matchesAt(i + bit / 2))
                return true;
            mask &= ~(3u << bit);
        }
    }
#endif
    for (; i <= last; ++i)
        if (matchesAt(i))
            return true;
    return false;
}
