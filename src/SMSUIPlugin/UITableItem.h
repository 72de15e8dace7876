// A message-table cell. It holds a reference to its row's record (so the record lives as long as
// the row shows it) and orders itself case-insensitively in the system's 8-bit code page, with
// the unchanged-case bytes as tie-break; the time column orders through its ISO text form.
#pragma once

#include "SMSLocalRecord.h"

#include <QByteArray>
#include <QTableWidgetItem>

class UITableItem : public QTableWidgetItem
{
public:
    explicit UITableItem(const QString& text = QString());
    explicit UITableItem(const SMSLocalRecordPtr& record);

    bool operator<(const QTableWidgetItem& other) const override;

    SMSLocalRecordPtr Record() const { return m_record; }
    void SetRecord(const SMSLocalRecordPtr& record) { m_record = record; }
    static SMSLocalRecordPtr RecordOf(const QTableWidgetItem* item);

    // The text the cell is compared and searched by (the time column: ISO form).
    QString SortText() const;

private:
    // Sort keys are computed once per display text: a sort of n rows makes n log n comparisons and
    // converting both texts on each would dominate it.
    struct Keys {
        QString source;
        QByteArray lower;
        QByteArray exact;
    };
    const Keys& keys() const;

    SMSLocalRecordPtr m_record;
    mutable Keys m_keys;
    mutable bool m_bKeysValid = false;
};
