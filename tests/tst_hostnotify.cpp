// What the host tells the SMS page and what the page does about it: flight mode, whether calls
// are possible, the device pulled out, the device ready, a changed phone book, a language change
// (and the keyboard shortcuts that come with it), and the Ctrl+A selection rules.

#include "Change.h"
#include "CommonUtils.h"
#include "HostGuids.h"
#include "HostInterfaces.h"
#include "Startup.h"
#include "TestSupport.h"
#include "entry/SMSUIService.h"
#include "entry/SettingUIService.h"
#include "settings/SMSSettingUILogic.h"
#include "settings/SmsSettingUIPlugin.h"
#include "store/SMSStatusUILogic.h"
#include "store/SMSTypes.h"
#include "window/SMSUIMainDlg.h"
#include "window/SMSUITableWidget.h"

#include <QShortcut>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QAction>
#include <QLabel>
#include <QToolButton>
#include <QTreeWidgetItem>
#include <QtTest>

namespace {
const QByteArray kConfig =
    "<c><ShowSMCount>true</ShowSMCount><SentItemsBox>true</SentItemsBox>"
    "<SMSReceiveMode>true</SMSReceiveMode><SMSCenterValid>true</SMSCenterValid>"
    "<item id=\"9000\" tooltip=\"IDS_TIP_NEW\"/><item id=\"9001\" tooltip=\"IDS_TIP_DELETE\"/>"
    "<item id=\"9002\" tooltip=\"IDS_TIP_SEND\"/><item id=\"9003\" tooltip=\"IDS_TIP_REPLY\"/>"
    "<item id=\"9004\" tooltip=\"IDS_TIP_FORWARD\"/><item id=\"9005\" tooltip=\"IDS_TIP_CALL\"/>"
    "<item id=\"9006\" tooltip=\"IDS_TIP_SEARCH\"/></c>";

// The five single-message tool items, in the order Send, Reply, Forward, Delete, Call.
const QList<int> kMessageItems{9002, 9003, 9004, 9001, 9005};
} // namespace

class TestHostNotify : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void notificationsWithoutTheWindowDoNothing();
    void flightMode_data();
    void flightMode();
    void callAvailabilityFollowsTheHost_data();
    void callAvailabilityFollowsTheHost();
    void deviceRemovedHidesTheCards();
    void deviceReadyAllowsTheMemoryWarning_data();
    void deviceReadyAllowsTheMemoryWarning();
    void memoryWarningWaitsForTheDevice();
    void phoneBookChangeRenames_data();
    void phoneBookChangeRenames();
    void phoneBookChangeBeforeTheStoreStartsIt();
    void shortcutKeysFollowTheLanguage_data();
    void shortcutKeysFollowTheLanguage();
    void ctrlASelectsByFolderRules_data();
    void ctrlASelectsByFolderRules();
    void cardBackKeepsTheFolderRules_data();
    void cardBackKeepsTheFolderRules();

private:
    void start(bool callPlugin = false);
    QString enabledItems() const;   // e.g. "9002 9003 9001": the enabled single-message items
    void setItems(const QList<int>& ids, bool enabled);
    QTemporaryDir m_dir;
    QString m_lib;
    QWidget m_host;
    PluginContainer m_container;
    QObject m_callPlugin;
    CSMSUIService* m_service = nullptr;
    SMSUIMainDlg* m_window = nullptr;
};

void TestHostNotify::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_lib = m_dir.filePath(QStringLiteral("lib"));
    QVERIFY(TestSupport::stageLibrary(m_lib, {"plugins/SMSUIPlugin/sms_status.png", "plugins/SMSUIPlugin/sms_tree_Images.png",
                                              "translations/host_en.qm", "translations/host_de.qm", "config/Config.xml"}));
    // A language of our own whose shortcut keys differ from English.
    QVERIFY(QFile::copy(QStringLiteral(TEST_BUILD_ROOT "/tests/host_xx.qm"), m_lib + QStringLiteral("/translations/host_xx.qm")));
    QFile config(m_lib + QStringLiteral("/plugins/SMSUIPlugin/SMSUIPluginConfig.xml"));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write(kConfig);
    config.close();
    CommonUtils::SetPluginLibraryPath(m_lib);
    CommonUtils::SetSettingsFile(m_dir.filePath(QStringLiteral("xframe.ini")));
    CommonUtils::SetMessageResponder([](const MessageRequest&) { return int(QMessageBox::Ok); });
    QVERIFY(Change::LoadLanguage(QStringLiteral("en")));
    m_host.resize(900, 600);
    m_host.show();
}

