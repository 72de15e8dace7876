// A batch of message changes collected in memory: what the batch's thread sees and what its end
// writes in one transaction. Nothing of it reaches the file before that transaction commits.
#pragma once

#include "SmsDatabase.h"

#include <QHash>
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
    // What the batch adds to the stored count of a storage; kept up to date by every change, as it
    // is asked on every save inside the batch.
    int countDelta(int mem) const { return m_countDelta.value(mem); }
    void adjustIds(int mem, QVector<int>* ids) const;

private:
    // An entry counts +1 in its storage when it is new, -1 when it removes a stored message.
    void account(const Entry& e, int sign);

    int m_location;
    QMap<int, Entry> m_entries;   // by id: written in id order
    QHash<int, int> m_countDelta; // by storage: the sum of account() over m_entries
};
