// The page's single-message commands as a user meets them: calling and saving a sender's number,
// opening a draft by double click or the Edit key, the keys that follow the tool bar, the message
// boxes the commands raise, what losing the SIM does to the windows that are open, the host
// services found when needed, and View in the new-message popup.

#include "Change.h"
#include "CommonUtils.h"
#include "HostGuids.h"
#include "HostInterfaces.h"
#include "SimControl.h"
#include "Startup.h"
#include "TestSupport.h"
#include "alerts/SMSTaskbarNotifier.h"
#include "editor/SMSMessageDlg.h"
#include "entry/SMSUIService.h"
#include "settings/SMSSettingUILogic.h"
#include "store/SMSStatusUILogic.h"
#include "store/SMSTypes.h"
#include "window/SMSUIMainDlg.h"
#include "window/SMSUITableWidget.h"
#include "window/SMSUITreeWidget.h"
#include "window/UITableItem.h"
#include "worker/SMSWaitingDlg.h"
#include "zsdk.h"

#include <QMessageBox>
#include <QPushButton>
#include <QAction>
#include <QScopeGuard>
#include <QTextEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

const QByteArray kConfig =
    "<c><ShowSMCount>true</ShowSMCount><SentItemsBox>true</SentItemsBox>"
    "<SMSExportSelect>true</SMSExportSelect><SMSExportAll>true</SMSExportAll>"
    "<item id=\"9000\" tooltip=\"IDS_TIP_NEW\"/><item id=\"9001\" tooltip=\"IDS_TIP_DELETE\"/>"
    "<item id=\"9002\" tooltip=\"IDS_TIP_SEND\"/><item id=\"9003\" tooltip=\"IDS_TIP_REPLY\"/>"
    "<item id=\"9004\" tooltip=\"IDS_TIP_FORWARD\"/><item id=\"9005\" tooltip=\"IDS_TIP_CALL\"/></c>";

const int kBoxFlags = Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint;

class FakeAddrBook : public QObject, public IAddrBookUIPlugin
{
    Q_OBJECT
    Q_INTERFACES(IAddrBookUIPlugin)
public:
    bool SaveNumber(const QString& number, QWidget*) override
    {
        saved << number;
        return true;
    }
    bool PickNumbers(int, int, QStringList&) override { return false; }
    QStringList saved;
};

class FakeNotify : public QObject, public INotifyService
{
    Q_OBJECT
    Q_INTERFACES(INotifyService)
public:
    void RegisterNotify(const QString&, int) override {}
    void UnRegisterNotify(const QString&, int) override {}
    void SendNotify(const QString& target, int code, int, int) override { sent << qMakePair(target, code); }
    void UnRegisterAll(const QString&) override {}
    void BroadcastNotify(int code, int, int) override { broadcast << code; }
    QList<QPair<QString, int>> sent;
    QList<int> broadcast;
};

} // namespace

class TestCommands : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void callTakesExactlyOneNumber_data();
    void callTakesExactlyOneNumber();
    void callShortcutNeedsTheTableFocus();
    void callEntryNeedsVoiceCallsAndTheCallPlugIn_data();
    void callEntryNeedsVoiceCallsAndTheCallPlugIn();
    void saveNumberNeedsThePhoneBookAndOneNumber_data();
    void saveNumberNeedsThePhoneBookAndOneNumber();
    void doubleClickOpensDraftsOnly_data();
    void doubleClickOpensDraftsOnly();
    void editKeyOpensTheFirstSelectedDraft();
    void keysFollowTheToolBar_data();
    void keysFollowTheToolBar();
    void losingTheSimClosesWhatWouldMislead();
    void notifyServiceFoundWhenItArrivesLater();
    void viewOpensTheFolderTheMessageReached_data();
    void viewOpensTheFolderTheMessageReached();

private:
    void build(bool withCall = true);
    // Selects `rows` of the folder's table as a click on the first of them would.
    SMSUITableWidget* select(int folder, const QList<int>& rows);

    QTemporaryDir m_dir;
    QString m_lib;
    SMSUIMainDlg* m_window = nullptr;
    QStringList m_dialled;
    QList<MessageRequest> m_boxes;
    PluginContainer m_container;
};

