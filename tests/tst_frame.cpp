// The frame: loading plug-ins the way a host does, explaining the ones it cannot use, the unread
// count in the status bar and the shut-down order.

#include "Change.h"
#include "CommonUtils.h"
#include "DesktopNotifier.h"
#include "FrameWindow.h"
#include "SettingsDialog.h"
#include "HostGuids.h"
#include "MessageArrivals.h"
#include "PluginManager.h"
#include "SimControl.h"
#include "zsdk.h"
#include "Startup.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTextBrowser>
#include <QTextEdit>
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
    void arrivalsReachTheFrame_data();
    void arrivalsReachTheFrame();
    void notificationActionOpensTheMessage();
    void desktopNotificationsAreASetting();
    void storeProblemIsToldOnce();
    void settingsPageFollowsTheDialog();
    void sendingWithTheDeviceRemoved();

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

void TestFrame::arrivalsReachTheFrame_data()
{
    QTest::addColumn<int>("mem");
    QTest::addColumn<int>("msgClass");
    QTest::addColumn<int>("node");
    QTest::addColumn<bool>("stored");
    QTest::newRow("PC inbox") << 0 << 3 << 1 << true;
    QTest::newRow("SIM inbox") << 1 << 3 << 7 << true;
    QTest::newRow("flash message, not stored") << 0 << 0 << 1 << false;
}

void TestFrame::arrivalsReachTheFrame()
{
    QFETCH(int, mem);
    QFETCH(int, msgClass);
    QFETCH(int, node);
    QFETCH(bool, stored);
    MessageArrivals arrivals;
    arrivals.Start();
    QSignalSpy received(&arrivals, &MessageArrivals::received);
    // A delivery report is no message from a person: the arrival after it comes first.
    ZsdkSim::Incoming report;
    report.kind = 1;
    report.number = QStringLiteral("+491712345678");
    ZsdkSim::InjectMessage(report);
    ZsdkSim::Incoming in;
    in.mem = mem;
    in.msgClass = msgClass;
    in.number = QStringLiteral("+491798765432");
    in.text = QStringLiteral("Running late\nsorry");
    const int id = ZsdkSim::InjectMessage(in);
    QVERIFY(received.wait(10000));
    QCOMPARE(received.size(), 1);
    QCOMPARE(received.at(0).at(0).toInt(), node);
    if (stored)
        QCOMPARE(received.at(0).at(1).toInt(), id);
    else
        QCOMPARE(received.at(0).at(1).toInt(), -1);
    QCOMPARE(received.at(0).at(2).toString(), in.number);
    QCOMPARE(received.at(0).at(3).toString(), in.text);
    // After Stop nothing more arrives, even for a message already under way.
    ZsdkSim::InjectMessage(in);
    arrivals.Stop();
    QVERIFY(ZsdkSim::WaitForEvents());
    QCoreApplication::processEvents();
    QCOMPARE(received.size(), 1);
}

void TestFrame::notificationActionOpensTheMessage()
{
    FrameWindow frame(true);
    frame.resize(900, 600);
    frame.show();
    QCOMPARE(frame.StartPlugins(), 1);
    auto* tree = frame.findChild<QTreeWidget*>(QStringLiteral("SMSUIPlugin_TreeSMSWidget"));
    auto* preview = frame.findChild<QTextBrowser*>(QStringLiteral("SMSUIPlugin_TextPreview"));
    QVERIFY(tree && preview);
    auto* unread = frame.findChild<QLabel*>(QStringLiteral("XFrame_UnreadLabel"));
    QVERIFY(unread);
    const int before = unread->text().section(QLatin1Char(' '), -1).toInt();
    QList<int> ids;
    for (const QString& text : {QStringLiteral("older: the keys are under the mat"), QStringLiteral("middle: train at 7:12"),
                                QStringLiteral("newest: all fine")}) {
        ZsdkSim::Incoming in;
        in.number = QStringLiteral("+491711112222");
        in.text = text;
        in.time = QStringLiteral("2027010110%1000").arg(ids.size() + 2);   // newer than the seeded ones
        ids << ZsdkSim::InjectMessage(in);
        QVERIFY(ids.last() > 0);
    }
    // The page has taken all three into the inbox table, and has read the card memories (which
    // rebuilds the PC tables once, dropping any selection made before).
    QTRY_COMPARE(unread->text(), QStringLiteral("Unread messages: %1").arg(before + 3));
    QTRY_VERIFY([tree] {
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            if (!tree->topLevelItem(i)->isHidden() && !tree->topLevelItem(i)->isExpanded())
                return false;
        return true;
    }());
    QTableWidget* table = nullptr;
    for (QTableWidget* t : frame.findChildren<QTableWidget*>())
        if (t->isVisibleTo(&frame))
            table = t;
    QVERIFY(table);
    QTRY_VERIFY([table] {
        int found = 0;
        for (int row = 0; row < table->rowCount(); ++row)
            if (table->item(row, 1) && table->item(row, 1)->text().contains(QRegularExpression(QStringLiteral("^(older|middle|newest):"))))
                ++found;
        return found == 3;
    }());
    // Chosen from a notification while the frame is minimised: it comes forward with the
    // message open, not merely its folder.
    frame.showMinimized();
    frame.OpenMessage(1, ids.at(1));
    QVERIFY(!frame.isMinimized());
    QTRY_VERIFY2(preview->toPlainText().contains(QStringLiteral("train at 7:12")), qPrintable(preview->toPlainText()));
    QVERIFY(tree->currentItem());
    QVERIFY(table->isVisibleTo(&frame));
    QVERIFY(table->currentRow() > 0);
    // A message that is gone since opens its folder at the top.
    frame.OpenMessage(1, 999999);
    QTRY_COMPARE(table->currentRow(), 0);
    QVERIFY(!preview->toPlainText().contains(QStringLiteral("train at 7:12")));
    frame.Shutdown();
}