void TestHostNotify::init()
{
    TestSupport::freshModem(m_dir.filePath(QStringLiteral("sim.sqlite")));
    m_container.Clear();
    Startup::SetPluginContainer(&m_container);
}

void TestHostNotify::cleanup()
{
    if (SMSStatusUILogic* s = SMSStatusUILogic::Existing())
        s->unSDKRegisterEvent();
    CSMSUIService::Release();
    SMSStatusUILogic::Release();
    CSettingUIService::Release();
    SMSSettingUILogic::Destroy();
    m_service = nullptr;
    m_window = nullptr;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Change::LoadLanguage(QStringLiteral("en"));
    Startup::SetPluginContainer(nullptr);
}

void TestHostNotify::cleanupTestCase()
{
    CommonUtils::SetMessageResponder(nullptr);
    ZsdkSim::Shutdown();
}

// Starts the page the way the host does: Init, then ShowWindow into the host's frame.
void TestHostNotify::start(bool callPlugin)
{
    if (callPlugin)
        m_container.RegisterPlugin(QLatin1String(HostGuid::CallUI), 0x1001, &m_callPlugin);
    m_service = CSMSUIService::Instance();
    QVERIFY(m_service->Init());
    QCOMPARE(m_service->ShowWindow(&m_host, QRect(QPoint(0, 0), QPoint(899, 599))), 1);
    m_window = SMSUIMainDlg::Existing();
    QVERIFY(m_window);
    ZsdkSim::WaitForEvents();
    QCoreApplication::processEvents();
}

QString TestHostNotify::enabledItems() const
{
    QStringList out;
    for (int id : kMessageItems) {
        auto* button = m_window->findChild<QToolButton*>(QStringLiteral("SMSUIPlugin_ToolButton%1").arg(id));
        if (button && button->isEnabled())
            out << QString::number(id);
    }
    return out.join(QLatin1Char(' '));
}

void TestHostNotify::setItems(const QList<int>& ids, bool enabled)
{
    for (int id : ids)
        enabled ? m_window->enableToolItem(id) : m_window->disableToolItem(id);
}

void TestHostNotify::notificationsWithoutTheWindowDoNothing()
{
    CSMSUIService* service = CSMSUIService::Instance();
    for (int code : {0x140, 0x203, 0x240, 0x241, 0x242, 0x1005})
        QCOMPARE(service->Notify(code, 1, 0), 0);
    QVERIFY(!service->IsSimAvailable());   // 0x242 did not count without a window
    QVERIFY(!SMSUIMainDlg::Existing());
    start();
    QCOMPARE(m_service->Notify(0x999, 0, 0), 1);   // with the window every code is taken
}

void TestHostNotify::flightMode_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("radio");
    QTest::addColumn<QString>("enabled");
    QTest::newRow("flight mode on: nothing can go out") << 0x240 << false << "";
    QTest::newRow("flight mode off: a received message can be answered again") << 0x241 << true << "9002 9003 9004";
}

void TestHostNotify::flightMode()
{
    QFETCH(int, code);
    QFETCH(bool, radio);
    TestSupport::storeMessage(NODE_LOCAL_INBOX, QStringLiteral("+4915112345678"), QStringLiteral("hello"));
    start();
    m_window->onClickSMSTreeNode(m_window->TreeItem(NODE_LOCAL_INBOX), 0);
    m_window->Table(NODE_LOCAL_INBOX)->selectRow(0);
    // Start from the opposite state so that the notification has something to change.
    m_window->SetRadioOn(!radio);
    setItems(kMessageItems, !radio);
    // The context menu's message commands follow as well.
    const QStringList menuIds{QStringLiteral("IDS_MENU_EDIT"), QStringLiteral("IDS_MENU_FORWARD"),
                              QStringLiteral("IDS_MENU_REPLY"), QStringLiteral("IDS_MENU_SEND")};
    for (const QString& id : menuIds) {
        QVERIFY2(m_window->GetAction(id), qPrintable(id));
        m_window->GetAction(id)->setEnabled(!radio);
    }
    QCOMPARE(m_service->Notify(code, 0, 0), 1);
    QCOMPARE(m_window->IsRadioOn(), radio);
    QCOMPARE(m_window->IsNetworkAvailable(), radio);
    QTEST(enabledItems(), "enabled");
    QCOMPARE(m_window->IsSendEnabled(), radio);
    QCOMPARE(m_window->IsReplyEnabled(), radio);
    for (const QString& id : menuIds)
        QVERIFY2(m_window->GetAction(id)->isEnabled() == radio, qPrintable(id));
}

