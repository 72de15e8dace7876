// The frame: loading plug-ins the way a host does, explaining the ones it cannot use, the unread
// count in the status bar and the shut-down order.

#include "Change.h"
#include "CommonUtils.h"
#include "ContactPicker.h"
#include "DesktopNotifier.h"
#include "FrameWindow.h"
#include "SettingsDialog.h"
#include "HostGuids.h"
#include "HostServices.h"
#include "MessageArrivals.h"
#include "HostServices.h"
#include "PluginManager.h"
#include "SimControl.h"
#include "SMSTypes.h"
#include "SingleInstance.h"
#include "zsdk.h"
#include "Startup.h"
#include "TestSupport.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QListWidget>
#include <QLocalSocket>
#include <QScopeGuard>
#include <QTimer>
#include <QToolTip>
#include <QTreeWidgetItemIterator>

#include <sys/fsuid.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTableWidget>
#include <QTextBrowser>
#include <QTextEdit>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

namespace {
// The frame's address book, as the page looks it up.
IAddrBookUIPlugin* frameAddressBook()
{
    return qobject_cast<IAddrBookUIPlugin*>(Startup::GetPluginContainer()->GetPlugin(QLatin1String(HostGuid::AddrBook), 0x1001));
}
} // namespace

class TestFrame : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void missingPluginFolder();
    void frameWithoutPagesSaysSo();
    void brokenPluginsAreExplained();
    void frameRunsTheSmsPage();
    void pluginsStopWhileTheHostSaysItIsShuttingDown();
    void arrivalsReachTheFrame_data();
    void arrivalsReachTheFrame();
    void notificationActionOpensTheMessage();
    void desktopNotificationsAreASetting();
    void notificationNamesTheSender_data();
    void notificationNamesTheSender();
    void storeProblemIsToldOnce();
    void settingsPageFollowsTheDialog_data();
    void settingsPageFollowsTheDialog();
    void settingsNotSavedAreSaid_data();
    void settingsNotSavedAreSaid();
    void pagesAreToldOnceTheFrameIsShown_data();
    void pagesAreToldOnceTheFrameIsShown();
    void sendingWithTheDeviceRemoved();
    void smsCentreOfANewSimIsRecorded();
    void deviceMenuTellsThePages();
    void broadcastEntryOnlyWithTheBroadcastFolder();
    void deviceMenuDeliversWhatItSays_data();
    void deviceMenuDeliversWhatItSays();
    void sendIndicatorFollowsTheNetwork_data();
    void sendIndicatorFollowsTheNetwork();
    void sendingFailsIsASwitch();
    void languageMenuMarksTheLanguage();
    void frameTextsFollowTheLanguage_data();
    void frameTextsFollowTheLanguage();
    void sendToPicksFromThePhoneBook();
    void saveNumberAsksForAName_data();
    void saveNumberAsksForAName();
    void contactPickerSearch_data();
    void contactPickerSearch();
    void contactPickerRowActivationTicksIt();
    void sendToFillsTheEditor();
    void savedNumberIsToldToThoseWhoAsked();
    void fillingTheCardShowsWhatIsStored();
    void treeLabelsFitAtTheDefaultWidth_data();
    void treeLabelsFitAtTheDefaultWidth();
    void longStatusMessageKeepsClearOfTheIndicator_data();
    void longStatusMessageKeepsClearOfTheIndicator();
    void miniFrameBringsTheSmsPage_data();
    void miniFrameBringsTheSmsPage();
    void cancelledPickerKeepsTheRecipients();
    void singleInstanceAnswersOnlyItsRequest_data();
    void singleInstanceAnswersOnlyItsRequest();
    void singleInstanceTakesOverALeftSocket();

private:
    QTemporaryDir m_dir;
};

// Messages in each folder by folder code, as its label counts them ("Inbox(1/4)" counts 4,
// "Delivery reports(2)" counts 2); folders whose label carries no count are left out.
static QMap<int, int> folderCounts(const QTreeWidget* tree)
{
    QMap<int, int> out;
    for (QTreeWidgetItemIterator it(const_cast<QTreeWidget*>(tree)); *it; ++it) {
        const QString label = (*it)->text(0);
        const int open = label.lastIndexOf(QLatin1Char('(')), close = label.lastIndexOf(QLatin1Char(')'));
        if (open >= 0 && close > open)
            out[(*it)->data(0, Qt::UserRole).toInt()] = label.mid(open + 1, close - open - 1).section(QLatin1Char('/'), -1).toInt();
    }
    return out;
}

// The tree's node for folder code `folder`, or null.
static QTreeWidgetItem* folderNode(QTreeWidget* tree, int folder)
{
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if ((*it)->data(0, Qt::UserRole).toInt() == folder)
            return *it;
    return nullptr;
}

// The message table the user looks at, or null.
static QTableWidget* shownTable(FrameWindow& frame)
{
    for (QTableWidget* table : frame.findChildren<QTableWidget*>())
        if (table->isVisible())
            return table;
    return nullptr;
}

void TestFrame::initTestCase()
{
    QVERIFY(m_dir.isValid());
    TestSupport::freshModem(m_dir.filePath(QStringLiteral("sim.sqlite")), [](ZsdkSim::Options& o) { o.seed = true; });
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

// A frame that finds no page plug-in at all (an empty plug-in folder, nothing broken in it) says
// so instead of showing an empty window without a word.
void TestFrame::frameWithoutPagesSaysSo()
{
    const QString empty = m_dir.filePath(QStringLiteral("empty"));
    QVERIFY(QDir().mkpath(empty + QStringLiteral("/plugins")));
    FrameWindow frame(true);
    const QString noPlugin = Change::tr(QStringLiteral("IDS_FRAME_NO_PLUGIN"), QStringLiteral("XFramePlugin"));
    QVERIFY(noPlugin != QLatin1String("IDS_FRAME_NO_PLUGIN"));
    CommonUtils::SetPluginLibraryPath(empty);
    auto restorePath = qScopeGuard([] { CommonUtils::SetPluginLibraryPath(QString()); });
    QCOMPARE(frame.StartPlugins(), 0);
    QVERIFY(frame.Plugins().Problems().isEmpty());
    QCOMPARE(frame.statusBar()->currentMessage(), noPlugin);
    frame.Shutdown();
    ZsdkSim::Shutdown();
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
    // The host's page selection finds the SMS page by its name, and only a page it runs.
    QCOMPARE(frame.PageNames(), QStringList{QStringLiteral("SMSUIPlugin")});
    QVERIFY(!frame.ShowPage(QStringLiteral("NoSuchPage")));
    QVERIFY(frame.ShowPage(QStringLiteral("SMSUIPlugin")));
    QCOMPARE(frame.CurrentPage(), QStringLiteral("SMSUIPlugin"));
    // The main frame as the pages ask for it: on screen only while shown and not minimised.
    auto* mainFrame = qobject_cast<IMainFrameUIService*>(
        Startup::GetPluginContainer()->GetPlugin(QLatin1String(HostGuid::MainFrame), 0x1011));
    QVERIFY(mainFrame);
    QCOMPARE(mainFrame->GetMainFrameWidget(), static_cast<QWidget*>(&frame));
    QVERIFY(mainFrame->IsMainFrameVisible());
    frame.showMinimized();
    QTRY_VERIFY(frame.isMinimized());
    QVERIFY(!mainFrame->IsMainFrameVisible());
    mainFrame->BringToFront();
    QVERIFY(!frame.isMinimized());
    QVERIFY(mainFrame->IsMainFrameVisible());
    frame.hide();
    QVERIFY(!mainFrame->IsMainFrameVisible());
    frame.show();
    // A page the host switches off cannot be used until it is switched on again; naming another
    // page leaves it alone.
    auto* mainMenu = qobject_cast<IMainMenuUI*>(Startup::GetPluginContainer()->GetPlugin(QLatin1String(HostGuid::MainMenu), 0x1003));
    QVERIFY(mainMenu);
    QPointer<QWidget> smsPage = frame.findChild<QWidget*>(QStringLiteral("SMSUIPlugin_MainWidget"));
    QVERIFY(smsPage && smsPage->isEnabled());
    mainMenu->EnableMenuItem(QStringLiteral("SMSUIPlugin"), false);
    QVERIFY(!smsPage->isEnabled());
    mainMenu->EnableMenuItem(QStringLiteral("NoSuchPage"), true);
    QVERIFY(!smsPage->isEnabled());
    mainMenu->EnableMenuItem(QStringLiteral("SMSUIPlugin"), true);
    QVERIFY(smsPage->isEnabled());
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

void TestFrame::pluginsStopWhileTheHostSaysItIsShuttingDown()
{
    // A device event can still be on its way while the plug-ins unregister and tear down their
    // pages; the SMS page drops such events only because the host says it is shutting down.
    // Afterwards the flag is down again, or a page started later would ignore every event.
    qApp->setProperty("failinginit.shuttingDownAtUnregister", QVariant());
    qApp->setProperty("failinginit.shuttingDownAtDestroy", QVariant());
    {
        FrameWindow frame(true);
        // Only the plug-ins come from the fixture folder; the frame's own texts stay readable.
        CommonUtils::SetPluginLibraryPath(QStringLiteral(FIXTURE_ROOT));
        auto restorePath = qScopeGuard([] { CommonUtils::SetPluginLibraryPath(QString()); });
        QCOMPARE(frame.StartPlugins(), 0);
        QVERIFY(!CommonUtils::IsShuttingDown());
        frame.Shutdown();
        QVERIFY(!CommonUtils::IsShuttingDown());
    }
    QCOMPARE(qApp->property("failinginit.shuttingDownAtUnregister"), QVariant(true));
    QCOMPARE(qApp->property("failinginit.shuttingDownAtDestroy"), QVariant(true));
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
    QTableWidget* table = shownTable(frame);
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

void TestFrame::notificationNamesTheSender_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("shown");
    QTest::newRow("in the phone book, written another way") << QStringLiteral("01711111111") << QStringLiteral("Anna Berg");
    QTest::newRow("not in the phone book") << QStringLiteral("+4930999") << QStringLiteral("+4930999");
}

void TestFrame::notificationNamesTheSender()
{
    QFETCH(QString, number);
    QFETCH(QString, shown);
    TestSupport::freshModem(m_dir.filePath(QStringLiteral("sender.sqlite")));
    QVERIFY(ZsdkSim::AddContact(QStringLiteral("Anna Berg"), QStringLiteral("+49 171 1111111")));
    QVERIFY(ZsdkSim::WaitForEvents());
    QCOMPARE(FrameWindow::SenderName(number), shown);
    ZsdkSim::Shutdown();
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
    QList<MessageRequest> boxes;
    CommonUtils::SetMessageResponder([&told, &boxes](const MessageRequest& r) {
        told << r.text;
        boxes << r;
        return int(QMessageBox::Ok);
    });
    // The box speaks the frame's language.
    QVERIFY(Change::LoadLanguage(QStringLiteral("de")));
    auto english = qScopeGuard([] {
        Change::LoadLanguage(QStringLiteral("en"));
        FrameWindow::LoadQtTranslations(QStringLiteral("en"));
    });
    FrameWindow frame(true);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("was damaged")));
    frame.CheckMessageStore();
    frame.CheckMessageStore();
    QCOMPARE(told.size(), 1);
    QVERIFY2(told.at(0).contains(QStringLiteral("set aside as")), qPrintable(told.at(0)));
    QCOMPARE(frame.statusBar()->currentMessage(), told.at(0));
    QCOMPARE(boxes.at(0).title, Change::tr(QStringLiteral("IDS_FRAME_STORE_TITLE"), QStringLiteral("XFramePlugin")));
    QCOMPARE(boxes.at(0).title, QStringLiteral("Nachrichtenspeicher"));
    QCOMPARE(boxes.at(0).buttons, QStringList{QStringLiteral("IDS_OK")});
    CommonUtils::SetMessageResponder([](const MessageRequest&) { return int(QMessageBox::Ok); });
    ZsdkSim::Shutdown();
}