void TestCommands::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_lib = m_dir.filePath(QStringLiteral("lib"));
    QVERIFY(TestSupport::stageLibrary(m_lib, {"plugins/SMSUIPlugin/sms_status.png", "plugins/SMSUIPlugin/sms_tree_Images.png",
                                              "translations/host_en.qm", "config/Config.xml"}));
    CommonUtils::SetPluginLibraryPath(m_lib);
    CommonUtils::SetSettingsFile(m_dir.filePath(QStringLiteral("xframe.ini")));
    CommonUtils::SetUrlOpener([this](const QString& url) { m_dialled << url; return true; });
    QVERIFY(Change::LoadLanguage(QStringLiteral("en")));
    QFile config(m_lib + QStringLiteral("/plugins/SMSUIPlugin/SMSUIPluginConfig.xml"));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write(kConfig);
}

void TestCommands::init()
{
    TestSupport::freshModem(m_dir.filePath(QStringLiteral("sim.sqlite")));
    m_dialled.clear();
    m_boxes.clear();
    CommonUtils::SetMessageResponder([this](const MessageRequest& r) {
        m_boxes << r;
        return int(QMessageBox::Ok);
    });
    Startup::SetPluginContainer(&m_container);
}

void TestCommands::cleanup()
{
    if (SMSStatusUILogic* s = SMSStatusUILogic::Existing())
        s->unSDKRegisterEvent();
    SMSUIMainDlg::Release();
    SMSStatusUILogic::Release();
    CSMSUIService::Release();
    SMSSettingUILogic::Destroy();
    SMSTaskbarNotifier::Release();
    SMSWaitingDlg::Destroy();
    m_window = nullptr;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Startup::SetPluginContainer(nullptr);
    m_container.Clear();
}

void TestCommands::cleanupTestCase()
{
    CommonUtils::SetUrlOpener(nullptr);
    CommonUtils::SetMessageResponder(nullptr);
    ZsdkSim::Shutdown();
}

void TestCommands::build(bool withCall)
{
    m_window = SMSUIMainDlg::Instance();
    SMSStatusUILogic::Instance()->InitStatusLogic();
    m_window->CreateSMSMainLayout();
    m_window->resize(900, 600);
    m_window->show();
    ZsdkSim::WaitForEvents();
    QCoreApplication::processEvents();
    m_window->SetHostMenuFlag(withCall);
}

SMSUITableWidget* TestCommands::select(int folder, const QList<int>& rows)
{
    m_window->onClickSMSTreeNode(m_window->TreeItem(folder), 0);
    SMSUITableWidget* table = m_window->Table(folder);
    table->clearSelection();
    for (int row : rows)
        table->setRangeSelected(QTableWidgetSelectionRange(row, 0, row, 2), true);
    if (!rows.isEmpty())
        m_window->onClickTableRow(rows.first());
    return table;
}

void TestCommands::callTakesExactlyOneNumber_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("dialled");   // empty: refused with a box
    QTest::addColumn<QString>("boxId");
    QTest::addColumn<int>("icon");
    QTest::newRow("one number") << "0301234567" << "tel:0301234567" << QString() << 0;
    QTest::newRow("one number and a separator") << "0301234567;" << "tel:0301234567" << QString() << 0;
    QTest::newRow("a separator first counts as a second number")
        << ";0301234567" << QString() << "IDS_STR_CALLNUMBERONLYONE" << int(QMessageBox::Question);
    QTest::newRow("two numbers") << "0301234567;0409876543" << QString() << "IDS_STR_CALLNUMBERONLYONE" << int(QMessageBox::Question);
    QTest::newRow("no number") << "" << QString() << "IDS_STR_CALLNUMBERISNULL" << int(QMessageBox::Question);
    QTest::newRow("a number the host cannot dial")
        << "030-1234567" << QString() << "IDS_STR_MAKECALLFAILED" << int(QMessageBox::Information);
}

