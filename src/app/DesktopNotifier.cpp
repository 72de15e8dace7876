#include "DesktopNotifier.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusReply>
#include <QRegularExpression>

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kAppId = QStringLiteral("org.xframe.XFrame");
// Clicking the notification itself invokes "default"; "open" is the button.
const QString kDefaultAction = QStringLiteral("default");
const QString kOpenAction = QStringLiteral("open");
const int kBodyLength = 120;
// Notifications the server never reports closed are forgotten after this many newer ones.
const int kRemembered = 200;
}

DesktopNotifier::DesktopNotifier(const QDBusConnection& bus, QObject* parent) : QObject(parent), m_bus(bus)
{
    if (!m_bus.isConnected())
        return;
    // Only signals from the owner of the service name arrive here, not ones any client could
    // emit on the same path.
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this, SLOT(onActionInvoked(uint, QString)));
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this, SLOT(onNotificationClosed(uint, uint)));
}

bool DesktopNotifier::IsServiceAvailable() const
{
    if (!m_bus.isConnected() || !m_bus.interface())
        return false;
    if (m_bus.interface()->isServiceRegistered(kService))
        return true;
    const QDBusReply<QStringList> activatable = m_bus.interface()->call(QStringLiteral("ListActivatableNames"));
    return activatable.isValid() && activatable.value().contains(kService);
}

QString DesktopNotifier::BodyFor(const QString& text, bool serverUsesMarkup)
{
    QString line;
    for (const QString& candidate : text.split(QRegularExpression(QStringLiteral("[\\r\\n\\x{2028}\\x{2029}]")))) {
        line = candidate.simplified();
        if (!line.isEmpty())
            break;
    }
    if (line.size() > kBodyLength) {
        int cut = kBodyLength - 1;
        if (line.at(cut - 1).isHighSurrogate())
            --cut;
        line = line.left(cut) + QChar(0x2026);
    }
    if (serverUsesMarkup) {
        line.replace(QLatin1Char('&'), QStringLiteral("&amp;"));
        line.replace(QLatin1Char('<'), QStringLiteral("&lt;"));
        line.replace(QLatin1Char('>'), QStringLiteral("&gt;"));
    }
    return line;
}

void DesktopNotifier::ShowMessage(int node, int msgId, const QString& sender, const QString& text)
{
    if (!m_bEnabled)
        return;
    if (!m_bus.isConnected()) {
        if (!m_bUnavailableLogged)
            qWarning("xframe: no session bus, so no desktop notifications: %s", qPrintable(m_bus.lastError().message()));
        m_bUnavailableLogged = true;
        emit failed(m_bus.lastError().message());
        return;
    }
    if (m_bCapabilitiesKnown) {
        send(node, msgId, sender, text);
        return;
    }
    // Whether the body may carry markup is the server's to say; ask once, without blocking.
    const QDBusMessage ask = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("GetCapabilities"));
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(ask), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, node, msgId, sender, text](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<QStringList> reply = *w;
        if (!reply.isError()) {
            m_capabilities = reply.value();
            m_bCapabilitiesKnown = true;
        }
        send(node, msgId, sender, text);
    });
}

void DesktopNotifier::send(int node, int msgId, const QString& sender, const QString& text)
{
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), kAppId);
    hints.insert(QStringLiteral("category"), QStringLiteral("im.received"));
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(1)));
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    call << QStringLiteral("XFrame") << uint(0) << kAppId << sender
         << BodyFor(text, m_capabilities.contains(QStringLiteral("body-markup")))
         << QStringList{kDefaultAction, m_strActionLabel, kOpenAction, m_strActionLabel} << hints << int(-1);
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, node, msgId](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<uint> reply = *w;
        if (reply.isError()) {
            if (!m_bUnavailableLogged)
                qWarning("xframe: the desktop did not show a notification: %s", qPrintable(reply.error().message()));
            m_bUnavailableLogged = true;
            emit failed(reply.error().message());
            return;
        }
        m_bUnavailableLogged = false;
        const uint id = reply.value();
        m_shown.insert(id, qMakePair(node, msgId));
        m_order.removeOne(id);
        m_order.append(id);
        while (m_order.size() > kRemembered)
            m_shown.remove(m_order.takeFirst());
        emit shown(id);
    });
}

void DesktopNotifier::onActionInvoked(uint id, const QString& action)
{
    // Other programs' notifications are announced on the same bus; ours are the ones we hold.
    if (!m_shown.contains(id) || (action != kDefaultAction && action != kOpenAction))
        return;
    const QPair<int, int> message = m_shown.take(id);
    m_order.removeOne(id);
    emit openMessage(message.first, message.second);
}

void DesktopNotifier::onNotificationClosed(uint id, uint)
{
    m_shown.remove(id);
    m_order.removeOne(id);
}