void TestFrame::settingsPageFollowsTheDialog_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << "en";
    QTest::newRow("German, the longest texts") << "de";
    QTest::newRow("Arabic, right to left") << "ar";
}

void TestFrame::settingsPageFollowsTheDialog()
{
    QFETCH(QString, language);
    FrameWindow frame(true);
    auto restore = qScopeGuard([&frame] { frame.SwitchLanguage(QStringLiteral("en")); });
    frame.SwitchLanguage(language);
    QCOMPARE(Change::CurrentLanguage(), language);
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
    // Every button and field gets the room its text needs (one made a fixed size keeps it), and
    // none lies under another.
    auto isControl = [](QWidget* w) { return w->isVisible() && (qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w)); };
    auto place = [&dialog](QWidget* w) { return QRect(w->mapTo(dialog.get(), QPoint(0, 0)), w->size()); };
    const QList<QWidget*> controls = dialog->findChildren<QWidget*>();
    for (QWidget* control : controls) {
        if (!isControl(control))
            continue;
        const QSize needed = control->minimumSizeHint().boundedTo(control->maximumSize());
        QVERIFY2(control->width() >= needed.width() && control->height() >= needed.height(),
                 qPrintable(QStringLiteral("%1 is %2x%3, needs %4x%5").arg(control->objectName()).arg(control->width())
                                .arg(control->height()).arg(needed.width()).arg(needed.height())));
        for (QWidget* other : controls)
            if (other != control && isControl(other) && !control->isAncestorOf(other) && !other->isAncestorOf(control))
                QVERIFY2(!place(control).intersects(place(other)), qPrintable(control->objectName() + QStringLiteral(" / ") + other->objectName()));
    }
    // The dialog reads in the direction of its language.
    QCOMPARE(page->layoutDirection(), Change::IsRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
    const QSize before = page->size();
    dialog->resize(dialog->width() + 120, dialog->height() + 80);
    QTRY_COMPARE(page->size(), before + QSize(120, 80));
    dialog->reject();
    dialog.reset();
    frame.Shutdown();
    ZsdkSim::Shutdown();
}

void TestFrame::pagesAreToldOnceTheFrameIsShown_data()
{
    QTest::addColumn<bool>("shownFirst");
    QTest::newRow("shown before the plug-ins start") << true;
    QTest::newRow("plug-ins started while it is hidden") << false;
}

// The page's memory-full question waits less once the main frame is on screen: the frame tells
// the page when it is shown, whether that is before or after the plug-ins started, and not before.
void TestFrame::pagesAreToldOnceTheFrameIsShown()
{
    QFETCH(bool, shownFirst);
    FrameWindow frame(true);
    if (shownFirst)
        frame.show();
    QCOMPARE(frame.StartPlugins(), 1);
    QWidget* smsPage = frame.findChild<QWidget*>(QStringLiteral("SMSUIPlugin_MainWidget"));
    QVERIFY(smsPage);
    QCOMPARE(smsPage->property("mainFrameShown").toBool(), shownFirst);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QVERIFY(smsPage->property("mainFrameShown").toBool());
    frame.Shutdown();
    ZsdkSim::Shutdown();
}