void TestHostNotify::callAvailabilityFollowsTheHost_data()
{
    QTest::addColumn<int>("param");
    QTest::addColumn<bool>("call");
    QTest::newRow("calls possible") << 1 << true;
    QTest::newRow("calls possible, any non-zero value") << 7 << true;
    QTest::newRow("calls not possible") << 0 << false;
}

void TestHostNotify::callAvailabilityFollowsTheHost()
{
    QFETCH(int, param);
    QFETCH(bool, call);
    TestSupport::storeMessage(NODE_LOCAL_INBOX, QStringLiteral("+4915112345678"), QStringLiteral("call me"));
    start();
    m_window->onClickSMSTreeNode(m_window->TreeItem(NODE_LOCAL_INBOX), 0);
    m_window->Table(NODE_LOCAL_INBOX)->selectRow(0);
    // The host first says the opposite; the selected row follows each change at once.
    m_service->Notify(0x203, call ? 0 : 1, 0);
    QCOMPARE(m_window->IsCallEnabled(), !call);
    QCOMPARE(m_service->Notify(0x203, param, 0), 1);
    QCOMPARE(m_window->IsCallEnabled(), call);
    QCOMPARE(enabledItems().contains(QStringLiteral("9005")), call);
    // A click on the row keeps to what the host said.
    m_window->onClickTableRow(0);
    QCOMPARE(m_window->IsCallEnabled(), call);
    // The same news again changes nothing, even when the item was changed meanwhile.
    call ? m_window->disableToolItem(9005) : m_window->enableToolItem(9005);
    m_service->Notify(0x203, param, 0);
    QCOMPARE(m_window->IsCallEnabled(), !call);
}

void TestHostNotify::deviceRemovedHidesTheCards()
{
    TestSupport::storeMessage(NODE_SIM_INBOX, QStringLiteral("+4915112345678"), QStringLiteral("on the card"));
    TestSupport::storeMessage(NODE_DEVICE_INBOX, QStringLiteral("+4915112345679"), QStringLiteral("in the device"));
    start();
    m_service->Notify(0x242, 0, 0);
    QTRY_VERIFY_WITH_TIMEOUT(m_window->IsSimShown() && m_window->IsDeviceShown(), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->TreeItem(NODE_SIM_ROOT)->isHidden(), 10000);
    QVERIFY(!m_window->TreeItem(NODE_DEVICE_ROOT)->isHidden());
    // The settings page is open in the host's dialog when the device goes.
    CSettingUIService* settings = CSettingUIService::Instance();
    QVERIFY(settings->Init());
    QWidget dialog;
    QVERIFY(settings->ShowSettingPage(&dialog, QRect(0, 0, 400, 300)));
    QVERIFY(settings->IsPageShown());
    ZsdkSim::SetDevicePresent(false);
    QCOMPARE(m_service->Notify(0x1005, 0, 0), 1);
    QCOMPARE(settings->Notify(0x1005, 0, 0), 0);
    QVERIFY(m_window->TreeItem(NODE_SIM_ROOT)->isHidden());
    QVERIFY(m_window->TreeItem(NODE_DEVICE_ROOT)->isHidden());
    QVERIFY(!m_window->IsSimShown());
    QVERIFY(!m_window->IsDeviceShown());
    // The settings page was cancelled: no longer shown, taken out of the host's dialog.
    QVERIFY(!settings->IsPageShown());
    QVERIFY(!dialog.findChild<QWidget*>(QStringLiteral("SmsSettingUIPlugin_WidgetSmsSetting")));
    // The PC folders are untouched.
    QVERIFY(!m_window->TreeItem(NODE_LOCAL_ROOT)->isHidden());
    QVERIFY(!m_window->TreeItem(NODE_LOCAL_INBOX)->isHidden());
    ZsdkSim::SetDevicePresent(true);
}

void TestHostNotify::deviceReadyAllowsTheMemoryWarning_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("device ready") << 0x102 << true;
    QTest::newRow("a language change is not device ready") << 0x140 << false;
    QTest::newRow("a phone-book change is not device ready") << 0x120 << false;
}

