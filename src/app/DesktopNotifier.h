// Desktop notifications for received messages through the freedesktop notification service
// (org.freedesktop.Notifications on the session bus): the sender as the summary, the first line of
// the text as the body, and an action that opens the message in the frame.
#pragma once

#include <QDBusConnection>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QStringList>

class DesktopNotifier : public QObject
{
    Q_OBJECT
public:
    // `bus` is the session bus the desktop's notification service lives on.
    explicit DesktopNotifier(const QDBusConnection& bus, QObject* parent = nullptr);

    void SetEnabled(bool enabled) { m_bEnabled = enabled; }
    // The label of the button that opens the message (the frame's language).
    void SetActionLabel(const QString& label) { m_strActionLabel = label; }
    bool IsEnabled() const { return m_bEnabled; }
    // Whether a notification service is on the bus (running or started on demand).
    bool IsServiceAvailable() const;

    // Raises a notification for message `msgId` in folder `node`. Nothing happens when switched
    // off; when the desktop has no notification service this is said once in the log.
    void ShowMessage(int node, int msgId, const QString& sender, const QString& text);

    // The text a notification shows for `text`: its first non-empty line, shortened, escaped as
    // markup when the server interprets markup.
    static QString BodyFor(const QString& text, bool serverUsesMarkup);

signals:
    // The server showed the notification under `id`.
    void shown(uint id);
    // The notification could not be shown (no service, no bus).
    void failed(const QString& error);
    // The person chose the notification's action: open message `msgId` in folder `node`.
    void openMessage(int node, int msgId);

private slots:
    // Connected by name: the bus delivers its signals only to slots named this way.
    void onActionInvoked(uint id, const QString& action);
    void onNotificationClosed(uint id, uint reason);

private:
    void send(int node, int msgId, const QString& sender, const QString& text);

    QDBusConnection m_bus;
    bool m_bEnabled = true;
    bool m_bCapabilitiesKnown = false;
    bool m_bUnavailableLogged = false;
    QString m_strActionLabel = QStringLiteral("View");
    QStringList m_capabilities;
    QHash<uint, QPair<int, int>> m_shown;   // notification id -> folder, message id
    QList<uint> m_order;                    // the ids in m_shown, oldest first
};