// Shows the frame at its usual size with its pages started and the device's first events
// taken in; false when the SMS page did not start.
static bool startShown(FrameWindow& frame)
{
    frame.resize(900, 600);
    frame.show();
    if (frame.StartPlugins() != 1)
        return false;
    ZsdkSim::WaitForEvents();
    QCoreApplication::processEvents();
    return true;
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
    TestSupport::freshModem(m_dir.filePath(QStringLiteral("removed.sqlite")), [](ZsdkSim::Options& o) { o.seed = true; });
    FrameWindow frame(true);
    QVERIFY(startShown(frame));
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

static void clearCentreEntries()
{
    for (const char* key : {"IMSI_1", "SMSCNumber_1", "IMSI_2", "SMSCNumber_2"})
        CommonUtils::SetSettings(QStringLiteral("SMSCNumber"), QLatin1String(key), QString());
}

static QString deviceCentre()
{
    ZSDK_WCHAR buffer[100] = {};
    int32_t type = 0;
    return ZSDK_SMSSrv_GetSMSCentreNumber(&type, buffer, 100) == ZSDK_OK ? QString::fromUtf16(reinterpret_cast<const char16_t*>(buffer)) : QString();
}

// The SMS page's centre-number field in a settings dialog of the frame, once the page is in it.
namespace {
// A settings page that checks itself and applies as told.
struct ScriptedPage : ISettingUIPlugin {
    bool valid = true;
    bool applies = true;
    int applied = 0;
    bool ApplySetting() override { ++applied; return applies; }
    bool CancelSetting() override { return true; }
    bool ShowSettingPage(QWidget*, const QRect&) override { return true; }
    QString GetSettingName() override { return QStringLiteral("Alerts"); }
    bool IsSettingValid() override { return valid; }
    bool IsPageShown() override { return true; }
};
}

// OK or Apply with a page that cannot keep its settings (the device refused one): the dialog stays
// open and says which page, once. A page that is not valid says why itself; the frame adds nothing.
void TestFrame::settingsNotSavedAreSaid_data()
{
    QTest::addColumn<bool>("valid");
    QTest::addColumn<bool>("applies");
    QTest::addColumn<bool>("byOk");
    QTest::addColumn<int>("applied");
    QTest::addColumn<bool>("told");
    QTest::addColumn<bool>("closed");
    QTest::newRow("saved, OK") << true << true << true << 1 << false << true;
    QTest::newRow("refused, OK") << true << false << true << 1 << true << false;
    QTest::newRow("refused, Apply") << true << false << false << 1 << true << false;
    QTest::newRow("not valid, OK") << false << true << true << 0 << false << false;
    QTest::newRow("not valid, Apply") << false << true << false << 0 << false << false;
}

void TestFrame::settingsNotSavedAreSaid()
{
    QFETCH(bool, valid);
    QFETCH(bool, applies);
    QFETCH(bool, byOk);
    ScriptedPage page;
    page.valid = valid;
    page.applies = applies;
    QStringList messages;
    CommonUtils::SetMessageResponder([&messages](const MessageRequest& r) {
        messages << r.text;
        return int(QMessageBox::Ok);
    });
    auto restore = qScopeGuard([] { CommonUtils::SetMessageResponder([](const MessageRequest&) { return int(QMessageBox::Ok); }); });
    SettingsDialog dialog({&page});
    dialog.show();
    QSignalSpy finished(&dialog, &QDialog::finished);
    if (byOk)
        dialog.accept();
    else
        dialog.ApplyAll();
    QTEST(page.applied, "applied");
    QFETCH(bool, told);
    QCOMPARE(messages.size(), told ? 1 : 0);
    if (told)
        QVERIFY2(messages.first().contains(QStringLiteral("Alerts")), qPrintable(messages.first()));
    QFETCH(bool, closed);
    QCOMPARE(finished.count(), closed ? 1 : 0);
    QCOMPARE(dialog.isVisible(), !closed);
}

static QLineEdit* centreField(SettingsDialog* dialog)
{
    QLineEdit* field = nullptr;
    const bool shown = QTest::qWaitFor([&] {
        field = dialog->findChild<QLineEdit*>(QStringLiteral("SmsSettingUIPlugin_CenterNumlineEdit"));
        return field && field->isVisible();
    });
    return shown ? field : nullptr;
}

static QString centreText(SettingsDialog* dialog)
{
    QLineEdit* field = centreField(dialog);
    return field ? field->text() : QStringLiteral("<no centre field>");
}

void TestFrame::smsCentreOfANewSimIsRecorded()
{
    clearCentreEntries();
    auto restore = qScopeGuard([] { clearCentreEntries(); });
    TestSupport::freshModem(m_dir.filePath(QStringLiteral("centre.sqlite")), [](ZsdkSim::Options& o) { o.seed = true; });
    FrameWindow frame(true);
    frame.show();
    QCOMPARE(frame.StartPlugins(), 1);
    ZsdkSim::WaitForEvents();
    // The host knows the SIM in the device.
    ZSDK_WCHAR imsiBuffer[32] = {};
    QCOMPARE(ZSDK_DevSrv_GetIMSI(imsiBuffer, 32), ZSDK_OK);
    const QString imsi = QString::fromUtf16(reinterpret_cast<const char16_t*>(imsiBuffer));
    QVERIFY(!imsi.isEmpty());
    QCOMPARE(CommonUtils::getIMSI(), imsi);
    // A new user sees the centre the modem holds and can confirm the settings as they are.
    const QString centre = deviceCentre();
    QVERIFY(!centre.isEmpty());
    std::unique_ptr<SettingsDialog> dialog(frame.CreateSettingsDialog());
    dialog->show();
    QCOMPARE(CommonUtils::GetSettings(QStringLiteral("SMSCNumber"), QStringLiteral("IMSI_1")), imsi);
    QCOMPARE(CommonUtils::GetSettings(QStringLiteral("SMSCNumber"), QStringLiteral("SMSCNumber_1")), centre);
    QCOMPARE(centreText(dialog.get()), centre);
    dialog->accept();
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    dialog.reset();
    // The centre changed on the device (as OK on the page does): the next dialog shows the new one.
    const QString changed = QStringLiteral("+491719999999");
    QCOMPARE(ZSDK_SMSSrv_SetSMSCentreNumber(changed.utf16()), ZSDK_OK);
    dialog.reset(frame.CreateSettingsDialog());
    dialog->show();
    QCOMPARE(centreText(dialog.get()), changed);
    dialog->reject();
    dialog.reset();
    // An operator's entry for this SIM is left as it is.
    CommonUtils::SetSettings(QStringLiteral("SMSCNumber"), QStringLiteral("IMSI_1"), imsi.left(5));
    CommonUtils::SetSettings(QStringLiteral("SMSCNumber"), QStringLiteral("SMSCNumber_1"), QStringLiteral("+4900001"));
    dialog.reset(frame.CreateSettingsDialog());
    dialog->show();
    QCOMPARE(centreText(dialog.get()), QStringLiteral("+4900001"));
    dialog->reject();
    dialog.reset();
    // Slot 1 belongs to another operator's cards: this SIM is recorded in slot 2.
    CommonUtils::SetSettings(QStringLiteral("SMSCNumber"), QStringLiteral("IMSI_1"), QStringLiteral("99999"));
    dialog.reset(frame.CreateSettingsDialog());
    dialog->show();
    QCOMPARE(centreText(dialog.get()), changed);
    QCOMPARE(CommonUtils::GetSettings(QStringLiteral("SMSCNumber"), QStringLiteral("IMSI_2")), imsi);
    QCOMPARE(CommonUtils::GetSettings(QStringLiteral("SMSCNumber"), QStringLiteral("SMSCNumber_1")), QStringLiteral("+4900001"));
    dialog->reject();
    dialog.reset();
    frame.Shutdown();
    ZsdkSim::Shutdown();
}

// The Device menu offers a cell broadcast only while the page has a folder to show it in.
void TestFrame::broadcastEntryOnlyWithTheBroadcastFolder()
{
    FrameWindow frame(true);
    QAction* entry = deviceMenuAction(frame, "IDS_DEV_CBS");
    QVERIFY(entry);
    QMenu* menu = entry->associatedWidgets().isEmpty() ? nullptr : qobject_cast<QMenu*>(entry->associatedWidgets().first());
    QVERIFY(menu);
    auto restore = qScopeGuard([] { CommonUtils::SetSettings(QStringLiteral("CBS"), QStringLiteral("enable"), QString()); });
    for (const QString& on : {QStringLiteral("false"), QStringLiteral("true"), QString()}) {
        CommonUtils::SetSettings(QStringLiteral("CBS"), QStringLiteral("enable"), on);
        emit menu->aboutToShow();
        QCOMPARE(entry->isVisible(), on == QLatin1String("true"));
    }
}

void TestFrame::deviceMenuTellsThePages()
{
    TestSupport::freshModem(m_dir.filePath(QStringLiteral("menu.sqlite")), [](ZsdkSim::Options& o) { o.seed = true; });
    FrameWindow frame(true);
    frame.show();
    QCOMPARE(frame.StartPlugins(), 1);
    ZsdkSim::WaitForEvents();
    QObject* notify = qobject_cast<QObject*>(Startup::GetPluginContainer()->GetPlugin(QLatin1String(HostGuid::NotifyService), 0x2011));
    QVERIFY(notify);
    QSignalSpy delivered(notify, SIGNAL(delivered(int)));
    QVERIFY(delivered.isValid());
    auto codes = [&delivered] {
        QList<int> out;
        for (const QList<QVariant>& args : qAsConst(delivered))
            out << args.at(0).toInt();
        delivered.clear();
        return out;
    };
    QAction* simOut = deviceMenuAction(frame, "IDS_DEV_SIM_OUT");
    QAction* removed = deviceMenuAction(frame, "IDS_DEV_REMOVED");
    QVERIFY(simOut && removed);
    // The menu plays the device: the card really goes and comes back, and the pages are told.
    auto* deviceMgr = qobject_cast<IDeviceMgr*>(Startup::GetPluginContainer()->GetPlugin(QLatin1String(HostGuid::DeviceMgr), 0x1001));
    QVERIFY(deviceMgr && deviceMgr->IsSimValid());
    auto devicePresent = [] {
        int32_t state = 0;
        return ZSDK_DevSrv_GetDevStatus(&state) == ZSDK_OK && state == 3;
    };
    QVERIFY(devicePresent());
    simOut->trigger();
    QCOMPARE(codes(), QList<int>{HostNotify::SimUnavailable});
    QVERIFY(!deviceMgr->IsSimValid());
    simOut->trigger();
    QCOMPARE(codes(), QList<int>{HostNotify::SimAvailable});
    QVERIFY(deviceMgr->IsSimValid());
    // Removing the device while the settings are open: the page drops out and the dialog closes
    // without saving anything for a device that is gone.
    std::unique_ptr<SettingsDialog> dialog(frame.CreateSettingsDialog());
    dialog->show();
    QWidget* page = nullptr;
    QTRY_VERIFY((page = dialog->findChild<QWidget*>(QStringLiteral("SmsSettingUIPlugin_WidgetSmsSetting"))) && page->isVisible());
    removed->trigger();
    QCOMPARE(codes(), QList<int>{HostNotify::DeviceRemoved});
    QVERIFY(!devicePresent());
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QVERIFY(!frame.statusBar()->currentMessage().isEmpty());
    removed->trigger();
    QCOMPARE(codes(), QList<int>{HostNotify::DeviceReady});
    QVERIFY(devicePresent());
    dialog.reset();
    frame.Shutdown();
    ZsdkSim::Shutdown();
}

void TestFrame::deviceMenuDeliversWhatItSays_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("asks");        // asks for the sender and the text
    QTest::addColumn<int>("folder");       // the folder that gains the message, -1 none
    QTest::addColumn<bool>("flash");       // shown in the flash-message window instead
    QTest::newRow("receive") << "IDS_DEV_RECEIVE" << true << int(NODE_LOCAL_INBOX) << false;
    QTest::newRow("receive on the card") << "IDS_DEV_RECEIVE_SIM" << true << int(NODE_SIM_INBOX) << false;
    QTest::newRow("flash message") << "IDS_DEV_FLASH" << true << -1 << true;
    QTest::newRow("status report") << "IDS_DEV_REPORT" << false << int(NODE_LOCAL_REPORT) << false;
    QTest::newRow("cell broadcast") << "IDS_DEV_CBS" << false << int(NODE_LOCAL_CBS) << false;
}

