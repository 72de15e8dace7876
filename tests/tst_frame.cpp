// The frame: loading plug-ins the way a host does, explaining the ones it cannot use, the unread
// count in the status bar and the shut-down order.

#include "CommonUtils.h"
#include "FrameWindow.h"
#include "SettingsDialog.h"
#include "HostGuids.h"
#include "PluginManager.h"
#include "SimControl.h"
#include "Startup.h"

#include <QLabel>
#include <QMessageBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

class TestFrame : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void missingPluginFolder();
    void brokenPluginsAreExplained();
    void frameRunsTheSmsPage();
    void storeProblemIsToldOnce();
    void settingsPageFollowsTheDialog();

private:
    QTemporaryDir m_dir;
};

void TestFrame::initTestCase()
{
    QVERIFY(m_dir.isValid());
    ZsdkSim::Options o;
    o.databasePath = m_dir.filePath(QStringLiteral("sim.sqlite"));
    o.seed = true;
    o.simReadDelayMs = 0;
    o.deviceReadDelayMs = 0;
    ZsdkSim::Configure(o);
    CommonUtils::SetSettingsFile(m_dir.filePath(QStringLiteral("xframe.ini")));
    CommonUtils::SetMessageResponder([](const MessageRequest&) { return int(QMessageBox::Ok); });
}

void TestFrame::missingPluginFolder()
{
    PluginManager manager;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("plug-in folder .* does not exist")));
    QCOMPARE(manager.LoadAll(m_dir.filePath(QStringLiteral("nowhere"))), 0);
    QVERIFY(manager.Plugins().isEmpty());
}

void TestFrame::brokenPluginsAreExplained()
{
    PluginManager manager;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("not a Qt plug-in")));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("Init\\(\\) failed")));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("does not implement IUIPlugin")));
    QCOMPARE(manager.LoadAll(QStringLiteral(FIXTURE_ROOT)), 0);
    QCOMPARE(manager.Plugins().size(), 3);
    QMap<QString, LoadedPlugin::State> states;
    for (const LoadedPlugin& entry : manager.Plugins())
        states.insert(QFileInfo(entry.file).dir().dirName(), entry.state);
    QCOMPARE(states.value(QStringLiteral("Broken")), LoadedPlugin::Invalid);
    QCOMPARE(states.value(QStringLiteral("Failing")), LoadedPlugin::Failed);
    QCOMPARE(states.value(QStringLiteral("Other")), LoadedPlugin::Invalid);
    QCOMPARE(manager.Problems().size(), 3);
    // A plug-in that failed Init is still shut down properly.
    LoadedPlugin* failing = nullptr;
    for (const LoadedPlugin& entry : manager.Plugins())
        if (entry.state == LoadedPlugin::Failed)
            failing = const_cast<LoadedPlugin*>(&entry);
    QVERIFY(failing && failing->instance);
    QPointer<QObject> instance = failing->instance;
    manager.ShutdownAll();
    QVERIFY(instance.isNull());
    QCOMPARE(failing->state, LoadedPlugin::Stopped);
}

void TestFrame::frameRunsTheSmsPage()
{
    FrameWindow frame(true);
    frame.resize(900, 600);
    frame.show();
    QCOMPARE(frame.StartPlugins(), 1);
    LoadedPlugin* sms = frame.Plugins().Find(QStringLiteral("SMSUIPlugin"));
    QVERIFY(sms);
    QCOMPARE(sms->className, QStringLiteral("CSMSUIPlugin"));
    QVERIFY(frame.findChild<QTreeWidget*>(QStringLiteral("SMSUIPlugin_TreeSMSWidget")));
    QVERIFY(Startup::GetPluginContainer());
    QVERIFY(CommonUtils::IsPluginAvailable(QLatin1String(HostGuid::CallUI)));
    auto* unread = frame.findChild<QLabel*>(QStringLiteral("XFrame_UnreadLabel"));
    QVERIFY(unread);
    QVERIFY(unread->text().startsWith(QStringLiteral("Unread messages: ")));
    // A message from the network raises the count the frame shows.
    const int before = unread->text().section(QLatin1Char(' '), -1).toInt();
    ZsdkSim::Incoming in;
    in.number = QStringLiteral("+491712345678");
    in.text = QStringLiteral("hello frame");
    QVERIFY(ZsdkSim::InjectMessage(in) > 0);
    QTRY_COMPARE(unread->text(), QStringLiteral("Unread messages: %1").arg(before + 1));
    QPointer<QWidget> page = frame.findChild<QWidget*>(QStringLiteral("SMSUIPlugin_MainWidget"));
    QVERIFY(page);
    frame.Shutdown();
    QVERIFY(page.isNull());
    QCOMPARE(sms->state, LoadedPlugin::Stopped);
    ZsdkSim::Shutdown();
}

void TestFrame::storeProblemIsToldOnce()
{
    ZsdkSim::Shutdown();
    const QString path = m_dir.filePath(QStringLiteral("damaged.sqlite"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("not a database").repeated(300));
    f.close();
    ZsdkSim::Options o;
    o.databasePath = path;
    o.simReadDelayMs = 0;
    o.deviceReadDelayMs = 0;
    ZsdkSim::Configure(o);
    QStringList told;
    CommonUtils::SetMessageResponder([&told](const MessageRequest& r) {
        told << r.text;
        return int(QMessageBox::Ok);
    });
    FrameWindow frame(true);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("was damaged")));
    frame.CheckMessageStore();
    frame.CheckMessageStore();
    QCOMPARE(told.size(), 1);
    QVERIFY2(told.at(0).contains(QStringLiteral("set aside as")), qPrintable(told.at(0)));
    QCOMPARE(frame.statusBar()->currentMessage(), told.at(0));
    CommonUtils::SetMessageResponder([](const MessageRequest&) { return int(QMessageBox::Ok); });
    ZsdkSim::Shutdown();
}

void TestFrame::settingsPageFollowsTheDialog()
{
    FrameWindow frame(true);
    frame.show();
    QCOMPARE(frame.StartPlugins(), 1);
    // The host tells the page that the main frame is visible (the page's memory-full question waits
    // less then).
    QWidget* smsPage = frame.findChild<QWidget*>(QStringLiteral("SMSUIPlugin_MainWidget"));
    QVERIFY(smsPage);
    QVERIFY(smsPage->property("mainFrameShown").toBool());
    std::unique_ptr<SettingsDialog> dialog(frame.CreateSettingsDialog());
    dialog->show();
    QWidget* page = nullptr;
    QTRY_VERIFY((page = dialog->findChild<QWidget*>(QStringLiteral("SmsSettingUIPlugin_WidgetSmsSetting"))) && page->isVisible());
    // The page gets at least the room it asks for, and grows with the dialog.
    QTRY_VERIFY(page->width() >= page->minimumSizeHint().width() && page->height() >= page->minimumSizeHint().height());
    const QSize before = page->size();
    dialog->resize(dialog->width() + 120, dialog->height() + 80);
    QTRY_COMPARE(page->size(), before + QSize(120, 80));
    dialog->reject();
    dialog.reset();
    frame.Shutdown();
    ZsdkSim::Shutdown();
}

QTEST_MAIN(TestFrame)
#include "tst_frame.moc"
