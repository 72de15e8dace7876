#include "UITableItem.h"

#include <QDateTime>
#include <QTextCodec>

namespace {
QTextCodec* systemCodec()
{
    static QTextCodec* codec = QTextCodec::codecForName("System");
    return codec;
}
}

UITableItem::UITableItem(const QString& text) : QTableWidgetItem(text) {}

UITableItem::UITableItem(const SMSLocalRecordPtr& record) : m_record(record) {}

SMSLocalRecordPtr UITableItem::RecordOf(const QTableWidgetItem* item)
{
    const auto* cell = dynamic_cast<const UITableItem*>(item);
    return cell ? cell->m_record : SMSLocalRecordPtr();
}

QString UITableItem::SortText() const
{
    const QVariant v = data(Qt::DisplayRole);
    if (v.userType() == QMetaType::QDateTime)
        return v.toDateTime().toString(Qt::ISODateWithMs);
    return v.toString();
}

const UITableItem::Keys& UITableItem::keys() const
{
    const QString text = SortText();
    if (!m_bKeysValid || text != m_keys.source) {
        m_keys.source = text;
        if (QTextCodec* codec = systemCodec()) {
            m_keys.lower = codec->fromUnicode(text.toLower());
            m_keys.exact = codec->fromUnicode(text);
        } else {
            m_keys.lower.clear();
            m_keys.exact.clear();
        }
        m_bKeysValid = true;
    }
    return m_keys;
}

bool UITableItem::operator<(const QTableWidgetItem& other) const
{
    const auto* rhs = dynamic_cast<const UITableItem*>(&other);
    if (!rhs)
        return QTableWidgetItem::operator<(other);
    const Keys& a = keys();
    const Keys& b = rhs->keys();
    if (!systemCodec()) {
        int r = QString::compare(a.source, b.source, Qt::CaseInsensitive);
        if (r == 0)
            r = QString::compare(a.source, b.source, Qt::CaseSensitive);
        return r < 0;
    }
    if (a.lower == b.lower)
        return qstrcmp(a.exact, b.exact) < 0;
    return qstrcmp(a.lower, b.lower) < 0;
}