// Each of the simulated modem's arrivals lands where its menu entry says, with what was typed.
void TestFrame::deviceMenuDeliversWhatItSays()
{
    QFETCH(QString, action);
    QFETCH(bool, asks);
    QFETCH(int, folder);
    QFETCH(bool, flash);
    TestSupport::freshModem(m_dir.filePath(QStringLiteral("arrive-%1.sqlite").arg(QTest::currentDataTag())),
                            [](ZsdkSim::Options& o) { o.seed = true; });
    FrameWindow frame(true);
    // The broadcast folder is shown only where the configuration asks for it.
    CommonUtils::SetSettings(QStringLiteral("CBS"), QStringLiteral("enable"), QStringLiteral("true"));
    auto restore = qScopeGuard([] { CommonUtils::SetSettings(QStringLiteral("CBS"), QStringLiteral("enable"), QString()); });
    QVERIFY(startShown(frame));
    auto* tree = frame.findChild<QTreeWidget*>(QStringLiteral("SMSUIPlugin_TreeSMSWidget"));
    QVERIFY(tree);
    // The folder that should gain the message is open; its table is what the user looks at.
    auto shownTexts = [&frame] {
        QStringList out;
        if (QTableWidget* table = shownTable(frame))
            for (int row = 0; row < table->rowCount(); ++row)
                for (int column = 0; column < table->columnCount(); ++column)
                    if (table->item(row, column))
                        out << table->item(row, column)->text();
        return out.join(QLatin1Char('|'));
    };
    int rowsBefore = -1;
    if (folder >= 0) {
        QTreeWidgetItem* open = folderNode(tree, folder);
        QVERIFY(open);
        tree->setCurrentItem(open);
        QTRY_VERIFY(shownTable(frame));
        rowsBefore = shownTable(frame)->rowCount();
    }
    const QMap<int, int> before = folderCounts(tree);
    QMap<int, int> expected = before;
    if (before.contains(folder))
        ++expected[folder];
    // The sender's number, then the text, typed into the two questions.
    const QString number = QStringLiteral("+4915112340987"), text = QStringLiteral("Typed into the device menu");
    QStringList answers {number, text};
    int asked = 0;
    std::function<void()> answer = [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* input = qobject_cast<QInputDialog*>(w); input && input->isVisible() && !answers.isEmpty()) {
                ++asked;
                input->setTextValue(answers.takeFirst());
                input->accept();
                QTimer::singleShot(0, &frame, answer);
                return;
            }
    };
    QTimer::singleShot(0, &frame, answer);
    QAction* entry = deviceMenuAction(frame, action.toLatin1().constData());
    QVERIFY(entry);
    entry->trigger();
    QCOMPARE(asked, asks ? 2 : 0);
    QVERIFY(ZsdkSim::WaitForEvents());
    if (folder >= 0) {
        QTRY_COMPARE(shownTable(frame)->rowCount(), rowsBefore + 1);
        const QString shown = shownTexts();
        if (asks)
            QVERIFY2(shown.contains(text) && shown.contains(number), qPrintable(shown));
        if (folder == NODE_LOCAL_CBS) {
            QVERIFY2(shown.contains(QLatin1String("storm warning")), qPrintable(shown));
            // The broadcast folder is a list of what the cell announced, not counted in its label.
            QVERIFY2(!tree->currentItem()->text(0).contains(QLatin1Char('(')), qPrintable(tree->currentItem()->text(0)));
        }
    }
    QTRY_COMPARE(folderCounts(tree), expected);
    auto flashWindow = [] () -> QWidget* {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("SMSUIPlugin_FlashMessage") && w->isVisible())
                return w;
        return nullptr;
    };
    if (flash)
        QTRY_VERIFY(flashWindow());
    else
        QVERIFY(!flashWindow());
    if (flash) {
        auto* shown = flashWindow()->findChild<QTextEdit*>();
        QVERIFY(shown);
        QVERIFY2(shown->toPlainText().contains(text) && shown->toPlainText().contains(number), qPrintable(shown->toPlainText()));
        delete flashWindow();
    }
    frame.Shutdown();
    ZsdkSim::Shutdown();
}

void TestFrame::sendIndicatorFollowsTheNetwork_data()
{
    QTest::addColumn<bool>("radioAtStart");
    QTest::newRow("network up at start") << true;
    QTest::newRow("flight mode at start") << false;
}

void TestFrame::sendIndicatorFollowsTheNetwork()
{
    QFETCH(bool, radioAtStart);
    TestSupport::freshModem(m_dir.filePath(QStringLiteral("indicator.sqlite")), [](ZsdkSim::Options& o) { o.seed = true; });
    // Announced to nobody: only what the device says at start can put the indicator right.
    ZsdkSim::SetRadio(radioAtStart);
    QVERIFY(ZsdkSim::WaitForEvents());
    FrameWindow frame(true);
    frame.show();
    QCOMPARE(frame.StartPlugins(), 1);
    ZsdkSim::WaitForEvents();
    QCoreApplication::processEvents();
    auto* indicator = frame.findChild<QLabel*>(QStringLiteral("XFrame_SendLabel"));
    QVERIFY(indicator);
    const QString canSend = Change::tr(QStringLiteral("IDS_FRAME_CAN_SEND"), QStringLiteral("XFramePlugin"));
    const QString cannotSend = Change::tr(QStringLiteral("IDS_FRAME_CANNOT_SEND"), QStringLiteral("XFramePlugin"));
    QVERIFY(canSend != QLatin1String("IDS_FRAME_CAN_SEND") && cannotSend != QLatin1String("IDS_FRAME_CANNOT_SEND"));
    QCOMPARE(indicator->toolTip(), radioAtStart ? canSend : cannotSend);
    const QString startText = indicator->text();
    if (radioAtStart) {
        QAction* flight = deviceMenuAction(frame, "IDS_DEV_FLIGHT");
        QVERIFY(flight);
        flight->trigger();
        QTRY_COMPARE(indicator->toolTip(), cannotSend);
        QVERIFY(indicator->text() != startText);
        flight->trigger();
        QTRY_COMPARE(indicator->toolTip(), canSend);
    } else {
        ZsdkSim::SetRadio(true);
        QTRY_COMPARE(indicator->toolTip(), canSend);
        QVERIFY(indicator->text() != startText);
    }
    frame.Shutdown();
    ZsdkSim::Shutdown();
}

namespace {
QMutex g_sendResultsMutex;
QList<int> g_sendResults;   // the status of every part the device reported sent (0) or failed

int recordSendResult(int event, void* data)
{
    if (event == ZSDK_EVT_SEND_RESULT && data) {
        QMutexLocker lock(&g_sendResultsMutex);
        g_sendResults << static_cast<SMSDeviceRecord*>(data)->iStatus;
    }
    return 1;
}

// Sends a one-part message to two recipients and returns the result of each part.
QList<int> sendTwo()
{
    {
        QMutexLocker lock(&g_sendResultsMutex);
        g_sendResults.clear();
    }
    const QString numbers = QStringLiteral("+491711111111;+491712222222");
    const QString text = QStringLiteral("hi");
    SMSDeviceRecord* record = nullptr;
    ZSDK_SMSSrv_CreateSMSRecord(&record, numbers.utf16(), text.utf16());
    const bool started = record && ZSDK_SMSSrv_SendMsg(record) == ZSDK_OK;
    ZSDK_SMSSrv_ReleaseSMSRecord(&record);
    if (!started || !ZsdkSim::WaitForEvents())
        return {-1};
    QMutexLocker lock(&g_sendResultsMutex);
    return g_sendResults;
}
} // namespace

// "Sending fails" makes every send fail while it is checked, and only then.
void TestFrame::sendingFailsIsASwitch()
{
    TestSupport::freshModem(m_dir.filePath(QStringLiteral("sendfails.sqlite")), [](ZsdkSim::Options& o) {
        o.seed = false;
        o.simReadDelayMs = 0;
        o.deviceReadDelayMs = 0;
    });
    FrameWindow frame(true);
    QCOMPARE(ZSDK_SMSSrv_RegCallBack(recordSendResult), ZSDK_OK);
    auto unregister = qScopeGuard([] { ZSDK_SMSSrv_UnRegCallBack(recordSendResult); });
    QAction* fails = deviceMenuAction(frame, "IDS_DEV_SEND_FAILS");
    QVERIFY(fails && fails->isCheckable() && !fails->isChecked());
    QCOMPARE(sendTwo(), (QList<int>{0, 0}));
    fails->trigger();
    QVERIFY(fails->isChecked());
    QCOMPARE(sendTwo(), (QList<int>{1, 1}));
    QCOMPARE(sendTwo(), (QList<int>{1, 1}));
    fails->trigger();
    QVERIFY(!fails->isChecked());
    QCOMPARE(sendTwo(), (QList<int>{0, 0}));
    unregister.dismiss();
    QCOMPARE(ZSDK_SMSSrv_UnRegCallBack(recordSendResult), ZSDK_OK);
    ZsdkSim::Shutdown();
}