void TestCommands::callTakesExactlyOneNumber()
{
    QFETCH(QString, number);
    QFETCH(QString, dialled);
    QFETCH(QString, boxId);
    QFETCH(int, icon);
    QVERIFY(TestSupport::storeMessage(NODE_LOCAL_DRAFT, number, QStringLiteral("call me")) >= 0);
    build();
    select(NODE_LOCAL_DRAFT, {0});
    m_window->onButtonClickCall();
    QCOMPARE(m_dialled, dialled.isEmpty() ? QStringList() : QStringList{dialled});
    if (boxId.isEmpty()) {
        QVERIFY(m_boxes.isEmpty());
        return;
    }
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes.first().text, m_window->Translate(boxId));
    QCOMPARE(m_boxes.first().icon, icon);
    QCOMPARE(m_boxes.first().buttons, QStringList{QStringLiteral("IDS_OK")});
    QCOMPARE(m_boxes.first().windowFlags & kBoxFlags, kBoxFlags);
    // Modal, and kept where losing the SIM can take it away.
    QCOMPARE(m_boxes.first().title, m_window->Translate(QStringLiteral("IDS_STR_PROMPT")));
    QVERIFY(m_boxes.first().modal);
    QVERIFY(m_boxes.first().keptOpen);
}

void TestCommands::callShortcutNeedsTheTableFocus()
{
    TestSupport::storeMessage(NODE_LOCAL_INBOX, QStringLiteral("0301234567"), QStringLiteral("call me"));
    build();
    SMSUITableWidget* table = select(NODE_LOCAL_INBOX, {0});
    QVERIFY(m_window->IsCallEnabled());
    // The key pressed while another part of the page has the focus does not dial.
    m_window->TreeWidget()->setFocus();
    QTRY_VERIFY(m_window->TreeWidget()->hasFocus());
    m_window->OnCallKeyPress();
    QVERIFY(m_dialled.isEmpty());
    table->setFocus();
    QTRY_VERIFY(table->hasFocus());
    m_window->OnCallKeyPress();
    QCOMPARE(m_dialled, QStringList{QStringLiteral("tel:0301234567")});
    // The tool bar's Call is not bound to the table's focus.
    m_window->TreeWidget()->setFocus();
    QTRY_VERIFY(m_window->TreeWidget()->hasFocus());
    auto* callTool = m_window->findChild<QAbstractButton*>(QStringLiteral("SMSUIPlugin_ToolButton9005"));
    QVERIFY(callTool && callTool->isEnabled());
    QTest::mouseClick(callTool, Qt::LeftButton);
    QCOMPARE(m_dialled, (QStringList{QStringLiteral("tel:0301234567"), QStringLiteral("tel:0301234567")}));
}

// The context menu offers Call only where the host makes voice calls ("callui"/"callvoice") and
// its call plug-in is there; the entry then dials the selected message's number.
void TestCommands::callEntryNeedsVoiceCallsAndTheCallPlugIn_data()
{
    QTest::addColumn<QString>("voice");
    QTest::addColumn<bool>("plugIn");
    QTest::addColumn<bool>("offered");
    QTest::newRow("voice calls and the plug-in") << "1" << true << true;
    QTest::newRow("voice calls without the plug-in") << "1" << false << false;
    QTest::newRow("no voice calls") << "0" << true << false;
}

void TestCommands::callEntryNeedsVoiceCallsAndTheCallPlugIn()
{
    QFETCH(QString, voice);
    QFETCH(bool, plugIn);
    QFETCH(bool, offered);
    CommonUtils::SetSettings(QStringLiteral("callui"), QStringLiteral("callvoice"), voice);
    auto restore = qScopeGuard([] { CommonUtils::SetSettings(QStringLiteral("callui"), QStringLiteral("callvoice"), QString()); });
    QObject callPlugIn;
    if (plugIn)
        m_container.RegisterPlugin(QLatin1String(HostGuid::CallUI), 0x1001, &callPlugIn);
    QVERIFY(TestSupport::storeMessage(NODE_LOCAL_INBOX, QStringLiteral("0301234567"), QStringLiteral("call me")) >= 0);
    build();
    QAction* call = m_window->GetAction(QStringLiteral("IDS_MENU_CALL"));
    QCOMPARE(call != nullptr, offered);
    if (!call)
        return;
    select(NODE_LOCAL_INBOX, {0});
    call->trigger();
    QCOMPARE(m_dialled.size(), 1);
    QVERIFY2(m_dialled.first().endsWith(QStringLiteral("0301234567")), qPrintable(m_dialled.first()));
    cleanup();   // the window goes before the plug-in it may hold
}