void TestHostNotify::deviceReadyAllowsTheMemoryWarning()
{
    QFETCH(int, code);
    start();
    QVERIFY(!m_window->IsMemoryFullPopupAllowed());
    QCOMPARE(m_service->checkNotifyType(code, 0, 0), 0);
    QTEST(m_window->IsMemoryFullPopupAllowed(), "allowed");
}

// A memory that is reported full before the host says the device is ready is not lost: the
// warning comes once the device is ready; after that each report warns at once.
void TestHostNotify::memoryWarningWaitsForTheDevice()
{
    start();
    QVERIFY(!m_window->IsMemoryFullPopupAllowed());
    m_window->onSmsStatusChanged(6);   // the PC memory is full
    QCoreApplication::processEvents();
    QVERIFY(!m_window->MemoryFullPopup());
    QCOMPARE(m_service->checkNotifyType(0x102, 0, 0), 0);
    QVERIFY(m_window->MemoryFullPopup());
    auto* text = m_window->MemoryFullPopup()->findChild<QLabel*>();
    QVERIFY(text);
    QCOMPARE(text->text(), m_window->Translate(QStringLiteral("IDS_STC_LOCALSMSFULL")));
    m_window->onClickCloseMemoryFullDialog();
    QVERIFY(!m_window->MemoryFullPopup());
    // Told again that the device is ready: nothing is waiting, nothing is shown.
    QCOMPARE(m_service->checkNotifyType(0x102, 0, 0), 0);
    QVERIFY(!m_window->MemoryFullPopup());
    m_window->onSmsStatusChanged(2);   // the device memory is full
    QVERIFY(m_window->MemoryFullPopup());
    QCOMPARE(m_window->MemoryFullPopup()->findChild<QLabel*>()->text(), m_window->Translate(QStringLiteral("IDS_STC_DEVICESMSFULL")));
    m_window->onClickCloseMemoryFullDialog();
}

void TestHostNotify::phoneBookChangeRenames_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("savedFromThePage");
    QTest::addColumn<bool>("stale");
    for (int code : {0x120, 0x121, 0x122}) {
        const QByteArray hex = QByteArray::number(code, 16);
        QTest::newRow(("0x" + hex + " after the user saved a number here: renamed at once").constData()) << code << true << true;
        QTest::newRow(("0x" + hex + " changed elsewhere: renamed when the page is shown next").constData()) << code << false << true;
    }
    QTest::newRow("another code is no phone-book change") << 0x123 << true << false;
}

void TestHostNotify::phoneBookChangeRenames()
{
    QFETCH(int, code);
    QFETCH(bool, savedFromThePage);
    QFETCH(bool, stale);
    const QString number = QStringLiteral("+4915112345678");
    TestSupport::storeMessage(NODE_LOCAL_INBOX, number, QStringLiteral("who am I"));
    TestSupport::storeMessage(NODE_LOCAL_OUTBOX, number, QStringLiteral("sent to them"), 0, QStringLiteral("20261201120000"), 0);
    start();
    SMSUITableWidget* inbox = m_window->Table(NODE_LOCAL_INBOX);
    SMSUITableWidget* sent = m_window->Table(NODE_LOCAL_SENT);
    QCOMPARE(inbox->rowCount(), 1);
    QCOMPARE(sent->rowCount(), 1);
    QVERIFY(!inbox->item(0, 0)->text().contains(QStringLiteral("Berta")));
    // The address book saves the contact and the host tells the page; the device itself does not
    // announce it this time.
    QCOMPARE(ZSDK_PBSrv_UnRegisterPBCallback(&SMSStatusUILogic::SmsCallBackMethod), 0);
    QVERIFY(ZsdkSim::AddContact(QStringLiteral("Berta"), number));
    QVERIFY(ZsdkSim::WaitForEvents());
    QCOMPARE(ZSDK_PBSrv_RegisterPBCallback(&SMSStatusUILogic::SmsCallBackMethod), 0);
    QCoreApplication::processEvents();
    QVERIFY(!inbox->item(0, 0)->text().contains(QStringLiteral("Berta")));
    m_window->SetNumberSaved(savedFromThePage);
    QCOMPARE(m_service->checkNotifyType(code, 0, 0), 0);
    SMSStatusUILogic* store = SMSStatusUILogic::Existing();
    const bool renamedAtOnce = stale && savedFromThePage;
    QCOMPARE(inbox->item(0, 0)->text().contains(QStringLiteral("Berta")), renamedAtOnce);
    QCOMPARE(sent->item(0, 0)->text().contains(QStringLiteral("Berta")), renamedAtOnce);
    QCOMPARE(store->IsNamesStale(), stale && !savedFromThePage);
    QCOMPARE(m_window->IsNumberSaved(), savedFromThePage && !stale);
    // Showing the page again brings every change in.
    QCOMPARE(m_service->ShowWindow(&m_host, QRect(QPoint(0, 0), QPoint(899, 599))), 1);
    QVERIFY(!store->IsNamesStale());
    QCOMPARE(inbox->item(0, 0)->text().contains(QStringLiteral("Berta")), stale);
}