// The Language menu switches the language and marks the one in use, and only that one.
void TestFrame::languageMenuMarksTheLanguage()
{
    ZsdkSim::Options o;
    o.databasePath = m_dir.filePath(QStringLiteral("language.sqlite"));
    ZsdkSim::Configure(o);
    FrameWindow frame(true);
    auto restore = qScopeGuard([&frame] { frame.SwitchLanguage(QStringLiteral("en")); });
    auto entry = [&frame](const QString& language) -> QAction* {
        for (QAction* menu : frame.menuBar()->actions())
            if (menu->menu())
                for (QAction* a : menu->menu()->actions())
                    if (a->text() == QLocale(language).nativeLanguageName())
                        return a;
        return nullptr;
    };
    QAction* english = entry(QStringLiteral("en"));
    QAction* german = entry(QStringLiteral("de"));
    QAction* arabic = entry(QStringLiteral("ar"));
    QVERIFY(english && german && arabic);
    QVERIFY(english->isChecked() && !german->isChecked() && !arabic->isChecked());
    german->trigger();
    QCOMPARE(Change::CurrentLanguage(), QStringLiteral("de"));
    QVERIFY(!english->isChecked() && german->isChecked() && !arabic->isChecked());
    arabic->trigger();
    QCOMPARE(Change::CurrentLanguage(), QStringLiteral("ar"));
    QCOMPARE(frame.layoutDirection(), Qt::RightToLeft);
    QVERIFY(!english->isChecked() && !german->isChecked() && arabic->isChecked());
    english->trigger();
    QCOMPARE(Change::CurrentLanguage(), QStringLiteral("en"));
    QCOMPARE(frame.layoutDirection(), Qt::LeftToRight);
    QVERIFY(english->isChecked() && !german->isChecked() && !arabic->isChecked());
    ZsdkSim::Shutdown();
}

void TestFrame::frameTextsFollowTheLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("cancel");   // Qt's own standard button
    QTest::addColumn<bool>("atStart");     // started in the language (--language), or switched to it
    QTest::newRow("German, switched to") << "de" << "Abbrechen" << false;
    QTest::newRow("Arabic, switched to") << "ar" << QStringLiteral("\u0623\u0644\u063A\u0650") << false;
    QTest::newRow("German, from the start") << "de" << "Abbrechen" << true;
}

void TestFrame::frameTextsFollowTheLanguage()
{
    QFETCH(QString, language);
    QFETCH(QString, cancel);
    QFETCH(bool, atStart);
    ZsdkSim::Options o;
    o.databasePath = m_dir.filePath(QStringLiteral("language.sqlite"));
    ZsdkSim::Configure(o);
    if (atStart)
        QVERIFY(Change::LoadLanguage(language));
    auto english = qScopeGuard([] {
        Change::LoadLanguage(QStringLiteral("en"));
        FrameWindow::LoadQtTranslations(QStringLiteral("en"));
    });
    FrameWindow frame(true);
    auto restore = qScopeGuard([&frame] { frame.SwitchLanguage(QStringLiteral("en")); });
    if (!atStart)
        frame.SwitchLanguage(language);
    QCOMPARE(Change::CurrentLanguage(), language);
    // Standard buttons come with Qt's own translation.
    QDialogButtonBox box(QDialogButtonBox::Cancel);
    QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), cancel);
    // The status bar speaks the language: the unread count and the send indicator's tip.
    const QString group = QStringLiteral("XFramePlugin");
    auto* unread = frame.findChild<QLabel*>(QStringLiteral("XFrame_UnreadLabel"));
    auto* indicator = frame.findChild<QLabel*>(QStringLiteral("XFrame_SendLabel"));
    QVERIFY(unread && indicator);
    QCOMPARE(unread->text(), Change::tr(QStringLiteral("IDS_FRAME_UNREAD"), group).arg(0));
    QCOMPARE(indicator->toolTip(), Change::tr(QStringLiteral("IDS_FRAME_CANNOT_SEND"), group));
    QCOMPARE(frame.windowTitle(), Change::tr(QStringLiteral("IDS_FRAME_TITLE"), group));
    // The frame's own questions: the receive dialog asks for a number, then a text.
    QStringList labels;
    QTimer::singleShot(0, &frame, [&labels] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* input = qobject_cast<QInputDialog*>(w); input && input->isVisible()) {
                labels << input->labelText();
                input->accept();
                QTimer::singleShot(0, [&labels] {
                    for (QWidget* w2 : QApplication::topLevelWidgets())
                        if (auto* text = qobject_cast<QInputDialog*>(w2); text && text->isVisible()) {
                            labels << text->labelText();
                            text->reject();
                        }
                });
            }
    });
    deviceMenuAction(frame, "IDS_DEV_RECEIVE")->trigger();
    QCOMPARE(labels.size(), 2);
    QCOMPARE(labels.at(0), Change::tr(QStringLiteral("IDS_FRAME_ASK_NUMBER"), group));
    QCOMPARE(labels.at(1), Change::tr(QStringLiteral("IDS_FRAME_ASK_TEXT"), group));
    for (const QString& id : {QStringLiteral("IDS_FRAME_ASK_NUMBER"), QStringLiteral("IDS_FRAME_ASK_TEXT"),
                              QStringLiteral("IDS_FRAME_LANGUAGE_MISSING"), QStringLiteral("IDS_FRAME_CAN_SEND"),
                              QStringLiteral("IDS_FRAME_CANNOT_SEND"), QStringLiteral("IDS_FRAME_SETTINGS_CLOSED"),
                              QStringLiteral("IDS_FRAME_PICK_TITLE"), QStringLiteral("IDS_FRAME_PICK_SEARCH"),
                              QStringLiteral("IDS_FRAME_PICK_NUMBERS"), QStringLiteral("IDS_FRAME_PICK_INVALID"),
                              QStringLiteral("IDS_FRAME_UNREAD"), QStringLiteral("IDS_FRAME_STORE_TITLE"),
                              QStringLiteral("IDS_FRAME_STORE_READONLY"), QStringLiteral("IDS_FRAME_STORE_NONE")}) {
        const QString text = Change::tr(id, group);
        QVERIFY2(text != id, qPrintable(id));
        Change::LoadLanguage(QStringLiteral("en"));
        QVERIFY2(text != Change::tr(id, group), qPrintable(id));   // not left in English
        Change::LoadLanguage(language);
    }
    // A language without its file is named in the language still in use.
    frame.SwitchLanguage(QStringLiteral("xx"));
    QCOMPARE(frame.statusBar()->currentMessage(), Change::tr(QStringLiteral("IDS_FRAME_LANGUAGE_MISSING"), group).arg(QStringLiteral("xx")));
    ZsdkSim::Shutdown();
}

namespace {
struct HeardNotify : INotify {
    QList<int> codes;
    int Notify(int code, int, int) override
    {
        codes << code;
        return 1;
    }
};
}

// A number saved in the phone book is announced to every plug-in that registered for phone-book
// changes, and to no other.
void TestFrame::savedNumberIsToldToThoseWhoAsked()
{
    TestSupport::freshModem(m_dir.filePath(QStringLiteral("saved.sqlite")));
    FrameWindow frame(true);
    auto* notify = qobject_cast<NotifyService*>(
        qobject_cast<QObject*>(Startup::GetPluginContainer()->GetPlugin(QLatin1String(HostGuid::NotifyService), 0x2011)));
    auto* book = frameAddressBook();
    QVERIFY(notify && book);
    HeardNotify asked, other;
    const QString askedGuid = QStringLiteral("{0A5B3C1E-0000-4000-8000-000000000001}");
    const QString otherGuid = QStringLiteral("{0A5B3C1E-0000-4000-8000-000000000002}");
    notify->AddPlugin(askedGuid, &asked);
    notify->AddPlugin(otherGuid, &other);
    auto leave = qScopeGuard([&] {
        notify->RemovePlugin(askedGuid);
        notify->RemovePlugin(otherGuid);
    });
    notify->RegisterNotify(askedGuid, HostNotify::PhoneBookChanged);
    notify->RegisterNotify(otherGuid, HostNotify::PhoneBookChanged2);
    bool answered = false;
    QTimer::singleShot(0, &frame, [&] {
        if (auto* input = qobject_cast<QInputDialog*>(QApplication::activeModalWidget())) {
            answered = true;
            input->setTextValue(QStringLiteral("Clara Voss"));
            input->accept();
        } else if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            d->reject();
        }
    });
    QVERIFY(book->SaveNumber(QStringLiteral("+491715550000"), &frame));
    QVERIFY(answered);
    QCOMPARE(asked.codes, QList<int>{HostNotify::PhoneBookChanged});
    QVERIFY(other.codes.isEmpty());
    ZsdkSim::Shutdown();
}