void TestCommands::saveNumberNeedsThePhoneBookAndOneNumber_data()
{
    QTest::addColumn<bool>("phoneBook");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("saved");
    QTest::addColumn<QString>("boxId");
    QTest::addColumn<int>("icon");
    QTest::newRow("one number") << true << "0301234567" << "0301234567" << QString() << 0;
    QTest::newRow("no phone book, no number: nothing at all") << false << "" << QString() << QString() << 0;
    QTest::newRow("no phone book: nothing at all") << false << "0301234567" << QString() << QString() << 0;
    QTest::newRow("no number") << true << "" << QString() << "IDS_STR_SAVENUMBERISNULL" << int(QMessageBox::Question);
    QTest::newRow("one number and a separator is refused")
        << true << "0301234567;" << QString() << "IDS_STR_SAVENUMBERONLYONE" << int(QMessageBox::Warning);
    QTest::newRow("two numbers") << true << "030;040" << QString() << "IDS_STR_SAVENUMBERONLYONE" << int(QMessageBox::Warning);
}

void TestCommands::saveNumberNeedsThePhoneBookAndOneNumber()
{
    QFETCH(bool, phoneBook);
    QFETCH(QString, number);
    QFETCH(QString, saved);
    QFETCH(QString, boxId);
    QFETCH(int, icon);
    FakeAddrBook book;
    if (phoneBook)
        m_container.RegisterPlugin(QLatin1String(HostGuid::AddrBook), 0x1001, &book);
    QVERIFY(TestSupport::storeMessage(NODE_LOCAL_DRAFT, number, QStringLiteral("keep me")) >= 0);
    build();
    select(NODE_LOCAL_DRAFT, {0});
    m_window->ResetSMSUpdateFlag();
    m_window->onButtonClickedSaveNumber();
    QCOMPARE(book.saved, saved.isEmpty() ? QStringList() : QStringList{saved});
    // The page re-reads names once the phone book reports the new contact.
    QCOMPARE(m_window->isSMSupdateFlagSet(), !saved.isEmpty());
    if (boxId.isEmpty()) {
        QVERIFY(m_boxes.isEmpty());
        return;
    }
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes.first().text, m_window->Translate(boxId));
    QCOMPARE(m_boxes.first().icon, icon);
    QCOMPARE(m_boxes.first().windowFlags & kBoxFlags, kBoxFlags);
    QCOMPARE(m_boxes.first().title, m_window->Translate(QStringLiteral("IDS_STR_PROMPT")));
    QVERIFY(m_boxes.first().modal);
    QVERIFY(m_boxes.first().keptOpen);
    cleanup();   // the window goes before the phone book it may hold
}

void TestCommands::doubleClickOpensDraftsOnly_data()
{
    QTest::addColumn<int>("shown");
    QTest::addColumn<QString>("clicked");   // the text of the message double-clicked
    QTest::addColumn<bool>("opens");
    QTest::newRow("a draft in Drafts") << int(NODE_LOCAL_DRAFT) << "half written" << true;
    QTest::newRow("a draft in the Local view") << int(NODE_LOCAL_ROOT) << "half written" << true;
    QTest::newRow("a received message in the Local view") << int(NODE_LOCAL_ROOT) << "received" << false;
    QTest::newRow("a received message in the Inbox") << int(NODE_LOCAL_INBOX) << "received" << false;
}

void TestCommands::doubleClickOpensDraftsOnly()
{
    QFETCH(int, shown);
    QFETCH(QString, clicked);
    QFETCH(bool, opens);
    // The received message is the newer one, so in the Local view the draft is not the first row.
    TestSupport::storeMessage(NODE_LOCAL_DRAFT, QStringLiteral("0301234567"), QStringLiteral("half written"), 0, QStringLiteral("20261201120000"));
    TestSupport::storeMessage(NODE_LOCAL_INBOX, QStringLiteral("0307654321"), QStringLiteral("received"), 0, QStringLiteral("20261201130000"));
    build();
    m_window->TreeWidget()->setCurrentItem(m_window->TreeItem(shown));
    QCOMPARE(m_window->SelectedNode(), shown);
    SMSUITableWidget* table = m_window->Table(shown);
    int row = -1;
    for (int r = 0; r < table->rowCount(); ++r)
        if (const SMSLocalRecordPtr rec = UITableItem::RecordOf(table->item(r, 0)); rec && rec->strContent == clicked)
            row = r;
    QVERIFY(row >= 0);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, table->visualItemRect(table->item(row, 1)).center());
    SMSUIMessageEditor* editor = m_window->Editor();
    QCOMPARE(bool(editor), opens);
    if (!opens)
        return;
    QCOMPARE(editor->Mode(), int(EDIT_MODE_DRAFT));
    QCOMPARE(editor->TextArea()->toPlainText(), clicked);
    // Nothing has changed yet, so there is nothing to save.
    QVERIFY(editor->SaveButton());
    QVERIFY(!editor->SaveButton()->isEnabled());
}

