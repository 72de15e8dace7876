#include "window/UITableItem.h"

#include <QApplication>
#include <QDateTime>
#include <QTextCodec>

namespace {

QTextCodec* systemCodec()
{
    static QTextCodec* codec = QTextCodec::codecForName("System");
    return codec;
}

const QFont& cellFont()
{
    static const QFont font = [] {
        QFont f = QApplication::font();
        f.setFamily(QStringLiteral("Microsoft Sans Serif"));
        return f;
    }();
    return font;
}

} // namespace

UITableItem::UITableItem(const QString& text) : QTableWidgetItem(text, Type) {}

UITableItem::UITableItem(const SMSLocalRecordPtr& record, const QVariant& display, const QIcon& icon)
    : QTableWidgetItem(Type), m_record(record), m_icon(icon), m_display(display), m_bOwnDisplay(true)
{
    setFlags(flags() & ~Qt::ItemIsEditable);
    // A text cell's search text is its text: kept now (it shares the text's storage), the first
    // search of a large folder need not ask every cell for its value.
    if (display.userType() == QMetaType::QString) {
        m_sortText = display.toString();
        m_bSortTextValid = true;
    }
}

SMSLocalRecordPtr UITableItem::RecordOf(const QTableWidgetItem* item)
{
    if (!item || item->type() != Type)
        return SMSLocalRecordPtr();
    return static_cast<const UITableItem*>(item)->m_record;
}

void UITableItem::forgetKeys()
{
    m_keyKind = KeyKind::Unknown;
    m_bSortTextValid = false;
}

void UITableItem::setData(int role, const QVariant& value)
{
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        if (m_bOwnDisplay) {
            if (value == m_display)
                return;   // as in the base class: the same value again is no change
            // From now on the base class keeps the value (and tells the view).
            m_bOwnDisplay = false;
            m_display = QVariant();
        }
        forgetKeys();
        break;
    case Qt::DecorationRole:
        m_icon = value.value<QIcon>();
        // The base class tells the view that the cell changed; the icon itself is kept here.
        QTableWidgetItem::setData(Qt::UserRole + 1, QVariant(m_icon.cacheKey()));
        return;
    case Qt::FontRole:
    case Qt::TextAlignmentRole:
    case Qt::UserRole:
        if (m_record)
            return;   // answered by data()
        break;
    default:
        break;
    }
    QTableWidgetItem::setData(role, value);
}

QVariant UITableItem::data(int role) const
{
    if (m_bOwnDisplay && (role == Qt::DisplayRole || role == Qt::EditRole))
        return m_display;
    if (!m_record)
        return QTableWidgetItem::data(role);
    switch (role) {
    case Qt::DecorationRole:
        return m_icon.isNull() ? QVariant() : QVariant(m_icon);
    case Qt::FontRole:
        return QVariant(cellFont());
    case Qt::TextAlignmentRole:
        return QVariant(int(Qt::AlignLeft | Qt::AlignBottom));
    case Qt::UserRole:
        return QVariant::fromValue(quintptr(m_record.data()));
    default:
        return QTableWidgetItem::data(role);
    }
}

// QDateTime::toString(Qt::ISODateWithMs), written out directly: searching a large table asks for
// the time column's text of every row.
QString isoText(const QDateTime& when)
{
    if (!when.isValid())
        return QString();
    const QDate d = when.date();
    const QTime t = when.time();
    if (d.year() < 0 || d.year() > 9999)
        return QDateTime(d, t).toString(Qt::ISODateWithMs);
    // Times are wall-clock readings kept as UTC only to skip zone look-ups (SMSStatusUILogic::
    // parseTime): the text is that of a local time, without a zone letter a search could match.
    QString out(23, Qt::Uninitialized);
    QChar* p = out.data();
    auto put = [&p](int value, int digits) {
        for (int i = digits - 1; i >= 0; --i) {
            p[i] = QLatin1Char(char('0' + value % 10));
            value /= 10;
        }
        p += digits;
    };
    auto sep = [&p](char c) { *p++ = QLatin1Char(c); };
    put(d.year(), 4); sep('-'); put(d.month(), 2); sep('-'); put(d.day(), 2); sep('T');
    put(t.hour(), 2); sep(':'); put(t.minute(), 2); sep(':'); put(t.second(), 2); sep('.'); put(t.msec(), 3);
    return out;
}

QString UITableItem::SortText() const
{
    const QVariant v = data(Qt::DisplayRole);
    if (v.userType() == QMetaType::QDateTime) {
        const QDateTime when = v.toDateTime();
        return isoText(when);
    }
    return v.toString();
}

const QString& UITableItem::CachedSortText() const
{
    if (!m_bSortTextValid) {
        m_sortText = SortText();
        m_bSortTextValid = true;
    }
    return m_sortText;
}

void UITableItem::computeKeys() const
{
    const QVariant v = data(Qt::DisplayRole);
    if (v.userType() == QMetaType::QDateTime && v.toDateTime().isValid()) {
        // All times are kept without a zone, so their ISO texts order as their instants do.
        m_keyKind = KeyKind::Time;
        m_msecs = v.toDateTime().toMSecsSinceEpoch();
        return;
    }
    m_keyKind = KeyKind::Text;
    const QString text = CachedSortText();
    if (QTextCodec* codec = systemCodec()) {
        m_lower = codec->fromUnicode(text.toLower());
        m_exact = codec->fromUnicode(text);
    }
}

bool UITableItem::operator<(const QTableWidgetItem& other) const
{
    if (other.type() != Type)
        return QTableWidgetItem::operator<(other);
    const auto* rhs = static_cast<const UITableItem*>(&other);
    if (m_keyKind == KeyKind::Unknown)
        computeKeys();
    if (rhs->m_keyKind == KeyKind::Unknown)
        rhs->computeKeys();
    if (m_keyKind == KeyKind::Time && rhs->m_keyKind == KeyKind::Time)
        return m_msecs < rhs->m_msecs;
    if (m_keyKind == KeyKind::Time || rhs->m_keyKind == KeyKind::Time) {
        // A valid time against an unreadable one: compare the texts as the view shows them.
        return QString::compare(CachedSortText(), rhs->CachedSortText()) < 0;
    }
    if (!systemCodec()) {
        int r = QString::compare(m_sortText, rhs->m_sortText, Qt::CaseInsensitive);
        if (r == 0)
            r = QString::compare(m_sortText, rhs->m_sortText, Qt::CaseSensitive);
        return r < 0;
    }
    if (m_lower == rhs->m_lower)
        return qstrcmp(m_exact, rhs->m_exact) < 0;
    return qstrcmp(m_lower, rhs->m_lower) < 0;
}