void TestFrame::desktopNotificationsAreASetting()
{
    CommonUtils::SetSettingsFile(m_dir.filePath(QStringLiteral("desktop.ini")));
    {
        FrameWindow frame(true);
        QVERIFY(FrameWindow::DesktopNotificationsOn());
        QVERIFY(frame.Notifier()->IsEnabled());
        // Switched off in the settings dialog's Desktop page.
        QTimer::singleShot(0, &frame, [] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            auto* box = dialog->findChild<QCheckBox*>(QStringLiteral("XFrame_DesktopNotifications"));
            QVERIFY(box);
            QVERIFY(box->isChecked());
            box->setChecked(false);
            dialog->accept();
        });
        frame.ShowSettings();
        QVERIFY(!frame.Notifier()->IsEnabled());
    }
    QCOMPARE(CommonUtils::GetSettings(QStringLiteral("XFrame"), QStringLiteral("DesktopNotifications")), QStringLiteral("0"));
    FrameWindow next(true);
    QVERIFY(!next.Notifier()->IsEnabled());
    // Cancel keeps what was there.
    QTimer::singleShot(0, &next, [] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialog->findChild<QCheckBox*>(QStringLiteral("XFrame_DesktopNotifications"))->setChecked(true);
        dialog->reject();
    });
    next.ShowSettings();
    QVERIFY(!next.Notifier()->IsEnabled());
    QVERIFY(!FrameWindow::DesktopNotificationsOn());
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

// The frame's Device menu entry with the given text id.
static QAction* deviceMenuAction(FrameWindow& frame, const char* id)
{
    const QString text = Change::tr(QLatin1String(id), QStringLiteral("XFramePlugin"));
    for (QAction* menu : frame.menuBar()->actions())
        if (menu->menu())
            for (QAction* a : menu->menu()->actions())
                if (a->text() == text)
                    return a;
    return nullptr;
}

static int pcMessages()
{
    int32_t n = -1;
    ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&n, 0);
    return n;
}

void TestFrame::sendingWithTheDeviceRemoved()
{
    ZsdkSim::Options o;
    o.databasePath = m_dir.filePath(QStringLiteral("removed.sqlite"));
    o.seed = true;
    o.simReadDelayMs = 0;
    o.deviceReadDelayMs = 0;
    ZsdkSim::Configure(o);
    FrameWindow frame(true);
    frame.resize(900, 600);
    frame.show();
    QCOMPARE(frame.StartPlugins(), 1);
    ZsdkSim::WaitForEvents();
    QCoreApplication::processEvents();
    auto* newButton = frame.findChild<QAbstractButton*>(QStringLiteral("SMSUIPlugin_ToolButton9000"));
    auto* sendTool = frame.findChild<QAbstractButton*>(QStringLiteral("SMSUIPlugin_ToolButton9002"));
    QVERIFY(newButton && sendTool);
    QAction* removed = deviceMenuAction(frame, "IDS_DEV_REMOVED");
    QVERIFY(removed);
    removed->trigger();
    QVERIFY(ZsdkSim::WaitForEvents());
    QTRY_VERIFY(!sendTool->isEnabled());
    newButton->click();
    QWidget* editor = frame.findChild<QWidget*>(QStringLiteral("SMSUIPlugin_MessageDialog"));
    QVERIFY(editor);
    auto* number = editor->findChild<QLineEdit*>(QStringLiteral("SMSUIPlugin_LineEditNumber"));
    auto* text = editor->findChild<QTextEdit*>(QStringLiteral("SMSUIPlugin_TextEditMsgArea"));
    auto* send = editor->findChild<QPushButton*>(QStringLiteral("SMSUIPlugin_ButtonSendMsg"));
    QVERIFY(number && text && send);
    QTest::keyClicks(number, QStringLiteral("+491711111111"));
    text->setPlainText(QStringLiteral("nobody will get this"));
    // A send that started anyway (say, just before the removal was known) still ends: the
    // progress window goes and the text waits, unsent, on the PC.
    const int before = pcMessages();
    send->setEnabled(true);
    send->click();
    QWidget* progress = frame.findChild<QWidget*>(QStringLiteral("SMSUIPlugin_WaitingDialog"));
    QVERIFY(progress);
    QTRY_VERIFY_WITH_TIMEOUT(!progress->isVisible(), 10000);
    // The service stores the unsent text on its own thread, after the last result it reported.
    QTRY_COMPARE(pcMessages(), before + 1);
    // Plugged in again, an editor can send.
    removed->trigger();
    QVERIFY(ZsdkSim::WaitForEvents());
    QCoreApplication::processEvents();
    newButton->click();
    QWidget* second = nullptr;
    for (QWidget* w : frame.findChildren<QWidget*>(QStringLiteral("SMSUIPlugin_MessageDialog")))
        if (w->isVisible())
            second = w;
    QVERIFY(second);
    QTest::keyClicks(second->findChild<QLineEdit*>(QStringLiteral("SMSUIPlugin_LineEditNumber")), QStringLiteral("+491711111111"));
    QTRY_VERIFY(second->findChild<QPushButton*>(QStringLiteral("SMSUIPlugin_ButtonSendMsg"))->isEnabled());
    frame.Shutdown();
    ZsdkSim::Shutdown();
}

QTEST_MAIN(TestFrame)
#include "tst_frame.moc"