void TestCommands::editKeyOpensTheFirstSelectedDraft()
{
    TestSupport::storeMessage(NODE_LOCAL_DRAFT, QStringLiteral("0301111111"), QStringLiteral("first draft"), 0, QStringLiteral("20261201120000"));
    TestSupport::storeMessage(NODE_LOCAL_DRAFT, QStringLiteral("0302222222"), QStringLiteral("second draft"), 0, QStringLiteral("20261201130000"));
    TestSupport::storeMessage(NODE_LOCAL_INBOX, QStringLiteral("0303333333"), QStringLiteral("received"));
    build();
    // Nothing selected: nothing to edit.
    select(NODE_LOCAL_DRAFT, {});
    m_window->OnEditKeyPress();
    QVERIFY(!m_window->Editor());
    // Outside Drafts the key does nothing, even on a draft in the Local view.
    select(NODE_LOCAL_ROOT, {0, 1, 2});
    m_window->OnEditKeyPress();
    QVERIFY(!m_window->Editor());
    // Two drafts selected: the first one opens.
    SMSUITableWidget* drafts = select(NODE_LOCAL_DRAFT, {0, 1});
    m_window->OnEditKeyPress();
    QVERIFY(m_window->Editor());
    QCOMPARE(m_window->Editor()->Mode(), int(EDIT_MODE_DRAFT));
    QCOMPARE(m_window->Editor()->TextArea()->toPlainText(), UITableItem::RecordOf(drafts->item(0, 0))->strContent);
}

void TestCommands::keysFollowTheToolBar_data()
{
    QTest::addColumn<int>("folder");
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("mode");   // the editor that opens, the calls or questions; 0: nothing happens
    const QList<int> one{0};
    const QList<int> two{0, 1};
    const int inbox = NODE_LOCAL_INBOX;
    QTest::newRow("Send on a received message") << inbox << one << "send" << int(EDIT_MODE_SEND);
    QTest::newRow("Reply to a received message") << inbox << one << "reply" << int(EDIT_MODE_REPLY);
    QTest::newRow("Forward a received message") << inbox << one << "forward" << int(EDIT_MODE_FORWARD);
    QTest::newRow("Call a received message's sender") << inbox << one << "call" << 1;
    QTest::newRow("Send with two messages selected") << inbox << two << "send" << 0;
    QTest::newRow("Reply with two messages selected") << inbox << two << "reply" << 0;
    QTest::newRow("Forward with two messages selected") << inbox << two << "forward" << 0;
    QTest::newRow("Call with two messages selected") << inbox << two << "call" << 0;
    QTest::newRow("Delete a received message") << inbox << one << "delete" << 1;
    QTest::newRow("Delete with nothing selected") << inbox << QList<int>() << "delete" << 0;
    QTest::newRow("Send a draft") << int(NODE_LOCAL_DRAFT) << one << "send" << int(EDIT_MODE_SEND);
    QTest::newRow("Reply to a draft") << int(NODE_LOCAL_DRAFT) << one << "reply" << 0;
    QTest::newRow("Forward a draft") << int(NODE_LOCAL_DRAFT) << one << "forward" << 0;
    QTest::newRow("Forward a sent message") << int(NODE_LOCAL_SENT) << one << "forward" << int(EDIT_MODE_FORWARD);
    QTest::newRow("Reply to a sent message") << int(NODE_LOCAL_SENT) << one << "reply" << 0;
    QTest::newRow("Send from the Trash") << int(NODE_LOCAL_TRASH) << one << "send" << 0;
    QTest::newRow("Forward from the Trash") << int(NODE_LOCAL_TRASH) << one << "forward" << 0;
}

