// A private D-Bus daemon standing in for the system bus, and the mock ModemManager
// (tests/mock/modemmanager.py, run by python-dbusmock) on it. The device service finds it
// through DBUS_SYSTEM_BUS_ADDRESS, so the backend and ModemManagerQt run unchanged.
#pragma once

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDBusServiceWatcher>
#include <QSignalSpy>
#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

class MockModemManager
{
public:
    // Debian's python3-dbusmock belongs to Debian's interpreter; another python3 may come first
    // on PATH.
    static constexpr const char* kPython = "/usr/bin/python3";
    static constexpr const char* kService = "org.freedesktop.ModemManager1";
    static constexpr const char* kRoot = "/org/freedesktop/ModemManager1";
    static constexpr const char* kModem = "/org/freedesktop/ModemManager1/Modem/0";

    ~MockModemManager()
    {
        stopMock();
        if (m_bus.state() != QProcess::NotRunning) {
            m_bus.kill();
            m_bus.waitForFinished(3000);
        }
    }

    // Starts the bus and points this process's system bus at it. Call before anything uses the
    // system bus. Empty on success, else what went wrong.
    QString startBus()
    {
        m_bus.setProgram(QStringLiteral("dbus-daemon"));
        m_bus.setArguments({QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1"),
                            QStringLiteral("--address=unix:dir=") + m_dir.path()});
        m_bus.start();
        if (!m_bus.waitForStarted(5000))
            return QStringLiteral("dbus-daemon did not start: ") + m_bus.errorString();
        QDeadlineTimer deadline(10000);
        while (!m_bus.canReadLine() && !deadline.hasExpired())
            m_bus.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
        m_address = QString::fromUtf8(m_bus.readLine()).trimmed();
        if (m_address.isEmpty())
            return QStringLiteral("dbus-daemon printed no address");
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", m_address.toUtf8());
        m_connection = QDBusConnection::connectToBus(m_address, QStringLiteral("mock-control"));
        return m_connection.isConnected() ? QString() : QStringLiteral("cannot reach the private bus");
    }

    QString address() const { return m_address; }

    // (Re)starts ModemManager with the template's parameters ({"modem": false} for none).
    QString startMock(const QVariantMap& parameters = {})
    {
        stopMock();
        m_mock.setProgram(QLatin1String(kPython));
        m_mock.setArguments({QStringLiteral("-m"), QStringLiteral("dbusmock"), QStringLiteral("--system"),
                             QStringLiteral("--template"), QStringLiteral(TEST_SOURCE_DIR "/mock/modemmanager.py"),
                             QStringLiteral("-p"),
                             QString::fromUtf8(QJsonDocument(QJsonObject::fromVariantMap(parameters)).toJson(QJsonDocument::Compact))});
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), m_address);
        m_mock.setProcessEnvironment(env);
        m_mock.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_mock.setStandardOutputFile(QProcess::nullDevice());
        QDBusServiceWatcher watcher(QLatin1String(kService), m_connection, QDBusServiceWatcher::WatchForRegistration);
        QSignalSpy registered(&watcher, &QDBusServiceWatcher::serviceRegistered);
        m_mock.start();
        if (!m_mock.waitForStarted(5000))
            return QStringLiteral("the mock did not start: ") + m_mock.errorString();
        if (!m_connection.interface()->isServiceRegistered(QLatin1String(kService)) && !registered.wait(20000))
            return QStringLiteral("the mock did not claim its name");
        return QString();
    }

    void stopMock()
    {
        if (m_mock.state() == QProcess::NotRunning)
            return;
        m_mock.terminate();
        if (!m_mock.waitForFinished(5000)) {
            m_mock.kill();
            m_mock.waitForFinished(3000);
        }
    }

    QDBusMessage control(const QString& method, const QVariantList& args = {})
    {
        QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kRoot),
                                                           QStringLiteral("org.freedesktop.ModemManager1.TestControl"), method);
        call.setArguments(args);
        const QDBusMessage reply = m_connection.call(call, QDBus::Block, 20000);
        if (reply.type() == QDBusMessage::ErrorMessage)
            qWarning("mock ModemManager: %s failed: %s", qPrintable(method), qPrintable(reply.errorMessage()));
        return reply;
    }

    // Adds a message to the modem's list; `announce` emits Added(path, received=true).
    QString addSms(const QVariantMap& props, bool announce)
    {
        const QDBusMessage reply = control(QStringLiteral("AddSms"), {props, announce});
        return reply.arguments().isEmpty() ? QString() : reply.arguments().constFirst().value<QDBusObjectPath>().path();
    }

    void setSms(const QString& path, const QVariantMap& props)
    {
        control(QStringLiteral("SetProperties"), {path, QStringLiteral("org.freedesktop.ModemManager1.Sms"), props});
    }

    void setModem(const QString& iface, const QVariantMap& props)
    {
        control(QStringLiteral("SetProperties"), {QLatin1String(kModem), iface, props});
    }

    void behave(const QVariantMap& params) { control(QStringLiteral("SetBehaviour"), {params}); }

    QStringList messagePaths()
    {
        const QDBusMessage reply = control(QStringLiteral("MessagePaths"));
        QStringList out;
        if (!reply.arguments().isEmpty()) {
            const QDBusArgument arg = reply.arguments().constFirst().value<QDBusArgument>();
            QList<QDBusObjectPath> paths;
            arg >> paths;
            for (const QDBusObjectPath& p : paths)
                out << p.path();
        }
        return out;
    }

    QVariant smsProperty(const QString& path, const QString& name)
    {
        QDBusInterface props(QLatin1String(kService), path, QStringLiteral("org.freedesktop.DBus.Properties"), m_connection);
        QDBusReply<QVariant> reply = props.call(QStringLiteral("Get"), QStringLiteral("org.freedesktop.ModemManager1.Sms"), name);
        return reply.isValid() ? reply.value() : QVariant();
    }

    // Deletes a message the way another program on the machine would, through ModemManager.
    bool deleteSms(const QString& path)
    {
        QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kModem),
                                                           QStringLiteral("org.freedesktop.ModemManager1.Modem.Messaging"),
                                                           QStringLiteral("Delete"));
        call.setArguments({QVariant::fromValue(QDBusObjectPath(path))});
        return m_connection.call(call, QDBus::Block, 20000).type() != QDBusMessage::ErrorMessage;
    }

    QVariantMap lastCreate()
    {
        const QDBusMessage reply = control(QStringLiteral("LastCreate"));
        if (reply.arguments().isEmpty())
            return {};
        QVariantMap map;
        reply.arguments().constFirst().value<QDBusArgument>() >> map;
        return map;
    }

    QVariantMap createdWith(const QString& path)
    {
        const QDBusMessage reply = control(QStringLiteral("CreatedWith"), {QVariant::fromValue(QDBusObjectPath(path))});
        if (reply.arguments().isEmpty())
            return {};
        QVariantMap map;
        reply.arguments().constFirst().value<QDBusArgument>() >> map;
        return map;
    }

private:
    QTemporaryDir m_dir;
    QProcess m_bus;
    QProcess m_mock;
    QString m_address;
    QDBusConnection m_connection{QStringLiteral("none")};
};
