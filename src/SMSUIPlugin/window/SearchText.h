// The search box's match: does a cell's text contain what was typed, ignoring case, exactly as
// QString::contains(text, Qt::CaseInsensitive) answers. A search from a full folder asks this of
// every cell of every row; Qt folds each character of the cell through the Unicode tables, which
// made the first keystroke in a large Inbox the slowest thing the window did.
#pragma once

#include <QString>
#include <QVarLengthArray>

class SearchText
{
public:
    explicit SearchText(const QString& text);

    bool FoundIn(const QString& haystack) const;
    // False when no ISO date-time text ("2026-12-06T09:30:00.000") can contain the text: it then
    // holds a character that such a text never has, and the time cells need not be looked at.
    bool MayBeInIsoTime() const { return m_bIsoChars; }

private:
    QString m_text;
    // The text folded, when every character of it is ASCII (the usual case); else the slower
    // general comparison is used.
    QVarLengthArray<ushort, 32> m_folded;
    bool m_bAscii = true;
    bool m_bIsoChars = true;
};