void TestFrame::sendToPicksFromThePhoneBook()
{
    TestSupport::freshModem(m_dir.filePath(QStringLiteral("picker.sqlite")));
    QVERIFY(ZsdkSim::AddContact(QStringLiteral("Anna Berg"), QStringLiteral("+49 171 1111111")));
    QVERIFY(ZsdkSim::AddContact(QStringLiteral("Bert Sommer"), QStringLiteral("030-2222222")));
    FrameWindow frame(true);
    auto* book = frameAddressBook();
    QVERIFY(book);
    QStringList told;
    CommonUtils::SetMessageResponder([&told](const MessageRequest& r) {
        told << r.text;
        return int(QMessageBox::Ok);
    });
    auto restore = qScopeGuard([] { CommonUtils::SetMessageResponder([](const MessageRequest&) { return int(QMessageBox::Ok); }); });
    QStringList shownWhileSearching;
    bool found = false;
    QTimer::singleShot(0, &frame, [&] {
        QDialog* picker = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("XFrame_ContactPicker") && w->isVisible())
                picker = qobject_cast<QDialog*>(w);
        if (!picker) {
            if (QWidget* modal = QApplication::activeModalWidget())
                if (auto* d = qobject_cast<QDialog*>(modal))
                    d->reject();
            return;
        }
        found = true;
        auto* search = picker->findChild<QLineEdit*>(QStringLiteral("XFrame_PickerSearch"));
        auto* list = picker->findChild<QListWidget*>(QStringLiteral("XFrame_PickerList"));
        auto* numbers = picker->findChild<QLineEdit*>(QStringLiteral("XFrame_PickerNumbers"));
        if (!search || !list || !numbers)
            return picker->reject();
        QTest::keyClicks(search, QStringLiteral("ann"));
        for (int i = 0; i < list->count(); ++i)
            if (!list->item(i)->isHidden())
                shownWhileSearching << list->item(i)->text();
        for (int i = 0; i < list->count(); ++i)
            if (!list->item(i)->isHidden())
                list->item(i)->setCheckState(Qt::Checked);
        search->clear();
        numbers->setText(QStringLiteral("0301234567; 12ab, +49 (170) 555"));
        picker->accept();
    });
    QStringList picked{QStringLiteral("0301234567")};   // already a recipient
    QVERIFY(book->PickNumbers(ADDRBOOK_PICK_FOR_MESSAGE, ADDRBOOK_PICK_SEVERAL, picked));
    QVERIFY(found);
    // Searching finds a contact by part of the name; the other one is out of sight.
    QCOMPARE(shownWhileSearching.size(), 1);
    QVERIFY(shownWhileSearching.first().contains(QStringLiteral("Anna Berg")));
    // The recipient there was, then the chosen contact and the valid typed numbers not yet among
    // them, in the form the message field accepts.
    QCOMPARE(picked, (QStringList{QStringLiteral("0301234567"), QStringLiteral("+491711111111"), QStringLiteral("+49170555")}));
    // The one that is no number is named, not silently dropped.
    QCOMPARE(told.size(), 1);
    QVERIFY(told.first().contains(QStringLiteral("12ab")));
    ZsdkSim::Shutdown();
}

namespace {
// A plug-in as the notify service sees it: the notifications it was given.
struct RecordingPlugin : INotify {
    QList<int> codes;
    int Notify(int code, int, int) override
    {
        codes << code;
        return 0;
    }
};
} // namespace

// "Save number" asks for a name; with one the number joins the phone book and the plug-ins that
// asked to hear of phone-book changes are told; cancelled or without a name nothing is kept.
void TestFrame::saveNumberAsksForAName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<bool>("storable");   // the phone book can be written
    QTest::newRow("a name") << "Dora Lang" << true << true << true;
    QTest::newRow("cancelled") << "Dora Lang" << false << false << true;
    QTest::newRow("no name") << "   " << true << false << true;
    QTest::newRow("the phone book cannot be written") << "Dora Lang" << true << false << false;
}

void TestFrame::saveNumberAsksForAName()
{
    QFETCH(QString, name);
    QFETCH(bool, accept);
    QFETCH(bool, saved);
    QFETCH(bool, storable);
    QTemporaryDir readOnly;
    const QString store = storable ? m_dir.filePath(QStringLiteral("savenumber-%1.sqlite").arg(QTest::currentDataTag()))
                                   : readOnly.filePath(QStringLiteral("store.sqlite"));
    TestSupport::freshModem(store);
    auto stop = qScopeGuard([] { ZsdkSim::Shutdown(); });
    if (!storable) {
        // A store the user may read but not write: the phone book in it cannot take the number.
        QVERIFY(ZsdkSim::Contacts().isEmpty());
        ZsdkSim::Shutdown();
        QVERIFY(QFile::setPermissions(store, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        QVERIFY(QFile::setPermissions(readOnly.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
                                                           | QFile::ReadOther | QFile::ExeOther));
        {
            // Permissions do not bind root: the store is opened as an unprivileged user.
            const bool root = geteuid() == 0;
            if (root)
                setfsuid(65534);
            ZsdkSim::Contacts();
            if (root)
                setfsuid(0);
        }
        QCOMPARE(ZsdkSim::StoreState(), ZsdkSim::StoreStatus::ReadOnly);
    }
    auto reopen = qScopeGuard([&readOnly] { QFile::setPermissions(readOnly.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); });
    QList<MessageRequest> boxes;
    CommonUtils::SetMessageResponder([&boxes, number = QStringLiteral("+491715555555")](const MessageRequest& r) {
        if (r.text.contains(number))
            boxes << r;
        return int(QMessageBox::Ok);
    });
    auto responder = qScopeGuard([] { CommonUtils::SetMessageResponder([](const MessageRequest&) { return int(QMessageBox::Ok); }); });
    FrameWindow frame(true);
    auto* book = frameAddressBook();
    QVERIFY(book);
    RecordingPlugin page;
    frame.Notifications()->AddPlugin(QStringLiteral("{page}"), &page);
    auto leave = qScopeGuard([&frame] { frame.Notifications()->RemovePlugin(QStringLiteral("{page}")); });
    frame.Notifications()->RegisterNotify(QStringLiteral("{page}"), HostNotify::PhoneBookChanged);
    bool asked = false;
    QTimer::singleShot(0, &frame, [&] {
        auto* input = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (!input)
            return;
        asked = true;
        input->setTextValue(name);
        accept ? input->accept() : input->reject();
    });
    const QString number = QStringLiteral("+491715555555");
    QCOMPARE(book->SaveNumber(number, &frame), saved);
    QVERIFY(asked);
    // A name the user gave that could not be stored is told; a cancel or an empty name is not.
    QCOMPARE(boxes.size(), storable ? 0 : 1);
    if (!storable) {
        QCOMPARE(boxes.first().icon, int(QMessageBox::Warning));
        QCOMPARE(boxes.first().text, Change::tr(QStringLiteral("IDS_FRAME_SAVE_NUMBER_FAILED"), QStringLiteral("XFramePlugin")).arg(number));
        QVERIFY(!boxes.first().text.startsWith(QLatin1String("IDS_")));
        return;
    }
    const QList<QPair<QString, QString>> contacts = ZsdkSim::Contacts();
    QCOMPARE(contacts.size(), saved ? 1 : 0);
    if (saved)
        QCOMPARE(contacts.first(), qMakePair(name, number));
    QCOMPARE(page.codes, saved ? QList<int>{HostNotify::PhoneBookChanged} : QList<int>{});
}

void TestFrame::contactPickerSearch_data()
{
    QTest::addColumn<QString>("search");
    QTest::addColumn<QStringList>("shown");   // the names left in the list
    const QStringList both{QStringLiteral("Anna Berg"), QStringLiteral("Bert Sommer")};
    QTest::newRow("part of a name") << "ann" << QStringList{QStringLiteral("Anna Berg")};
    QTest::newRow("any case") << "BERT" << QStringList{QStringLiteral("Bert Sommer")};
    QTest::newRow("in both names") << "ber" << both;
    QTest::newRow("digits of a formatted number") << "2222" << QStringList{QStringLiteral("Bert Sommer")};
    QTest::newRow("a number written otherwise") << "(030) 22" << QStringList{QStringLiteral("Bert Sommer")};
    QTest::newRow("international prefix") << "+49 171" << QStringList{QStringLiteral("Anna Berg")};
    QTest::newRow("nothing matches") << "zz" << QStringList{};
    QTest::newRow("cleared") << "" << both;
}

// The picker's search narrows the list by a name or by a number however either is written.
void TestFrame::contactPickerSearch()
{
    QFETCH(QString, search);
    QFETCH(QStringList, shown);
    ContactPicker picker({{QStringLiteral("Anna Berg"), QStringLiteral("+49 171 1111111")},
                          {QStringLiteral("Bert Sommer"), QStringLiteral("030-2222222")}});
    auto* field = picker.findChild<QLineEdit*>(QStringLiteral("XFrame_PickerSearch"));
    auto* list = picker.findChild<QListWidget*>(QStringLiteral("XFrame_PickerList"));
    QVERIFY(field && list);
    // After an earlier search that left nothing in sight.
    QTest::keyClicks(field, QStringLiteral("zz"));
    field->clear();
    QTest::keyClicks(field, search);
    QStringList visible;
    for (int i = 0; i < list->count(); ++i)
        if (!list->item(i)->isHidden())
            visible << list->item(i)->text().section(QStringLiteral("  "), 0, 0);
    QCOMPARE(visible, shown);
}

// Return on a row (or a double click) ticks its contact and a second one unticks it; only the
// ticked contacts' numbers are taken.
void TestFrame::contactPickerRowActivationTicksIt()
{
    ContactPicker picker({{QStringLiteral("Anna Berg"), QStringLiteral("+49 171 1111111")},
                          {QStringLiteral("Bert Sommer"), QStringLiteral("030-2222222")}});
    auto* list = picker.findChild<QListWidget*>(QStringLiteral("XFrame_PickerList"));
    QVERIFY(list && list->count() == 2);
    picker.show();
    QVERIFY(QTest::qWaitForWindowExposed(&picker));
    list->setFocus();
    for (int row : {0, 1}) {
        list->setCurrentRow(row);
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(list->item(row)->checkState(), Qt::Checked);
    }
    list->setCurrentRow(0);
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(list->item(0)->checkState(), Qt::Unchecked);
    picker.accept();
    QCOMPARE(picker.Numbers(), QStringList{QStringLiteral("0302222222")});
}

// The editor's "Send to..." in the running frame: the phone book's picker fills the recipient
// field with every chosen number, after what was typed and without repeating one.
void TestFrame::sendToFillsTheEditor()
{
    TestSupport::freshModem(m_dir.filePath(QStringLiteral("sendto.sqlite")), [](ZsdkSim::Options& o) { o.seed = false; });
    QVERIFY(ZsdkSim::AddContact(QStringLiteral("Anna Berg"), QStringLiteral("+49 171 1111111")));
    QVERIFY(ZsdkSim::AddContact(QStringLiteral("Bert Sommer"), QStringLiteral("030-2222222")));
    QVERIFY(ZsdkSim::AddContact(QStringLiteral("Carla Wendt"), QStringLiteral("0403333333")));
    QStringList told;
    CommonUtils::SetMessageResponder([&told](const MessageRequest& r) {
        told << r.text;
        return int(QMessageBox::Ok);
    });
    auto restore = qScopeGuard([] { CommonUtils::SetMessageResponder([](const MessageRequest&) { return int(QMessageBox::Ok); }); });
    FrameWindow frame(true);
    QVERIFY(startShown(frame));
    auto* newButton = frame.findChild<QAbstractButton*>(QStringLiteral("SMSUIPlugin_ToolButton9000"));
    QVERIFY(newButton);
    newButton->click();
    QWidget* editor = frame.findChild<QWidget*>(QStringLiteral("SMSUIPlugin_MessageDialog"));
    QVERIFY(editor);
    auto* number = editor->findChild<QLineEdit*>(QStringLiteral("SMSUIPlugin_LineEditNumber"));
    auto* sendTo = editor->findChild<QPushButton*>(QStringLiteral("SMSUIPlugin_ButtonSend"));
    QVERIFY(number && sendTo);
    QTest::keyClicks(number, QStringLiteral("+491711111111"));
    bool picked = false;
    QTimer::singleShot(0, &frame, [&picked] {
        auto* picker = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!picker || picker->objectName() != QLatin1String("XFrame_ContactPicker")) {
            if (picker)
                picker->reject();
            return;
        }
        auto* list = picker->findChild<QListWidget*>(QStringLiteral("XFrame_PickerList"));
        auto* numbers = picker->findChild<QLineEdit*>(QStringLiteral("XFrame_PickerNumbers"));
        if (!list || !numbers || list->count() != 3)
            return picker->reject();
        picked = true;
        list->item(0)->setCheckState(Qt::Checked);   // already typed
        list->item(1)->setCheckState(Qt::Checked);
        numbers->setText(QStringLiteral("0891234567, not a number"));
        picker->accept();
    });
    sendTo->click();
    QVERIFY(picked);
    QCOMPARE(number->text(), QStringLiteral("+491711111111;0302222222;0891234567"));
    QCOMPARE(told.size(), 1);
    QVERIFY2(told.first().contains(QStringLiteral("not a number")), qPrintable(told.first()));
    frame.Shutdown();
    ZsdkSim::Shutdown();
}

void TestFrame::fillingTheCardShowsWhatIsStored()
{
    TestSupport::freshModem(m_dir.filePath(QStringLiteral("fill.sqlite")), [](ZsdkSim::Options& o) { o.seed = true; o.simCapacity = 6; });
    FrameWindow frame(true);
    QVERIFY(startShown(frame));
    auto* tree = frame.findChild<QTreeWidget*>(QStringLiteral("SMSUIPlugin_TreeSMSWidget"));
    QVERIFY(tree);
    // Messages stored on the card, as the SIM Inbox and Outbox labels count them.
    auto onCard = [tree] {
        const QMap<int, int> counts = folderCounts(tree);
        return counts.value(NODE_SIM_OUTBOX) + counts.value(NODE_SIM_INBOX);
    };
    QVERIFY(onCard() < 6);
    // The card's Inbox is open while the card fills up: its table lists what the label counts.
    QTreeWidgetItem* simInbox = folderNode(tree, NODE_SIM_INBOX);
    QVERIFY(simInbox);
    tree->setCurrentItem(simInbox);
    auto shownRows = [&frame] { return shownTable(frame) ? shownTable(frame)->rowCount() : -1; };
    auto inboxCount = [tree] { return folderCounts(tree).value(NODE_SIM_INBOX, -1); };
    QTRY_COMPARE(shownRows(), inboxCount());
    deviceMenuAction(frame, "IDS_DEV_FILL_SIM")->trigger();
    QTRY_COMPARE(onCard(), 6);
    QVERIFY(ZsdkSim::WaitForEvents());
    QCoreApplication::processEvents();
    QCOMPARE(onCard(), 6);
    QTRY_COMPARE(shownRows(), inboxCount());
    frame.Shutdown();
    ZsdkSim::Shutdown();
}

void TestFrame::treeLabelsFitAtTheDefaultWidth_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << "en";
    QTest::newRow("German, the longest labels") << "de";
    QTest::newRow("Arabic, right to left") << "ar";
}

