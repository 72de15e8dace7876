// The plug-in as a host sees it: loaded through QPluginLoader from the build tree, cast by its
// interface strings, started, notified and shut down in the host's order.

#include "Change.h"
#include "CommonUtils.h"
#include "HostGuids.h"
#include "HostInterfaces.h"
#include "SimControl.h"
#include "Startup.h"

#include <QJsonObject>
#include <QLoggingCategory>
#include <QMutex>
#include <QPluginLoader>
#include <QPointer>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

namespace {

QMutex g_logMutex;
QStringList g_log;

void captureLog(QtMsgType type, const QMessageLogContext&, const QString& msg)
{
    QMutexLocker lock(&g_logMutex);
    g_log << msg;
    if (type >= QtWarningMsg)
        fprintf(stderr, "%s\n", qPrintable(msg));
}

// Some cases see what the plug-in did through its debug lines: those lines are switched on here
// whatever logging rules the machine or the environment set.
QLoggingCategory::CategoryFilter g_previousLogFilter = nullptr;

void keepDebugLinesOn(QLoggingCategory* category)
{
    if (g_previousLogFilter)
        g_previousLogFilter(category);
    if (qstrcmp(category->categoryName(), "default") == 0)
        category->setEnabled(QtDebugMsg, true);
}

int logCount(const QString& fragment)
{
    QMutexLocker lock(&g_logMutex);
    int n = 0;
    for (const QString& line : qAsConst(g_log))
        n += line.contains(fragment) ? 1 : 0;
    return n;
}

int logIndex(const QString& fragment)
{
    QMutexLocker lock(&g_logMutex);
    for (int i = 0; i < g_log.size(); ++i)
        if (g_log.at(i).contains(fragment))
            return i;
    return -1;
}

class RecordingNotify : public QObject, public INotifyService
{
    Q_OBJECT
    Q_INTERFACES(INotifyService)
public:
    QList<QPair<QString, int>> registered;
    void RegisterNotify(const QString& guid, int code) override { registered.append({guid, code}); }
    void UnRegisterNotify(const QString&, int) override {}
    void SendNotify(const QString&, int, int, int) override {}
    void UnRegisterAll(const QString&) override {}
    void BroadcastNotify(int, int, int) override {}
};

} // namespace

class TestPluginEntry : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();

    void metadata();
    void interfaceStrings_data();
    void interfaceStrings();
    void showWindowBeforeInitShowsNothing();
    void queryInterface_data();
    void queryInterface();
    void initRegistersAndShowsThePage();
    void simAvailableTwiceActsOnce();
    void invalidNumberIsRefused_data();
    void invalidNumberIsRefused();
    void settingsService();
    void languageChangeRetranslatesThePage();
    void shutdownOrder();

private:
    QTemporaryDir m_dir;
    QPluginLoader* m_loader = nullptr;
    QObject* m_instance = nullptr;
    IUIPlugin* m_plugin = nullptr;
    PluginContainer m_container;
    RecordingNotify m_notify;
    QWidget m_host;
};

void TestPluginEntry::initTestCase()
{
    qInstallMessageHandler(captureLog);
    g_previousLogFilter = QLoggingCategory::installFilter(keepDebugLinesOn);
    QVERIFY(m_dir.isValid());
    ZsdkSim::Options options;
    options.databasePath = m_dir.filePath(QStringLiteral("sim.sqlite"));
    options.seed = false;
    options.simReadDelayMs = 0;
    options.deviceReadDelayMs = 0;
    ZsdkSim::Configure(options);
    CommonUtils::SetSettingsFile(m_dir.filePath(QStringLiteral("xframe.ini")));
    CommonUtils::SetMessageResponder([](const MessageRequest&) { return int(QMessageBox::Ok); });
    Change::LoadLanguage(QStringLiteral("en"));

    m_loader = new QPluginLoader(QStringLiteral(TEST_BUILD_ROOT "/plugins/SMSUIPlugin/libSMSUIPlugin.so"), this);
    m_instance = m_loader->instance();
    QVERIFY2(m_instance, qPrintable(m_loader->errorString()));
    m_plugin = qobject_cast<IUIPlugin*>(m_instance);
    QVERIFY(m_plugin);
}

