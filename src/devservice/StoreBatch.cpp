#include "StoreBatch.h"

#include <algorithm>

void PendingBatch::account(const Entry& e, int sign)
{
    const int change = e.isNew ? sign : e.removed ? -sign : 0;
    if (change == 0)
        return;
    int& delta = m_countDelta[e.message.mem];
    delta += change;
    if (delta == 0)
        m_countDelta.remove(e.message.mem);
}

int PendingBatch::insert(SmsDatabase& db, StoredMessage& message)
{
    // The id is taken from the file now, so that it is never handed out twice, even when the
    // batch is abandoned or another program saves meanwhile.
    const int id = db.reserveId();
    if (id < 0)
        return -1;
    message.id = id;
    Entry e;
    e.isNew = true;
    e.message = message;
    m_entries.insert(id, e);
    account(e, +1);
    return id;
}

bool PendingBatch::update(SmsDatabase& db, const StoredMessage& message)
{
    auto it = m_entries.find(message.id);
    if (it != m_entries.end()) {
        if (it->removed)
            return false;
        account(*it, -1);   // the message may change storage
        it->message = message;
        account(*it, +1);
        return true;
    }
    StoredMessage old;
    if (!db.getCommitted(message.id, &old))
        return false;
    Entry e;
    e.message = message;
    m_entries.insert(message.id, e);
    account(e, +1);   // counts nothing: the rule stays in account() alone
    return true;
}

bool PendingBatch::remove(SmsDatabase& db, int id, int mem)
{
    auto it = m_entries.find(id);
    if (it != m_entries.end()) {
        if (it->removed || it->message.mem != mem)
            return false;
        account(*it, -1);
        if (it->isNew) {
            m_entries.erase(it);   // added and removed again: nothing to write
        } else {
            it->removed = true;
            account(*it, +1);
        }
        return true;
    }
    StoredMessage old;
    if (!db.getCommitted(id, &old) || old.mem != mem)
        return false;
    Entry e;
    e.removed = true;
    e.message = old;
    m_entries.insert(id, e);
    account(e, +1);
    return true;
}

int PendingBatch::get(int id, StoredMessage* out) const
{
    auto it = m_entries.constFind(id);
    if (it == m_entries.constEnd())
        return -1;
    if (it->removed)
        return 0;
    *out = it->message;
    return 1;
}

void PendingBatch::adjustIds(int mem, QVector<int>* ids) const
{
    bool added = false;
    for (auto it = m_entries.constBegin(); it != m_entries.constEnd(); ++it) {
        if (it->message.mem != mem)
            continue;
        if (it->removed) {
            ids->removeOne(it.key());
        } else if (it->isNew) {
            ids->append(it.key());
            added = true;
        }
    }
    if (added)
        std::sort(ids->begin(), ids->end());
}