// At the frame's own size the tool bar above the table must not claim the width that the tree
// needs: the splitter shares the page out as it was set up (130 : 500), the top-level labels are
// readable in full, and a deeper label that still does not fit carries its text as tool tip.
void TestFrame::treeLabelsFitAtTheDefaultWidth()
{
    QFETCH(QString, language);
    TestSupport::freshModem(m_dir.filePath(QStringLiteral("labels.sqlite")), [](ZsdkSim::Options& o) { o.seed = true; });
    FrameWindow frame(true);
    auto restore = qScopeGuard([&frame] { frame.SwitchLanguage(QStringLiteral("en")); });
    frame.SwitchLanguage(language);
    frame.show();
    QCOMPARE(frame.width(), 980);
    QCOMPARE(frame.StartPlugins(), 1);
    ZsdkSim::WaitForEvents();
    QCoreApplication::processEvents();
    auto* tree = frame.findChild<QTreeWidget*>(QStringLiteral("SMSUIPlugin_TreeSMSWidget"));
    auto* splitter = frame.findChild<QSplitter*>(QStringLiteral("SMSUIPlugin_SplitterMain"));
    QVERIFY(tree && splitter);
    const int shared = splitter->width() - splitter->handleWidth();
    QVERIFY2(tree->width() >= shared * 130 / 630 - 2, qPrintable(QStringLiteral("tree %1 px of %2").arg(tree->width()).arg(shared)));
    const QFontMetrics metrics(tree->font());
    const QRect visible = tree->viewport()->rect();
    int labels = 0;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        QTreeWidgetItem* item = *it;
        if (item->isHidden() || (item->parent() && !item->parent()->isExpanded()))
            continue;
        const QRect cell = tree->visualItemRect(item);
        // icon, the gaps beside it and the text, measured from where the cell starts
        const int needed = tree->iconSize().width() + 8 + metrics.horizontalAdvance(item->text(0));
        const int room = tree->layoutDirection() == Qt::RightToLeft ? cell.right() - visible.left() : visible.right() - cell.left();
        const QString what = QStringLiteral("'%1' needs %2 px, has %3").arg(item->text(0)).arg(needed).arg(room);
        if (!item->parent())
            QVERIFY2(room >= needed, qPrintable(what));
        else if (room < needed)
            QVERIFY2(item->toolTip(0) == item->text(0), qPrintable(what));
        ++labels;
    }
    QVERIFY(labels >= 7);
    frame.Shutdown();
    ZsdkSim::Shutdown();
}

void TestFrame::longStatusMessageKeepsClearOfTheIndicator_data()
{
    QTest::addColumn<int>("direction");
    QTest::newRow("left to right") << int(Qt::LeftToRight);
    QTest::newRow("right to left") << int(Qt::RightToLeft);
}

// A message longer than the status bar is cut short with an ellipsis before the send indicator,
// with a gap; the whole text is the bar's tool tip.
void TestFrame::longStatusMessageKeepsClearOfTheIndicator()
{
    QFETCH(int, direction);
    TestSupport::freshModem(m_dir.filePath(QStringLiteral("status.sqlite")));
    FrameWindow frame(true);
    frame.setLayoutDirection(Qt::LayoutDirection(direction));
    frame.resize(600, 300);
    frame.show();
    QCOMPARE(frame.StartPlugins(), 1);
    auto* indicator = frame.findChild<QLabel*>(QStringLiteral("XFrame_SendLabel"));
    QVERIFY(indicator && indicator->isVisible());
    const QString message = QStringLiteral("MWMWMWMW ").repeated(40).trimmed();
    frame.statusBar()->showMessage(message);
    QCoreApplication::processEvents();
    const QImage bar = frame.statusBar()->grab().toImage();
    const QRect mark = indicator->geometry();
    // The six pixel columns next to the indicator on the message's side carry no text.
    const int from = direction == Qt::LeftToRight ? mark.left() - 6 : mark.right() + 1;
    int inked = 0;
    for (int x = from; x < from + 6; ++x)
        for (int y = 0; y < bar.height(); ++y)
            inked += qGray(bar.pixel(x, y)) < 128;
    QCOMPARE(inked, 0);
    // Somewhere left of it there is text: the message is painted, not left out.
    int text = 0;
    for (int x = 0; x < bar.width(); ++x)
        text += qGray(bar.pixel(x, bar.height() / 2)) < 128;
    QVERIFY(text > 20);
    const QPoint middle(frame.statusBar()->width() / 2, frame.statusBar()->height() / 2);
    QHelpEvent help(QEvent::ToolTip, middle, frame.statusBar()->mapToGlobal(middle));
    QCoreApplication::sendEvent(frame.statusBar(), &help);
    QTRY_COMPARE(QToolTip::text(), message);
    QToolTip::hideText();
    frame.Shutdown();
    ZsdkSim::Shutdown();
}