void TestPluginEntry::cleanupTestCase()
{
    CommonUtils::SetMessageResponder(nullptr);
    Startup::SetPluginContainer(nullptr);
    ZsdkSim::Shutdown();
    QLoggingCategory::installFilter(g_previousLogFilter);
    qInstallMessageHandler(nullptr);
}

void TestPluginEntry::metadata()
{
    const QJsonObject meta = m_loader->metaData();
    QCOMPARE(meta.value(QStringLiteral("IID")).toString(), QStringLiteral("smsuiplugin"));
    QCOMPARE(meta.value(QStringLiteral("className")).toString(), QStringLiteral("CSMSUIPlugin"));
#ifdef QT_NO_DEBUG
    QCOMPARE(meta.value(QStringLiteral("debug")).toBool(), false);
#else
    QCOMPARE(meta.value(QStringLiteral("debug")).toBool(), true);
#endif
    // The host reads the plug-in's own block; it is present and empty.
    QVERIFY(meta.value(QStringLiteral("MetaData")).isObject());
    QVERIFY(meta.value(QStringLiteral("MetaData")).toObject().isEmpty());
    QCOMPARE(m_plugin->GetPluginName(), QStringLiteral("SMSUIPlugin"));
    QCOMPARE(m_plugin->GetPluginTitle(), QString());
}

void TestPluginEntry::interfaceStrings_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<int>("part");   // 0 the object, 1 the IUIPlugin base, 2 the INotify base, -1 nothing
    QTest::newRow("its class name") << QByteArray("CSMSUIPlugin") << 0;
    QTest::newRow("IUIPlugin") << QByteArray("IUIPlugin") << 1;
    QTest::newRow("the base plug-in iid") << QByteArray("com.zentak.velinor.plugin.IBasePlugin") << 1;
    QTest::newRow("the UI plug-in iid") << QByteArray("com.zentak.velinor.plugin.IUIPlugin") << 1;
    QTest::newRow("INotify") << QByteArray("INotify") << 2;
    QTest::newRow("the notify iid") << QByteArray("com.zentak.velinor.plugin.INotify") << 2;
    QTest::newRow("QObject") << QByteArray("QObject") << 0;
    QTest::newRow("an interface it does not have") << QByteArray("com.zentak.velinor.plugin.IMainToolbar") << -1;
}

void TestPluginEntry::interfaceStrings()
{
    QFETCH(QByteArray, name);
    QFETCH(int, part);
    void* expected = nullptr;
    if (part == 0)
        expected = m_instance;
    else if (part == 1)
        expected = static_cast<void*>(m_plugin);
    else if (part == 2)
        expected = static_cast<void*>(qobject_cast<INotify*>(m_instance));
    QCOMPARE(m_instance->qt_metacast(name.constData()), expected);
    if (part == 1)
        QCOMPARE(static_cast<void*>(qobject_cast<IBasePlugin*>(m_instance)), static_cast<void*>(static_cast<IBasePlugin*>(m_plugin)));
}

void TestPluginEntry::showWindowBeforeInitShowsNothing()
{
    QCOMPARE(m_plugin->ShowWindow(&m_host, QRect(0, 0, 639, 479)), 0);
    QVERIFY(!m_host.findChild<QWidget*>(QStringLiteral("SMSUIPlugin_MainWidget")));
    // Without a window, another component's message has nowhere to be written.
    void* sms = nullptr;
    QVERIFY(m_plugin->QueryInterface(0x1001, &sms));
    QCOMPARE(static_cast<ISMSUIService*>(sms)->SendSMSToNumber(QStringLiteral("0301234567"), QStringLiteral("hello"), &m_host), -1);
    // Without a page yet, the settings service lets the host's dialog open and close as usual.
    void* out = nullptr;
    QVERIFY(m_plugin->QueryInterface(0x1002, &out));
    auto* settings = static_cast<ISettingUIPlugin*>(out);
    QVERIFY(settings->ShowSettingPage(&m_host, QRect(0, 0, 400, 300)));
    QVERIFY(!settings->IsPageShown());
    QVERIFY(settings->ApplySetting());
    QVERIFY(settings->CancelSetting());
    QVERIFY(!m_host.findChild<QWidget*>(QStringLiteral("SmsSettingUIPlugin_WidgetSmsSetting")));
}

void TestPluginEntry::queryInterface_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<bool>("answered");
    QTest::newRow("the SMS UI service") << 0x1001 << true;
    QTest::newRow("the settings page") << 0x1002 << true;
    QTest::newRow("a number it does not know") << 0x1003 << false;
    QTest::newRow("zero") << 0 << false;
}

