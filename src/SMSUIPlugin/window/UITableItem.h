// A message-table cell. It holds a reference to its row's record (so the record lives as long as
// the row shows it) and orders itself case-insensitively in the system's 8-bit code page, with
// the unchanged-case bytes as tie-break; the time column orders chronologically, as its ISO text
// form would.
#pragma once

#include "store/SMSLocalRecord.h"

#include <QByteArray>
#include <QIcon>
#include <QTableWidgetItem>
#include <QVariant>

class UITableItem : public QTableWidgetItem
{
public:
    static constexpr int Type = QTableWidgetItem::UserType + 1;

    explicit UITableItem(const QString& text = QString());
    // A row cell: its record, the shown value and (column 0) the status icon.
    UITableItem(const SMSLocalRecordPtr& record, const QVariant& display, const QIcon& icon = QIcon());

    bool operator<(const QTableWidgetItem& other) const override;
    // Drops the cached sort keys when the shown value changes.
    void setData(int role, const QVariant& value) override;
    // Every cell answers the same font, alignment and record address, and column 0 its status
    // icon; they are answered here instead of being stored in each of tens of thousands of cells.
    QVariant data(int role) const override;

    SMSLocalRecordPtr Record() const { return m_record; }
    void SetRecord(const SMSLocalRecordPtr& record) { m_record = record; }
    static SMSLocalRecordPtr RecordOf(const QTableWidgetItem* item);

    // The text the cell is compared and searched by (the time column: ISO form).
    QString SortText() const;
    // The same text, computed once per shown value.
    const QString& CachedSortText() const;
    // The cell was compared as a valid time (its text is then an ISO date-time text).
    bool HasTimeKey() const { return m_keyKind == KeyKind::Time; }

private:
    // Sort keys are computed once per shown value: a sort of n rows makes n log n comparisons and
    // converting both texts on each would dominate it.
    enum class KeyKind { Unknown, Time, Text };
    void computeKeys() const;
    void forgetKeys();

    SMSLocalRecordPtr m_record;
    QIcon m_icon;
    // A row cell's shown value, kept here until something sets another one: the base class would
    // keep it in a list of its own, one more allocation per cell of tables of many thousand rows.
    QVariant m_display;
    bool m_bOwnDisplay = false;
    mutable KeyKind m_keyKind = KeyKind::Unknown;
    mutable qint64 m_msecs = 0;
    mutable QByteArray m_lower;
    mutable QByteArray m_exact;
    mutable QString m_sortText;
    mutable bool m_bSortTextValid = false;
};
