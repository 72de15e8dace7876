// Desktop notifications for received messages, against a mock notification daemon
// (python3-dbusmock's notification_daemon template) on a private session bus.

#include "DesktopNotifier.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kMock = QStringLiteral("org.freedesktop.DBus.Mock");
// dbusmock is Debian's python3 module; another python3 may come first on the PATH.
const QString kPython = QStringLiteral("/usr/bin/python3");

struct NotifyCall {
    QString appName;
    QString icon;
    QString summary;
    QString body;
    QStringList actions;
    QVariantMap hints;
};

} // namespace

class TestNotifier : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void bodyIsTheFirstLine_data();
    void bodyIsTheFirstLine();
    void notificationNamesSenderAndFirstLine_data();
    void notificationNamesSenderAndFirstLine();
    void actionOpensTheMessageItWasShownFor();
    void switchedOffShowsNothing();
    void withoutAServiceNothingBreaks();

private:
    bool startMock(const QString& capabilities);
    void stopMock();
    QList<NotifyCall> notifyCalls();
    void emitFromDaemon(const QString& name, const QString& signature, const QVariantList& args);

    QTemporaryDir m_dir;
    QProcess m_daemon;
    QProcess m_mock;
    QString m_address;
    std::unique_ptr<QDBusConnection> m_bus;
};

void TestNotifier::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty(), "dbus-daemon is missing; scripts/deps.sh installs dbus");
    QVERIFY2(QFile::exists(kPython), "no /usr/bin/python3; scripts/deps.sh installs python3-dbusmock");
    // A bus of our own: no activatable services, so nothing but the mock answers as the
    // notification service.
    const QString config = m_dir.filePath(QStringLiteral("bus.conf"));
    QFile file(config);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
               " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
               "<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen><auth>EXTERNAL</auth>\n"
               "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
               "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n");
    file.close();
    m_daemon.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
    QVERIFY2(m_daemon.waitForStarted(10000), qPrintable(m_daemon.errorString()));
    while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(10000)) {
    }
    m_address = QString::fromLocal8Bit(m_daemon.readLine()).trimmed();
    QVERIFY2(!m_address.isEmpty(), qPrintable(QString::fromLocal8Bit(m_daemon.readAllStandardError())));
    m_bus = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(m_address, QStringLiteral("private-session")));
    QVERIFY2(m_bus->isConnected(), qPrintable(m_bus->lastError().message()));
}

void TestNotifier::cleanupTestCase()
{
    stopMock();
    m_bus.reset();
    QDBusConnection::disconnectFromBus(QStringLiteral("private-session"));
    m_daemon.kill();
    m_daemon.waitForFinished(5000);
}

bool TestNotifier::startMock(const QString& capabilities)
{
    stopMock();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
    m_mock.setProcessEnvironment(env);
    m_mock.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QDBusServiceWatcher watcher(kService, *m_bus, QDBusServiceWatcher::WatchForRegistration);
    QSignalSpy registered(&watcher, &QDBusServiceWatcher::serviceRegistered);
    m_mock.start(kPython, {QStringLiteral("-m"), QStringLiteral("dbusmock"), QStringLiteral("--template"),
                           QStringLiteral("notification_daemon"), QStringLiteral("-p"),
                           QStringLiteral("{\"capabilities\": \"%1\"}").arg(capabilities)});
    if (!m_mock.waitForStarted(10000))
        return false;
    return m_bus->interface()->isServiceRegistered(kService) || registered.wait(30000);
}

void TestNotifier::stopMock()
{
    if (m_mock.state() == QProcess::NotRunning)
        return;
    QDBusServiceWatcher watcher(kService, *m_bus, QDBusServiceWatcher::WatchForUnregistration);
    QSignalSpy gone(&watcher, &QDBusServiceWatcher::serviceUnregistered);
    m_mock.terminate();
    m_mock.waitForFinished(10000);
    if (m_bus->interface()->isServiceRegistered(kService))
        gone.wait(10000);
}

QList<NotifyCall> TestNotifier::notifyCalls()
{
    QDBusMessage ask = QDBusMessage::createMethodCall(kService, kPath, kMock, QStringLiteral("GetMethodCalls"));
    ask << QStringLiteral("Notify");
    const QDBusMessage reply = m_bus->call(ask);
    QList<NotifyCall> calls;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return calls;
    const QDBusArgument list = reply.arguments().constFirst().value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        qulonglong when = 0;
        QVariantList args;
        list.beginStructure();
        list >> when >> args;
        list.endStructure();
        if (args.size() != 8)
            continue;
        NotifyCall call;
        call.appName = args.at(0).toString();
        call.icon = args.at(2).toString();
        call.summary = args.at(3).toString();
        call.body = args.at(4).toString();
        call.actions = qdbus_cast<QStringList>(args.at(5));
        call.hints = qdbus_cast<QVariantMap>(args.at(6));
        calls << call;
    }
    list.endArray();
    return calls;
}