void TestPluginEntry::queryInterface()
{
    QFETCH(int, id);
    QFETCH(bool, answered);
    int sentinel = 0;
    void* out = &sentinel;
    QCOMPARE(m_plugin->QueryInterface(id, &out), answered);
    if (!answered) {
        QCOMPARE(out, static_cast<void*>(&sentinel));
        return;
    }
    QVERIFY(out && out != &sentinel);
    // The same object every time: the services are singletons.
    void* again = nullptr;
    QVERIFY(m_plugin->QueryInterface(id, &again));
    QCOMPARE(again, out);
}

void TestPluginEntry::initRegistersAndShowsThePage()
{
    m_container.RegisterPlugin(QLatin1String(HostGuid::NotifyService), 0x2011, &m_notify);
    Startup::SetPluginContainer(&m_container);
    QVERIFY(m_plugin->Init());
    const QList<QPair<QString, int>> expected{{QLatin1String(HostGuid::SmsPlugin), 0x120},
                                              {QLatin1String(HostGuid::SmsPlugin), 0x121},
                                              {QLatin1String(HostGuid::SmsPlugin), 0x122}};
    QCOMPARE(m_notify.registered, expected);

    m_host.resize(800, 600);
    QCOMPARE(m_plugin->ShowWindow(&m_host, QRect(QPoint(10, 20), QPoint(649, 499))), 1);
    auto* page = m_host.findChild<QWidget*>(QStringLiteral("SMSUIPlugin_MainWidget"));
    QVERIFY(page);
    QCOMPARE(page->geometry(), QRect(10, 20, 640, 480));
    QVERIFY(page->findChild<QTreeWidget*>(QStringLiteral("SMSUIPlugin_TreeSMSWidget")));
    m_plugin->SetWindowRect(QRect(QPoint(0, 0), QPoint(99, 49)));
    QCOMPARE(page->size(), QSize(100, 50));
    // A second Init does not build a second window.
    QVERIFY(m_plugin->Init());
    QCOMPARE(m_host.findChildren<QWidget*>(QStringLiteral("SMSUIPlugin_MainWidget")).size(), 1);
}

void TestPluginEntry::simAvailableTwiceActsOnce()
{
    auto* notify = qobject_cast<INotify*>(m_instance);
    QVERIFY(notify);
    const QString acted = QStringLiteral("OnSimStatusChanged available");
    const int before = logCount(acted);
    QCOMPARE(notify->Notify(0x242, 0, 0), 0);
    QCOMPARE(notify->Notify(0x242, 0, 0), 0);
    QCOMPARE(logCount(acted) - before, 1);
    notify->Notify(0x243, 0, 0);
    notify->Notify(0x243, 0, 0);
    QCOMPARE(logCount(acted) - before, 2);
    notify->Notify(0x242, 0, 0);
    QCOMPARE(logCount(acted) - before, 3);
}

void TestPluginEntry::invalidNumberIsRefused_data()
{
    QTest::addColumn<QString>("number");
    QTest::newRow("a letter") << "01712a45";
    QTest::newRow("a blank") << "0171 2345";
    QTest::newRow("a plus inside") << "0171+2345";
}

void TestPluginEntry::invalidNumberIsRefused()
{
    QFETCH(QString, number);
    void* out = nullptr;
    QVERIFY(m_plugin->QueryInterface(0x1001, &out));
    auto* sms = static_cast<ISMSUIService*>(out);
    QList<MessageRequest> asked;
    CommonUtils::SetMessageResponder([&asked](const MessageRequest& r) {
        asked << r;
        return int(QMessageBox::Ok);
    });
    QCOMPARE(sms->SendSMSToNumber(number, QStringLiteral("hi"), nullptr), -1);
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked.at(0).text, Change::tr(QStringLiteral("IDS_STR_NUMBERINVALID"), QStringLiteral("SMSUIPlugin")));
    QCOMPARE(asked.at(0).title, Change::tr(QStringLiteral("IDS_STR_PROMPT"), QStringLiteral("SMSUIPlugin")));
    QCOMPARE(asked.at(0).buttons, QStringList{QStringLiteral("IDS_OK")});
    // A valid number never asks.
    asked.clear();
    QCOMPARE(sms->SendSMSToNumber(QStringLiteral("+491712345678;+33612345678"), QString(), nullptr), 0);
    QVERIFY(asked.isEmpty());
}

