// Messages as the device service announces them, handed to the GUI thread: what the frame needs
// to raise a desktop notification (the SMS page keeps its own registration for everything else).
#pragma once

#include <QObject>
#include <QString>

class MessageArrivals : public QObject
{
    Q_OBJECT
public:
    explicit MessageArrivals(QObject* parent = nullptr);
    ~MessageArrivals() override;

    // Registers with the device service (once; the service is started if it is not running).
    void Start();
    // Drops the registration; an announcement already under way is not delivered.
    void Stop();
    bool IsStarted() const { return m_bStarted; }

signals:
    // A message from the network was stored in folder `node` under `msgId` (-1 for a flash
    // message, which is shown and not stored). Delivery reports are not announced here.
    void received(int node, int msgId, const QString& number, const QString& text);

private:
    bool m_bStarted = false;
};