void TestCommands::keysFollowTheToolBar()
{
    QFETCH(int, folder);
    QFETCH(QList<int>, rows);
    QFETCH(QString, key);
    QFETCH(int, mode);
    // A message sent from the PC is kept in its outbox and shown among the sent items.
    for (int node : {int(NODE_LOCAL_INBOX), int(NODE_LOCAL_DRAFT), int(NODE_LOCAL_OUTBOX), int(NODE_LOCAL_TRASH)}) {
        QVERIFY(TestSupport::storeMessage(node, QStringLiteral("0301234567"), QStringLiteral("first"), 0, QStringLiteral("20261201120000")) >= 0);
        QVERIFY(TestSupport::storeMessage(node, QStringLiteral("0309876543"), QStringLiteral("second"), 0, QStringLiteral("20261201130000")) >= 0);
    }
    build();
    SMSUITableWidget* table = select(folder, rows);
    QCOMPARE(table->selectedItems().size(), 3 * rows.size());
    CommonUtils::SetMessageResponder([this](const MessageRequest& r) {
        m_boxes << r;
        return int(QMessageBox::Cancel);
    });
    // The Call key belongs to the message list; with the focus there only the tool bar decides.
    table->setFocus();
    QTRY_VERIFY(table->hasFocus());
    if (key == QLatin1String("send"))
        m_window->OnSendKeyPress();
    else if (key == QLatin1String("reply"))
        m_window->OnReplyKeyPress();
    else if (key == QLatin1String("forward"))
        m_window->OnForwardKeyPress();
    else if (key == QLatin1String("delete"))
        m_window->OnDeleteKeyPress();
    else
        m_window->OnCallKeyPress();
    if (key == QLatin1String("delete")) {
        QCOMPARE(m_boxes.size(), mode);
        if (mode)
            QCOMPARE(m_boxes.first().text, m_window->Translate(QStringLiteral("IDS_STR_DELETE")));
        QVERIFY(!m_window->Editor());
        return;
    }
    QVERIFY(m_boxes.isEmpty());
    if (key == QLatin1String("call")) {
        QCOMPARE(m_dialled.size(), mode);
        QVERIFY(!m_window->Editor());
        return;
    }
    QVERIFY(m_dialled.isEmpty());
    QCOMPARE(m_window->Editor() ? m_window->Editor()->Mode() : 0, mode);
}

void TestCommands::losingTheSimClosesWhatWouldMislead()
{
    TestSupport::storeMessage(NODE_LOCAL_INBOX, QStringLiteral("0301234567"), QStringLiteral("keep me"));
    TestSupport::storeMessage(NODE_SIM_INBOX, QStringLiteral("0307654321"), QStringLiteral("on the card"));
    build();
    QVERIFY(m_window->IsSimShown());
    // A new-message popup and a progress window that still creeps forward.
    SMSTaskbarNotifier::Instance()->Show(QStringLiteral("0301234567"));
    QVERIFY(SMSTaskbarNotifier::Existing()->Popup());
    SMSWaitingDlg* progress = SMSWaitingDlg::Instance();
    progress->Prepare(3);
    progress->ShowAnimationDialog(m_window, SMSWaitingDlg::Moving);
    QVERIFY(progress->IsTimerRunning());
    // A real question box is open when the card goes; the card leaving closes it unanswered.
    CommonUtils::SetMessageResponder(nullptr);
    bool stillOpen = false;
    QTimer::singleShot(0, m_window, [this] { m_window->onSmsStatusChanged(5); });
    QTimer::singleShot(5000, m_window, [&stillOpen] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                stillOpen = true;
                box->reject();
            }
    });
    select(NODE_LOCAL_INBOX, {0});
    m_window->onButtonClickDelete();
    QVERIFY(!stillOpen);
    QCOMPARE(m_window->Table(NODE_LOCAL_INBOX)->rowCount(), 1);   // the unanswered question deleted nothing
    QVERIFY(!m_window->IsSimShown());
    QVERIFY(!SMSTaskbarNotifier::Existing()->Popup());
    QVERIFY(!progress->IsTimerRunning());
}