void TestHostNotify::phoneBookChangeBeforeTheStoreStartsIt()
{
    // The host may report a phone-book change before the page was ever initialised.
    CSMSUIService* service = CSMSUIService::Instance();
    QVERIFY(!SMSStatusUILogic::Existing());
    QCOMPARE(service->checkNotifyType(0x121, 0, 0), 0);
    SMSStatusUILogic* store = SMSStatusUILogic::Existing();
    QVERIFY(store);
    QVERIFY(!store->IsNamesStale());
    // It was started: it hears the device's events.
    QSignalSpy received(store, &SMSStatusUILogic::SMSReceiveRecord);
    ZsdkSim::Incoming in;
    in.number = QStringLiteral("+4915112345678");
    in.text = QStringLiteral("early");
    QVERIFY(ZsdkSim::InjectMessage(in) > 0);
    QVERIFY(ZsdkSim::WaitForEvents());
    QCOMPARE(received.count(), 1);
}

void TestHostNotify::shortcutKeysFollowTheLanguage_data()
{
    QTest::addColumn<bool>("callPlugin");
    QTest::newRow("with the call plug-in") << true;
    QTest::newRow("without the call plug-in") << false;
}

void TestHostNotify::shortcutKeysFollowTheLanguage()
{
    QFETCH(bool, callPlugin);
    TestSupport::storeMessage(NODE_LOCAL_INBOX, QStringLiteral("+4915112345678"), QStringLiteral("one"));
    TestSupport::storeMessage(NODE_LOCAL_INBOX, QStringLiteral("+4915112345679"), QStringLiteral("two"));
    start(callPlugin);
    auto keys = [this] {
        QStringList out;
        for (QShortcut* s : m_window->findChildren<QShortcut*>())
            out << s->key().toString(QKeySequence::PortableText);
        return out;
    };
    const QString call = callPlugin ? QStringLiteral("Ctrl+Shift+C") : QString();
    QCOMPARE(keys(), (QStringList{"Ctrl+N", "Ctrl+E", "Ctrl+Shift+S", "Ctrl+R", "Ctrl+Shift+F", "Del", call, "Ctrl+A"}));
    QVERIFY(Change::LoadLanguage(QStringLiteral("xx")));
    QCOMPARE(m_service->Notify(0x140, 0, 0), 1);
    const QString xxCall = callPlugin ? QStringLiteral("Alt+C") : QString();
    QCOMPARE(keys(), (QStringList{"Alt+N", "Alt+E", "Alt+S", "Alt+R", "Alt+F", "Alt+D", xxCall, "Ctrl+A"}));
    QVERIFY(Change::LoadLanguage(QStringLiteral("en")));
    m_service->Notify(0x140, 0, 0);
    QCOMPARE(keys(), (QStringList{"Ctrl+N", "Ctrl+E", "Ctrl+Shift+S", "Ctrl+R", "Ctrl+Shift+F", "Del", call, "Ctrl+A"}));
    // Ctrl+A stays one shortcut, still connected, through every language change.
    m_window->onClickSMSTreeNode(m_window->TreeItem(NODE_LOCAL_INBOX), 0);
    QShortcut* ctrlA = m_window->findChildren<QShortcut*>().last();
    QVERIFY(m_window->Table(NODE_LOCAL_INBOX)->selectedItems().isEmpty());
    emit ctrlA->activated();
    QCOMPARE(m_window->Table(NODE_LOCAL_INBOX)->selectedItems().size(), 2 * m_window->Table(NODE_LOCAL_INBOX)->columnCount());
}