// In the mini frame the SMS page comes forward through the mini frame, whichever way the page
// looks it up: View in the new-message popup, or another component writing a message.
void TestFrame::miniFrameBringsTheSmsPage_data()
{
    QTest::addColumn<bool>("fromPopup");
    QTest::newRow("View in the new-message popup") << true;
    QTest::newRow("another component writes a message") << false;
}

void TestFrame::miniFrameBringsTheSmsPage()
{
    QFETCH(bool, fromPopup);
    TestSupport::freshModem(m_dir.filePath(QStringLiteral("mini-%1.sqlite").arg(QTest::currentDataTag()).remove(QLatin1Char(' '))),
                            [](ZsdkSim::Options& o) { o.seed = false; });
    CommonUtils::SetSettings(QStringLiteral("SMSSERVICE"), QStringLiteral("VisionAlert"), QStringLiteral("1"));
    auto restore = qScopeGuard([] {
        CommonUtils::SetFrameStyle(0);
        CommonUtils::SetSettings(QStringLiteral("SMSSERVICE"), QStringLiteral("VisionAlert"), QString());
    });
    FrameWindow frame(true);
    QVERIFY(startShown(frame));
    CommonUtils::SetFrameStyle(0x10);
    QVERIFY(CommonUtils::IsMiniMode());
    frame.showMinimized();
    QVERIFY(frame.isMinimized());
    if (fromPopup) {
        ZsdkSim::Incoming in;
        in.number = QStringLiteral("+4915550001");
        in.text = QStringLiteral("seen in the mini frame");
        QVERIFY(ZsdkSim::InjectMessage(in) > 0);
        auto viewButton = []() -> QPushButton* {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->isVisible())
                    if (auto* view = w->findChild<QPushButton*>(QStringLiteral("ViewButton")))
                        return view;
            return nullptr;
        };
        QTRY_VERIFY(viewButton());
        viewButton()->click();
    } else {
        IUIPlugin* page = nullptr;
        for (const LoadedPlugin& entry : frame.Plugins().Plugins())
            if (entry.ui && entry.ui->GetPluginName() == QLatin1String("SMSUIPlugin"))
                page = entry.ui;
        QVERIFY(page);
        void* out = nullptr;
        QVERIFY(page->QueryInterface(IID_SMS_UI_SERVICE, &out));
        QCOMPARE(static_cast<ISMSUIService*>(out)->SendSMSToNumber(QStringLiteral("+4915550002"), QString(), nullptr), 0);
    }
    QVERIFY(!frame.isMinimized());
    QCOMPARE(frame.CurrentPage(), QStringLiteral("SMSUIPlugin"));
    // The mini frame shows the page of the plug-in named; an id of no page it runs brings nothing.
    frame.showMinimized();
    auto* mini = qobject_cast<IMiniFrameUIService*>(Startup::GetPluginContainer()->GetPlugin(QLatin1String(HostGuid::MiniFrame), 0));
    QVERIFY(mini);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("no page for plug-in 0F0F0F0F")));
    mini->ShowPlugin(QStringLiteral("0F0F0F0F-0000-0000-0000-000000000000"));
    QVERIFY(frame.isMinimized());
    frame.Shutdown();
    ZsdkSim::Shutdown();
}

// Cancelling the phone book's picker hands back the recipients as they were and asks nothing.
void TestFrame::cancelledPickerKeepsTheRecipients()
{
    TestSupport::freshModem(m_dir.filePath(QStringLiteral("picker-cancel.sqlite")));
    QVERIFY(ZsdkSim::AddContact(QStringLiteral("Anna Berg"), QStringLiteral("+49 171 1111111")));
    FrameWindow frame(true);
    auto* book = frameAddressBook();
    QVERIFY(book);
    int boxes = 0;
    CommonUtils::SetMessageResponder([&boxes](const MessageRequest&) {
        ++boxes;
        return int(QMessageBox::Ok);
    });
    auto restore = qScopeGuard([] { CommonUtils::SetMessageResponder([](const MessageRequest&) { return int(QMessageBox::Ok); }); });
    bool cancelled = false;
    QTimer::singleShot(0, &frame, [&cancelled] {
        auto* picker = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!picker)
            return;
        if (auto* list = picker->findChild<QListWidget*>(QStringLiteral("XFrame_PickerList")); list && list->count() == 1)
            list->item(0)->setCheckState(Qt::Checked);
        if (auto* numbers = picker->findChild<QLineEdit*>(QStringLiteral("XFrame_PickerNumbers")))
            numbers->setText(QStringLiteral("0891234567, not a number"));
        cancelled = picker->objectName() == QLatin1String("XFrame_ContactPicker");
        picker->reject();
    });
    const QStringList typed{QStringLiteral("0171"), QStringLiteral("+4930222")};
    QStringList numbers = typed;
    QVERIFY(!book->PickNumbers(ADDRBOOK_PICK_FOR_MESSAGE, ADDRBOOK_PICK_SEVERAL, numbers));
    QVERIFY(cancelled);
    QCOMPARE(numbers, typed);
    QCOMPARE(boxes, 0);
    ZsdkSim::Shutdown();
}

QTEST_MAIN(TestFrame)
#include "tst_frame.moc"

void TestFrame::singleInstanceAnswersOnlyItsRequest_data()
{
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("raises");
    QTest::addColumn<bool>("dropped");
    QTest::newRow("raise") << QByteArray("raise\n") << QByteArray("ok\n") << 1 << false;
    QTest::newRow("two in one write") << QByteArray("raise\nraise\n") << QByteArray("ok\nok\n") << 2 << false;
    QTest::newRow("unknown line first") << QByteArray("hello\nraise\n") << QByteArray("ok\n") << 1 << false;
    // Up to the limit without a line end is still a peer that may finish its line...
    QTest::newRow("at the limit, then a line end")
        << QByteArray(256, 'x') + "\nraise\n" << QByteArray("ok\n") << 1 << false;
    // ...one byte more is not one of ours.
    QTest::newRow("past the limit") << QByteArray(257, 'x') << QByteArray() << 0 << true;
}

void TestFrame::singleInstanceAnswersOnlyItsRequest()
{
    QFETCH(QByteArray, sent);
    QFETCH(QByteArray, reply);
    QFETCH(int, raises);
    QFETCH(bool, dropped);
    SingleInstance frame(m_dir.filePath(QString::fromLatin1(QTest::currentDataTag())));
    QCOMPARE(frame.Claim(500), SingleInstance::Primary);
    QSignalSpy raised(&frame, &SingleInstance::raiseRequested);
    QLocalSocket peer;
    QSignalSpy gone(&peer, &QLocalSocket::disconnected);
    peer.connectToServer(frame.ServerName());
    QVERIFY(peer.waitForConnected(2000));
    if (sent.contains("hello"))
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("ignoring an unknown request")));
    if (dropped)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("dropping a connection")));
    // The part past the limit goes in a write of its own, so that the frame has seen the rest
    // before it and must count what is waiting rather than what one read brought.
    const int split = sent.indexOf('\n') < 0 ? sent.size() : sent.indexOf('\n');
    peer.write(sent.left(split));
    peer.flush();
    QTest::qWait(50);
    peer.write(sent.mid(split));
    peer.flush();
    if (dropped) {
        QTRY_COMPARE_WITH_TIMEOUT(gone.count(), 1, 2000);
    } else {
        QByteArray got;
        QTRY_VERIFY_WITH_TIMEOUT((got += peer.readAll()).size() >= reply.size(), 2000);
        QCOMPARE(got, reply);
        QCOMPARE(raised.count(), raises);
        QCOMPARE(peer.state(), QLocalSocket::ConnectedState);
    }
    QCOMPARE(raised.count(), raises);
}

void TestFrame::singleInstanceTakesOverALeftSocket()
{
    const QString key = m_dir.filePath(QStringLiteral("left-behind"));
    const QString name = SingleInstance::ServerNameFor(key);
    QVERIFY(name.startsWith(QLatin1Char('/')));
    // A frame that crashed leaves its socket file with nobody listening on it.
    {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(fd >= 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        const QByteArray path = QFile::encodeName(name);
        qstrncpy(address.sun_path, path.constData(), sizeof address.sun_path);
        QFile::remove(name);
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(fd);
    }
    QVERIFY(QFileInfo::exists(name));
    SingleInstance first(key);
    QCOMPARE(first.Claim(500), SingleInstance::Primary);
    QSignalSpy raised(&first, &SingleInstance::raiseRequested);

    // A later start on the same store hands over even when the frame is too busy to confirm in
    // time (here it cannot answer at all until the later start gives up waiting); the frame
    // still comes forward once it gets to the request.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("did not confirm")));
    SingleInstance second(key);
    QCOMPARE(second.Claim(300), SingleInstance::Forwarded);
    QTRY_COMPARE_WITH_TIMEOUT(raised.count(), 1, 2000);
    // A start on another store is a frame of its own.
    SingleInstance other(key + QStringLiteral("-other"));
    QCOMPARE(other.Claim(300), SingleInstance::Primary);
    QCOMPARE(raised.count(), 1);
}