void TestCommands::notifyServiceFoundWhenItArrivesLater()
{
    TestSupport::storeMessage(NODE_LOCAL_INBOX, QStringLiteral("0301234567"), QStringLiteral("unread"), 1);
    build();
    // The host registers its notification service after the page was built.
    FakeNotify notify;
    m_container.RegisterPlugin(QLatin1String(HostGuid::NotifyService), 0x2011, &notify);
    select(NODE_LOCAL_INBOX, {0});   // reading it changes the unread count
    QVERIFY(notify.sent.contains(qMakePair(QString::fromLatin1(HostGuid::StatusBar), int(HostNotify::UnreadCountChanged))));
    ZsdkSim::SetRadio(false);
    QTRY_VERIFY(notify.broadcast.contains(0x161));
    // Gone again: the page does not call a service the host took away.
    m_container.UnregisterPlugin(QLatin1String(HostGuid::NotifyService));
    notify.sent.clear();
    m_window->sendStatusBarRefresh();
    QVERIFY(notify.sent.isEmpty());
    ZsdkSim::SetRadio(true);
    QTRY_VERIFY(m_window->CanSendSms());
    cleanup();
}

void TestCommands::viewOpensTheFolderTheMessageReached_data()
{
    QTest::addColumn<int>("mem");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("folder");
    QTest::newRow("a message to the PC") << int(MEM_PC) << 0 << int(NODE_LOCAL_INBOX);
    QTest::newRow("a message to the card") << int(MEM_SIM) << 0 << int(NODE_SIM_INBOX);
    QTest::newRow("a message to the device memory") << int(MEM_DEVICE) << 0 << int(NODE_DEVICE_INBOX);
    QTest::newRow("a delivery report") << int(MEM_PC) << 1 << int(NODE_LOCAL_REPORT);
    QTest::newRow("a cell broadcast") << int(MEM_PC) << 2 << int(NODE_LOCAL_CBS);
}

void TestCommands::viewOpensTheFolderTheMessageReached()
{
    QFETCH(int, mem);
    QFETCH(int, kind);
    QFETCH(int, folder);
    CommonUtils::SetSettings(QStringLiteral("CBS"), QStringLiteral("enable"), QStringLiteral("true"));
    CommonUtils::SetSettings(QStringLiteral("SMSSERVICE"), QStringLiteral("VisionAlert"), QStringLiteral("1"));
    auto restore = qScopeGuard([] {
        CommonUtils::SetSettings(QStringLiteral("CBS"), QStringLiteral("enable"), QString());
        CommonUtils::SetSettings(QStringLiteral("SMSSERVICE"), QStringLiteral("VisionAlert"), QString());
    });
    FakeNotify notify;
    m_container.RegisterPlugin(QLatin1String(HostGuid::NotifyService), 0x2011, &notify);
    TestSupport::storeMessage(NODE_LOCAL_INBOX, QStringLiteral("0301111111"), QStringLiteral("older"));
    build();
    QVERIFY(m_window->TreeItem(folder) && !m_window->TreeItem(folder)->isHidden());
    m_window->TreeWidget()->setCurrentItem(m_window->TreeItem(NODE_LOCAL_DRAFT));   // as a click does
    QCOMPARE(m_window->SelectedNode(), int(NODE_LOCAL_DRAFT));
    ZsdkSim::Incoming in;
    in.mem = mem;
    in.kind = kind;
    in.number = QStringLiteral("+4915550001");
    in.text = QStringLiteral("arrived");
    const int id = ZsdkSim::InjectMessage(in);
    QVERIFY(id >= 0);
    QTRY_VERIFY(SMSTaskbarNotifier::Existing() && SMSTaskbarNotifier::Existing()->Popup());
    SMSTaskbarNotifier::Existing()->Popup()->findChild<QPushButton*>(QStringLiteral("ViewButton"))->click();
    QCOMPARE(m_window->SelectedNode(), folder);
    QCOMPARE(m_window->TreeWidget()->selectedItems(), QList<QTreeWidgetItem*>() << m_window->TreeItem(folder));
    // The newest row, the one that just arrived, is the one shown.
    SMSUITableWidget* table = m_window->Table(folder);
    QVERIFY(table->currentRow() >= 0);
    const SMSLocalRecordPtr shown = UITableItem::RecordOf(table->item(table->currentRow(), 0));
    QVERIFY(shown);
    QCOMPARE(shown->iMsgId, id);
    cleanup();   // the window goes before the notification service it holds
}

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
