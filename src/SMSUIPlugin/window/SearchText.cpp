#include "window/SearchText.h"

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
    for (int i = 0; i <= last; ++i) {
        if (foldUnit(h[i]) != first)
            continue;
        int k = 1;
        while (k < m && foldUnit(h[i + k]) == m_folded[k])
            ++k;
        if (k == m)
            return true;
    }
    return false;
}