void TestNotifier::emitFromDaemon(const QString& name, const QString& signature, const QVariantList& args)
{
    QVariantList wrapped;
    for (const QVariant& a : args)
        wrapped << QVariant::fromValue(QDBusVariant(a));
    QDBusMessage emitCall = QDBusMessage::createMethodCall(kService, kPath, kMock, QStringLiteral("EmitSignal"));
    emitCall << kService << name << signature << wrapped;
    const QDBusMessage reply = m_bus->call(emitCall);
    QVERIFY2(reply.type() == QDBusMessage::ReplyMessage, qPrintable(reply.errorMessage()));
}

void TestNotifier::bodyIsTheFirstLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("markup");
    QTest::addColumn<QString>("body");
    QTest::newRow("two lines") << QStringLiteral("See you at six\r\nBring the keys") << false << QStringLiteral("See you at six");
    QTest::newRow("blank lines before the text") << QStringLiteral("\n \n  Gate B12  \nok") << false << QStringLiteral("Gate B12");
    QTest::newRow("markup server gets escapes") << QStringLiteral("<b>Tom & Jerry</b>") << true
                                                << QStringLiteral("&lt;b&gt;Tom &amp; Jerry&lt;/b&gt;");
    QTest::newRow("plain server gets the text") << QStringLiteral("<b>Tom & Jerry</b>") << false << QStringLiteral("<b>Tom & Jerry</b>");
    QTest::newRow("long line shortened") << QString(300, QLatin1Char('a')) << false << QString(119, QLatin1Char('a')) + QChar(0x2026);
    // An emoji (a surrogate pair) straddling the cut is dropped whole, never halved.
    QTest::newRow("cut before a surrogate pair") << QString(118, QLatin1Char('a')) + QStringLiteral("\U0001F600") + QString(50, QLatin1Char('b'))
                                                 << false << QString(118, QLatin1Char('a')) + QChar(0x2026);
    QTest::newRow("surrogate pair just fits") << QString(117, QLatin1Char('a')) + QStringLiteral("\U0001F600") + QString(50, QLatin1Char('b'))
                                              << false << QString(117, QLatin1Char('a')) + QStringLiteral("\U0001F600") + QChar(0x2026);
    QTest::newRow("only blank") << QStringLiteral(" \n\t") << false << QString();
}

void TestNotifier::bodyIsTheFirstLine()
{
    QFETCH(QString, text);
    QFETCH(bool, markup);
    QFETCH(QString, body);
    QCOMPARE(DesktopNotifier::BodyFor(text, markup), body);
}

void TestNotifier::notificationNamesSenderAndFirstLine_data()
{
    QTest::addColumn<QString>("capabilities");
    QTest::addColumn<QString>("body");
    QTest::newRow("server with markup") << QStringLiteral("body body-markup actions") << QStringLiteral("Fish &amp; chips?");
    QTest::newRow("server without markup") << QStringLiteral("body actions") << QStringLiteral("Fish & chips?");
}

void TestNotifier::notificationNamesSenderAndFirstLine()
{
    QFETCH(QString, capabilities);
    QFETCH(QString, body);
    QVERIFY(startMock(capabilities));
    DesktopNotifier notifier(*m_bus);
    QVERIFY(notifier.IsServiceAvailable());
    QSignalSpy shown(&notifier, &DesktopNotifier::shown);
    notifier.SetActionLabel(QStringLiteral("Ansehen"));
    notifier.ShowMessage(1, 42, QStringLiteral("Anna Berg"), QStringLiteral("Fish & chips?\nAt eight."));
    QVERIFY(shown.wait(10000));
    const QList<NotifyCall> calls = notifyCalls();
    QCOMPARE(calls.size(), 1);
    const NotifyCall& call = calls.first();
    QCOMPARE(call.summary, QStringLiteral("Anna Berg"));
    QCOMPARE(call.body, body);
    QCOMPARE(call.icon, QStringLiteral("org.xframe.XFrame"));
    QCOMPARE(call.hints.value(QStringLiteral("desktop-entry")).toString(), QStringLiteral("org.xframe.XFrame"));
    // Clicking the notification and its button both open the message.
    QCOMPARE(call.actions, (QStringList{QStringLiteral("default"), QStringLiteral("Ansehen"), QStringLiteral("open"), QStringLiteral("Ansehen")}));
}