void TestPluginEntry::settingsService()
{
    void* out = nullptr;
    QVERIFY(m_plugin->QueryInterface(0x1002, &out));
    auto* settings = static_cast<ISettingUIPlugin*>(out);
    QCOMPARE(settings->GetSettingName(), QStringLiteral("Messages"));
    QVERIFY(!settings->IsPageShown());
    QWidget dialog;
    QVERIFY(settings->ShowSettingPage(&dialog, QRect(0, 0, 400, 300)));
    QVERIFY(settings->IsPageShown());
    QVERIFY(dialog.findChild<QWidget*>(QStringLiteral("SmsSettingUIPlugin_WidgetSmsSetting")));
    QVERIFY(settings->ApplySetting());
    QVERIFY(!settings->IsPageShown());
    QCOMPARE(CommonUtils::GetSettings(QStringLiteral("SMSSERVICE"), QStringLiteral("VisionAlert")), QStringLiteral("1"));
    QVERIFY(settings->ShowSettingPage(&dialog, QRect(0, 0, 400, 300)));
    QVERIFY(settings->CancelSetting());
    QVERIFY(!settings->IsPageShown());
    // The page lives in the plug-in, not in the host's dialog: take it back before the dialog dies.
    if (QWidget* page = dialog.findChild<QWidget*>(QStringLiteral("SmsSettingUIPlugin_WidgetSmsSetting")))
        page->setParent(nullptr);
}

void TestPluginEntry::languageChangeRetranslatesThePage()
{
    auto* tree = m_host.findChild<QTreeWidget*>(QStringLiteral("SMSUIPlugin_TreeSMSWidget"));
    QVERIFY(tree);
    auto inboxText = [tree] { return tree->topLevelItem(0)->child(0)->text(0); };
    // The shipped configuration puts counts behind the labels: "Inbox(0/0)".
    QVERIFY2(inboxText().startsWith(QStringLiteral("Inbox(")), qPrintable(inboxText()));
    QVERIFY(Change::LoadLanguage(QStringLiteral("de")));
    qobject_cast<INotify*>(m_instance)->Notify(0x140, 0, 0);
    QVERIFY2(inboxText().startsWith(QStringLiteral("Posteingang(")), qPrintable(inboxText()));
    QVERIFY(Change::LoadLanguage(QStringLiteral("ar")));
    qobject_cast<INotify*>(m_instance)->Notify(0x140, 0, 0);
    auto* page = m_host.findChild<QWidget*>(QStringLiteral("SMSUIPlugin_MainWidget"));
    QCOMPARE(page->layoutDirection(), Qt::RightToLeft);
    Change::LoadLanguage(QStringLiteral("en"));
    qobject_cast<INotify*>(m_instance)->Notify(0x140, 0, 0);
    QCOMPARE(page->layoutDirection(), Qt::LeftToRight);
}

void TestPluginEntry::shutdownOrder()
{
    QPointer<QWidget> page = m_host.findChild<QWidget*>(QStringLiteral("SMSUIPlugin_MainWidget"));
    QVERIFY(page);
    // While registered, a device event reaches the plug-in's callback.
    const QString callback = QStringLiteral("Entered in callbackfunction");
    int before = logCount(callback);
    ZsdkSim::SetRadio(false);
    QVERIFY(ZsdkSim::WaitForEvents());
    QVERIFY(logCount(callback) > before);

    m_plugin->UnSDKRegisterEvent();
    before = logCount(callback);
    ZsdkSim::SetRadio(true);
    QVERIFY(ZsdkSim::WaitForEvents());
    QCOMPARE(logCount(callback), before);

    m_plugin->OnDestroy();
    QVERIFY(page.isNull());
    const int window = logIndex(QStringLiteral("~SMSUIMainDlg entered"));
    const int service = logIndex(QStringLiteral("~CSMSUIService entered"));
    QVERIFY(window >= 0 && service >= 0);
    QVERIFY(window < service);
    // After release the services answer as if never started.
    QCOMPARE(m_plugin->ShowWindow(&m_host, QRect(0, 0, 9, 9)), 0);
    delete m_instance;
    m_instance = nullptr;
    m_plugin = nullptr;
}

QTEST_MAIN(TestPluginEntry)
#include "tst_pluginentry.moc"