void TestHostNotify::ctrlASelectsByFolderRules_data()
{
    QTest::addColumn<int>("folder");
    QTest::addColumn<int>("messages");
    QTest::addColumn<QString>("before");   // the items enabled before Ctrl+A
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("previewCleared");
    QTest::newRow("an empty Drafts folder: nothing to delete") << int(NODE_LOCAL_DRAFT) << 0 << "9001" << "" << false;
    QTest::newRow("one draft: Delete only") << int(NODE_LOCAL_DRAFT) << 1 << "" << "9001" << false;
    QTest::newRow("several drafts: Delete, preview cleared") << int(NODE_LOCAL_DRAFT) << 3 << "" << "9001" << true;
    QTest::newRow("several in the Outbox: Delete, preview cleared") << int(NODE_LOCAL_OUTBOX) << 2 << "" << "9001" << true;
    QTest::newRow("several in the Trash: Delete, preview cleared") << int(NODE_LOCAL_TRASH) << 2 << "" << "9001" << true;
    QTest::newRow("an empty Inbox: every message item off") << int(NODE_LOCAL_INBOX) << 0 << "9002 9003 9004 9001" << "" << false;
    QTest::newRow("one in the Inbox: answer, forward, send, delete") << int(NODE_LOCAL_INBOX) << 1 << "" << "9002 9003 9004 9001" << false;
    QTest::newRow("several in the Inbox: only Delete") << int(NODE_LOCAL_INBOX) << 2 << "9002 9003 9004" << "9001" << true;
}

void TestHostNotify::ctrlASelectsByFolderRules()
{
    QFETCH(int, folder);
    QFETCH(int, messages);
    QFETCH(QString, before);
    for (int i = 0; i < messages; ++i)
        TestSupport::storeMessage(folder, QStringLiteral("+49151123456%1").arg(i), QStringLiteral("message %1").arg(i), 0,
                                  QStringLiteral("2026120112%1000").arg(i), folder == NODE_LOCAL_OUTBOX ? 1 : 0);
    start();
    m_window->onClickSMSTreeNode(m_window->TreeItem(folder), 0);
    SMSUITableWidget* table = m_window->Table(folder);
    QCOMPARE(table->rowCount(), messages);
    auto* preview = m_window->findChild<QTextBrowser*>();
    QVERIFY(preview);
    preview->setPlainText(QStringLiteral("what was shown before"));
    setItems(kMessageItems, false);
    for (const QString& id : before.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        m_window->enableToolItem(id.toInt());
    QCOMPARE(enabledItems(), before);
    m_window->onCtrlAPressedOnTable();
    QCOMPARE(table->selectedItems().size(), messages * table->columnCount());
    QTEST(enabledItems(), "after");
    QFETCH(bool, previewCleared);
    QCOMPARE(preview->toPlainText().trimmed().isEmpty(), previewCleared);
}

void TestHostNotify::cardBackKeepsTheFolderRules_data()
{
    QTest::addColumn<int>("folder");
    QTest::addColumn<QString>("enabled");   // with the row still selected once the card is back
    QTest::newRow("the Inbox: answer, forward, send, delete, call") << int(NODE_LOCAL_INBOX) << "9002 9003 9004 9001 9005";
    QTest::newRow("the Outbox: no reply to one's own message") << int(NODE_LOCAL_OUTBOX) << "9002 9004 9001 9005";
    QTest::newRow("the Trash: only delete and call") << int(NODE_LOCAL_TRASH) << "9001 9005";
}

// The card is taken out and put back while a message is selected on the PC: the selection stays
// and the tool bar offers what that folder allows again.
void TestHostNotify::cardBackKeepsTheFolderRules()
{
    QFETCH(int, folder);
    TestSupport::storeMessage(folder, QStringLiteral("+4915112345678"), QStringLiteral("still here"), 0,
                              QStringLiteral("20261201120000"), folder == NODE_LOCAL_OUTBOX ? 1 : 0);
    start(true);
    m_service->Notify(0x203, 1, 0);   // calls possible
    m_window->onClickSMSTreeNode(m_window->TreeItem(folder), 0);
    SMSUITableWidget* table = m_window->Table(folder);
    QCOMPARE(table->rowCount(), 1);
    table->selectRow(0);
    m_window->onClickTableRow(0);
    ZsdkSim::SetSimPresent(false);
    QTRY_VERIFY(!m_window->CanSendSms());
    ZsdkSim::SetSimPresent(true);
    QTRY_VERIFY(m_window->CanSendSms());
    ZsdkSim::WaitForEvents();
    QCoreApplication::processEvents();
    QCOMPARE(m_window->SelectedNode(), folder);
    QCOMPARE(table->selectionModel()->selectedRows().size(), 1);
    QTEST(enabledItems(), "enabled");
}

QTEST_MAIN(TestHostNotify)
#include "tst_hostnotify.moc"
