// A batch of message changes collected in memory: what the batch's thread sees and what its end
// writes in one transaction. Nothing of it reaches the file before that transaction commits.
#pragma once

#include "SmsDatabase.h"

#include <QMap>
#include <QVector>

class PendingBatch
{
public:
    explicit PendingBatch(int location) : m_location(location) {}

    struct Entry {
        bool isNew = false;      // inserted by the batch (its id is reserved in the file)
        bool removed = false;    // an existing message the batch removes
        StoredMessage message;   // the message as the batch leaves it
    };

    int location() const { return m_location; }
    const QMap<int, Entry>& entries() const { return m_entries; }

    int insert(SmsDatabase& db, StoredMessage& message);
    bool update(SmsDatabase& db, const StoredMessage& message);
    bool remove(SmsDatabase& db, int id, int mem);
    // 1 found in the batch, 0 removed by it, -1 not touched (ask the file).
    int get(int id, StoredMessage* out) const;
    int countDelta(int mem) const;
    void adjustIds(int mem, QVector<int>* ids) const;

private:
    int m_location;
    QMap<int, Entry> m_entries;   // by id: written in id order
};