void TestNotifier::actionOpensTheMessageItWasShownFor()
{
    QVERIFY(startMock(QStringLiteral("body actions")));
    DesktopNotifier notifier(*m_bus);
    QSignalSpy shown(&notifier, &DesktopNotifier::shown);
    QSignalSpy opened(&notifier, &DesktopNotifier::openMessage);
    notifier.ShowMessage(1, 10, QStringLiteral("+491711111111"), QStringLiteral("first"));
    QVERIFY(shown.wait(10000));
    notifier.ShowMessage(7, 11, QStringLiteral("+491722222222"), QStringLiteral("second"));
    QVERIFY(shown.wait(10000));
    const uint first = shown.at(0).at(0).toUInt();
    const uint second = shown.at(1).at(0).toUInt();
    QVERIFY(first != second);

    // Signals on one connection arrive in order: the valid action at the end shows that the
    // ones before it were seen and ignored.
    emitFromDaemon(QStringLiteral("ActionInvoked"), QStringLiteral("us"), {second + 100, QStringLiteral("default")});  // another program's
    emitFromDaemon(QStringLiteral("ActionInvoked"), QStringLiteral("us"), {second, QStringLiteral("snooze")});         // not our action
    emitFromDaemon(QStringLiteral("NotificationClosed"), QStringLiteral("uu"), {first, 2u});
    emitFromDaemon(QStringLiteral("ActionInvoked"), QStringLiteral("us"), {first, QStringLiteral("default")});         // already closed
    emitFromDaemon(QStringLiteral("ActionInvoked"), QStringLiteral("us"), {second, QStringLiteral("open")});
    QVERIFY(opened.wait(10000));
    QCOMPARE(opened.size(), 1);
    QCOMPARE(opened.at(0).at(0).toInt(), 7);
    QCOMPARE(opened.at(0).at(1).toInt(), 11);

    // Once opened, a second click on a notification the server keeps does nothing more.
    emitFromDaemon(QStringLiteral("ActionInvoked"), QStringLiteral("us"), {second, QStringLiteral("default")});
    notifier.ShowMessage(1, 12, QStringLiteral("+491733333333"), QStringLiteral("third"));
    QVERIFY(shown.wait(10000));
    emitFromDaemon(QStringLiteral("ActionInvoked"), QStringLiteral("us"), {shown.at(2).at(0).toUInt(), QStringLiteral("default")});
    QVERIFY(opened.wait(10000));
    QCOMPARE(opened.size(), 2);
    QCOMPARE(opened.at(1).at(1).toInt(), 12);
}

void TestNotifier::switchedOffShowsNothing()
{
    QVERIFY(startMock(QStringLiteral("body actions")));
    DesktopNotifier notifier(*m_bus);
    QSignalSpy shown(&notifier, &DesktopNotifier::shown);
    notifier.SetEnabled(false);
    notifier.ShowMessage(1, 20, QStringLiteral("Off"), QStringLiteral("not shown"));
    notifier.SetEnabled(true);
    notifier.ShowMessage(1, 21, QStringLiteral("On"), QStringLiteral("shown"));
    QVERIFY(shown.wait(10000));
    const QList<NotifyCall> calls = notifyCalls();
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls.first().summary, QStringLiteral("On"));
}

void TestNotifier::withoutAServiceNothingBreaks()
{
    stopMock();
    DesktopNotifier notifier(*m_bus);
    QVERIFY(!notifier.IsServiceAvailable());
    QSignalSpy failed(&notifier, &DesktopNotifier::failed);
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtWarningMsg)
            warnings << text;
    });
    notifier.ShowMessage(1, 30, QStringLiteral("Nobody"), QStringLiteral("listens"));
    const bool firstFailed = failed.wait(10000);
    notifier.ShowMessage(1, 31, QStringLiteral("Nobody"), QStringLiteral("still"));
    const bool secondFailed = failed.wait(10000);
    qInstallMessageHandler(previous);
    QVERIFY(firstFailed && secondFailed);
    // Said once in the log, not for every message.
    QCOMPARE(warnings.size(), 1);
    QVERIFY2(warnings.first().contains(QStringLiteral("did not show a notification")), qPrintable(warnings.first()));

    // A notifier on a bus that is not there at all.
    DesktopNotifier detached(QDBusConnection(QStringLiteral("no-such-connection")));
    QVERIFY(!detached.IsServiceAvailable());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("no session bus")));
    detached.ShowMessage(1, 32, QStringLiteral("Nobody"), QStringLiteral("no bus"));
}

QTEST_MAIN(TestNotifier)
#include "tst_notifier.moc"
