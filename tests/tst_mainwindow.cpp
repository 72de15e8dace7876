// The SMS page over the simulated modem: tree labels and counts, card branches, tables, sorting,
// the preview, the search box and right-to-left layout.

#include "Change.h"
#include "CommonUtils.h"
#include "store/DetectMemoryDeviceThread.h"
#include "ExtendLineEdit.h"
#include "settings/SMSSettingUILogic.h"
#include "store/SMSStatusUILogic.h"
#include "store/SMSTypes.h"
#include "window/SMSUIMainDlg.h"
#include "entry/SMSUIService.h"
#include "window/SMSUITableWidget.h"
#include "window/SMSUITreeWidget.h"
#include "worker/SMSThreadUI.h"
#include "alerts/SMSTaskbarNotifier.h"
#include "HostGuids.h"
#include "HostInterfaces.h"
#include "Startup.h"
#include "worker/SMSWaitingDlg.h"
#include "SimControl.h"
#include "window/SearchText.h"
#include "window/DroppedCells.h"
#include "window/UITableItem.h"
#include "TestSupport.h"
#include "zsdk.h"

#include <QAbstractButton>
#include <QDomDocument>
#include <QAction>
#include <QMenu>
#include <QButtonGroup>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTextEdit>
#include <QDialog>
#include <QLabel>
#include <QHeaderView>
#include <QSplitter>
#include <QMimeData>
#include <QDropEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <QSemaphore>
#include <QtTest>
#include <QScopeGuard>
#include <QTextCodec>
#include <atomic>
#include <thread>
#ifdef Q_OS_LINUX
#include <sys/fsuid.h>
#include <unistd.h>
#endif

namespace {

const QByteArray kFullConfig =
    "<c><ShowSMCount>true</ShowSMCount><SentItemsBox>true</SentItemsBox>"
    "<SMSExportSelect>true</SMSExportSelect><SMSExportAll>true</SMSExportAll>"
    "<item id=\"9000\" tooltip=\"IDS_TIP_NEW\"/><item id=\"9001\" tooltip=\"IDS_TIP_DELETE\"/>"
    "<item id=\"9002\" tooltip=\"IDS_TIP_SEND\"/><item id=\"9003\" tooltip=\"IDS_TIP_REPLY\"/>"
    "<item id=\"9004\" tooltip=\"IDS_TIP_FORWARD\"/><item id=\"9006\" tooltip=\"IDS_TIP_SEARCH\"/></c>";

QStringList columnTexts(QTableWidget* table, int column)
{
    QStringList out;
    for (int row = 0; row < table->rowCount(); ++row)
        out << (table->item(row, column) ? table->item(row, column)->text() : QString());
    return out;
}

// The host's notification service, as far as the SMS page uses it: it records what was sent.
class FakeNotify : public QObject, public INotifyService
{
    Q_OBJECT
    Q_INTERFACES(INotifyService)
public:
    void RegisterNotify(const QString&, int) override {}
    void UnRegisterNotify(const QString&, int) override {}
    void SendNotify(const QString& target, int code, int, int) override { sent << qMakePair(target, code); }
    void UnRegisterAll(const QString&) override {}
    void BroadcastNotify(int, int, int) override {}
    QList<QPair<QString, int>> sent;
};

// The host's main frame: only the widget the page parents its questions and progress to.
class FakeMainFrame : public QObject, public IMainFrameUIService
{
    Q_OBJECT
    Q_INTERFACES(IMainFrameUIService)
public:
    bool IsMainFrameVisible() override { return true; }
    void BringToFront() override {}
    QWidget* GetMainFrameWidget() override { return &widget; }
    QWidget widget;
};

// The host's call plug-in, as far as the new-message popup asks it: whether its incoming-call
// notification is on screen, and how often it was brought back on top.
class FakeCall : public QObject, public ICallUIPlugin
{
    Q_OBJECT
    Q_INTERFACES(ICallUIPlugin)
public:
    bool MakeCall(const QString&, int) override { return true; }
    bool IsCallActive() override { return false; }
    bool IsCallNotificationVisible() override { return visible; }
    void RaiseCallNotification() override { ++raised; }
    bool visible = false;
    int raised = 0;
};

// Forty messages an hour apart, every fourth in folder 0 and the rest in folder 1, every third
// unread; the ids in the order stored.
QList<int> storeFortyMessages()
{
    QList<int> ids;
    for (int i = 0; i < 40; ++i) {
        const int node = i % 4 == 0 ? 0 : 1;
        const QString time = QStringLiteral("202612%1%2%3").arg(1 + i / 24, 2, 10, QLatin1Char('0')).arg(i % 24, 2, 10, QLatin1Char('0')).arg(QStringLiteral("0000"));
        ids << TestSupport::storeMessage(node, QStringLiteral("+4917%1").arg(i), QStringLiteral("message %1").arg(i), i % 3 == 0 ? 1 : 0, time);
    }
    return ids;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void memoryFullOnADualModeCard();
    void soundAlertFollowsItsSetting_data();
    void soundAlertFollowsItsSetting();
    void memoryFullReportedBeforeTheDeviceIsReady_data();
    void memoryFullReportedBeforeTheDeviceIsReady();
    void memoryFullTextAfterALanguageChange_data();
    void memoryFullTextAfterALanguageChange();
    void languageChangeBeforeAnyEditor();
    void splitterSharesTheWidth_data();
    void splitterSharesTheWidth();
    void rowsAreSixteenPixelsHigh_data();
    void rowsAreSixteenPixelsHigh();
    void previewNamesThePriorityOnACdmaModem_data();
    void previewNamesThePriorityOnACdmaModem();
    void viewOpensTheFolderOfTheLastArrival_data();
    void viewOpensTheFolderOfTheLastArrival();
    void viewWaitsForAMoveOnAnInbox_data();
    void viewWaitsForAMoveOnAnInbox();
    void cleanupTestCase();
    void cardReadAgainShowsWhatTheCardHolds_data();
    void cardReadAgainShowsWhatTheCardHolds();
    void batchEndShowsWhatTheDeviceHolds();
    void readInAFolderShowsReadInItsRoot_data();
    void readInAFolderShowsReadInItsRoot();
    void cardCopyNotStoredShowsTheCardAsItIs_data();
    void cardCopyNotStoredShowsTheCardAsItIs();
    void sentMessagesSavedTogetherAllShow_data();
    void sentMessagesSavedTogetherAllShow();
    void shutDownWhileMessagesArrive_data();
    void shutDownWhileMessagesArrive();

    void treeLabelsAndCounts_data();
    void treeLabelsAndCounts();
    void simBranchGoesFromReadingToReady();
    void cardRootNamesTheCardType_data();
    void cardRootNamesTheCardType();
    void cardInsertedLaterStaysClosedWhileRead();
    void collapsedPcBranchAloneHasNoScrollBar_data();
    void collapsedPcBranchAloneHasNoScrollBar();
    void rootTablesListEveryMessageOnce();
    void namesSortIgnoringCase();
    void arrivalResortsNewestFirst();
    void burstOfArrivalsIsShownInFull_data();
    void burstOfArrivalsIsShownInFull();
    void tableShowsOneLinePreviewKeepsLines();
    void previewEscapesAndLinks();
    void linkClickKeepsThePreview();
    void folderSummaryText();
    void searchNarrowsAndWidens();
    void resyncShowsWhatARebuildShows_data();
    void resyncShowsWhatARebuildShows();
    void tableFirstNeededAfterChangesShowsTheBuffers_data();
    void tableFirstNeededAfterChangesShowsTheBuffers();
    void firstFillIsInTheTablesOwnOrder_data();
    void firstFillIsInTheTablesOwnOrder();
    void searchInAFolderNotShownBefore();
    void searchMatchesAsQtIgnoringCase_data();
    void searchMatchesAsQtIgnoringCase();
    void searchBoxHeight();
    void searchGoesOnWhileDroppedCellsWait_data();
    void searchGoesOnWhileDroppedCellsWait();
    void droppedCellsAreDeletedOnceEach_data();
    void droppedCellsAreDeletedOnceEach();
    void emptyTableForACardRootWithoutTables();
    void cardBranchesFollowTheSim();
    void badTimesAndLongTexts();
    void rightToLeftUsesMirroredIcons();
    void missingImagesLeaveTheWindowWorking();
    void deleteRecoverAndClearAll();
    void deleteInTheLocalRootUpdatesEachFolder_data();
    void deleteInTheLocalRootUpdatesEachFolder();
    void contextMenuFolderRules_data();
    void contextMenuFolderRules();
    void contextMenuOnEmptyAreaAndSeveralRows();
    void cardSubmenusFollowTheDualModeCard_data();
    void cardSubmenusFollowTheDualModeCard();
    void moveAndCopyThroughTheMenu();
    void cardTargetsFollowTheCard();
    void exportWritesCsv();
    void exportIsSafeForSpreadsheets_data();
    void exportIsSafeForSpreadsheets();
    void usageFigures();
    void usageFiguresInAClosedFolder();
    void cellTimeTextIsTheIsoForm_data();
    void cellTimeTextIsTheIsoForm();
    void rowCellTakesANewValue();
    void deviceTimeForTheFlashWindow_data();
    void deviceTimeForTheFlashWindow();
    void flashMessageOpensItsOwnWindow();
    void memoryFullShowsOnePopup_data();
    void memoryFullShowsOnePopup();
    void memoryFullOkMovesTheCardToThePc_data();
    void memoryFullOkMovesTheCardToThePc();
    void dropMovesCopiesOrRefuses_data();
    void dropMovesCopiesOrRefuses();
    void pressDecidesBetweenDragAndSelection();
    void arrivalDuringPhoneBookReady();
    void notifierSitsBesideTheTaskBar_data();
    void notifierSitsBesideTheTaskBar();
    void notifierShowsOnePopupAndViewOpensTheInbox();
    void languageSwitchRetranslatesMenuAndPopup_data();
    void languageSwitchRetranslatesMenuAndPopup();
    void languageSwitchKeepsTheSelection_data();
    void languageSwitchKeepsTheSelection();
    void tableFirstNeededAfterALanguageSwitch();
    void moveAfterALanguageSwitch_data();
    void moveAfterALanguageSwitch();
    void moveIntoAFullMemory_data();
    void moveIntoAFullMemory();
    void fullCheckCoversCardMemoriesOnly_data();
    void fullCheckCoversCardMemoriesOnly();
    void showPageRequestRunsTheNotifiersOpenAction();
    void toolBarAndPreviewFollowTheSelection_data();
    void toolBarAndPreviewFollowTheSelection();
    void memoryFullOkMovesEveryCardMessage_data();
    void memoryFullOkMovesEveryCardMessage();
    void openingAMessageWaitsForABatchOnItsFolder_data();
    void openingAMessageWaitsForABatchOnItsFolder();
    void batchTheDeviceCouldNotStore();
    void reportLabelsFollowTheLanguage_data();
    void reportLabelsFollowTheLanguage();
    void messageTheDeviceDeletedLeavesItsTables_data();
    void messageTheDeviceDeletedLeavesItsTables();
    void deleteOnACardLeavesEveryTableShowingIt_data();
    void deleteOnACardLeavesEveryTableShowingIt();
    void secondDropFromTheCardCopiesAgain_data();
    void secondDropFromTheCardCopiesAgain();

    void severalRowsInACardRootOfferTheOtherMemories_data();
    void severalRowsInACardRootOfferTheOtherMemories();
    void rightClickOpensTheMenuOverTheRows();

private:
    SMSUIMainDlg* build(const QByteArray& config, bool seedSim = true);
    QPoint pressToDragFirstRow(SMSUITableWidget* table);
    void dropOnFolder(int target, bool ctrl);
    void setConfig(const QByteArray& xml);
    QTemporaryDir m_dir;
    QString m_lib;
    SMSUIMainDlg* m_window = nullptr;
    QStringList m_opened;
};

void TestMainWindow::setConfig(const QByteArray& xml)
{
    QFile f(m_lib + QStringLiteral("/plugins/SMSUIPlugin/SMSUIPluginConfig.xml"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(xml);
}

void TestMainWindow::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_lib = m_dir.filePath(QStringLiteral("lib"));
    QVERIFY(TestSupport::stageLibrary(m_lib, {"plugins/SMSUIPlugin/sms_status.png", "plugins/SMSUIPlugin/sms_tree_Images.png",
                                              "translations/host_en.qm", "translations/host_ar.qm", "translations/host_de.qm",
                                              "config/Config.xml"}));
    CommonUtils::SetPluginLibraryPath(m_lib);
    CommonUtils::SetSettingsFile(m_dir.filePath(QStringLiteral("xframe.ini")));
    CommonUtils::SetMessageResponder([](const MessageRequest&) { return int(QMessageBox::Ok); });
    CommonUtils::SetUrlOpener([this](const QString& url) { m_opened << url; return true; });
    QVERIFY(Change::LoadLanguage(QStringLiteral("en")));
}

void TestMainWindow::init()
{
    TestSupport::freshModem(m_dir.filePath(QStringLiteral("sim.sqlite")));
    m_opened.clear();
}

void TestMainWindow::cleanup()
{
    if (SMSStatusUILogic* s = SMSStatusUILogic::Existing())
        s->unSDKRegisterEvent();
    SMSUIMainDlg::Release();
    SMSStatusUILogic::Release();
    CSMSUIService::Release();
    SMSSettingUILogic::Destroy();
    m_window = nullptr;
    // Widgets hand some of their helpers (style animations) to deleteLater.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Change::LoadLanguage(QStringLiteral("en"));
    QApplication::setLayoutDirection(Qt::LeftToRight);
}

void TestMainWindow::cleanupTestCase()
{
    CommonUtils::SetUrlOpener(nullptr);
    CommonUtils::SetMessageResponder(nullptr);
    ZsdkSim::Shutdown();
}

SMSUIMainDlg* TestMainWindow::build(const QByteArray& config, bool seedSim)
{
    setConfig(config);
    if (seedSim)
        TestSupport::storeMessage(7, QStringLiteral("+491609876543"), QStringLiteral("on the card"), 1);
    m_window = SMSUIMainDlg::Instance();
    SMSStatusUILogic::Instance()->InitStatusLogic();
    m_window->CreateSMSMainLayout();
    m_window->resize(900, 600);
    m_window->show();
    m_window->SetMemoryFullPopupAllowed(true);   // as the host does once its device is ready
    // Let the events of the modem's start (phone book ready, card read) settle first.
    ZsdkSim::WaitForEvents();
    QCoreApplication::processEvents();
    return m_window;
}

void TestMainWindow::treeLabelsAndCounts_data()
{
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<QString>("inbox");
    QTest::addColumn<QString>("drafts");
    QTest::addColumn<bool>("sentNode");
    QTest::newRow("counts and Sent Items") << QByteArray("<c><ShowSMCount>true</ShowSMCount><SentItemsBox>true</SentItemsBox></c>")
                                           << "Inbox(2/3)" << "Drafts(0)" << true;
    QTest::newRow("plain labels without Sent Items") << QByteArray("<c><ShowSMCount>false</ShowSMCount></c>") << "Inbox" << "Drafts" << false;
    QTest::newRow("a switch is on only when exactly true") << QByteArray("<c><ShowSMCount>True</ShowSMCount><SentItemsBox>yes</SentItemsBox></c>")
                                                           << "Inbox" << "Drafts" << false;
}

void TestMainWindow::treeLabelsAndCounts()
{
    QFETCH(QByteArray, config);
    TestSupport::storeMessage(1, QStringLiteral("1111111"), QStringLiteral("a"), 1);
    TestSupport::storeMessage(1, QStringLiteral("2222222"), QStringLiteral("b"), 1);
    TestSupport::storeMessage(1, QStringLiteral("3333333"), QStringLiteral("c"), 0);
    TestSupport::storeMessage(0, QStringLiteral("4444444"), QStringLiteral("sent"), 0, QStringLiteral("20261201120000"), 0);
    build(config);
    QTEST(m_window->TreeItem(NODE_LOCAL_INBOX)->text(0), "inbox");
    QTEST(m_window->TreeItem(NODE_LOCAL_DRAFT)->text(0), "drafts");
    QFETCH(bool, sentNode);
    QCOMPARE(m_window->TreeItem(NODE_LOCAL_SENT) != nullptr, sentNode);
    // Table 15 exists either way; the sent message is there only with Sent Items.
    QVERIFY(m_window->Table(NODE_LOCAL_SENT));
    QCOMPARE(m_window->Table(NODE_LOCAL_SENT)->rowCount(), sentNode ? 1 : 0);
    QCOMPARE(m_window->Table(NODE_LOCAL_OUTBOX)->rowCount(), sentNode ? 0 : 1);
}

void TestMainWindow::cardRootNamesTheCardType_data()
{
    QTest::addColumn<int>("product");   // 1: a CDMA modem, whose card is a UIM
    QTest::addColumn<int>("simType");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("german");
    QTest::newRow("a GSM modem") << 0 << 3 << "SIM card" << "SIM-Karte";
    QTest::newRow("a CDMA modem") << 1 << 3 << "UIM card" << "UIM-Karte";
}

// The card's branch is named after the card the modem takes, in every language.
void TestMainWindow::cardRootNamesTheCardType()
{
    QFETCH(int, product);
    QFETCH(int, simType);
    ZsdkSim::SetProductType(product);
    ZsdkSim::SetSimType(simType);
    auto restore = qScopeGuard([] { ZsdkSim::SetProductType(0); ZsdkSim::SetSimType(3); });
    build(kFullConfig);
    QTreeWidgetItem* simRoot = m_window->TreeItem(NODE_SIM_ROOT);
    QVERIFY(simRoot);
    QTEST(simRoot->text(0), "english");
    QVERIFY(Change::LoadLanguage(QStringLiteral("de")));
    m_window->SetLanguage(false);
    QTEST(simRoot->text(0), "german");
}

void TestMainWindow::simBranchGoesFromReadingToReady()
{
    ZsdkSim::SetReadDelay(MEM_SIM, 60000);
    ZsdkSim::SetSimPresent(false);
    ZsdkSim::SetSimPresent(true);   // a card just inserted is read for a while
    build(kFullConfig, false);
    m_window->SimReader()->SetPollInterval(100);
    QTreeWidgetItem* simRoot = m_window->TreeItem(NODE_SIM_ROOT);
    QVERIFY(simRoot);
    QCOMPARE(simRoot->text(0), QStringLiteral("SIM card (reading...)"));
    QVERIFY(!simRoot->isExpanded());
    // A reader that was stopped meanwhile (the card went for a moment) starts again when the
    // user opens the branch, which closes again while it is still being read.
    m_window->SimReader()->SetStop(true);
    QVERIFY(m_window->SimReader()->wait(5000));
    simRoot->setExpanded(true);
    QVERIFY(!simRoot->isExpanded());
    QVERIFY(m_window->SimReader()->isRunning());
    ZsdkSim::SetReadDelay(MEM_SIM, 300);   // the card is read a moment later
    QTRY_COMPARE_WITH_TIMEOUT(simRoot->text(0), QStringLiteral("SIM card"), 5000);
    QVERIFY(simRoot->isExpanded());
    QVERIFY(m_window->Table(NODE_SIM_INBOX));
    QVERIFY(m_window->Table(NODE_SIM_ROOT));
    QTreeWidgetItem* device = m_window->TreeItem(NODE_DEVICE_ROOT);
    QVERIFY(device);
    QCOMPARE(device->text(0), QStringLiteral("Device"));
}

// With the card's branch gone, a closed PC branch is all the tree shows: no horizontal scroll
// bar is offered for it. With the card shown, the tree keeps its scroll bar as needed.
void TestMainWindow::collapsedPcBranchAloneHasNoScrollBar_data()
{
    QTest::addColumn<bool>("simPresent");
    QTest::addColumn<int>("collapsed");
    QTest::addColumn<int>("policy");
    QTest::newRow("no card, the PC branch closed") << false << int(NODE_LOCAL_ROOT) << int(Qt::ScrollBarAlwaysOff);
    QTest::newRow("a card, the PC branch closed") << true << int(NODE_LOCAL_ROOT) << int(Qt::ScrollBarAsNeeded);
    QTest::newRow("a card, its branch closed") << true << int(NODE_SIM_ROOT) << int(Qt::ScrollBarAsNeeded);
}

void TestMainWindow::collapsedPcBranchAloneHasNoScrollBar()
{
    QFETCH(bool, simPresent);
    QFETCH(int, collapsed);
    build(kFullConfig);
    m_window->SimReader()->SetPollInterval(100);
    auto* tree = m_window->findChild<QTreeWidget*>(QStringLiteral("SMSUIPlugin_TreeSMSWidget"));
    QTreeWidgetItem* simRoot = m_window->TreeItem(NODE_SIM_ROOT);
    QVERIFY(tree && simRoot && !simRoot->isHidden());
    auto restore = qScopeGuard([] { ZsdkSim::SetSimPresent(true); });
    if (!simPresent) {
        ZsdkSim::SetSimPresent(false);
        QTRY_VERIFY(simRoot->isHidden());
    }
    QTreeWidgetItem* item = m_window->TreeItem(collapsed);
    QVERIFY(item && item->isExpanded());
    item->setExpanded(false);
    QTEST(int(tree->horizontalScrollBarPolicy()), "policy");
    // Opened again, it scrolls as its folders need.
    item->setExpanded(true);
    QCOMPARE(tree->horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
}

// A card put in while the page is open is read for a while: its branch stays closed until its
// folders can be shown, then opens with them.
void TestMainWindow::cardInsertedLaterStaysClosedWhileRead()
{
    build(kFullConfig);
    m_window->SimReader()->SetPollInterval(100);
    QTreeWidgetItem* simRoot = m_window->TreeItem(NODE_SIM_ROOT);
    QVERIFY(simRoot && !simRoot->isHidden());
    ZsdkSim::SetSimPresent(false);
    QTRY_VERIFY(simRoot->isHidden());
    ZsdkSim::SetReadDelay(MEM_SIM, 60000);
    auto restore = qScopeGuard([] { ZsdkSim::SetReadDelay(MEM_SIM, 0); });
    ZsdkSim::SetSimPresent(true);
    QTRY_VERIFY(!simRoot->isHidden());
    QCOMPARE(simRoot->text(0), QStringLiteral("SIM card (reading...)"));
    QVERIFY(!simRoot->isExpanded());
    ZsdkSim::SetReadDelay(MEM_SIM, 0);
    QTRY_COMPARE_WITH_TIMEOUT(simRoot->text(0), QStringLiteral("SIM card"), 5000);
    QVERIFY(simRoot->isExpanded());
    QCOMPARE(simRoot->childCount(), 2);
    QCOMPARE(m_window->Table(NODE_SIM_INBOX)->rowCount(), 1);
}

void TestMainWindow::cardReadAgainShowsWhatTheCardHolds_data()
{
    QTest::addColumn<bool>("cardAnswers");
    QTest::addColumn<int>("shown");
    QTest::newRow("the card stops answering: its messages stay shown") << false << 2;
    QTest::newRow("the card answers: a message removed elsewhere goes") << true << 1;
}

// When a card reader reports its memory read, the window reads the card again. A read that fails
// must not leave the branch empty as if the messages were gone; one that succeeds shows exactly
// what the card holds.
void TestMainWindow::cardReadAgainShowsWhatTheCardHolds()
{
    QFETCH(bool, cardAnswers);
    const int first = TestSupport::storeMessage(NODE_SIM_INBOX, QStringLiteral("1111111"), QStringLiteral("first on the card"));
    TestSupport::storeMessage(NODE_SIM_INBOX, QStringLiteral("2222222"), QStringLiteral("second on the card"));
    build(kFullConfig, false);
    SMSUITableWidget* simInbox = m_window->Table(NODE_SIM_INBOX);
    QVERIFY(simInbox);
    QCOMPARE(simInbox->rowCount(), 2);
    QCOMPARE(ZSDK_SMSSrv_RemoveMsg(first, MEM_SIM), 0);
    if (!cardAnswers)
        ZsdkSim::SetPinState(2);   // the card asks for its PIN again: nothing can be read
    auto restore = qScopeGuard([] { ZsdkSim::SetPinState(1); });
    m_window->OnSMSReadComplete(MEM_SIM);
    QTEST(simInbox->rowCount(), "shown");
    QTEST(m_window->Table(NODE_SIM_ROOT)->rowCount(), "shown");
    QTEST(SMSStatusUILogic::Existing()->getSmsBuffer(NODE_SIM_INBOX).size(), "shown");
}

// At the end of a move or copy the window reads the card and the device again: every device
// table, its root included, then lists what the device holds, also a message it was not told of.
void TestMainWindow::batchEndShowsWhatTheDeviceHolds()
{
    TestSupport::storeMessage(NODE_DEVICE_INBOX, QStringLiteral("4444444"), QStringLiteral("on the device"));
    TestSupport::storeMessage(NODE_LOCAL_INBOX, QStringLiteral("1111111"), QStringLiteral("on the PC"));
    build(kFullConfig, false);
    QCOMPARE(m_window->Table(NODE_DEVICE_ROOT)->rowCount(), 1);
    const int unannounced = TestSupport::storeMessage(NODE_DEVICE_INBOX, QStringLiteral("5555555"), QStringLiteral("stored quietly"));
    QVERIFY(unannounced >= 0);
    m_window->onClickSMSTreeNode(m_window->TreeItem(NODE_LOCAL_INBOX), 0);
    QSignalSpy finished(m_window->Worker(), SIGNAL(finished()));
    m_window->StartMoveCopy(true, true, QStringLiteral("IDS_TREE_SIM"));
    QVERIFY(finished.count() == 1 || finished.wait(5000));
    ZsdkSim::WaitForEvents();
    QCoreApplication::processEvents();
    QCOMPARE(m_window->Table(NODE_SIM_INBOX)->rowCount(), 1);
    for (int node : {int(NODE_DEVICE_INBOX), int(NODE_DEVICE_ROOT)}) {
        SMSUITableWidget* table = m_window->Table(node);
        QCOMPARE(table->rowCount(), 2);
        QVERIFY2(table->CellsForMessage(unannounced).cell[0], qPrintable(QString::number(node)));
    }
}

void TestMainWindow::readInAFolderShowsReadInItsRoot_data()
{
    QTest::addColumn<int>("folder");
    QTest::addColumn<int>("root");     // the other table that shows the message
    QTest::addColumn<int>("readIn");   // the table the message is read in
    QTest::newRow("the PC") << int(NODE_LOCAL_INBOX) << int(NODE_LOCAL_ROOT) << int(NODE_LOCAL_INBOX);
    QTest::newRow("the card") << int(NODE_SIM_INBOX) << int(NODE_SIM_ROOT) << int(NODE_SIM_INBOX);
    QTest::newRow("the report folder") << int(NODE_LOCAL_REPORT) << int(NODE_LOCAL_ROOT) << int(NODE_LOCAL_REPORT);
    // Read in the root: the folder's own table follows.
    QTest::newRow("the PC's root, its inbox") << int(NODE_LOCAL_INBOX) << int(NODE_LOCAL_INBOX) << int(NODE_LOCAL_ROOT);
    QTest::newRow("the PC's root, its report folder") << int(NODE_LOCAL_REPORT) << int(NODE_LOCAL_REPORT) << int(NODE_LOCAL_ROOT);
    QTest::newRow("the card's root") << int(NODE_SIM_INBOX) << int(NODE_SIM_INBOX) << int(NODE_SIM_ROOT);
    QTest::newRow("the device's root") << int(NODE_DEVICE_INBOX) << int(NODE_DEVICE_INBOX) << int(NODE_DEVICE_ROOT);
}

// A message read in its inbox shows the read icon in its branch's root table too, and one read
// in the root in its folder's table. (Whether the device root follows a read in the device inbox
// is not settled; it does not today.)
void TestMainWindow::readInAFolderShowsReadInItsRoot()
{
    QFETCH(int, folder);
    QFETCH(int, root);
    QFETCH(int, readIn);
    const int id = TestSupport::storeMessage(folder, QStringLiteral("1111111"), QStringLiteral("not read yet"), 1);
    build(kFullConfig, false);
    SMSUITableWidget* rootTable = m_window->Table(root);
    QVERIFY(rootTable);
    const SMSUITableWidget::RowCells inRoot = rootTable->CellsForMessage(id);
    QVERIFY(inRoot.cell[0]);
    auto shown = [](QTableWidgetItem* cell) {
        return cell->data(Qt::DecorationRole).value<QIcon>().pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
    };
    const QImage read = SMSStatusUILogic::Existing()->StatusImage(0).convertToFormat(QImage::Format_ARGB32);
    QVERIFY(!read.isNull());
    QVERIFY(shown(inRoot.cell[0]) != read);
    m_window->onClickSMSTreeNode(m_window->TreeItem(readIn), 0);
    SMSUITableWidget* table = m_window->Table(readIn);
    QCOMPARE(table->rowCount(), 1);
    table->selectRow(0);
    m_window->onClickTableRow(0);
    QCOMPARE(UITableItem::RecordOf(inRoot.cell[0])->iReadFlag, 0);
    QCOMPARE(shown(inRoot.cell[0]), read);
}

void TestMainWindow::cardCopyNotStoredShowsTheCardAsItIs_data()
{
    QTest::addColumn<bool>("cardAnswers");
    QTest::newRow("the card is read again") << true;
    QTest::newRow("the card cannot be read just then") << false;
}

// Copying the card's messages to the PC, whose disk is full when the batch is committed: the
// device kept nothing of the batch, so the messages are on the card only. The page shows them
// there, also when the card cannot be read again at that moment, and nowhere on the PC.
void TestMainWindow::cardCopyNotStoredShowsTheCardAsItIs()
{
    QFETCH(bool, cardAnswers);
    const QString big(100000, QChar(0x0416));
    for (int i = 0; i < 2; ++i)
        QVERIFY(TestSupport::storeMessage(NODE_SIM_INBOX, QStringLiteral("765432%1").arg(i), big) >= 0);
    build(kFullConfig, false);
    m_window->TreeWidget()->setCurrentItem(m_window->TreeItem(NODE_SIM_INBOX));
    SMSUITableWidget* simInbox = m_window->Table(NODE_SIM_INBOX);
    QCOMPARE(simInbox->rowCount(), 2);
    QSignalSpy finished(m_window->Worker(), SIGNAL(finished()));
    // The card stops answering right as the device reports the batch lost, before the window
    // reads the storages again.
    QMetaObject::Connection pin;
    if (!cardAnswers)
        pin = connect(m_window->Worker(), &SMSThreadUI::batchNotStored, [] { ZsdkSim::SetPinState(2); });
    ZsdkSim::LimitStoreGrowth(2);
    auto restore = qScopeGuard([pin] {
        QObject::disconnect(pin);
        ZsdkSim::LimitStoreGrowth(0);
        ZsdkSim::SetPinState(1);
    });
    m_window->StartMoveCopy(true, true, QStringLiteral("IDS_TREE_LOCAL"));
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 5000);
    ZsdkSim::WaitForEvents();
    QCoreApplication::processEvents();
    QCOMPARE(SMSWaitingDlg::Existing()->LabelText(), m_window->Translate(QStringLiteral("IDS_STR_ALL_FAILED")));
    QCOMPARE(simInbox->rowCount(), 2);
    QCOMPARE(m_window->Table(NODE_LOCAL_INBOX)->rowCount(), 0);
    QCOMPARE(m_window->Table(NODE_LOCAL_ROOT)->rowCount(), 0);
    ZsdkSim::SetPinState(1);
    int32_t onCard = -1, onPc = -1;
    QCOMPARE(ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&onCard, MEM_SIM), 0);
    QCOMPARE(ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&onPc, MEM_PC), 0);
    QCOMPARE(onCard, 2);
    QCOMPARE(onPc, 0);
}

void TestMainWindow::rootTablesListEveryMessageOnce()
{
    TestSupport::storeMessage(1, QStringLiteral("1111111"), QStringLiteral("in"));
    TestSupport::storeMessage(2, QStringLiteral("2222222"), QStringLiteral("draft"));
    TestSupport::storeMessage(4, QStringLiteral("3333333"), QStringLiteral("trash"));
    TestSupport::storeMessage(9, QStringLiteral("4444444"), QStringLiteral("device"));
    build(kFullConfig);
    QCOMPARE(m_window->Table(NODE_LOCAL_ROOT)->rowCount(), 3);
    QCOMPARE(m_window->Table(NODE_SIM_ROOT)->rowCount(), 1);
    QCOMPARE(m_window->Table(NODE_DEVICE_ROOT)->rowCount(), 1);
    // A message arriving twice with the same id is one row per table.
    SMSStatusUILogic* store = SMSStatusUILogic::Existing();
    const SMSLocalRecordPtr rec = store->getSmsBuffer(NODE_LOCAL_INBOX).values().first();
    m_window->addRecToSMSTable(NODE_LOCAL_INBOX, rec);
    m_window->addRecToSMSTable(NODE_LOCAL_ROOT, rec);
    QCOMPARE(m_window->Table(NODE_LOCAL_INBOX)->rowCount(), 1);
    QCOMPARE(m_window->Table(NODE_LOCAL_ROOT)->rowCount(), 3);
    // Clicking the Local root shows its table.
    m_window->onClickSMSTreeNode(m_window->TreeItem(NODE_LOCAL_ROOT), 0);
    QCOMPARE(m_window->CurrentTable(), static_cast<QWidget*>(m_window->Table(NODE_LOCAL_ROOT)));
}

void TestMainWindow::namesSortIgnoringCase()
{
    for (const char* number : {"bob", "Alice", "alice", "Bob", "carol"})
        TestSupport::storeMessage(1, QLatin1String(number), QStringLiteral("x"));
    build(kFullConfig);
    SMSUITableWidget* table = m_window->Table(NODE_LOCAL_INBOX);
    table->sortByColumn(0, Qt::AscendingOrder);
    // Letter case is ignored; among equal names the byte order of the name as written decides.
    QCOMPARE(columnTexts(table, 0), (QStringList{"Alice", "alice", "Bob", "bob", "carol"}));
}

void TestMainWindow::arrivalResortsNewestFirst()
{
    TestSupport::storeMessage(1, QStringLiteral("zed"), QStringLiteral("old"), 0, QStringLiteral("20260101080000"));
    TestSupport::storeMessage(1, QStringLiteral("amy"), QStringLiteral("older"), 0, QStringLiteral("20250101080000"));
    build(kFullConfig);
    SMSUITableWidget* table = m_window->Table(NODE_LOCAL_INBOX);
    QCOMPARE(columnTexts(table, 1), (QStringList{"old", "older"}));
    table->sortByColumn(0, Qt::AscendingOrder);
    QCOMPARE(columnTexts(table, 0), (QStringList{"amy", "zed"}));
    ZsdkSim::Incoming in;
    in.number = QStringLiteral("mia");
    in.text = QStringLiteral("newest");
    in.time = QStringLiteral("20261206090000");
    QSignalSpy arrived(SMSStatusUILogic::Existing(), &SMSStatusUILogic::SMSReceiveRecord);
    ZsdkSim::InjectMessage(in);
    QTRY_COMPARE(table->rowCount(), 3);
    QCOMPARE(columnTexts(table, 1), (QStringList{"newest", "old", "older"}));
    QCOMPARE(m_window->Table(NODE_LOCAL_ROOT)->item(0, 1)->text(), QStringLiteral("newest"));
    QCOMPARE(m_window->TreeItem(NODE_LOCAL_INBOX)->text(0), QStringLiteral("Inbox(1/3)"));
}

void TestMainWindow::burstOfArrivalsIsShownInFull_data()
{
    QTest::addColumn<QStringList>("times");   // arrival times, in arrival order
    QTest::addColumn<int>("rounds");          // turns of the event loop the arrivals spread over
    // Stored: 08:00 (read, selected by the user), 09:00 (unread), 10:00 (read).
    QTest::newRow("all newer than every row, one turn")
        << QStringList{"20261201110000", "20261201120000", "20261201113000", "20261201120000"} << 1;
    QTest::newRow("between, below and equal to shown rows, one turn")
        << QStringList{"20261201083000", "20261201070000", "20261201090000", "20261201103000", "20261201083000"} << 1;
    QTest::newRow("mixed times over several turns")
        << QStringList{"20261201093000", "20261201060000", "20261201100000", "20261201113000", "20261201093000", "20261201080000"} << 3;
}

void TestMainWindow::burstOfArrivalsIsShownInFull()
{
    QFETCH(QStringList, times);
    QFETCH(int, rounds);
    setConfig(QByteArray("<c><ShowSMCount>true</ShowSMCount></c>"));
    TestSupport::storeMessage(1, QStringLiteral("1000001"), QStringLiteral("kept"), 0, QStringLiteral("20261201080000"));
    TestSupport::storeMessage(1, QStringLiteral("1000002"), QStringLiteral("unread"), 1, QStringLiteral("20261201090000"));
    TestSupport::storeMessage(1, QStringLiteral("1000003"), QStringLiteral("read"), 0, QStringLiteral("20261201100000"));
    build(QByteArray("<c><ShowSMCount>true</ShowSMCount></c>"));
    SMSUITableWidget* inbox = m_window->Table(NODE_LOCAL_INBOX);
    SMSUITableWidget* root = m_window->Table(NODE_LOCAL_ROOT);
    QCOMPARE(inbox->rowCount(), 3);
    QCOMPARE(m_window->TreeItem(NODE_LOCAL_INBOX)->text(0), QStringLiteral("Inbox(1/3)"));
    const int keptRow = columnTexts(inbox, 1).indexOf(QStringLiteral("kept"));
    inbox->selectRow(keptRow);
    QCoreApplication::processEvents();

    const int perRound = (times.size() + rounds - 1) / rounds;
    for (int i = 0; i < times.size(); ++i) {
        ZsdkSim::Incoming in;
        in.number = QStringLiteral("+4915%1").arg(i);
        in.text = QStringLiteral("arrival %1").arg(i);
        in.time = times.at(i);
        QVERIFY(ZsdkSim::InjectMessage(in) > 0);
        if ((i + 1) % perRound == 0) {
            ZsdkSim::WaitForEvents();
            QCoreApplication::processEvents();
        }
    }
    const int total = 3 + times.size();
    QTRY_COMPARE(inbox->rowCount(), total);
    QTRY_COMPARE(root->rowCount(), total);

    for (SMSUITableWidget* table : {inbox, root}) {
        const QStringList texts = columnTexts(table, 1);
        // Every arrival once.
        for (int i = 0; i < times.size(); ++i)
            QCOMPARE(texts.count(QStringLiteral("arrival %1").arg(i)), 1);
        // Newest first; among equal times the later arrival above the earlier.
        for (int row = 1; row < table->rowCount(); ++row) {
            const SMSLocalRecordPtr above = UITableItem::RecordOf(table->item(row - 1, 0));
            const SMSLocalRecordPtr below = UITableItem::RecordOf(table->item(row, 0));
            QVERIFY(above && below);
            QVERIFY2(above->strTime >= below->strTime, qPrintable(above->strTime + QLatin1String(" above ") + below->strTime));
            if (above->strTime == below->strTime && above->strContent.startsWith(QLatin1String("arrival"))
                && below->strContent.startsWith(QLatin1String("arrival")))
                QVERIFY(above->iMsgId > below->iMsgId);
            // Each cell of a row shows the row's own message.
            QCOMPARE(UITableItem::RecordOf(table->item(row, 2)), below);
        }
        QCOMPARE(table->horizontalHeader()->sortIndicatorSection(), 2);
        QCOMPARE(table->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
    }
    // The user's selection stays on the message it was on.
    const QList<QTableWidgetItem*> selected = inbox->selectedItems();
    QCOMPARE(selected.size(), 3);
    QCOMPARE(UITableItem::RecordOf(selected.first())->strContent, QStringLiteral("kept"));
    // Arrivals are unread: the count follows them.
    QCOMPARE(m_window->TreeItem(NODE_LOCAL_INBOX)->text(0), QStringLiteral("Inbox(%1/%2)").arg(1 + times.size()).arg(total));
    // Reading one of them by a click brings the count down by one and marks its root row read.
    const SMSLocalRecordPtr first = UITableItem::RecordOf(inbox->item(0, 0));
    QCOMPARE(first->iReadFlag, 1);
    inbox->selectRow(0);
    m_window->onClickTableRow(0);
    QCOMPARE(m_window->TreeItem(NODE_LOCAL_INBOX)->text(0), QStringLiteral("Inbox(%1/%2)").arg(times.size()).arg(total));
    const SMSLocalRecordPtr inRoot = UITableItem::RecordOf(root->CellsForMessage(first->iMsgId).cell[0]);
    QVERIFY(inRoot);
    QCOMPARE(inRoot->iReadFlag, 0);
}

void TestMainWindow::tableShowsOneLinePreviewKeepsLines()
{
    TestSupport::storeMessage(1, QStringLiteral("1234567"), QStringLiteral("first\r\nsecond\nthird"), 1);
    build(kFullConfig);
    SMSUITableWidget* table = m_window->Table(NODE_LOCAL_INBOX);
    QCOMPARE(table->item(0, 1)->text(), QStringLiteral("firstsecondthird"));
    table->selectRow(0);
    m_window->onClickTableRow(0);
    auto* preview = m_window->findChild<QTextBrowser*>(QStringLiteral("SMSUIPlugin_TextPreview"));
    QVERIFY(preview->toHtml().contains(QStringLiteral("second<br />third")));
    // Showing the message marked it read: the count and the stored flag follow.
    QCOMPARE(m_window->TreeItem(NODE_LOCAL_INBOX)->text(0), QStringLiteral("Inbox(0/1)"));
    SMSLocalRecord* stored = nullptr;
    QCOMPARE(SMSStatusUILogic::Existing()->GetSMSRecordUsingID(UITableItem::RecordOf(table->item(0, 0))->iMsgId, 1, &stored), 0);
    QCOMPARE(stored->iReadFlag, 0);
    delete stored;
}

void TestMainWindow::previewEscapesAndLinks()
{
    QVERIFY(ZsdkSim::AddContact(QStringLiteral("Eve <boss>"), QStringLiteral("+49 171 2345678")));
    TestSupport::storeMessage(1, QStringLiteral("01712345678"), QStringLiteral("<b>not bold</b> see www.example.com or call +49 30 123456"));
    build(kFullConfig);
    SMSUITableWidget* table = m_window->Table(NODE_LOCAL_INBOX);
    table->selectRow(0);
    m_window->onClickTableRow(0);
    auto* preview = m_window->findChild<QTextBrowser*>(QStringLiteral("SMSUIPlugin_TextPreview"));
    const QString shown = preview->toPlainText();
    QVERIFY2(shown.contains(QStringLiteral("<b>not bold</b>")), qPrintable(shown));
    QVERIFY2(shown.contains(QStringLiteral("Eve <boss>")), qPrintable(shown));
    // The time as the system's short date and time (the message was stored for 1 December 2026, noon).
    const QString time = QLocale::system().toString(QDateTime(QDate(2026, 12, 1), QTime(12, 0)), QLocale::ShortFormat);
    QVERIFY2(shown.contains(QStringLiteral(": ") + time), qPrintable(shown));
    const QString html = preview->toHtml();
    QVERIFY(html.contains(QStringLiteral("href=\"http://www.example.com\"")));
    QVERIFY(html.contains(QStringLiteral("href=\"tel:+4930123456\"")));
    QVERIFY(!html.contains(QStringLiteral("<b>not")));
}

void TestMainWindow::linkClickKeepsThePreview()
{
    TestSupport::storeMessage(1, QStringLiteral("1234567"), QStringLiteral("visit https://example.org/x today"));
    build(kFullConfig);
    SMSUITableWidget* table = m_window->Table(NODE_LOCAL_INBOX);
    table->selectRow(0);
    m_window->onClickTableRow(0);
    auto* preview = m_window->findChild<QTextBrowser*>(QStringLiteral("SMSUIPlugin_TextPreview"));
    const QString before = preview->toPlainText();
    emit preview->anchorClicked(QUrl(QStringLiteral("https://example.org/x")));
    QCOMPARE(m_opened, QStringList{QStringLiteral("https://example.org/x")});
    QCOMPARE(preview->toPlainText(), before);
    // A link to anything but the allowed schemes is refused, and the preview still stays.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("refusing to open")));
    emit preview->anchorClicked(QUrl(QStringLiteral("file:///etc/passwd")));
    QCOMPARE(m_opened.size(), 1);
    QCOMPARE(preview->toPlainText(), before);
}

void TestMainWindow::folderSummaryText()
{
    for (int i = 0; i < 4; ++i)
        TestSupport::storeMessage(1, QStringLiteral("123456%1").arg(i), QStringLiteral("m%1").arg(i));
    build("<c><ShowSMCount>false</ShowSMCount></c>");
    auto* preview = m_window->findChild<QTextBrowser*>(QStringLiteral("SMSUIPlugin_TextPreview"));
    m_window->onClickSMSTreeNode(m_window->TreeItem(NODE_LOCAL_INBOX), 0);
    QCOMPARE(preview->toPlainText(), QStringLiteral("Inbox\nMessages: 4"));
    cleanup();
    init();
    for (int i = 0; i < 2; ++i)
        TestSupport::storeMessage(1, QStringLiteral("123456%1").arg(i), QStringLiteral("m%1").arg(i));
    build(kFullConfig);
    preview = m_window->findChild<QTextBrowser*>(QStringLiteral("SMSUIPlugin_TextPreview"));
    m_window->onClickSMSTreeNode(m_window->TreeItem(NODE_LOCAL_INBOX), 0);
    QCOMPARE(preview->toPlainText(), QStringLiteral("Inbox(0/2)"));   // the label already counts
}

void TestMainWindow::resyncShowsWhatARebuildShows_data()
{
    QTest::addColumn<QString>("change");
    QTest::newRow("nothing changed") << QString();
    QTest::newRow("a message arrived") << QStringLiteral("arrive");
    QTest::newRow("a message was deleted for good") << QStringLiteral("remove");
    QTest::newRow("a message went to the trash") << QStringLiteral("trash");
    QTest::newRow("a sender got a name") << QStringLiteral("rename");
    QTest::newRow("most messages left") << QStringLiteral("remove most");
}

void TestMainWindow::resyncShowsWhatARebuildShows()
{
    QFETCH(QString, change);
    const QList<int> ids = storeFortyMessages();
    build(kFullConfig);
    // Both tables were shown once before the change (start-up fills only the Inbox).
    for (int node : {NODE_LOCAL_ROOT, NODE_LOCAL_INBOX})
        QVERIFY(m_window->Table(node));
    SMSStatusUILogic* store = SMSStatusUILogic::Existing();
    const int inboxId = ids.at(5);   // i = 5: an unread inbox message
    if (change == QLatin1String("arrive")) {
        const int id = TestSupport::storeMessage(1, QStringLiteral("+491700"), QStringLiteral("new"), 1, QStringLiteral("20261201153000"));
        QCOMPARE(store->UpdateSMSBufferUsingMsgID(id, 1), 0);
    } else if (change == QLatin1String("remove")) {
        store->RemoveSMSFromMap(1, inboxId, true);
    } else if (change == QLatin1String("trash")) {
        store->RemoveSMSFromMap(1, inboxId, false);
    } else if (change == QLatin1String("rename")) {
        SMSLocalRecordPtr renamed = SMSLocalRecordPtr::create(store->GetSingleSMS(1, inboxId));
        renamed->strName = QStringLiteral("Anna");
        store->InsertSingleSMS(1, inboxId, renamed);
    } else if (change == QLatin1String("remove most")) {
        for (int i = 0; i < 36; ++i)
            store->RemoveSMSFromMap(i % 4 == 0 ? 0 : 1, ids.at(i), true);
    }
    const auto rowsOf = [](SMSUITableWidget* table) {
        QStringList rows;
        for (int row = 0; row < table->rowCount(); ++row) {
            const SMSLocalRecordPtr rec = UITableItem::RecordOf(table->item(row, 0));
            rows << QStringLiteral("%1|%2|%3|%4|%5").arg(rec ? rec->iMsgId : -2).arg(table->item(row, 0)->text(), table->item(row, 1)->text(),
                                                         table->item(row, 2)->data(Qt::DisplayRole).toString())
                        .arg(table->item(row, 0)->data(Qt::DecorationRole).value<QIcon>().cacheKey() != 0);
        }
        return rows;
    };
    for (int node : {NODE_LOCAL_ROOT, NODE_LOCAL_INBOX}) {
        SMSUITableWidget* table = m_window->Table(node);
        QVERIFY(table);
        table->selectRow(1);
        m_window->syncSMSTableWithBuffers(node);
        // Rows that changed leave nothing selected, as a rebuild does; a table whose folders did
        // not change is left as it is.
        QCOMPARE(table->selectedItems().isEmpty(), !change.isEmpty());
        const QStringList resynced = rowsOf(table);
        // Every row is found by its message, and the unread rows are counted.
        int unread = 0;
        for (int row = 0; row < table->rowCount(); ++row) {
            const SMSLocalRecordPtr rec = UITableItem::RecordOf(table->item(row, 0));
            QCOMPARE(table->CellsForMessage(rec->iMsgId).cell[2], table->item(row, 2));
            unread += rec->iReadFlag == 1 ? 1 : 0;
        }
        QCOMPARE(table->UnreadRows(), unread);
        m_window->emptySMSTable(node);
        m_window->syncSMSTableWithBuffers(node);
        QCOMPARE(resynced, rowsOf(table));
        QVERIFY(!resynced.isEmpty());
    }
}

void TestMainWindow::tableFirstNeededAfterChangesShowsTheBuffers_data()
{
    QTest::addColumn<QString>("change");
    QTest::newRow("nothing changed") << QString();
    QTest::newRow("a message arrived") << QStringLiteral("arrive");
    QTest::newRow("messages went to the trash") << QStringLiteral("trash");
    QTest::newRow("a message was read in the Inbox") << QStringLiteral("read");
    QTest::newRow("a sender got a name") << QStringLiteral("rename");
}

// Only the Inbox is filled at start-up; the other tables are filled when first needed. Whatever
// happened to their folders meanwhile (arrivals, moves, marks read, names), such a table then
// shows exactly the buffers, as a rebuild does, and the tree counted the same before.
void TestMainWindow::tableFirstNeededAfterChangesShowsTheBuffers()
{
    QFETCH(QString, change);
    const QList<int> ids = storeFortyMessages();
    build(kFullConfig);
    SMSStatusUILogic* store = SMSStatusUILogic::Existing();
    SMSUITableWidget* inbox = m_window->Table(NODE_LOCAL_INBOX);
    const QList<int> later{NODE_LOCAL_ROOT, NODE_LOCAL_OUTBOX, NODE_LOCAL_TRASH};
    auto filled = [this](int node) {
        for (SMSUITableWidget* t : m_window->findChildren<SMSUITableWidget*>())
            if (t->Node() == node && t->objectName() != QLatin1String("Empty Table"))
                return t->IsFilled();
        return false;   // not made yet, so not filled either
    };
    for (int node : later)
        QVERIFY2(!filled(node), qPrintable(QString::number(node)));
    if (change == QLatin1String("arrive")) {
        ZsdkSim::Incoming in;
        in.number = QStringLiteral("+491700");
        in.text = QStringLiteral("new");
        in.time = QStringLiteral("20261201153000");
        const int before = inbox->rowCount();
        ZsdkSim::InjectMessage(in);
        QTRY_COMPARE(inbox->rowCount(), before + 1);
    } else if (change == QLatin1String("trash")) {
        store->RemoveSMSFromMap(1, ids.at(5), false);
        store->RemoveSMSFromMap(0, ids.at(4), false);
        for (int node : {NODE_LOCAL_INBOX, NODE_LOCAL_OUTBOX, NODE_LOCAL_TRASH, NODE_LOCAL_ROOT})
            m_window->syncSMSTableWithBuffers(node);
    } else if (change == QLatin1String("read")) {
        int row = 0;
        while (row < inbox->rowCount() && UITableItem::RecordOf(inbox->item(row, 0))->iReadFlag != 1)
            ++row;
        QVERIFY(row < inbox->rowCount());
        inbox->selectRow(row);
        m_window->onClickTableRow(row);
        QCOMPARE(UITableItem::RecordOf(inbox->item(row, 0))->iReadFlag, 0);
    } else if (change == QLatin1String("rename")) {
        SMSLocalRecordPtr renamed = SMSLocalRecordPtr::create(store->GetSingleSMS(1, ids.at(5)));
        renamed->strName = QStringLiteral("Anna");
        store->InsertSingleSMS(1, ids.at(5), renamed);
        m_window->syncSMSTableWithBuffers(NODE_LOCAL_INBOX);
        m_window->syncSMSTableWithBuffers(NODE_LOCAL_ROOT);
    }
    QCoreApplication::processEvents();
    for (int node : later)
        QVERIFY2(!filled(node), qPrintable(QString::number(node)));
    auto labels = [this] {
        QStringList out;
        for (int node : {NODE_LOCAL_INBOX, NODE_LOCAL_OUTBOX, NODE_LOCAL_DRAFT, NODE_LOCAL_TRASH, NODE_LOCAL_REPORT})
            out << m_window->TreeItem(node)->text(0);
        return out;
    };
    m_window->updateTreeNodeCounts();
    const QStringList countedFromBuffers = labels();
    const auto rowsOf = [](SMSUITableWidget* table) {
        QStringList rows;
        for (int row = 0; row < table->rowCount(); ++row) {
            const SMSLocalRecordPtr rec = UITableItem::RecordOf(table->item(row, 0));
            rows << QStringLiteral("%1|%2|%3|%4|%5").arg(rec ? rec->iMsgId : -2).arg(table->item(row, 0)->text(), table->item(row, 1)->text(),
                                                         table->item(row, 2)->data(Qt::DisplayRole).toString())
                        .arg(rec ? rec->iReadFlag : -1);
        }
        return rows;
    };
    for (int node : later) {
        SMSUITableWidget* table = m_window->Table(node);
        QVERIFY(table);
        QVERIFY(filled(node));
        // Each buffered record once, the very record the buffer holds.
        const QList<int> folders = node == NODE_LOCAL_ROOT ? QList<int>{0, 1, 2, 3, 4, 5, 10, 15} : QList<int>{node};
        QHash<int, SMSLocalRecordPtr> buffered;
        for (int folder : folders) {
            const auto buffer = store->getSmsBuffer(folder);
            for (auto it = buffer.cbegin(); it != buffer.cend(); ++it)
                buffered.insert(it.key(), it.value());
        }
        QCOMPARE(table->rowCount(), buffered.size());
        for (int row = 0; row < table->rowCount(); ++row) {
            const SMSLocalRecordPtr rec = UITableItem::RecordOf(table->item(row, 0));
            QVERIFY(rec);
            QCOMPARE(rec, buffered.value(rec->iMsgId));
            QCOMPARE(table->CellsForMessage(rec->iMsgId).cell[0], table->item(row, 0));
        }
        const QStringList firstFill = rowsOf(table);
        m_window->emptySMSTable(node);
        m_window->syncSMSTableWithBuffers(node);
        QCOMPARE(rowsOf(table), firstFill);
    }
    m_window->updateTreeNodeCounts();
    QCOMPARE(labels(), countedFromBuffers);
}

void TestMainWindow::searchMatchesAsQtIgnoringCase_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("found");
    QTest::addColumn<bool>("mayBeTime");
    QTest::newRow("other case") << QStringLiteral("Meeting at NOON") << QStringLiteral("noon") << true << false;
    QTest::newRow("at the very end") << QStringLiteral("call me") << QStringLiteral("ME") << true << false;
    QTest::newRow("longer than the cell") << QStringLiteral("hi") << QStringLiteral("hi there") << false << false;
    QTest::newRow("nothing typed") << QStringLiteral("anything") << QString() << true << true;
    QTest::newRow("empty cell") << QString() << QStringLiteral("a") << false << false;
    QTest::newRow("partial match then the real one") << QStringLiteral("lulunch") << QStringLiteral("LUN") << true << false;
    QTest::newRow("Kelvin sign folds to k") << QStringLiteral("5 \u212A") << QStringLiteral("k") << true << false;
    QTest::newRow("long s folds to s") << QStringLiteral("\u017Fun") << QStringLiteral("SUN") << true << false;
    QTest::newRow("sharp s is not ss") << QStringLiteral("stra\u00DFe") << QStringLiteral("SS") << false << false;
    QTest::newRow("beside a surrogate pair") << QStringLiteral("\U0001F600abc") << QStringLiteral("ABC") << true << false;
    QTest::newRow("typed umlaut not there") << QStringLiteral("schon") << QStringLiteral("\u00F6") << false << true;
    QTest::newRow("typed umlaut in capitals") << QStringLiteral("sch\u00F6n") << QStringLiteral("\u00D6") << true << true;
    QTest::newRow("a date fragment") << QStringLiteral("2026-12-06T09:30:00.000") << QStringLiteral("12-06t09") << true << true;
    QTest::newRow("a time fragment") << QStringLiteral("2026-12-06T09:30:00.000") << QStringLiteral("9:3") << true << true;
    // Long cells are scanned eight characters at a time: matches at, across and after the edges
    // of those blocks, and first letters that lead nowhere.
    const QString run(21, QLatin1Char('x'));
    QTest::newRow("in a later block") << run + QStringLiteral("Lunch") << QStringLiteral("lunch") << true << false;
    QTest::newRow("across a block edge") << QStringLiteral("xxxxxxLUNCH time") << QStringLiteral("lunch") << true << false;
    QTest::newRow("first letter last in a block") << QStringLiteral("xxxxxxxlxxxxxxxxl") << QStringLiteral("LU") << false << false;
    QTest::newRow("ends the cell after blocks") << run + QStringLiteral("end") << QStringLiteral("END") << true << false;
    QTest::newRow("not in a long cell") << run + run + QStringLiteral("y") << QStringLiteral("xy z") << false << false;
    QTest::newRow("Kelvin sign after blocks") << run + QStringLiteral("\u212Ax") << QStringLiteral("kX") << true << false;
    QTest::newRow("a capital first letter typed") << run + QStringLiteral("parcel") << QStringLiteral("Pa") << true << false;
    QTest::newRow("the last letter in capitals") << run + QStringLiteral("ZZ Top") << QStringLiteral("zz t") << true << false;
    QTest::newRow("the first and last letters typed in capitals") << QStringLiteral("amazing") << QStringLiteral("AZ") << true << false;
    QTest::newRow("a number") << QStringLiteral("+491711234567") << QStringLiteral("+4917") << true << true;
    QTest::newRow("a number's end") << QStringLiteral("+491711234567") << QStringLiteral("4567") << true << true;
}

// The search box's fast match answers what Qt's case-insensitive contains answers, and rules out
// the time cells only for texts no ISO date-time text can hold.
void TestMainWindow::searchMatchesAsQtIgnoringCase()
{
    QFETCH(QString, cell);
    QFETCH(QString, typed);
    QFETCH(bool, found);
    QFETCH(bool, mayBeTime);
    QCOMPARE(cell.contains(typed, Qt::CaseInsensitive), found);
    const SearchText search(typed);
    QCOMPARE(search.FoundIn(cell), found);
    QCOMPARE(search.MayBeInIsoTime(), mayBeTime);
}

// A search in a folder shown for the first time filters that folder's rows.
void TestMainWindow::firstFillIsInTheTablesOwnOrder_data()
{
    QTest::addColumn<QStringList>("times");
    QTest::newRow("all at one time") << QStringList(QVector<QString>(12, QStringLiteral("20261201120000")).toList());
    QTest::newRow("apart, stored oldest first") << QStringList{"20250101000000", "20260101000000", "20260601000000", "20261231235959"};
    QTest::newRow("ties among others") << QStringList{"20261201120000", "20251201120000", "20261201120000", "20271201120000",
                                                      "20251201120000", "20261201120000", "20261201120001"};
    QTest::newRow("unreadable and missing times") << QStringList{"20xx", "20261201120000", "00000000000000", "", "20xx",
                                                                 "20261301120000", "20261201120000"};
}

// A table filled for the first time is newest first, ties and unreadable times where the table's
// own sort puts them, and stays a sorting table: a header click sorts it again.
void TestMainWindow::firstFillIsInTheTablesOwnOrder()
{
    QFETCH(QStringList, times);
    for (int i = 0; i < times.size(); ++i) {
        TestSupport::storeMessage(i % 3 == 0 ? NODE_LOCAL_OUTBOX : NODE_LOCAL_INBOX, QStringLiteral("+49%1").arg(9 - i % 10),
                                  QStringLiteral("message %1").arg(i), i % 2, times.at(i));
    }
    build(kFullConfig);
    SMSStatusUILogic* store = SMSStatusUILogic::Existing();
    for (int node : {NODE_LOCAL_INBOX, NODE_LOCAL_ROOT}) {
        // What the table's own sort makes of the records in the order the buffers list them.
        QTableWidget sorted(0, 1);
        QSet<int> seen;
        for (int folder : node == NODE_LOCAL_ROOT ? QList<int>{0, 1, 2, 3, 4, 5, 10, 15} : QList<int>{node}) {
            for (const SMSLocalRecordPtr& rec : store->getSmsBuffer(folder)) {
                if (seen.contains(rec->iMsgId))
                    continue;
                seen.insert(rec->iMsgId);
                sorted.setRowCount(sorted.rowCount() + 1);
                const QDateTime when = rec->dtTime.isValid() ? rec->dtTime : SMSStatusUILogic::parseTime(rec->strTime);
                sorted.setItem(sorted.rowCount() - 1, 0, new UITableItem(rec, when));
            }
        }
        sorted.sortItems(0, Qt::DescendingOrder);
        auto idsOf = [](QTableWidget* table, int column) {
            QList<int> ids;
            for (int row = 0; row < table->rowCount(); ++row)
                ids << UITableItem::RecordOf(table->item(row, column))->iMsgId;
            return ids;
        };
        SMSUITableWidget* table = m_window->Table(node);
        QCOMPARE(table->rowCount(), sorted.rowCount());
        QCOMPARE(idsOf(table, 0), idsOf(&sorted, 0));
        QCOMPARE(idsOf(table, 2), idsOf(&sorted, 0));
        QVERIFY(table->isSortingEnabled());
        QCOMPARE(table->horizontalHeader()->sortIndicatorSection(), 2);
        QCOMPARE(table->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
        for (int row = 0; row < table->rowCount(); ++row)
            QCOMPARE(table->CellsForMessage(UITableItem::RecordOf(table->item(row, 0))->iMsgId).cell[1], table->item(row, 1));
        table->horizontalHeader()->setSortIndicator(1, Qt::AscendingOrder);
        QStringList contents = columnTexts(table, 1);
        QStringList expected = contents;
        std::sort(expected.begin(), expected.end());
        QCOMPARE(contents, expected);
    }
}

void TestMainWindow::searchInAFolderNotShownBefore()
{
    const char* texts[] = {"apple pie", "APPLE juice", "apricot", "banana", "cherry"};
    for (int i = 0; i < 5; ++i)
        TestSupport::storeMessage(i < 3 ? 2 : 0, QStringLiteral("50000%1").arg(i), QLatin1String(texts[i]), 0,
                                  QStringLiteral("2026120") + QString::number(i + 1) + QStringLiteral("120000"));
    build(kFullConfig);
    QCOMPARE(m_window->TreeItem(NODE_LOCAL_DRAFT)->text(0), QStringLiteral("Drafts(3)"));
    m_window->onClickSMSTreeNode(m_window->TreeItem(NODE_LOCAL_DRAFT), 0);
    auto* search = m_window->findChild<SearchLineEdit*>(QStringLiteral("SMSUIPlugin_SearchLineEdit"));
    QVERIFY(search);
    search->setText(QStringLiteral("APP"));
    emit search->textEdited(QStringLiteral("APP"));
    auto* table = qobject_cast<SMSUITableWidget*>(m_window->CurrentTable());
    QVERIFY(table);
    QCOMPARE(table->Node(), int(NODE_LOCAL_DRAFT));
    QCOMPARE(columnTexts(table, 1), (QStringList{"APPLE juice", "apple pie"}));
    search->setText(QString());
    emit search->textEdited(QString());
    QCOMPARE(columnTexts(table, 1), (QStringList{"apricot", "APPLE juice", "apple pie"}));
}

void TestMainWindow::searchNarrowsAndWidens()
{
    const char* texts[] = {"apple pie", "APPLE juice", "apricot", "banana", "cherry"};
    for (int i = 0; i < 5; ++i)
        TestSupport::storeMessage(1, QStringLiteral("50000%1").arg(i), QLatin1String(texts[i]), 0, QStringLiteral("2026120") + QString::number(i + 1) + QStringLiteral("120000"));
    build(kFullConfig);
    auto* search = m_window->findChild<SearchLineEdit*>(QStringLiteral("SMSUIPlugin_SearchLineEdit"));
    QVERIFY(search);
    SMSUITableWidget* table = m_window->Table(NODE_LOCAL_INBOX);
    auto type = [&](const QString& text) {
        search->setText(text);
        emit search->textEdited(text);
    };
    type(QStringLiteral("ap"));
    QCOMPARE(table->rowCount(), 3);
    // The rows that stay keep the table's order (newest first) and its sort indicator, and can
    // be found by their message.
    const QStringList newestFirst{QStringLiteral("apricot"), QStringLiteral("APPLE juice"), QStringLiteral("apple pie")};
    for (int row = 0; row < 3; ++row) {
        QCOMPARE(table->item(row, 1)->text(), newestFirst.at(row));
        const SMSLocalRecordPtr rec = UITableItem::RecordOf(table->item(row, 0));
        QVERIFY(rec);
        QCOMPARE(table->CellsForMessage(rec->iMsgId).cell[1], table->item(row, 1));
    }
    QCOMPARE(table->horizontalHeader()->sortIndicatorSection(), 2);
    QCOMPARE(table->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
    QVERIFY(table->isSortingEnabled());
    type(QStringLiteral("app"));   // extends the text: only the remaining rows are filtered
    QCOMPARE(table->rowCount(), 2);
    QCOMPARE(table->item(0, 1)->text(), QStringLiteral("APPLE juice"));
    type(QStringLiteral("APP"));   // case does not matter; not an extension, so rebuilt first
    QCOMPARE(table->rowCount(), 2);
    type(QStringLiteral("a"));     // shorter: rebuilt from the store, then filtered
    QCOMPARE(table->rowCount(), 4);
    type(QStringLiteral("2026-12-05"));   // the time column is searched in its ISO text form
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(table->item(0, 1)->text(), QStringLiteral("cherry"));
    type(QStringLiteral("z"));   // the time's text form carries no zone letter
    QCOMPARE(table->rowCount(), 0);
    type(QString());
    QCOMPARE(table->rowCount(), 5);
    // A message that arrives while a search narrows the folder does not leave the folder
    // narrowed once the search is cleared.
    type(QStringLiteral("ap"));
    QCOMPARE(table->rowCount(), 3);
    ZsdkSim::Incoming in;
    in.number = QStringLiteral("500009");
    in.text = QStringLiteral("durian");
    in.time = QStringLiteral("20261206120000");
    QVERIFY(ZsdkSim::InjectMessage(in) > 0);
    QVERIFY(ZsdkSim::WaitForEvents());
    QTRY_VERIFY(UITableItem::RecordOf(table->item(0, 0)) && UITableItem::RecordOf(table->item(0, 0))->iMsgId > 0
                && table->item(0, 1)->text() == QLatin1String("durian"));
    type(QString());
    QCOMPARE(table->rowCount(), 6);
    QCOMPARE(columnTexts(table, 1), (QStringList{"durian", "cherry", "banana", "apricot", "APPLE juice", "apple pie"}));
    // Rows rebuilt by the search keep the height of the others.
    QCOMPARE(table->rowHeight(0), table->verticalHeader()->defaultSectionSize());
    QVERIFY(table->rowHeight(0) >= 16);
    auto* preview = m_window->findChild<QTextBrowser*>(QStringLiteral("SMSUIPlugin_TextPreview"));
    QVERIFY(preview->toPlainText().endsWith(QStringLiteral("Messages: 6")));
    // Another folder opened while the search narrows this one: back here, every message shows.
    type(QStringLiteral("ap"));
    QCOMPARE(table->rowCount(), 3);
    m_window->TreeWidget()->setCurrentItem(m_window->TreeItem(NODE_LOCAL_DRAFT));
    QCOMPARE(m_window->SelectedNode(), int(NODE_LOCAL_DRAFT));
    m_window->TreeWidget()->setCurrentItem(m_window->TreeItem(NODE_LOCAL_INBOX));
    QCOMPARE(m_window->Table(NODE_LOCAL_INBOX)->rowCount(), 6);
}

// A search deletes the cells of the rows it dropped only after the keystroke, from the event
// loop. Whatever comes before that deletion ends (more typing, clearing, a sort, a delete of a
// shown row, the page closing) sees only the rows shown and loses none (the sanitizer build
// would catch a dropped cell being reached).
void TestMainWindow::searchGoesOnWhileDroppedCellsWait_data()
{
    QTest::addColumn<QString>("then");
    QTest::addColumn<QStringList>("shown");   // column 1, top down, once the situation is over
    const QStringList apples{"apple 8", "apple 5", "apple 2"};
    QTest::newRow("typing on") << QStringLiteral("apple 5") << QStringList{"apple 5"};
    QTest::newRow("typing something else") << QStringLiteral("pear") << QStringList{"pear 7", "pear 4", "pear 1"};
    QTest::newRow("clearing the search") << QString()
                                         << QStringList{"plum 9", "apple 8", "pear 7", "plum 6", "apple 5", "pear 4", "plum 3", "apple 2", "pear 1", "plum 0"};
    QTest::newRow("sorting by content") << QStringLiteral("sort") << QStringList{"apple 2", "apple 5", "apple 8"};
    // The end of a delete shows the folder as it now is, as it did before cells were left to wait.
    QTest::newRow("deleting a shown row") << QStringLiteral("delete")
                                          << QStringList{"plum 9", "pear 7", "plum 6", "apple 5", "pear 4", "plum 3", "apple 2", "pear 1", "plum 0"};
    QTest::newRow("closing the page") << QStringLiteral("close") << QStringList();
}

void TestMainWindow::searchGoesOnWhileDroppedCellsWait()
{
    QFETCH(QString, then);
    QFETCH(QStringList, shown);
    const char* fruits[] = {"plum", "pear", "apple"};
    for (int i = 0; i < 10; ++i)
        TestSupport::storeMessage(NODE_LOCAL_INBOX, QStringLiteral("60000%1").arg(i), QStringLiteral("%1 %2").arg(QLatin1String(fruits[i % 3])).arg(i),
                                  0, QStringLiteral("202612") + QString::number(i + 10) + QStringLiteral("120000"));
    build(kFullConfig);
    SMSUITableWidget* inbox = m_window->Table(NODE_LOCAL_INBOX);
    DroppedCells& dropped = m_window->DroppedSearchCells();
    inbox->selectRow(0);   // "plum 9": the search drops it
    m_window->onTextEdited(QStringLiteral("apple"));
    QCOMPARE(columnTexts(inbox, 1), (QStringList{"apple 8", "apple 5", "apple 2"}));
    QCOMPARE(dropped.Pending(), 7 * 3);
    for (int row = 0; row < inbox->rowCount(); ++row)
        QCOMPARE(inbox->rowHeight(row), inbox->verticalHeader()->defaultSectionSize());
    // Nothing selected or current is a cell that left the table.
    for (QTableWidgetItem* cell : inbox->selectedItems())
        QCOMPARE(cell->tableWidget(), static_cast<QTableWidget*>(inbox));
    if (QTableWidgetItem* current = inbox->currentItem())
        QCOMPARE(current->tableWidget(), static_cast<QTableWidget*>(inbox));
    if (then == QLatin1String("close")) {
        cleanup();   // releases the window with the deletion pending
        return;
    }
    if (then == QLatin1String("sort")) {
        inbox->sortByColumn(1, Qt::AscendingOrder);
    } else if (then == QLatin1String("delete")) {
        const SMSLocalRecordPtr doomed = UITableItem::RecordOf(inbox->item(0, 0));
        QVERIFY(doomed);
        inbox->selectRow(0);
        m_window->onClickTableRow(0);
        QSignalSpy finished(m_window->Worker(), &QThread::finished);
        m_window->onButtonClickDelete();
        QVERIFY(finished.count() == 1 || finished.wait(5000));
        QTRY_COMPARE(inbox->rowCount(), shown.size());
        QVERIFY(!inbox->CellsForMessage(doomed->iMsgId).cell[0]);
    } else {
        m_window->onTextEdited(then);
        QVERIFY(dropped.Pending() >= 7 * 3);   // still waiting for the event loop
    }
    QCOMPARE(columnTexts(inbox, 1), shown);
    QTRY_COMPARE(dropped.Pending(), 0);
    QCOMPARE(columnTexts(inbox, 1), shown);
    for (int row = 0; row < inbox->rowCount(); ++row) {
        const SMSLocalRecordPtr rec = UITableItem::RecordOf(inbox->item(row, 0));
        QVERIFY(rec);
        QCOMPARE(inbox->CellsForMessage(rec->iMsgId).cell[2], inbox->item(row, 2));
    }
}

namespace {
// A cell that counts its deletions.
class CountedCell : public QTableWidgetItem
{
public:
    explicit CountedCell(QHash<const void*, int>* deleted) : m_deleted(deleted) {}
    ~CountedCell() override { ++(*m_deleted)[this]; }

private:
    QHash<const void*, int>* m_deleted;
};
} // namespace

// Dropped cells are deleted after the call that handed them over, each exactly once,
// however the hand-overs and the end of their owner interleave.
void TestMainWindow::droppedCellsAreDeletedOnceEach_data()
{
    QTest::addColumn<QList<int>>("batches");
    QTest::addColumn<bool>("endEarly");   // the owner goes before the event loop ran
    const int step = DroppedCells::kCellsPerTurn;
    QTest::newRow("one small batch") << QList<int>{3} << false;
    QTest::newRow("more than a step") << QList<int>{2 * step + 5} << false;
    QTest::newRow("a second batch while the first waits") << QList<int>{step + 1, 7} << false;
    QTest::newRow("an empty batch") << QList<int>{0, 4} << false;
    QTest::newRow("owner ends first") << QList<int>{step + 3, 2} << true;
}

void TestMainWindow::droppedCellsAreDeletedOnceEach()
{
    QFETCH(QList<int>, batches);
    QFETCH(bool, endEarly);
    QHash<const void*, int> deleted;
    int total = 0;
    {
        DroppedCells dropped;
        for (int n : batches) {
            QVector<QTableWidgetItem*> cells;
            for (int i = 0; i < n; ++i)
                cells << new CountedCell(&deleted);
            total += n;
            dropped.Dispose(cells);
            QCOMPARE(dropped.Pending(), total - deleted.size());
        }
        QVERIFY(deleted.isEmpty());   // nothing before the event loop runs
        if (!endEarly) {
            QTRY_COMPARE(dropped.Pending(), 0);
            QCOMPARE(deleted.size(), total);
        }
    }
    QCOMPARE(deleted.size(), total);
    for (int times : qAsConst(deleted))
        QCOMPARE(times, 1);
}

void TestMainWindow::searchBoxHeight()
{
    build(kFullConfig);
    auto* strip = m_window->findChild<QWidget*>(QStringLiteral("SMSUIPlugin_ToolBar"));
    QVERIFY(strip);
    auto* group = strip->findChild<QButtonGroup*>();
    QVERIFY(group);
    QAbstractButton* searchButton = group->button(9006);
    QVERIFY(searchButton);
    auto* search = m_window->findChild<SearchLineEdit*>(QStringLiteral("SMSUIPlugin_SearchLineEdit"));
    QVERIFY(search->isHidden());
    searchButton->click();
    QVERIFY(m_window->IsSearchBoxShown());
    QVERIFY(!search->isHidden());
    QCOMPARE(strip->height(), 60);
    searchButton->click();
    QVERIFY(search->isHidden());
    QCOMPARE(strip->maximumHeight(), 30);
}

void TestMainWindow::emptyTableForACardRootWithoutTables()
{
    ZsdkSim::SetReadDelay(MEM_SIM, 60000);
    ZsdkSim::SetSimPresent(false);
    ZsdkSim::SetSimPresent(true);
    build(kFullConfig, false);
    QVERIFY(!m_window->Table(NODE_SIM_ROOT));
    m_window->onClickSMSTreeNode(m_window->TreeItem(NODE_SIM_ROOT), 0);
    auto* shown = qobject_cast<QTableWidget*>(m_window->CurrentTable());
    QVERIFY(shown);
    QCOMPARE(shown->objectName(), QStringLiteral("Empty Table"));
    QCOMPARE(shown->rowCount(), 0);
    QCOMPARE(shown->horizontalHeaderItem(0)->text(), QStringLiteral("Name/Number"));
    QCOMPARE(shown->horizontalHeaderItem(2)->text(), QStringLiteral("Time"));
    m_window->SimReader()->SetStop(true);
    ZsdkSim::SetReadDelay(MEM_SIM, 0);
}

void TestMainWindow::cardBranchesFollowTheSim()
{
    build(kFullConfig);
    QTreeWidgetItem* simRoot = m_window->TreeItem(NODE_SIM_ROOT);
    QVERIFY(simRoot && !simRoot->isHidden());
    m_window->onClickSMSTreeNode(m_window->TreeItem(NODE_SIM_INBOX), 0);
    QSignalSpy net(m_window, &SMSUIMainDlg::netStatusChanged);
    ZsdkSim::SetSimPresent(false);
    QTRY_VERIFY(simRoot->isHidden());
    QVERIFY(!m_window->IsSimShown());
    QCOMPARE(m_window->Table(NODE_SIM_INBOX)->rowCount(), 0);
    // The SIM folder was shown: the page falls back to the Local Inbox.
    QCOMPARE(m_window->SelectedNode(), int(NODE_LOCAL_INBOX));
    QTRY_VERIFY(!net.isEmpty());
    QCOMPARE(net.last().at(0).toBool(), false);
    QVERIFY(!m_window->CanSendSms());
    // Other plug-ins ask the service the same question the signal answers.
    QVERIFY(!CSMSUIService::Instance()->IsNetworkAvailable());
    ZsdkSim::SetSimPresent(true);
    QTRY_VERIFY(!simRoot->isHidden());
    QTRY_COMPARE(m_window->Table(NODE_SIM_INBOX)->rowCount(), 1);
    QCOMPARE(simRoot->text(0), QStringLiteral("SIM card"));
    QTRY_VERIFY(m_window->CanSendSms());
    QVERIFY(CSMSUIService::Instance()->IsNetworkAvailable());
}

void TestMainWindow::badTimesAndLongTexts()
{
    TestSupport::storeMessage(1, QStringLiteral("1234567"), QString(2000, QLatin1Char('w')), 0, QStringLiteral("00000000000000"));
    TestSupport::storeMessage(1, QStringLiteral("7654321"), QStringLiteral("garbage time"), 0, QStringLiteral("20xx"));
    build(kFullConfig);
    SMSUITableWidget* table = m_window->Table(NODE_LOCAL_INBOX);
    QCOMPARE(table->rowCount(), 2);
    // "No time" shows now, and sorts as now: first.
    const QDateTime shown = table->item(0, 2)->data(Qt::DisplayRole).toDateTime();
    const QDateTime now = QDateTime::currentDateTime();
    QCOMPARE(shown.date(), now.date());
    QVERIFY(qAbs(shown.time().secsTo(now.time())) < 120);
    QCOMPARE(table->item(0, 1)->text().size(), 2000);
    table->selectRow(1);
    m_window->onClickTableRow(1);
    QVERIFY(m_window->PreviewHtml().contains(QStringLiteral("garbage time")));
}

void TestMainWindow::rightToLeftUsesMirroredIcons()
{
    QVERIFY(Change::LoadLanguage(QStringLiteral("ar")));
    QApplication::setLayoutDirection(Qt::RightToLeft);
    build(kFullConfig);
    QCOMPARE(m_window->layoutDirection(), Qt::RightToLeft);
    const QImage strip(m_lib + QStringLiteral("/plugins/SMSUIPlugin/sms_tree_Images.png"));
    const QImage trashTile = strip.copy(16 * 5, 0, 16, 16).convertToFormat(QImage::Format_ARGB32);
    const QImage shown = m_window->TreeItem(NODE_LOCAL_TRASH)->icon(0).pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(shown, trashTile.mirrored(true, false));
    QVERIFY(shown != trashTile);
    // A clicked root shows the mirrored "open" tile.
    m_window->onClickSMSTreeNode(m_window->TreeItem(NODE_LOCAL_ROOT), 0);
    const QImage root = m_window->TreeItem(NODE_LOCAL_ROOT)->icon(0).pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(root, strip.copy(16 * 7, 0, 16, 16).convertToFormat(QImage::Format_ARGB32).mirrored(true, false));
}

void TestMainWindow::missingImagesLeaveTheWindowWorking()
{
    const QString tree = m_lib + QStringLiteral("/plugins/SMSUIPlugin/sms_tree_Images.png");
    QVERIFY(QFile::rename(tree, tree + QStringLiteral(".away")));
    TestSupport::storeMessage(1, QStringLiteral("1234567"), QStringLiteral("still here"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("tree images .* missing")));
    build(kFullConfig);
    QVERIFY(m_window->TreeItem(NODE_LOCAL_INBOX)->icon(0).isNull());
    QCOMPARE(m_window->Table(NODE_LOCAL_INBOX)->rowCount(), 1);
    QVERIFY(QFile::rename(tree + QStringLiteral(".away"), tree));
}

// Deleted from the Local root view, a message leaves its own folder's table too, the broadcast
// folder included while it is on.
void TestMainWindow::deleteInTheLocalRootUpdatesEachFolder_data()
{
    QTest::addColumn<int>("folder");
    QTest::newRow("an inbox message") << int(NODE_LOCAL_INBOX);
    QTest::newRow("a cell broadcast") << int(NODE_LOCAL_CBS);
}

void TestMainWindow::deleteInTheLocalRootUpdatesEachFolder()
{
    QFETCH(int, folder);
    CommonUtils::SetSettings(QStringLiteral("CBS"), QStringLiteral("enable"), QStringLiteral("true"));
    auto restore = qScopeGuard([] { CommonUtils::SetSettings(QStringLiteral("CBS"), QStringLiteral("enable"), QString()); });
    TestSupport::storeMessage(folder, QStringLiteral("4400601"), QStringLiteral("to be deleted"), 1, QStringLiteral("20270101120000"));
    build(kFullConfig);
    SMSUITableWidget* own = m_window->Table(folder);
    QVERIFY(own);
    const int before = own->rowCount();
    QVERIFY(before >= 1);
    m_window->TreeWidget()->setCurrentItem(m_window->TreeItem(NODE_LOCAL_ROOT));
    SMSUITableWidget* root = m_window->Table(NODE_LOCAL_ROOT);
    int row = -1;
    for (int r = 0; r < root->rowCount(); ++r)
        if (root->item(r, 1) && root->item(r, 1)->text() == QLatin1String("to be deleted"))
            row = r;
    QVERIFY(row >= 0);
    root->selectRow(row);
    m_window->onClickTableRow(row);
    CommonUtils::SetMessageResponder([](const MessageRequest&) { return int(QMessageBox::Ok); });
    QSignalSpy finished(m_window->Worker(), &QThread::finished);
    m_window->onButtonClickDelete();
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 5000);
    QTRY_COMPARE(own->rowCount(), before - 1);
    // A broadcast is removed for good; anything else waits in the trash.
    QCOMPARE(m_window->Table(NODE_LOCAL_TRASH)->rowCount(), folder == NODE_LOCAL_CBS ? 0 : 1);
}

void TestMainWindow::deleteRecoverAndClearAll()
{
    for (int i = 0; i < 3; ++i)
        TestSupport::storeMessage(NODE_LOCAL_INBOX, QStringLiteral("777000%1").arg(i), QStringLiteral("doomed %1").arg(i), 1);
    build(kFullConfig);
    SMSUITableWidget* inbox = m_window->Table(NODE_LOCAL_INBOX);
    SMSUITableWidget* trash = m_window->Table(NODE_LOCAL_TRASH);
    int asked = 0;
    int answer = QMessageBox::Cancel;
    CommonUtils::SetMessageResponder([&](const MessageRequest& r) {
        ++asked;
        return r.text == QStringLiteral("Delete the selected messages?") || r.text == QStringLiteral("Delete all messages in this folder?") ? answer : int(QMessageBox::Ok);
    });
    inbox->selectRow(0);
    inbox->setRangeSelected(QTableWidgetSelectionRange(0, 0, 1, 2), true);
    // Cancelled: nothing happens.
    m_window->onButtonClickDelete();
    QCOMPARE(asked, 1);
    QVERIFY(!m_window->IsWorkerRunning());
    QCOMPARE(inbox->rowCount(), 3);
    // Confirmed: the two rows go to the trash, with the progress window counting them.
    answer = QMessageBox::Ok;
    QSignalSpy finished(m_window->Worker(), &QThread::finished);
    m_window->onButtonClickDelete();
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 5000);
    QTRY_COMPARE(inbox->rowCount(), 1);
    QCOMPARE(trash->rowCount(), 2);
    QCOMPARE(m_window->Table(NODE_LOCAL_ROOT)->rowCount(), 3);
    SMSWaitingDlg* progress = SMSWaitingDlg::Existing();
    QVERIFY(progress);
    QCOMPARE(progress->Kind(), int(SMSWaitingDlg::Deleting));
    QCOMPARE(progress->CountText(), QStringLiteral("2/2"));
    QCOMPARE(progress->Progress(), 100);
    // Recover both from the trash.
    m_window->onClickSMSTreeNode(m_window->TreeItem(NODE_LOCAL_TRASH), 0);
    trash->selectAll();
    m_window->onButtonClickRecoverMessages();
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, 5000);
    QTRY_COMPARE(inbox->rowCount(), 3);
    QCOMPARE(trash->rowCount(), 0);
    // Delete all in the inbox, then clear the trash for good.
    m_window->onClickSMSTreeNode(m_window->TreeItem(NODE_LOCAL_INBOX), 0);
    m_window->onButtonClickDeleteAll();
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 3, 5000);
    QTRY_COMPARE(trash->rowCount(), 3);
    m_window->onClickSMSTreeNode(m_window->TreeItem(NODE_LOCAL_TRASH), 0);
    m_window->onButtonClickDeleteAll();
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 4, 5000);
    QTRY_COMPARE(trash->rowCount(), 0);
    int32_t left = -1;
    ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&left, MEM_PC);
    QCOMPARE(left, 0);
    CommonUtils::SetMessageResponder([](const MessageRequest&) { return int(QMessageBox::Ok); });
}

namespace {
QStringList enabledIds(SMSUIMainDlg* window, const QStringList& ids)
{
    QStringList out;
    for (const QString& id : ids)
        if (QAction* a = window->GetAction(id); a && a->isEnabled())
            out << id;
    return out;
}

QAction* targetIn(QMenu* menu, const QString& submenu, const QString& id)
{
    for (QAction* a : menu->actions()) {
        if (a->menu() && a->menu()->objectName() == submenu) {
            for (QAction* t : a->menu()->actions())
                if (t->objectName() == id)
                    return t;
        }
    }
    return nullptr;
}
}

void TestMainWindow::contextMenuFolderRules_data()
{
    QTest::addColumn<int>("folder");
    QTest::addColumn<QStringList>("enabled");
    QTest::newRow("inbox") << int(NODE_LOCAL_INBOX) << QStringList{"IDS_MENU_SEND", "IDS_MENU_REPLY", "IDS_MENU_FORWARD", "IDS_MENU_DELETE"};
    QTest::newRow("drafts") << int(NODE_LOCAL_DRAFT) << QStringList{"IDS_MENU_EDIT", "IDS_MENU_SEND", "IDS_MENU_DELETE", "IDS_MENU_RECOVER"};
    QTest::newRow("trash") << int(NODE_LOCAL_TRASH) << QStringList{"IDS_MENU_DELETE", "IDS_MENU_RECOVER"};
    QTest::newRow("reports") << int(NODE_LOCAL_REPORT) << QStringList{"IDS_MENU_DELETE"};
}

void TestMainWindow::contextMenuFolderRules()
{
    QFETCH(int, folder);
    TestSupport::storeMessage(folder, QStringLiteral("1234567"), QStringLiteral("x"));
    build(kFullConfig);
    m_window->onClickSMSTreeNode(m_window->TreeItem(folder), 0);
    SMSUITableWidget* table = m_window->Table(folder);
    table->selectRow(0);
    table->setFocus();   // a right click on the table gives it the focus first
    QVERIFY(m_window->PrepareContextMenu(table->visualItemRect(table->item(0, 0)).center()));
    const QStringList ids{"IDS_MENU_EDIT", "IDS_MENU_SEND", "IDS_MENU_REPLY", "IDS_MENU_FORWARD", "IDS_MENU_DELETE", "IDS_MENU_RECOVER"};
    QTEST(enabledIds(m_window, ids), "enabled");
    QVERIFY(!m_window->GetAction(QStringLiteral("IDS_MENU_VIDEO_CALL")));   // never offered
}

void TestMainWindow::contextMenuOnEmptyAreaAndSeveralRows()
{
    for (int i = 0; i < 2; ++i)
        TestSupport::storeMessage(NODE_LOCAL_INBOX, QStringLiteral("123456%1").arg(i), QStringLiteral("m%1").arg(i));
    build(kFullConfig);
    SMSUITableWidget* table = m_window->Table(NODE_LOCAL_INBOX);
    table->setFocus();
    const QStringList ids{"IDS_MENU_NEW", "IDS_MENU_EDIT", "IDS_MENU_SEND", "IDS_MENU_REPLY", "IDS_MENU_FORWARD", "IDS_MENU_SAVENUMBER",
                          "IDS_MENU_DELETE", "IDS_MENU_CLEARALL", "IDS_MENU_RECOVER", "IDS_EXPORT_SMSSELECT", "IDS_EXPORT_SMSALL", "IDS_MENU_SEARCH"};
    auto* preview = m_window->findChild<QTextBrowser*>(QStringLiteral("SMSUIPlugin_TextPreview"));
    QVERIFY(preview);
    const QPoint below(5, table->viewport()->height() - 2);
    QVERIFY(!table->itemAt(below));
    auto showFirst = [&] {
        table->selectRow(0);
        m_window->onClickTableRow(0);
        QVERIFY2(preview->toPlainText().contains(QRegularExpression(QStringLiteral("\\bm[01]\\b"))), qPrintable(preview->toPlainText()));
    };
    // A press below the rows leaves no message selected, and the preview speaks of the folder.
    showFirst();
    QTest::mousePress(table->viewport(), Qt::LeftButton, Qt::NoModifier, below);
    QTest::mouseRelease(table->viewport(), Qt::LeftButton, Qt::NoModifier, below);
    QVERIFY(table->selectedItems().isEmpty());
    QVERIFY2(preview->toPlainText().startsWith(m_window->TreeItem(NODE_LOCAL_INBOX)->text(0))
                 && !preview->toPlainText().contains(QRegularExpression(QStringLiteral("\\bm[01]\\b"))),
             qPrintable(preview->toPlainText()));
    // Below the last row: only what needs no selection.
    showFirst();
    QVERIFY(m_window->PrepareContextMenu(below));
    QCOMPARE(enabledIds(m_window, ids), (QStringList{"IDS_MENU_NEW", "IDS_MENU_CLEARALL", "IDS_EXPORT_SMSALL", "IDS_MENU_SEARCH"}));
    QVERIFY(table->selectedItems().isEmpty());
    QVERIFY2(preview->toPlainText().startsWith(m_window->TreeItem(NODE_LOCAL_INBOX)->text(0))
                 && !preview->toPlainText().contains(QRegularExpression(QStringLiteral("\\bm[01]\\b"))),
             qPrintable(preview->toPlainText()));
    QMenu* menu = m_window->ContextMenu();
    QVERIFY(!targetIn(menu, QStringLiteral("Move to"), QStringLiteral("IDS_TREE_SIM"))->isEnabled());
    QVERIFY(targetIn(menu, QStringLiteral("Move All to"), QStringLiteral("IDS_TREE_SIM"))->isEnabled());
    // Two rows: no single-message commands.
    table->selectAll();
    QVERIFY(m_window->PrepareContextMenu(table->visualItemRect(table->item(0, 0)).center()));
    QCOMPARE(enabledIds(m_window, ids), (QStringList{"IDS_MENU_NEW", "IDS_MENU_DELETE", "IDS_MENU_CLEARALL", "IDS_EXPORT_SMSSELECT",
                                                      "IDS_EXPORT_SMSALL", "IDS_MENU_SEARCH"}));
    // Without the possibility to send, Reply, Forward and Send stay off everywhere.
    ZsdkSim::SetRadio(false);
    QTRY_VERIFY(!m_window->CanSendSms());
    table->selectRow(0);
    QVERIFY(m_window->PrepareContextMenu(table->visualItemRect(table->item(0, 0)).center()));
    QVERIFY(enabledIds(m_window, {"IDS_MENU_SEND", "IDS_MENU_REPLY", "IDS_MENU_FORWARD"}).isEmpty());
    ZsdkSim::SetRadio(true);
}

void TestMainWindow::cardSubmenusFollowTheDualModeCard_data()
{
    QTest::addColumn<bool>("hostHides");       // ("DualModeCard", "HideDoubleModeCardNode")
    QTest::addColumn<bool>("dualAtStart");
    QTest::addColumn<bool>("dualAtMenu");
    QTest::addColumn<bool>("queryFails");      // the modem does not answer when the menu opens
    QTest::addColumn<bool>("hidden");
    QTest::newRow("an ordinary card") << true << false << false << false << false;
    QTest::newRow("a dual-mode card, the host hides its submenus") << true << true << true << false << true;
    QTest::newRow("a dual-mode card, the host shows its submenus") << false << true << true << false << false;
    QTest::newRow("the card became dual-mode while the page was open") << true << false << true << false << true;
    QTest::newRow("the card is no longer dual-mode") << true << true << false << false << false;
    QTest::newRow("no answer from the modem: what was known stays") << true << true << true << true << true;
    QTest::newRow("no answer from the modem on an ordinary card") << true << false << false << true << false;
}

void TestMainWindow::cardSubmenusFollowTheDualModeCard()
{
    QFETCH(bool, hostHides);
    QFETCH(bool, dualAtStart);
    QFETCH(bool, dualAtMenu);
    QFETCH(bool, queryFails);
    QFETCH(bool, hidden);
    CommonUtils::SetSettings(QStringLiteral("DualModeCard"), QStringLiteral("HideDoubleModeCardNode"),
                             hostHides ? QStringLiteral("true") : QString());
    auto restore = qScopeGuard([] { CommonUtils::SetSettings(QStringLiteral("DualModeCard"), QStringLiteral("HideDoubleModeCardNode"), QString()); });
    ZsdkSim::SetMultiModeCard(dualAtStart);
    TestSupport::storeMessage(NODE_LOCAL_INBOX, QStringLiteral("1234567"), QStringLiteral("x"));
    build(kFullConfig);
    // The tree hides the card's branches only for a dual-mode card whose host asks for it.
    for (int root : {NODE_SIM_ROOT, NODE_DEVICE_ROOT}) {
        QTreeWidgetItem* item = m_window->TreeItem(root);
        QCOMPARE(item && !item->isHidden(), !(hostHides && dualAtStart));
    }
    ZsdkSim::SetMultiModeCard(dualAtMenu);
    ZsdkSim::FailMultiModeQuery(queryFails);
    SMSUITableWidget* table = m_window->Table(NODE_LOCAL_INBOX);
    table->setFocus();
    table->selectRow(0);
    QVERIFY(m_window->PrepareContextMenu(table->visualItemRect(table->item(0, 0)).center()));
    QStringList visible;
    for (QAction* a : m_window->ContextMenu()->actions())
        if (a->menu() && a->isVisible())
            visible << a->menu()->objectName();
    const QStringList all{QStringLiteral("Move to"), QStringLiteral("Copy to"), QStringLiteral("Move All to"), QStringLiteral("Copy All to")};
    QCOMPARE(visible, hidden ? QStringList() : all);
}

// The menu offers the card as a target only while it is there, and the modem's own memory while
// the modem has it; a card taken out and put back comes back in the menu with its name.
void TestMainWindow::cardTargetsFollowTheCard()
{
    TestSupport::storeMessage(NODE_LOCAL_INBOX, QStringLiteral("4400501"), QStringLiteral("to move"));
    build(kFullConfig);
    m_window->SimReader()->SetPollInterval(100);
    QMenu* menu = m_window->ContextMenu();
    auto shown = [menu] {
        QStringList out;
        for (const QString& id : {QStringLiteral("IDS_TREE_SIM"), QStringLiteral("IDS_TREE_DEVICE")}) {
            QAction* a = targetIn(menu, QStringLiteral("Move to"), id);
            if (a && a->isVisible())
                out << a->text();
        }
        return out;
    };
    QCOMPARE(shown(), (QStringList{QStringLiteral("SIM card"), QStringLiteral("Device")}));
    auto restore = qScopeGuard([] { ZsdkSim::SetSimPresent(true); });
    ZsdkSim::SetSimPresent(false);
    QTRY_VERIFY(m_window->TreeItem(NODE_SIM_ROOT)->isHidden());
    // The modem's own memory stays without the card.
    QVERIFY(!m_window->TreeItem(NODE_DEVICE_ROOT)->isHidden());
    QCOMPARE(shown(), QStringList{QStringLiteral("Device")});
    ZsdkSim::SetSimPresent(true);
    QTRY_COMPARE(m_window->TreeItem(NODE_SIM_ROOT)->text(0), QStringLiteral("SIM card"));
    QTRY_COMPARE(shown(), (QStringList{QStringLiteral("SIM card"), QStringLiteral("Device")}));
}

void TestMainWindow::moveAndCopyThroughTheMenu()
{
    for (int i = 0; i < 2; ++i)
        TestSupport::storeMessage(NODE_LOCAL_INBOX, QStringLiteral("123456%1").arg(i), QStringLiteral("travel %1").arg(i));
    build(kFullConfig);
    SMSUITableWidget* inbox = m_window->Table(NODE_LOCAL_INBOX);
    QMenu* menu = m_window->ContextMenu();
    inbox->setFocus();
    QSignalSpy finished(m_window->Worker(), SIGNAL(finished()));
    QStringList questions;
    int answer = QMessageBox::Cancel;
    CommonUtils::SetMessageResponder([&](const MessageRequest& r) {
        questions << r.text;
        return answer;
    });
    // A cancelled copy leaves the next command a move.
    inbox->selectRow(0);
    QVERIFY(m_window->PrepareContextMenu(inbox->visualItemRect(inbox->item(0, 0)).center()));
    QAction* copyToSim = targetIn(menu, QStringLiteral("Copy to"), QStringLiteral("IDS_TREE_SIM"));
    QVERIFY(copyToSim && copyToSim->isEnabled() && copyToSim->isVisible());
    copyToSim->trigger();
    QCOMPARE(questions.last(), QStringLiteral("Copy the selected messages to SIM card?"));
    QVERIFY(!m_window->IsWorkerRunning());
    answer = QMessageBox::Ok;
    inbox->selectRow(0);
    targetIn(menu, QStringLiteral("Move to"), QStringLiteral("IDS_TREE_SIM"))->trigger();
    QCOMPARE(questions.last(), QStringLiteral("Move the selected messages to SIM card?"));
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 5000);
    QTRY_COMPARE(inbox->rowCount(), 1);
    QCOMPARE(m_window->Table(NODE_SIM_INBOX)->rowCount(), 2);   // the seeded one and the moved one
    // Copy all what is left to the device: the inbox keeps its message.
    targetIn(menu, QStringLiteral("Copy All to"), QStringLiteral("IDS_TREE_DEVICE"))->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, 5000);
    QTRY_COMPARE(m_window->Table(NODE_DEVICE_INBOX)->rowCount(), 1);
    QCoreApplication::processEvents();
    // The copy has ended: Move All of the card's inbox to the PC, one row selected, moves both
    // and the card keeps none.
    m_window->onClickSMSTreeNode(m_window->TreeItem(NODE_SIM_INBOX), 0);
    SMSUITableWidget* simInbox = m_window->Table(NODE_SIM_INBOX);
    simInbox->setFocus();
    simInbox->selectRow(0);
    QVERIFY(m_window->PrepareContextMenu(simInbox->visualItemRect(simInbox->item(0, 0)).center()));
    QAction* moveAll = targetIn(menu, QStringLiteral("Move All to"), QStringLiteral("IDS_TREE_LOCAL"));
    QVERIFY(moveAll && moveAll->isEnabled() && moveAll->isVisible());
    moveAll->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 3, 5000);
    QTRY_COMPARE(simInbox->rowCount(), 0);
    QTRY_COMPARE(m_window->Table(NODE_LOCAL_INBOX)->rowCount(), 3);
    int32_t onCard = -1;
    QCOMPARE(ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&onCard, MEM_SIM), 0);
    QCOMPARE(onCard, 0);
    CommonUtils::SetMessageResponder([](const MessageRequest&) { return int(QMessageBox::Ok); });
}

void TestMainWindow::exportWritesCsv()
{
    TestSupport::storeMessage(NODE_LOCAL_INBOX, QStringLiteral("+491711111111;+491722222222"), QStringLiteral("He said \"hi\", then\nleft"));
    TestSupport::storeMessage(NODE_LOCAL_INBOX, QStringLiteral("0301234567"), QStringLiteral("plain"), 0, QStringLiteral("20250101120000"));
    build(kFullConfig);
    SMSUITableWidget* inbox = m_window->Table(NODE_LOCAL_INBOX);
    const QString path = m_dir.filePath(QStringLiteral("export.csv"));
    auto read = [&path] {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(f.readAll()) : QString();
    };
    const QString header = QStringLiteral("Name/Number,Content,Time\n");
    // Nothing selected: the header only.
    inbox->clearSelection();
    m_window->SetExportMode(1);
    QVERIFY(m_window->saveToFile(path));
    QCOMPARE(read(), header);
    // The selected message, quotes doubled, comma and line break inside the field.
    inbox->selectRow(0);
    QVERIFY(m_window->saveToFile(path));
    const SMSLocalRecordPtr rec = UITableItem::RecordOf(inbox->item(0, 0));
    QCOMPARE(read(), header + QStringLiteral("\"+491711111111;+491722222222\",\"He said \"\"hi\"\", then\nleft\",\"%1\"\n").arg(SMSStatusUILogic::displayTime(rec->dtTime)));
    // Every row, replacing the file.
    m_window->SetExportMode(2);
    QVERIFY(m_window->saveToFile(path));
    QCOMPARE(read().count(QLatin1Char('\n')), 1 + 2 + 1);   // header, two rows, the line break inside a field
    // A file that cannot be written is reported.
    QList<MessageRequest> asked;
    CommonUtils::SetMessageResponder([&asked](const MessageRequest& r) { asked << r; return int(QMessageBox::Ok); });
    QVERIFY(!m_window->saveToFile(m_dir.filePath(QStringLiteral("no/such/dir/x.csv"))));
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked.at(0).text, QStringLiteral("The messages could not be exported."));
    // An error box, framed like every other box of the window and kept while open (so that
    // losing the SIM can take it away).
    const int boxFlags = Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint;
    QCOMPARE(asked.at(0).title, m_window->Translate(QStringLiteral("IDS_ERROR_CAPTION")));
    QCOMPARE(asked.at(0).icon, int(QMessageBox::Information));
    QCOMPARE(asked.at(0).windowFlags & boxFlags, boxFlags);
    QVERIFY(asked.at(0).keptOpen);
    // A file that opens but cannot take the text (a full disk) is reported the same way.
    if (QFileInfo::exists(QStringLiteral("/dev/full"))) {
        asked.clear();
        QVERIFY(!m_window->saveToFile(QStringLiteral("/dev/full")));
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked.at(0).text, QStringLiteral("The messages could not be exported."));
    }
    CommonUtils::SetMessageResponder([](const MessageRequest&) { return int(QMessageBox::Ok); });
}

void TestMainWindow::exportIsSafeForSpreadsheets_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("numberField");
    QTest::addColumn<QString>("contentField");
    QTest::addColumn<bool>("utf8");
    QTest::newRow("a text that is a spreadsheet formula")
        << QStringLiteral("0301234567") << QStringLiteral("=HYPERLINK(\"http://x\")")
        << QStringLiteral("0301234567") << QStringLiteral("'=HYPERLINK(\"\"http://x\"\")") << false;
    QTest::newRow("a text starting with plus, minus or at")
        << QStringLiteral("0301234567") << QStringLiteral("+SUM(A1)-@cmd")
        << QStringLiteral("0301234567") << QStringLiteral("'+SUM(A1)-@cmd") << false;
    QTest::newRow("a sender name starting with minus")
        << QStringLiteral("-2+3") << QStringLiteral("@home")
        << QStringLiteral("'-2+3") << QStringLiteral("'@home") << false;
    QTest::newRow("a text starting with a tab")
        << QStringLiteral("0301234567") << QStringLiteral("\tcmd")
        << QStringLiteral("0301234567") << QStringLiteral("'\tcmd") << false;
    QTest::newRow("a text starting with a carriage return")
        << QStringLiteral("0301234567") << QStringLiteral("\rcmd")
        << QStringLiteral("0301234567") << QStringLiteral("'\rcmd") << false;
    QTest::newRow("an international number stays a number")
        << QStringLiteral("+49 171 1111111") << QStringLiteral("hello")
        << QStringLiteral("+49 171 1111111") << QStringLiteral("hello") << false;
    QTest::newRow("two international numbers stay numbers")
        << QStringLiteral("+491711111111;+491722222222") << QStringLiteral("hi")
        << QStringLiteral("+491711111111;+491722222222") << QStringLiteral("hi") << false;
    QTest::newRow("a number hiding a formula")
        << QStringLiteral("+49(1)") << QStringLiteral("hi")
        << QStringLiteral("'+49(1)") << QStringLiteral("hi") << false;
    QTest::newRow("text the local encoding cannot hold")
        << QStringLiteral("0301234567") << QStringLiteral("你好 😀 Grüße")
        << QStringLiteral("0301234567") << QStringLiteral("你好 😀 Grüße") << true;
}

void TestMainWindow::exportIsSafeForSpreadsheets()
{
    QFETCH(QString, number);
    QFETCH(QString, content);
    QFETCH(QString, numberField);
    QFETCH(QString, contentField);
    QFETCH(bool, utf8);
    // A Western locale whose encoding has no Chinese and no emoji.
    QTextCodec* before = QTextCodec::codecForLocale();
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("ISO-8859-1"));
    auto restore = qScopeGuard([before] { QTextCodec::setCodecForLocale(before); });
    TestSupport::storeMessage(NODE_LOCAL_INBOX, number, content);
    build(kFullConfig);
    SMSUITableWidget* inbox = m_window->Table(NODE_LOCAL_INBOX);
    QCOMPARE(inbox->rowCount(), 1);
    const QString path = m_dir.filePath(QStringLiteral("safe.csv"));
    m_window->SetExportMode(2);
    QVERIFY(m_window->saveToFile(path));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QByteArray bytes = f.readAll();
    const QByteArray bom("\xEF\xBB\xBF");
    QCOMPARE(bytes.startsWith(bom), utf8);
    const QString text = utf8 ? QString::fromUtf8(bytes.mid(3)) : QString::fromLatin1(bytes);
    const SMSLocalRecordPtr rec = UITableItem::RecordOf(inbox->item(0, 0));
    QCOMPARE(text, QStringLiteral("Name/Number,Content,Time\n\"%1\",\"%2\",\"%3\"\n").arg(numberField, contentField, SMSStatusUILogic::displayTime(rec->dtTime)));
}

void TestMainWindow::usageFigures()
{
    ZSDK_WCHAR* logDir = nullptr;
    QCOMPARE(ZSDK_GetLogDirectory(&logDir), 0);
    QString base = QString::fromUtf16(logDir);
    delete[] logDir;
    base.chop(1);                                        // ".../log/" -> ".../log"
    base = base.left(base.lastIndexOf(QLatin1Char('/')) + 1);   // its parent, "/" kept
    const QString file = base + QStringLiteral("OnlineUpdate/UpdateInfo/kpi-sms.dat");
    QFile::remove(file);
    auto value = [&file](const QString& item, const QString& key) {
        QFile f(file);
        QDomDocument doc;
        if (!f.open(QIODevice::ReadOnly) || !doc.setContent(&f))
            return QStringLiteral("<unreadable>");
        for (QDomElement e = doc.documentElement().firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
            if (e.attribute(QStringLiteral("itemname")) == item)
                return e.firstChildElement(key).text();
        return QStringLiteral("<missing>");
    };
    for (int i = 0; i < 3; ++i)
        QVERIFY(SMSUIMainDlg::SaveSMSInfoForAgent(QStringLiteral("SMS02"), QStringLiteral("SMSReceived"), QStringLiteral("1")));
    QCOMPARE(value(QStringLiteral("SMS01"), QStringLiteral("SMSisUsing")), QStringLiteral("0"));
    const QString started = value(QStringLiteral("SMS01"), QStringLiteral("LogStartTime"));
    QVERIFY(QDateTime::fromString(started, QStringLiteral("yyyy-MM-dd hh:mm:ss")).isValid());
    SMSUIMainDlg::SaveSMSInfoForAgent(QStringLiteral("SMS01"), QStringLiteral("SMSisUsing"), QStringLiteral("1"));
    SMSUIMainDlg::SaveSMSInfoForAgent(QStringLiteral("SMS02"), QStringLiteral("SMSSent"), QStringLiteral("2"));
    QCOMPARE(value(QStringLiteral("SMS02"), QStringLiteral("SMSReceived")), QStringLiteral("3"));
    QCOMPARE(value(QStringLiteral("SMS02"), QStringLiteral("SMSSent")), QStringLiteral("2"));
    QCOMPARE(value(QStringLiteral("SMS01"), QStringLiteral("SMSisUsing")), QStringLiteral("1"));
    QCOMPARE(value(QStringLiteral("SMS01"), QStringLiteral("LogStartTime")), started);
    // An item removed by hand comes back with the update and zero for the rest.
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QDomDocument doc;
        QVERIFY(doc.setContent(&f));
        f.close();
        QDomElement root = doc.documentElement();
        root.removeChild(root.lastChildElement());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(doc.toByteArray());
    }
    SMSUIMainDlg::SaveSMSInfoForAgent(QStringLiteral("SMS02"), QStringLiteral("SMSSent"), QStringLiteral("5"));
    QCOMPARE(value(QStringLiteral("SMS02"), QStringLiteral("SMSSent")), QStringLiteral("5"));
    QCOMPARE(value(QStringLiteral("SMS02"), QStringLiteral("SMSReceived")), QStringLiteral("0"));
    // A damaged file is left as it is.
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("<Client><Item");
    }
    QVERIFY(!SMSUIMainDlg::SaveSMSInfoForAgent(QStringLiteral("SMS02"), QStringLiteral("SMSSent"), QStringLiteral("1")));
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("<Client><Item"));
}

namespace {

// Permissions do not bind root. While this object lives, a test run as root opens files on this
// thread as an unprivileged user, so that a folder closed to writing is closed to the test too.
class FilesAsAnotherUser
{
public:
    FilesAsAnotherUser()
    {
#ifdef Q_OS_LINUX
        if (geteuid() == 0) {
            setfsuid(65534);
            m_bSwitched = true;
        }
#endif
    }
    ~FilesAsAnotherUser()
    {
#ifdef Q_OS_LINUX
        if (m_bSwitched)
            setfsuid(0);
#endif
    }
    FilesAsAnotherUser(const FilesAsAnotherUser&) = delete;
    FilesAsAnotherUser& operator=(const FilesAsAnotherUser&) = delete;

private:
    bool m_bSwitched = false;
};

} // namespace

// The agent's folder may be closed to this user while the file itself is open to everyone (the
// figures file is made so): the figures are still written, into the file as it stands.
void TestMainWindow::usageFiguresInAClosedFolder()
{
    ZSDK_WCHAR* logDir = nullptr;
    QCOMPARE(ZSDK_GetLogDirectory(&logDir), 0);
    QString base = QString::fromUtf16(logDir);
    delete[] logDir;
    base.chop(1);
    base = base.left(base.lastIndexOf(QLatin1Char('/')) + 1);
    const QString file = base + QStringLiteral("OnlineUpdate/UpdateInfo/kpi-sms.dat");
    QFile::remove(file);
    QVERIFY(SMSUIMainDlg::SaveSMSInfoForAgent(QStringLiteral("SMS02"), QStringLiteral("SMSSent"), QStringLiteral("1")));
    const QString folder = QFileInfo(file).absolutePath();
    const QFile::Permissions before = QFile::permissions(folder);
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
                                              | QFile::ReadOther | QFile::ExeOther));
    auto reopen = qScopeGuard([&] { QFile::setPermissions(folder, before); });
    const QString sent = [&] {
        FilesAsAnotherUser user;
        QFile probe(folder + QStringLiteral("/probe"));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            return QStringLiteral("<folder not closed>");
        }
        QFile readable(file);
        if (!readable.open(QIODevice::ReadOnly))
            return QStringLiteral("<file out of reach>");
        readable.close();
        if (!SMSUIMainDlg::SaveSMSInfoForAgent(QStringLiteral("SMS02"), QStringLiteral("SMSSent"), QStringLiteral("2")))
            return QStringLiteral("<not written>");
        QDomDocument doc;
        if (!readable.open(QIODevice::ReadOnly) || !doc.setContent(&readable))
            return QStringLiteral("<unreadable>");
        for (QDomElement e = doc.documentElement().firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
            if (e.attribute(QStringLiteral("itemname")) == QLatin1String("SMS02"))
                return e.firstChildElement(QStringLiteral("SMSSent")).text();
        return QStringLiteral("<missing>");
    }();
    if (sent == QLatin1String("<folder not closed>") || sent == QLatin1String("<file out of reach>"))
        QSKIP(qPrintable(QStringLiteral("permissions cannot be made to bind here: ") + sent));
    QCOMPARE(sent, QStringLiteral("3"));
    // Nothing was left beside it.
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("kpi-sms.dat")});
}

void TestMainWindow::cellTimeTextIsTheIsoForm_data()
{
    QTest::addColumn<QDateTime>("when");
    QTest::newRow("a device time") << QDateTime(QDate(2026, 12, 5), QTime(12, 0, 0), Qt::UTC);
    QTest::newRow("with milliseconds") << QDateTime(QDate(2026, 1, 31), QTime(23, 59, 59, 7), Qt::UTC);
    QTest::newRow("local time") << QDateTime(QDate(1999, 2, 3), QTime(4, 5, 6));
    QTest::newRow("an early year") << QDateTime(QDate(987, 6, 5), QTime(4, 3, 2), Qt::UTC);
}

void TestMainWindow::cellTimeTextIsTheIsoForm()
{
    QFETCH(QDateTime, when);
    const UITableItem cell(SMSLocalRecordPtr::create(), when);
    // The form of the wall-clock time, without a zone letter (a search for "z" must not match).
    const QString expected = QDateTime(when.date(), when.time()).toString(Qt::ISODateWithMs);
    QCOMPARE(cell.SortText(), expected);
    QCOMPARE(cell.CachedSortText(), expected);
    QVERIFY(!expected.contains(QLatin1Char('Z')));
}

// A row cell keeps the value it was made with itself; a value set later replaces it for the view,
// the model's listeners and the sort, and the same value again is no change.
void TestMainWindow::rowCellTakesANewValue()
{
    QTableWidget table(2, 1);
    auto* a = new UITableItem(SMSLocalRecordPtr::create(), QStringLiteral("beta"));
    auto* b = new UITableItem(SMSLocalRecordPtr::create(), QStringLiteral("alpha"));
    table.setItem(0, 0, a);
    table.setItem(1, 0, b);
    QCOMPARE(a->text(), QStringLiteral("beta"));
    QCOMPARE(a->data(Qt::EditRole).toString(), QStringLiteral("beta"));
    QVERIFY(*b < *a);
    QSignalSpy changed(table.model(), &QAbstractItemModel::dataChanged);
    a->setText(QStringLiteral("beta"));
    QCOMPARE(changed.count(), 0);
    a->setText(QStringLiteral("aardvark"));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(table.model()->data(table.model()->index(0, 0)).toString(), QStringLiteral("aardvark"));
    QCOMPARE(a->CachedSortText(), QStringLiteral("aardvark"));
    QVERIFY(*a < *b);
    a->setData(Qt::EditRole, QStringLiteral("zebra"));
    QCOMPARE(changed.count(), 2);
    QCOMPARE(a->text(), QStringLiteral("zebra"));
    QVERIFY(*b < *a);
    table.sortItems(0, Qt::AscendingOrder);
    QCOMPARE(table.item(0, 0), static_cast<QTableWidgetItem*>(b));
}

void TestMainWindow::deviceTimeForTheFlashWindow_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("shown");
    QTest::newRow("full stamp") << "20261205123456" << "05/12/2026 12:34:56";
    QTest::newRow("midnight") << "20260101000000" << "01/01/2026 00:00:00";
    QTest::newRow("no seconds") << "202612051234" << "05/12/2026 12:34";
    // Too short to hold a date: shown as the device sent it rather than half-parsed.
    QTest::newRow("only a year") << "2026" << "2026";
    QTest::newRow("empty") << "" << "";
}

void TestMainWindow::deviceTimeForTheFlashWindow()
{
    QFETCH(QString, device);
    QFETCH(QString, shown);
    QCOMPARE(SMSUIMainDlg::parseTimeOfSdk(device), shown);
}

void TestMainWindow::flashMessageOpensItsOwnWindow()
{
    build(kFullConfig);
    const int before = m_window->Table(NODE_LOCAL_INBOX)->rowCount();
    ZsdkSim::Incoming in;
    in.number = QStringLiteral("+4917012345");
    in.text = QStringLiteral("<b>not bold</b> see www.example.org");
    in.msgClass = 0;
    in.time = QStringLiteral("20261205123456");
    QCOMPARE(ZsdkSim::InjectMessage(in), -1);
    QTRY_VERIFY(m_window->FlashWindow() != nullptr);
    QWidget* flash = m_window->FlashWindow();
    QCOMPARE(flash->objectName(), QStringLiteral("SMSUIPlugin_FlashMessage"));
    QVERIFY(flash->isVisible());
    auto* text = flash->findChild<QTextEdit*>();
    QVERIFY(text);
    const QString plain = text->toPlainText();
    QVERIFY2(plain.contains(QStringLiteral("<b>not bold</b>")), qPrintable(plain));
    QVERIFY(plain.contains(QStringLiteral("05/12/2026 12:34:56")));
    QVERIFY(plain.contains(QStringLiteral("+4917012345")));
    QVERIFY(text->toHtml().contains(QStringLiteral("href")));
    // A flash message is shown, never stored.
    ZsdkSim::WaitForEvents();
    QCoreApplication::processEvents();
    QCOMPARE(m_window->Table(NODE_LOCAL_INBOX)->rowCount(), before);
    // A second one replaces the first window instead of stacking another.
    in.text = QStringLiteral("second");
    ZsdkSim::InjectMessage(in);
    QTRY_VERIFY(m_window->FlashWindow() && m_window->FlashWindow() != flash);
    QTRY_VERIFY(m_window->FlashWindow()->findChild<QTextEdit*>()->toPlainText().contains(QStringLiteral("second")));
    int windows = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        windows += w->objectName() == QLatin1String("SMSUIPlugin_FlashMessage") && w->isVisible();
    QCOMPARE(windows, 1);
    auto* close = m_window->FlashWindow()->findChild<QPushButton*>();
    QVERIFY(close);
    QCOMPARE(close->text(), QStringLiteral("Close"));
    close->click();
    QVERIFY(m_window->FlashWindow() == nullptr);
}

void TestMainWindow::memoryFullShowsOnePopup_data()
{
    QTest::addColumn<int>("mem");
    QTest::addColumn<QString>("text");
    QTest::newRow("card") << 1 << "The SIM card memory is full. Delete messages to receive new ones.";
    QTest::newRow("device") << 2 << "The device memory is full. Delete messages to receive new ones.";
}

void TestMainWindow::memoryFullShowsOnePopup()
{
    QFETCH(int, mem);
    QFETCH(QString, text);
    build(kFullConfig);
    ZsdkSim::FillMemory(mem);
    QTRY_VERIFY(m_window->MemoryFullPopup() != nullptr);
    QCOMPARE(m_window->MemoryFullText(), text);
    // The device reports again while the first warning is still up: still one popup.
    ZsdkSim::FillMemory(mem);
    ZsdkSim::WaitForEvents();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    int popups = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        popups += w->objectName() == QLatin1String("SMSUIPlugin_MemoryFullPopup") && w->isVisible();
    QCOMPARE(popups, 1);
    QCOMPARE(m_window->MemoryFullText(), text);
    auto* close = m_window->MemoryFullPopup()->findChild<QPushButton*>();
    QVERIFY(close);
    close->click();
    QVERIFY(m_window->MemoryFullPopup() == nullptr);
}

void TestMainWindow::memoryFullOkMovesTheCardToThePc_data()
{
    QTest::addColumn<int>("kind");       // the memory-full report
    QTest::addColumn<int>("inbox");      // the full memory's folders
    QTest::addColumn<int>("outbox");
    QTest::addColumn<bool>("stored");    // the memory holds a message in each
    QTest::addColumn<bool>("mainFrame"); // the host has a frame to show the progress in
    QTest::newRow("the card") << 4 << int(NODE_SIM_INBOX) << int(NODE_SIM_OUTBOX) << true << true;
    QTest::newRow("the device") << 2 << int(NODE_DEVICE_INBOX) << int(NODE_DEVICE_OUTBOX) << true << true;
    QTest::newRow("an empty card: nothing to move") << 4 << int(NODE_SIM_INBOX) << int(NODE_SIM_OUTBOX) << false << true;
    QTest::newRow("no frame of the host's: nothing starts") << 4 << int(NODE_SIM_INBOX) << int(NODE_SIM_OUTBOX) << true << false;
}

void TestMainWindow::memoryFullOkMovesTheCardToThePc()
{
    QFETCH(int, kind);
    QFETCH(int, inbox);
    QFETCH(int, outbox);
    QFETCH(bool, stored);
    QFETCH(bool, mainFrame);
    PluginContainer container;
    FakeMainFrame frame;
    if (mainFrame)
        container.RegisterPlugin(QLatin1String(HostGuid::MainFrame), 0x1011, &frame);
    Startup::SetPluginContainer(&container);
    auto restore = qScopeGuard([] { Startup::SetPluginContainer(nullptr); });
    const int mem = SMSStatusUILogic::GetMemPosition(inbox);
    if (stored) {
        TestSupport::storeMessage(inbox, QStringLiteral("+491609876543"), QStringLiteral("received"), 1);
        TestSupport::storeMessage(outbox, QStringLiteral("+491601111111"), QStringLiteral("sent"));
    }
    build(kFullConfig, false);
    const int root = SMSStatusUILogic::GetParentPos(inbox);
    QCOMPARE(m_window->Table(root)->rowCount(), stored ? 2 : 0);
    const int localBefore = m_window->Table(NODE_LOCAL_ROOT)->rowCount();
    m_window->onSmsStatusChanged(kind);
    QSignalSpy finished(m_window->Worker(), &QThread::finished);
    const bool moves = stored && mainFrame;
    QCOMPARE(m_window->onMemoryFullPopUPOKClick(), moves);
    if (moves) {
        QVERIFY(finished.wait(10000));
        QCoreApplication::processEvents();
    }
    QCOMPARE(m_window->IsWorkerRunning(), false);
    QCOMPARE(finished.count(), moves ? 1 : 0);
    int32_t left = -1;
    ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&left, mem);
    QCOMPARE(left, stored && !moves ? 2 : 0);
    QCOMPARE(m_window->Table(NODE_LOCAL_INBOX)->rowCount(), moves ? 1 : 0);
    QCOMPARE(m_window->Table(NODE_LOCAL_SENT)->rowCount(), moves ? 1 : 0);   // a sent message
    QCOMPARE(m_window->Table(NODE_LOCAL_ROOT)->rowCount(), localBefore + (moves ? 2 : 0));
    cleanup();   // the window must go before the main frame it parents to
}

void TestMainWindow::dropMovesCopiesOrRefuses_data()
{
    QTest::addColumn<int>("source");
    QTest::addColumn<int>("target");
    QTest::addColumn<bool>("ctrl");
    QTest::addColumn<bool>("local2Device");
    QTest::addColumn<int>("sourceRows");   // after the drop; each source starts with two
    QTest::addColumn<int>("targetRows");
    QTest::newRow("inbox to favorite moves") << 1 << 3 << false << false << 1 << 1;
    QTest::newRow("inbox to favorite with Ctrl copies") << 1 << 3 << true << false << 2 << 1;
    QTest::newRow("trash to drafts moves") << 4 << 2 << false << false << 1 << 1;
    QTest::newRow("outbox onto sent is refused") << 0 << 15 << false << true << 2 << 0;
    QTest::newRow("onto the shown folder is refused") << 1 << 1 << false << true << 2 << 2;
    QTest::newRow("inbox to card inbox needs the switch") << 1 << 7 << false << false << 2 << 1;
    QTest::newRow("inbox to card inbox with the switch copies") << 1 << 7 << false << true << 2 << 2;
    QTest::newRow("card inbox to PC inbox copies") << 7 << 1 << false << false << 2 << 1;
    QTest::newRow("card inbox to favorite copies even without Ctrl") << 7 << 3 << false << false << 2 << 1;
    QTest::newRow("drafts to the report folder is refused") << 2 << 5 << false << true << 2 << 0;
    // From the outboxes, Favorite and Drafts.
    QTest::newRow("outbox to drafts moves") << 0 << 2 << false << false << 1 << 1;
    QTest::newRow("outbox to drafts with Ctrl copies") << 0 << 2 << true << false << 2 << 1;
    QTest::newRow("outbox to favorite moves") << 0 << 3 << false << false << 1 << 1;
    QTest::newRow("outbox to card outbox with the switch copies") << 0 << 6 << false << true << 2 << 1;
    QTest::newRow("favorite to trash moves") << 3 << 4 << false << false << 1 << 1;
    QTest::newRow("favorite to drafts moves") << 3 << 2 << false << false << 1 << 1;
    QTest::newRow("drafts to favorite moves") << 2 << 3 << false << false << 1 << 1;
    QTest::newRow("drafts to trash moves") << 2 << 4 << false << false << 1 << 1;
    QTest::newRow("sent card message onto the PC outbox is refused") << 6 << 0 << false << false << 2 << 0;
    QTest::newRow("sent card message to sent items copies") << 6 << 15 << false << false << 2 << 1;
    QTest::newRow("card outbox to favorite copies") << 6 << 3 << false << false << 2 << 1;
}

void TestMainWindow::dropMovesCopiesOrRefuses()
{
    QFETCH(int, source);
    QFETCH(int, target);
    QFETCH(bool, ctrl);
    QFETCH(bool, local2Device);
    QFETCH(int, sourceRows);
    QFETCH(int, targetRows);
    for (int i = 0; i < 2; ++i)
        TestSupport::storeMessage(source, QStringLiteral("55501%1").arg(i), QStringLiteral("dragged %1").arg(i), 1,
                                  QStringLiteral("2026120%1100000").arg(i + 1), source == NODE_LOCAL_OUTBOX ? 1 : 0);
    QByteArray config = kFullConfig;
    config.replace("</c>", local2Device ? "<Local2Device>true</Local2Device></c>" : "<Local2Device>false</Local2Device></c>");
    build(config, source != NODE_SIM_INBOX);
    QSignalSpy finished(m_window->Worker(), SIGNAL(finished()));
    SMSUITreeWidget* tree = m_window->TreeWidget();
    tree->setCurrentItem(m_window->TreeItem(source));
    SMSUITableWidget* table = m_window->Table(source);
    QCOMPARE(qobject_cast<SMSUITableWidget*>(m_window->CurrentTable()), table);
    QCOMPARE(table->rowCount(), 2);
    const int before = m_window->Table(target)->rowCount();
    QVERIFY(before <= targetRows);
    const QPoint pressed = pressToDragFirstRow(table);
    QCOMPARE(m_window->DragSourceNode(), source);
    QCOMPARE(m_window->DragRecords().size(), 1);
    {
        // Messages dragged from elsewhere (another window, another program) are refused over
        // every folder: the highlight stays where it is.
        QMimeData outside;
        outside.setData(QStringLiteral("Text/stringids"), QByteArray());
        const QPoint at = tree->visualItemRect(m_window->TreeItem(target)).center();
        QCOMPARE(tree->FolderAt(at), target);
        QCOMPARE(tree->FolderAt(QPoint(2, tree->viewport()->height() - 2)), 16);   // below the folders
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &outside, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(tree->viewport(), &enter);
        QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction, &outside, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(tree->viewport(), &move);
        QVERIFY(!move.isAccepted());
        QCOMPARE(tree->currentItem(), m_window->TreeItem(source));
    }
    const bool allowed = m_window->DragOver(target);
    QCOMPARE(tree->currentItem(), allowed ? m_window->TreeItem(target) : m_window->TreeItem(source));
    dropOnFolder(target, ctrl);
    if (QTest::currentTestFailed())
        return;
    const bool works = sourceRows != 2 || targetRows != before;
    if (works) {
        // The progress says what happens: a copy leaves the source as it was.
        QVERIFY(SMSWaitingDlg::Existing());
        QCOMPARE(SMSWaitingDlg::Existing()->Kind(), int(sourceRows == 2 ? SMSWaitingDlg::DragCopying : SMSWaitingDlg::DragMoving));
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 5000);
    }
    ZsdkSim::WaitForEvents();
    QCoreApplication::processEvents();
    QCOMPARE(finished.count(), works ? 1 : 0);
    QTRY_COMPARE(table->rowCount(), sourceRows);
    QTRY_COMPARE(m_window->Table(target)->rowCount(), targetRows);
    // The window ends on the folder that received the messages, or stays where the drag began.
    QCOMPARE(m_window->SelectedNode(), works ? target : source);
    QTest::mouseRelease(table->viewport(), Qt::LeftButton, Qt::NoModifier, pressed);
}

QPoint TestMainWindow::pressToDragFirstRow(SMSUITableWidget* table)
{
    // A press on the first cell, near its start, prepares a drag of that row.
    const QRect cell = table->visualItemRect(table->item(0, 0));
    const QPoint at(cell.left() + 3, cell.center().y());
    QTest::mousePress(table->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    return at;
}

void TestMainWindow::dropOnFolder(int target, bool ctrl)
{
    SMSUITreeWidget* tree = m_window->TreeWidget();
    QMimeData data;
    data.setData(QStringLiteral("Text/stringids"), QByteArray());
    const QPoint at = tree->visualItemRect(m_window->TreeItem(target)).center();
    // The application hands a drop only to the widget that took the drag's entry.
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(tree->viewport(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, ctrl ? Qt::ControlModifier : Qt::NoModifier);
    QCoreApplication::sendEvent(tree->viewport(), &drop);
}

void TestMainWindow::pressDecidesBetweenDragAndSelection()
{
    for (int i = 0; i < 3; ++i)
        TestSupport::storeMessage(NODE_LOCAL_INBOX, QStringLiteral("55502%1").arg(i), QStringLiteral("row %1").arg(i), 1,
                                  QStringLiteral("2026120%1100000").arg(i + 1));
    build(kFullConfig);
    m_window->TreeWidget()->setCurrentItem(m_window->TreeItem(NODE_LOCAL_INBOX));
    SMSUITableWidget* table = m_window->Table(NODE_LOCAL_INBOX);
    const QRect first = table->visualItemRect(table->item(0, 0));
    const QRect third = table->visualItemRect(table->item(2, 0));
    auto send = [table](QEvent::Type type, const QPoint& pos, Qt::MouseButtons buttons) {
        QMouseEvent e(type, pos, table->viewport()->mapToGlobal(pos),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(table->viewport(), &e);
    };
    // A press in the right half of a cell selects; dragging from there extends the selection.
    const QPoint rightHalf(first.right() - 3, first.center().y());
    send(QEvent::MouseButtonPress, rightHalf, Qt::LeftButton);
    QVERIFY(m_window->DragRecords().isEmpty());
    send(QEvent::MouseMove, QPoint(third.right() - 3, third.center().y()), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, QPoint(third.right() - 3, third.center().y()), Qt::NoButton);
    QCOMPARE(table->selectionModel()->selectedRows().size(), 3);
    // A press in the left half of a selected row keeps the whole selection for the drag, and a
    // move shorter than the drag distance does nothing.
    const QPoint leftHalf(first.left() + 3, first.center().y());
    send(QEvent::MouseButtonPress, leftHalf, Qt::LeftButton);
    QCOMPARE(m_window->DragRecords().size(), 3);
    QCOMPARE(m_window->DragRowCount(), 3);
    QVERIFY(!m_window->IsReplyEnabled());
    send(QEvent::MouseMove, leftHalf + QPoint(1, 0), Qt::LeftButton);
    QCOMPARE(table->selectionModel()->selectedRows().size(), 3);
    // Released without a drag: it was a click on that row alone.
    send(QEvent::MouseButtonRelease, leftHalf, Qt::NoButton);
    QCOMPARE(table->selectionModel()->selectedRows().size(), 1);
    QCOMPARE(table->selectionModel()->selectedRows().first().row(), 0);
    // A press below the last row empties the selection and shows the folder summary.
    send(QEvent::MouseButtonPress, QPoint(5, table->viewport()->height() - 2), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, QPoint(5, table->viewport()->height() - 2), Qt::NoButton);
    QVERIFY(m_window->PreviewHtml().isEmpty() || !m_window->PreviewHtml().contains(QStringLiteral("row 0")));
    QVERIFY(!m_window->IsReplyEnabled());
}

void TestMainWindow::arrivalDuringPhoneBookReady()
{
    TestSupport::storeMessage(1, QStringLiteral("zed"), QStringLiteral("old"), 0, QStringLiteral("20260101080000"));
    TestSupport::storeMessage(1, QStringLiteral("amy"), QStringLiteral("older"), 0, QStringLiteral("20250101080000"));
    build(kFullConfig);
    SMSUITableWidget* table = m_window->Table(NODE_LOCAL_INBOX);
    table->sortByColumn(0, Qt::AscendingOrder);
    // The phone book refresh rebuilds every table; it must not undo the re-sort of an arrival.
    for (int round = 0; round < 5; ++round) {
        ZsdkSim::Incoming in;
        in.number = QStringLiteral("b%1").arg(round);
        in.text = QStringLiteral("new %1").arg(round);
        in.time = QStringLiteral("2026120609%1").arg(round, 4, 10, QLatin1Char('0'));
        ZsdkSim::InjectMessage(in);
        ZsdkSim::SignalPhoneBookReady();
        QTRY_COMPARE(table->rowCount(), 3 + round);
        ZsdkSim::WaitForEvents();
        QCoreApplication::processEvents();
        QCOMPARE(table->item(0, 1)->text(), in.text);
        QCOMPARE(table->horizontalHeader()->sortIndicatorSection(), 2);
        table->sortByColumn(0, Qt::AscendingOrder);
    }
}

void TestMainWindow::notifierSitsBesideTheTaskBar_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QPoint>("place");
    // The screen is 1920 x 1080; the popup 218 x 117.
    QTest::newRow("bottom") << QRect(0, 0, 1920, 1040) << QPoint(1920 - 218, 1039 - 117);
    QTest::newRow("left") << QRect(60, 0, 1860, 1080) << QPoint(60, 1079 - 117);
    QTest::newRow("top") << QRect(0, 40, 1920, 1040) << QPoint(1919 - 218, 40);
    QTest::newRow("right") << QRect(0, 0, 1860, 1080) << QPoint(1859 - 218, 1079 - 117);
    QTest::newRow("hidden") << QRect(0, 0, 1920, 1080) << QPoint(1919 - 218, 1079 - 117);
}

void TestMainWindow::notifierSitsBesideTheTaskBar()
{
    QFETCH(QRect, available);
    QFETCH(QPoint, place);
    QCOMPARE(SMSTaskbarNotifier::PlaceFor(QRect(0, 0, 1920, 1080), available, QSize(218, 117)), place);
}

void TestMainWindow::notifierShowsOnePopupAndViewOpensTheInbox()
{
    CommonUtils::SetSettings(QStringLiteral("SMSSERVICE"), QStringLiteral("VisionAlert"), QStringLiteral("1"));
    PluginContainer container;
    FakeNotify notify;
    FakeCall call;
    container.RegisterPlugin(QLatin1String(HostGuid::NotifyService), 0x2011, &notify);
    container.RegisterPlugin(QLatin1String(HostGuid::CallUI), 0x1001, &call);
    Startup::SetPluginContainer(&container);
    auto restore = qScopeGuard([] { Startup::SetPluginContainer(nullptr); });
    build(kFullConfig);
    notify.sent.clear();
    auto popups = [] {
        int shown = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            shown += w->objectName() == QLatin1String("SMSUIPlugin_NewMessagePopup") && w->isVisible();
        return shown;
    };
    // Two messages in a row: one popup, naming the second sender.
    ZsdkSim::Incoming in;
    in.number = QStringLiteral("+4915550001");
    in.text = QStringLiteral("first");
    ZsdkSim::InjectMessage(in);
    in.number = QStringLiteral("+4915550002");
    in.text = QStringLiteral("second");
    in.mem = 1;   // to the card
    ZsdkSim::InjectMessage(in);
    QTRY_COMPARE(SMSTaskbarNotifier::Existing() ? SMSTaskbarNotifier::Existing()->Text() : QString(), in.number);
    // Each arrival also tells the status bar to count the unread messages again.
    QVERIFY(notify.sent.count(qMakePair(QString::fromLatin1(HostGuid::StatusBar), int(HostNotify::UnreadCountChanged))) >= 2);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(popups(), 1);
    QCOMPARE(call.raised, 0);   // no call notification to keep on top
    QDialog* popup = SMSTaskbarNotifier::Existing()->Popup();
    QVERIFY(popup);
    QCOMPARE(popup->findChild<QPushButton*>(QStringLiteral("ViewButton"))->text(), QStringLiteral("View"));
    QVERIFY(popup->findChildren<QLabel*>().size() == 2);
    // Esc closes it.
    QTest::keyClick(popup, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!SMSTaskbarNotifier::Existing()->Popup());
    QCOMPARE(popups(), 0);
    // View opens the inbox the message went to: the card's.
    m_window->TreeWidget()->setCurrentItem(m_window->TreeItem(NODE_LOCAL_DRAFT));
    // A call is ringing meanwhile: the popup shows, and the call's notification stays on top.
    call.visible = true;
    SMSTaskbarNotifier::Existing()->Show(in.number);
    QCOMPARE(call.raised, 1);
    QVERIFY(SMSTaskbarNotifier::Existing()->Popup() && SMSTaskbarNotifier::Existing()->Popup()->isVisible());
    SMSTaskbarNotifier::Existing()->Popup()->findChild<QPushButton*>(QStringLiteral("ViewButton"))->click();
    QVERIFY(!SMSTaskbarNotifier::Existing()->Popup());
    QCOMPARE(m_window->SelectedNode(), int(NODE_SIM_INBOX));
    QCOMPARE(m_window->Table(NODE_SIM_INBOX)->currentRow(), 0);
    cleanup();   // the window must go before the notification service it holds
}

void TestMainWindow::soundAlertFollowsItsSetting_data()
{
    QTest::addColumn<QString>("soundAlert");
    QTest::addColumn<bool>("tried");
    QTest::newRow("on") << "1" << true;
    QTest::newRow("off") << "0" << false;
}

// A new message plays the alert sound only with the setting on; a sound file that is gone is
// named in the log instead of played (and nothing else happens).
void TestMainWindow::soundAlertFollowsItsSetting()
{
    QFETCH(QString, soundAlert);
    QFETCH(bool, tried);
    const QString file = QStringLiteral("/nonexistent/alert.wav");
    CommonUtils::SetSettings(QStringLiteral("SMSSERVICE"), QStringLiteral("SoundAlert"), soundAlert);
    CommonUtils::SetSettings(QStringLiteral("SMSSERVICE"), QStringLiteral("SoundAlertFile"), file);
    auto restore = qScopeGuard([] {
        CommonUtils::SetSettings(QStringLiteral("SMSSERVICE"), QStringLiteral("SoundAlert"), QString());
        CommonUtils::SetSettings(QStringLiteral("SMSSERVICE"), QStringLiteral("SoundAlertFile"), QString());
    });
    build(kFullConfig);
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtWarningMsg && text.startsWith(QLatin1String("VlSound")))
            warnings << text;
    });
    auto restoreHandler = qScopeGuard([previous] { qInstallMessageHandler(previous); });
    m_window->ShowNewMessageDialog(QStringLiteral("text"), QStringLiteral("+4915550001"), QStringLiteral("20240101120000"), NODE_LOCAL_INBOX, 1);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    QCOMPARE(warnings.size(), tried ? 1 : 0);
    if (tried)
        QVERIFY2(warnings.first().contains(file), qPrintable(warnings.first()));
}

void TestMainWindow::memoryFullOnADualModeCard()
{
    ZsdkSim::SetMultiModeCard(true);
    CommonUtils::SetSettings(QStringLiteral("DualModeCard"), QStringLiteral("HideDoubleModeCardNode"), QStringLiteral("true"));
    auto restore = qScopeGuard([] {
        ZsdkSim::SetMultiModeCard(false);
        CommonUtils::SetSettings(QStringLiteral("DualModeCard"), QStringLiteral("HideDoubleModeCardNode"), QString());
    });
    build(kFullConfig);
    // The PC's storage is not the card: its own text, even on a dual-mode card.
    m_window->createMemoryFullPopUp(6, false);
    QVERIFY(m_window->MemoryFullPopup());
    QCOMPARE(m_window->MemoryFullText(), QStringLiteral("The message storage on this computer is full."));
    m_window->onClickCloseMemoryFullDialog();
    // The card of such a product is full: a question instead of the popup.
    m_window->createMemoryFullPopUp(4, true);
    QVERIFY(!m_window->MemoryFullPopup());
}

void TestMainWindow::memoryFullReportedBeforeTheDeviceIsReady_data()
{
    QTest::addColumn<bool>("multiMode");
    QTest::addColumn<int>("kind");        // 6 the PC, 4 the card
    QTest::addColumn<QString>("popup");   // the popup's text once the device is ready; empty: no popup
    const QString pc = QStringLiteral("The message storage on this computer is full.");
    QTest::newRow("the PC, a plain card") << false << 6 << pc;
    QTest::newRow("the PC, a dual-mode card shown as one") << true << 6 << pc;
    QTest::newRow("a plain card") << false << 4 << "The SIM card memory is full. Delete messages to receive new ones.";
    // Such a card's memory is asked about instead (the question comes a moment later).
    QTest::newRow("a dual-mode card shown as one") << true << 4 << QString();
}

// A memory that was full before the host said its device is ready is told once it is, as it
// would have been told at once.
void TestMainWindow::memoryFullReportedBeforeTheDeviceIsReady()
{
    QFETCH(bool, multiMode);
    QFETCH(int, kind);
    QFETCH(QString, popup);
    ZsdkSim::SetMultiModeCard(multiMode);
    CommonUtils::SetSettings(QStringLiteral("DualModeCard"), QStringLiteral("HideDoubleModeCardNode"), QStringLiteral("true"));
    auto restore = qScopeGuard([] {
        ZsdkSim::SetMultiModeCard(false);
        CommonUtils::SetSettings(QStringLiteral("DualModeCard"), QStringLiteral("HideDoubleModeCardNode"), QString());
    });
    build(kFullConfig);
    m_window->SetMemoryFullPopupAllowed(false);
    m_window->onSmsStatusChanged(kind);
    QVERIFY(!m_window->MemoryFullPopup());
    m_window->SetMemoryFullPopupAllowed(true);
    QCOMPARE(m_window->MemoryFullPopup() != nullptr, !popup.isEmpty());
    if (!popup.isEmpty()) {
        QCOMPARE(m_window->MemoryFullText(), popup);
        m_window->onClickCloseMemoryFullDialog();
    }
    // Told once: allowing again shows nothing more.
    m_window->SetMemoryFullPopupAllowed(true);
    QVERIFY(!m_window->MemoryFullPopup());
}

void TestMainWindow::memoryFullTextAfterALanguageChange_data()
{
    QTest::addColumn<bool>("multiMode");
    QTest::addColumn<bool>("hideSecondBranch");
    QTest::addColumn<QString>("announced");   // the card announced again as: "dual", "plain", "unknown"
    QTest::addColumn<QString>("german");
    const QString pc = QStringLiteral("Der Nachrichtenspeicher auf diesem Computer ist voll.");
    const QString card = QStringLiteral("Der Kartenspeicher ist voll. Neue Nachrichten k\u00f6nnen erst nach dem L\u00f6schen empfangen werden.");
    QTest::newRow("a plain card") << false << false << QString() << pc;
    QTest::newRow("a plain card, the switch on") << false << true << QString() << pc;
    QTest::newRow("a dual-mode card showing both branches") << true << false << QString() << pc;
    // A card shown as one: the language change names the card's memory as a whole.
    QTest::newRow("a dual-mode card shown as one") << true << true << QString() << card;
    // The card is announced again while it stays usable: what the device says of it then holds.
    QTest::newRow("announced again as dual-mode") << false << true << "dual" << card;
    QTest::newRow("announced again as plain") << true << true << "plain" << pc;
    QTest::newRow("announced again, the device cannot say") << true << true << "unknown" << pc;
}

// The PC's warning is built with its own text on every card; a language change writes it again,
// and on a dual-mode card shown as one it then writes the card's text.
void TestMainWindow::memoryFullTextAfterALanguageChange()
{
    QFETCH(bool, multiMode);
    QFETCH(bool, hideSecondBranch);
    ZsdkSim::SetMultiModeCard(multiMode);
    CommonUtils::SetSettings(QStringLiteral("DualModeCard"), QStringLiteral("HideDoubleModeCardNode"),
                             hideSecondBranch ? QStringLiteral("true") : QString());
    auto restore = qScopeGuard([] {
        ZsdkSim::SetMultiModeCard(false);
        CommonUtils::SetSettings(QStringLiteral("DualModeCard"), QStringLiteral("HideDoubleModeCardNode"), QString());
    });
    build(kFullConfig);
    QFETCH(QString, announced);
    if (!announced.isEmpty()) {
        ZsdkSim::SetMultiModeCard(announced == QLatin1String("dual"));
        ZsdkSim::FailMultiModeQuery(announced == QLatin1String("unknown"));
        m_window->OnSimStatusChanged(true);
        ZsdkSim::FailMultiModeQuery(false);
    }
    m_window->onSmsStatusChanged(6);
    QVERIFY(m_window->MemoryFullPopup());
    QCOMPARE(m_window->MemoryFullText(), QStringLiteral("The message storage on this computer is full."));
    QVERIFY(Change::LoadLanguage(QStringLiteral("de")));
    m_window->SetLanguage(false);
    QTEST(m_window->MemoryFullText(), "german");
    m_window->onClickCloseMemoryFullDialog();
}

// Before any editor was opened, the language change tells the titles no editor mode.
void TestMainWindow::languageChangeBeforeAnyEditor()
{
    build(kFullConfig);
    QSignalSpy title(m_window, &SMSUIMainDlg::changeLanguageForTitle);
    QVERIFY(Change::LoadLanguage(QStringLiteral("de")));
    m_window->SetLanguage(false);
    QCOMPARE(title.count(), 1);
    QCOMPARE(title.at(0).at(0).toInt(), 0);
}

void TestMainWindow::splitterSharesTheWidth_data()
{
    QTest::addColumn<int>("width");
    QTest::newRow("the page as built") << 900;
    QTest::newRow("a wider page") << 980;
    QTest::newRow("a full-screen page") << 1600;
}

void TestMainWindow::splitterSharesTheWidth()
{
    QFETCH(int, width);
    build(kFullConfig);
    // The tree and the right side share the page as 130 to 500 whatever its width; the tree is
    // not pinned to its first width, so folder names with counts are not cut.
    m_window->resize(width, 600);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QCoreApplication::processEvents();
    auto* splitter = m_window->findChild<QSplitter*>(QStringLiteral("SMSUIPlugin_SplitterMain"));
    QVERIFY(splitter);
    const QList<int> sizes = splitter->sizes();
    QCOMPARE(sizes.size(), 2);
    const int tree = m_window->TreeWidget()->width();
    QCOMPARE(sizes.at(0), tree);
    const int shared = sizes.at(0) + sizes.at(1);
    QVERIFY2(qAbs(tree * 630 - shared * 130) <= 630 * 2,
             qPrintable(QStringLiteral("tree %1 of %2").arg(tree).arg(shared)));
    QVERIFY2(width < 980 || tree > 170, qPrintable(QString::number(tree)));
    m_window->hide();
}

void TestMainWindow::rowsAreSixteenPixelsHigh_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << "en";
    QTest::newRow("Arabic") << "ar";
}

// Every message row is 16 px high, whatever the font and however the row came into its table:
// the first fill, a table filled when first shown, a card's table, an arrival, a search.
void TestMainWindow::rowsAreSixteenPixelsHigh()
{
    QFETCH(QString, language);
    QVERIFY(Change::LoadLanguage(language));
    TestSupport::storeMessage(NODE_LOCAL_INBOX, QStringLiteral("0301234567"), QStringLiteral("\u00c4gypten, Gr\u00fc\u00dfe"));
    TestSupport::storeMessage(NODE_LOCAL_DRAFT, QStringLiteral("0307654321"), QStringLiteral("a draft"));
    build(kFullConfig);
    m_window->SetLanguage(false);
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    auto heights = [](QTableWidget* table) {
        QList<int> h;
        for (int row = 0; row < table->rowCount(); ++row)
            h << table->rowHeight(row);
        return h;
    };
    auto sixteen = [](int rows) { return QVector<int>(rows, 16).toList(); };
    ZsdkSim::Incoming in;
    in.number = QStringLiteral("+4915550001");
    in.text = QStringLiteral("just arrived");
    ZsdkSim::InjectMessage(in);
    SMSUITableWidget* inbox = m_window->Table(NODE_LOCAL_INBOX);
    QTRY_COMPARE(inbox->rowCount(), 2);
    for (int node : {int(NODE_LOCAL_INBOX), int(NODE_LOCAL_DRAFT), int(NODE_LOCAL_ROOT), int(NODE_SIM_INBOX)}) {
        SMSUITableWidget* table = m_window->Table(node);
        QVERIFY2(table && table->rowCount() > 0, qPrintable(QString::number(node)));
        QCOMPARE(heights(table), sixteen(table->rowCount()));
    }
    auto* search = m_window->findChild<SearchLineEdit*>(QStringLiteral("SMSUIPlugin_SearchLineEdit"));
    QVERIFY(search);
    for (const QString& text : {QStringLiteral("gr"), QString()}) {
        search->setText(text);
        emit search->textEdited(text);
        QCOMPARE(heights(inbox), sixteen(inbox->rowCount()));
    }
    m_window->hide();
}

// A CDMA network carries a message's priority; the preview names it there, unless the message
// has none or a dual-mode card is shown as one, and never on another network.
void TestMainWindow::previewNamesThePriorityOnACdmaModem_data()
{
    QTest::addColumn<int>("product");
    QTest::addColumn<int>("priority");
    QTest::addColumn<bool>("dual");        // a dual-mode card
    QTest::addColumn<bool>("asOne");       // dual-mode cards are shown as one
    QTest::addColumn<QString>("line");   // empty: no priority line
    QTest::newRow("CDMA, urgent") << 1 << 2 << false << true << "Priority: Urgent";
    QTest::newRow("CDMA, emergency") << 1 << 3 << false << false << "Priority: Emergency";
    QTest::newRow("CDMA, normal") << 1 << 0 << false << false << "Priority: Normal";
    QTest::newRow("CDMA, none") << 1 << 4 << false << false << "";
    QTest::newRow("CDMA, a dual-mode card shown as two") << 1 << 2 << true << false << "Priority: Urgent";
    QTest::newRow("CDMA, a dual-mode card shown as one") << 1 << 2 << true << true << "";
    QTest::newRow("GSM, urgent") << 0 << 2 << false << false << "";
}

void TestMainWindow::previewNamesThePriorityOnACdmaModem()
{
    QFETCH(int, product);
    QFETCH(int, priority);
    QFETCH(bool, dual);
    QFETCH(bool, asOne);
    QFETCH(QString, line);
    TestSupport::storeMessage(NODE_LOCAL_INBOX, QStringLiteral("4400301"), QStringLiteral("with a priority"), 1,
                              QStringLiteral("20261201120000"), 0, priority);
    ZsdkSim::SetProductType(product);
    ZsdkSim::SetMultiModeCard(dual);
    if (asOne)
        CommonUtils::SetSettings(QStringLiteral("DualModeCard"), QStringLiteral("HideDoubleModeCardNode"), QStringLiteral("true"));
    auto restore = qScopeGuard([] {
        ZsdkSim::SetProductType(0);
        ZsdkSim::SetMultiModeCard(false);
        CommonUtils::SetSettings(QStringLiteral("DualModeCard"), QStringLiteral("HideDoubleModeCardNode"), QString());
    });
    build(kFullConfig);
    m_window->TreeWidget()->setCurrentItem(m_window->TreeItem(NODE_LOCAL_INBOX));
    SMSUITableWidget* inbox = m_window->Table(NODE_LOCAL_INBOX);
    QCOMPARE(inbox->rowCount(), 1);
    inbox->selectRow(0);
    m_window->onClickTableRow(0);
    auto* preview = m_window->findChild<QTextBrowser*>(QStringLiteral("SMSUIPlugin_TextPreview"));
    QVERIFY(preview);
    const QString shown = preview->toPlainText();
    QVERIFY2(shown.contains(QStringLiteral("with a priority")), qPrintable(shown));
    if (line.isEmpty())
        QVERIFY2(!shown.contains(QStringLiteral("Priority")), qPrintable(shown));
    else
        QVERIFY2(shown.contains(line), qPrintable(shown));
}

void TestMainWindow::viewOpensTheFolderOfTheLastArrival_data()
{
    QTest::addColumn<int>("arrivedIn");
    QTest::addColumn<int>("shown");
    QTest::addColumn<bool>("cardGone");   // the card was taken out after the message came
    QTest::newRow("a message on the PC") << int(NODE_LOCAL_INBOX) << int(NODE_LOCAL_INBOX) << false;
    QTest::newRow("a message on the card") << int(NODE_SIM_INBOX) << int(NODE_SIM_INBOX) << false;
    QTest::newRow("a message on a card that is gone") << int(NODE_SIM_INBOX) << int(NODE_LOCAL_INBOX) << true;
    QTest::newRow("a delivery report") << int(NODE_LOCAL_REPORT) << int(NODE_LOCAL_REPORT) << false;
    QTest::newRow("a cell broadcast") << int(NODE_LOCAL_CBS) << int(NODE_LOCAL_CBS) << false;
    QTest::newRow("an unknown folder") << int(NODE_LOCAL_DRAFT) << int(NODE_LOCAL_INBOX) << false;
}

void TestMainWindow::viewOpensTheFolderOfTheLastArrival()
{
    QFETCH(int, arrivedIn);
    QFETCH(int, shown);
    CommonUtils::SetSettings(QStringLiteral("CBS"), QStringLiteral("enable"), QStringLiteral("true"));
    auto restore = qScopeGuard([] { CommonUtils::SetSettings(QStringLiteral("CBS"), QStringLiteral("enable"), QString()); });
    build(kFullConfig);
    QVERIFY(m_window->TreeItem(NODE_LOCAL_CBS));
    m_window->TreeWidget()->setCurrentItem(m_window->TreeItem(NODE_LOCAL_FAVORITE));
    m_window->ShowNewMessageDialog(QStringLiteral("text"), QStringLiteral("+4915550001"), QStringLiteral("20240101120000"), arrivedIn, 1);
    QFETCH(bool, cardGone);
    auto card = qScopeGuard([] { ZsdkSim::SetSimPresent(true); });
    if (cardGone) {
        m_window->SimReader()->SetPollInterval(100);
        ZsdkSim::SetSimPresent(false);
        QTRY_VERIFY(m_window->TreeItem(NODE_SIM_ROOT)->isHidden());
        m_window->TreeWidget()->setCurrentItem(m_window->TreeItem(NODE_LOCAL_FAVORITE));
    }
    m_window->ViewSmsInbox();
    QCOMPARE(m_window->SelectedNode(), shown);
    QCOMPARE(m_window->TreeWidget()->selectedItems(), QList<QTreeWidgetItem*>() << m_window->TreeItem(shown));
    if (cardGone) {
        // Chosen from the desktop's notification instead: the same.
        m_window->TreeWidget()->setCurrentItem(m_window->TreeItem(NODE_LOCAL_FAVORITE));
        m_window->OpenMessage(arrivedIn, 1);
        QCOMPARE(m_window->SelectedNode(), shown);
        QCOMPARE(m_window->TreeWidget()->currentItem(), m_window->TreeItem(shown));
    }
}

// View in the new-message popup while messages are being moved: it leaves the page alone while
// the move takes from or puts into an inbox, whose table is changing under it; a move between
// other folders does not stop it.
void TestMainWindow::viewWaitsForAMoveOnAnInbox_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<bool>("opens");
    QTest::newRow("the PC's inbox to the card") << int(NODE_LOCAL_INBOX) << QStringLiteral("IDS_TREE_SIM") << false;
    QTest::newRow("the PC's inbox to the device") << int(NODE_LOCAL_INBOX) << QStringLiteral("IDS_TREE_DEVICE") << false;
    QTest::newRow("the card's inbox to the PC") << int(NODE_SIM_INBOX) << QStringLiteral("IDS_TREE_LOCAL") << false;
    QTest::newRow("sent items to the card") << int(NODE_LOCAL_SENT) << QStringLiteral("IDS_TREE_SIM") << true;
}

void TestMainWindow::viewWaitsForAMoveOnAnInbox()
{
    QFETCH(int, from);
    QFETCH(QString, to);
    QFETCH(bool, opens);
    // Sent messages are stored in the outbox, marked sent; the Sent Items folder shows them.
    const int storedIn = from == NODE_LOCAL_SENT ? int(NODE_LOCAL_OUTBOX) : from;
    for (int i = 0; i < 2; ++i)
        TestSupport::storeMessage(storedIn, QStringLiteral("440010%1").arg(i), QStringLiteral("moved %1").arg(i));
    build(kFullConfig);
    m_window->TreeWidget()->setCurrentItem(m_window->TreeItem(from));
    QCOMPARE(m_window->SelectedNode(), from);
    SMSUITableWidget* source = m_window->Table(from);
    QVERIFY(source && source->rowCount() >= 2);
    source->selectRow(0);
    m_window->onClickTableRow(0);
    // The worker is held after its first message until View has been chosen.
    QSemaphore reached, go;
    const QMetaObject::Connection hold = connect(m_window->Worker(), &SMSThreadUI::moveOrCopyEvent, m_window->Worker(),
                                                 [&](bool, int) { reached.release(); go.acquire(); }, Qt::DirectConnection);
    auto release = qScopeGuard([&] { QObject::disconnect(hold); go.release(10); m_window->Worker()->wait(5000); });
    QSignalSpy finished(m_window->Worker(), SIGNAL(finished()));
    m_window->StartMoveCopy(false, false, to);
    QVERIFY(reached.tryAcquire(1, 5000));
    QVERIFY(m_window->IsWorkerRunning());
    m_window->ShowNewMessageDialog(QStringLiteral("a report"), QStringLiteral("+4915550001"), QStringLiteral("20240101120000"), NODE_LOCAL_REPORT, 1);
    m_window->ViewSmsInbox();
    const int shown = opens ? int(NODE_LOCAL_REPORT) : from;
    QCOMPARE(m_window->SelectedNode(), shown);
    QCOMPARE(m_window->TreeWidget()->currentItem(), m_window->TreeItem(shown));
    QObject::disconnect(hold);
    go.release(10);
    QVERIFY(finished.count() == 1 || finished.wait(5000));
    ZsdkSim::WaitForEvents();
    QCoreApplication::processEvents();
}

// Every menu entry's resource id, with the submenus named by the id of their entry.
static QList<QPair<QString, QAction*>> menuEntries(QMenu* menu)
{
    static const QHash<QString, QString> submenuIds{{QStringLiteral("Move to"), QStringLiteral("IDS_MENU_MOVE2")},
                                                    {QStringLiteral("Copy to"), QStringLiteral("IDS_MENU_COPY2")},
                                                    {QStringLiteral("Move All to"), QStringLiteral("IDS_MENU_MOVEAll2")},
                                                    {QStringLiteral("Copy All to"), QStringLiteral("IDS_MENU_COPYAll2")}};
    QList<QPair<QString, QAction*>> out;
    for (QAction* a : menu->actions()) {
        if (a->isSeparator())
            continue;
        if (a->menu()) {
            out << qMakePair(submenuIds.value(a->menu()->objectName()), a);
            out += menuEntries(a->menu());
        } else {
            out << qMakePair(a->objectName(), a);
        }
    }
    return out;
}

void TestMainWindow::languageSwitchRetranslatesMenuAndPopup_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("to German") << "de";
    QTest::newRow("to Arabic") << "ar";
}

void TestMainWindow::languageSwitchRetranslatesMenuAndPopup()
{
    QFETCH(QString, language);
    build(kFullConfig);
    SMSTaskbarNotifier::Instance()->Show(QStringLiteral("+4915550001"));
    auto release = qScopeGuard([] { SMSTaskbarNotifier::Release(); });
    QVERIFY(Change::LoadLanguage(language));
    m_window->SetLanguage(false);
    const QString group = QStringLiteral("SMSUIPlugin");
    const QList<QPair<QString, QAction*>> entries = menuEntries(m_window->ContextMenu());
    QVERIFY(entries.size() > 20);
    for (const auto& entry : entries) {
        const QString& id = entry.first;
        QVERIFY2(!id.isEmpty(), qPrintable(entry.second->text()));
        QString text;
        QKeySequence key;
        const bool hasKey = Change::tr(id, group, text, key);
        if (id == QLatin1String("IDS_TREE_SIM"))
            text = m_window->SimRootLabel();
        QVERIFY2(entry.second->text() == text, qPrintable(id + QLatin1String(": ") + entry.second->text()));
        if (id == QLatin1String("IDS_MENU_DELETE"))
            QCOMPARE(entry.second->shortcut(), QKeySequence(Qt::Key_Delete));
        else if (hasKey)
            QVERIFY2(entry.second->shortcut() == key, qPrintable(id + QLatin1String(": ") + entry.second->shortcut().toString()));
    }
    // The popup that was open during the switch speaks the new language too.
    QDialog* popup = SMSTaskbarNotifier::Existing()->Popup();
    QVERIFY(popup);
    QCOMPARE(popup->findChild<QPushButton*>(QStringLiteral("ViewButton"))->text(), Change::tr(QStringLiteral("IDS_BTN_VIEW"), group));
    QCOMPARE(popup->findChild<QPushButton*>(QStringLiteral("CancelButton"))->text(), Change::tr(QStringLiteral("IDS_BTN_CANCEL"), group));
    QCOMPARE(popup->windowTitle(), Change::tr(QStringLiteral("IDS_PROMPT_CAPTION"), group));
    QCOMPARE(SMSTaskbarNotifier::Existing()->Text(), QStringLiteral("+4915550001"));
}

void TestMainWindow::languageSwitchKeepsTheSelection_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QList<int>>("rows");
    QTest::newRow("one message, German") << "de" << QList<int>{1};
    QTest::newRow("two messages, Arabic") << "ar" << QList<int>{0, 2};
}

// The tables are rebuilt in the new language; the messages the user had selected stay selected,
// and the tool bar and preview still speak of them.
// A folder's table first needed after the language changed speaks the new language and shows its
// messages, like the tables that were on screen at the switch.
void TestMainWindow::tableFirstNeededAfterALanguageSwitch()
{
    TestSupport::storeMessage(NODE_LOCAL_DRAFT, QStringLiteral("+491710000001"), QStringLiteral("drafted before"), 0);
    TestSupport::storeMessage(NODE_LOCAL_INBOX, QStringLiteral("+491710000002"), QStringLiteral("received before"), 1);
    build(kFullConfig, false);
    auto restore = qScopeGuard([this] {
        Change::LoadLanguage(QStringLiteral("en"));
        m_window->SetLanguage(false);
    });
    const QString englishContent = m_window->Table(NODE_LOCAL_INBOX)->horizontalHeaderItem(1)->text();
    QVERIFY(Change::LoadLanguage(QStringLiteral("de")));
    m_window->SetLanguage(false);
    SMSUITableWidget* inbox = m_window->Table(NODE_LOCAL_INBOX);
    QVERIFY(inbox->horizontalHeaderItem(1)->text() != englishContent);
    for (int node : {NODE_LOCAL_DRAFT, NODE_LOCAL_ROOT}) {
        SMSUITableWidget* table = m_window->Table(node);
        QVERIFY(table);
        for (int c = 0; c < 3; ++c)
            QCOMPARE(table->horizontalHeaderItem(c)->text(), inbox->horizontalHeaderItem(c)->text());
    }
    QCOMPARE(columnTexts(m_window->Table(NODE_LOCAL_DRAFT), 1), QStringList{QStringLiteral("drafted before")});
    QCOMPARE(columnTexts(m_window->Table(NODE_LOCAL_ROOT), 1).size(), 2);
}

void TestMainWindow::languageSwitchKeepsTheSelection()
{
    QFETCH(QString, language);
    QFETCH(QList<int>, rows);
    for (int i = 0; i < 3; ++i)
        TestSupport::storeMessage(NODE_LOCAL_INBOX, QStringLiteral("+4917100000%1").arg(i), QStringLiteral("message %1").arg(i), 0,
                                  QStringLiteral("2026120%1120000").arg(i + 1));
    build(kFullConfig, false);
    auto restore = qScopeGuard([this] {
        Change::LoadLanguage(QStringLiteral("en"));
        m_window->SetLanguage(false);
    });
    SMSUITableWidget* inbox = m_window->Table(NODE_LOCAL_INBOX);
    QCOMPARE(inbox->rowCount(), 3);
    QSet<int> chosen;
    for (int row : rows) {
        inbox->setRangeSelected(QTableWidgetSelectionRange(row, 0, row, 2), true);
        chosen << UITableItem::RecordOf(inbox->item(row, 0))->iMsgId;
    }
    const QString firstContent = UITableItem::RecordOf(inbox->selectedItems().first())->strContent;
    m_window->onClickTableRow(rows.first());
    auto* deleteTool = m_window->findChild<QAbstractButton*>(QStringLiteral("SMSUIPlugin_ToolButton9001"));
    auto* preview = m_window->findChild<QTextBrowser*>(QStringLiteral("SMSUIPlugin_TextPreview"));
    QVERIFY(deleteTool && deleteTool->isEnabled());
    QCOMPARE(preview->toPlainText().contains(firstContent), rows.size() == 1);
    QVERIFY(Change::LoadLanguage(language));
    m_window->SetLanguage(false);
    QCOMPARE(m_window->CurrentTable(), static_cast<QWidget*>(m_window->Table(NODE_LOCAL_INBOX)));
    inbox = m_window->Table(NODE_LOCAL_INBOX);
    QSet<int> selected;
    for (QTableWidgetItem* item : inbox->selectedItems())
        selected << UITableItem::RecordOf(item)->iMsgId;
    QCOMPARE(selected, chosen);
    QCOMPARE(inbox->selectedItems().size(), 3 * rows.size());
    // Every row is written again for the new direction: in a right-to-left language a number's
    // plus sign is held at its start by a left-to-right mark, in any other it is left alone.
    const bool rtl = Change::IsRightToLeft();
    for (int row = 0; row < inbox->rowCount(); ++row) {
        const QString name = inbox->item(row, 0)->text();
        QVERIFY2(name.startsWith(QChar(0x200E)) == rtl && name.endsWith(UITableItem::RecordOf(inbox->item(row, 0))->strNumber),
                 qPrintable(name));
    }
    QVERIFY(deleteTool->isEnabled());   // Delete acts on them
    QCOMPARE(m_window->IsReplyEnabled(), rows.size() == 1);
    QCOMPARE(preview->toPlainText().contains(firstContent), rows.size() == 1);
}

void TestMainWindow::moveAfterALanguageSwitch_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("folder");
    QTest::newRow("German, to the device") << "de" << "IDS_TREE_DEVICE" << int(NODE_DEVICE_INBOX);
    QTest::newRow("German, to the card") << "de" << "IDS_TREE_SIM" << int(NODE_SIM_INBOX);
    QTest::newRow("Arabic, to the device") << "ar" << "IDS_TREE_DEVICE" << int(NODE_DEVICE_INBOX);
}

void TestMainWindow::moveAfterALanguageSwitch()
{
    QFETCH(QString, language);
    QFETCH(QString, target);
    QFETCH(int, folder);
    TestSupport::storeMessage(NODE_LOCAL_INBOX, QStringLiteral("1234560"), QStringLiteral("going places"));
    build(kFullConfig, false);
    QVERIFY(Change::LoadLanguage(language));
    m_window->SetLanguage(false);
    SMSUITableWidget* inbox = m_window->Table(NODE_LOCAL_INBOX);
    inbox->setFocus();
    // selectRow() picks the row's cell at the viewport's far edge, which a right-to-left table
    // narrower than its viewport does not have.
    inbox->setRangeSelected(QTableWidgetSelectionRange(0, 0, 0, 2), true);
    QStringList questions;
    CommonUtils::SetMessageResponder([&](const MessageRequest& r) {
        questions << r.text;
        return int(QMessageBox::Ok);
    });
    auto restore = qScopeGuard([] { CommonUtils::SetMessageResponder([](const MessageRequest&) { return int(QMessageBox::Ok); }); });
    QSignalSpy finished(m_window->Worker(), SIGNAL(finished()));
    QVERIFY(m_window->PrepareContextMenu(inbox->visualItemRect(inbox->item(0, 0)).center()));
    QAction* action = targetIn(m_window->ContextMenu(), QStringLiteral("Move to"), target);
    QVERIFY(action && action->isEnabled());
    action->trigger();
    const QString name = target == QLatin1String("IDS_TREE_SIM") ? m_window->SimRootLabel() : m_window->Translate(target);
    QCOMPARE(questions, QStringList{m_window->Translate(QStringLiteral("IDS_STR_MOVE2")).replace(QLatin1String("%s"), name)});
    QVERIFY(finished.wait(5000));
    QTRY_COMPARE(m_window->Table(folder)->rowCount(), 1);
    QCOMPARE(inbox->rowCount(), 0);
}

void TestMainWindow::moveIntoAFullMemory_data()
{
    QTest::addColumn<int>("source");
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("messages");
    QTest::addColumn<int>("room");        // free places left in the target's memory
    QTest::addColumn<QString>("label");   // "full": the memory-full text naming the card
    QTest::addColumn<int>("moved");
    QTest::newRow("one message to a full card") << int(NODE_LOCAL_INBOX) << "IDS_TREE_SIM" << 1 << 0 << "full" << 0;
    QTest::newRow("two messages to a full card") << int(NODE_LOCAL_INBOX) << "IDS_TREE_SIM" << 2 << 0 << "full" << 0;
    QTest::newRow("a PC with room for one of two") << int(NODE_SIM_INBOX) << "IDS_TREE_LOCAL" << 2 << 1
                                                   << "IDS_STR_SOME_FAILED" << 1;
}

void TestMainWindow::moveIntoAFullMemory()
{
    QFETCH(int, source);
    QFETCH(QString, target);
    QFETCH(int, messages);
    QFETCH(int, room);
    QFETCH(QString, label);
    QFETCH(int, moved);
    for (int i = 0; i < messages; ++i)
        TestSupport::storeMessage(source, QStringLiteral("12345%1").arg(i), QStringLiteral("message %1").arg(i));
    const bool toCard = target == QLatin1String("IDS_TREE_SIM");
    if (toCard) {
        ZsdkSim::FillMemory(MEM_SIM);
    } else {
        int32_t capacity = 0, used = 0;
        QCOMPARE(ZSDK_SMSSrv_GetRecordInfo(&capacity, &used, MEM_PC), 0);
        ZsdkSim::SetCapacity(MEM_PC, used + room);
    }
    auto restore = qScopeGuard([] { ZsdkSim::SetCapacity(MEM_PC, 1000000); });
    build(kFullConfig, false);
    m_window->onClickSMSTreeNode(m_window->TreeItem(source), 0);
    SMSUITableWidget* table = m_window->Table(source);
    QCOMPARE(table->rowCount(), messages);
    table->setFocus();
    table->selectAll();
    QSignalSpy finished(m_window->Worker(), SIGNAL(finished()));
    QVERIFY(m_window->PrepareContextMenu(table->visualItemRect(table->item(0, 0)).center()));
    QAction* action = targetIn(m_window->ContextMenu(), QStringLiteral("Move to"), target);
    QVERIFY(action && action->isEnabled());
    action->trigger();
    QVERIFY(finished.wait(5000));
    ZsdkSim::WaitForEvents();
    QCoreApplication::processEvents();
    SMSWaitingDlg* progress = SMSWaitingDlg::Existing();
    const QString expected = label == QLatin1String("full")
        ? m_window->Translate(QStringLiteral("IDS_STR_MEMORY_IS_FULL")).replace(QLatin1String("%s"), m_window->SimRootLabel())
        : m_window->Translate(label);
    // The outcome stays readable until the window closes by itself.
    QVERIFY(progress->Dialog() && progress->Dialog()->isVisible());
    QCOMPARE(progress->LabelText(), expected);
    QTRY_VERIFY_WITH_TIMEOUT(!progress->Dialog() || !progress->Dialog()->isVisible(), 5000);
    int32_t capacity = 0, left = 0;
    QCOMPARE(ZSDK_SMSSrv_GetRecordInfo(&capacity, &left, SMSStatusUILogic::GetMemPosition(source)), 0);
    QCOMPARE(int(left), messages - moved);
}

// The worker reports each dropped copy as it goes; the device then fails to commit the batch
// (its disk is full). The tables must show where the messages really are, and the job must be
// named a failure.
void TestMainWindow::batchTheDeviceCouldNotStore()
{
    const QString big(100000, QChar(0x0416));
    for (int i = 0; i < 2; ++i)
        QVERIFY(TestSupport::storeMessage(NODE_LOCAL_INBOX, QStringLiteral("765432%1").arg(i), big, 1,
                                          QStringLiteral("2026120%1100000").arg(i + 1)) >= 0);
    build(kFullConfig, false);
    QSignalSpy finished(m_window->Worker(), SIGNAL(finished()));
    m_window->TreeWidget()->setCurrentItem(m_window->TreeItem(NODE_LOCAL_INBOX));
    SMSUITableWidget* inbox = m_window->Table(NODE_LOCAL_INBOX);
    SMSUITableWidget* favorites = m_window->Table(NODE_LOCAL_FAVORITE);
    QCOMPARE(inbox->rowCount(), 2);
    QCOMPARE(favorites->rowCount(), 0);
    const QPoint pressed = pressToDragFirstRow(inbox);
    QVERIFY(m_window->DragOver(NODE_LOCAL_FAVORITE));
    ZsdkSim::LimitStoreGrowth(2);
    auto restore = qScopeGuard([] { ZsdkSim::LimitStoreGrowth(0); });
    dropOnFolder(NODE_LOCAL_FAVORITE, true);
    if (QTest::currentTestFailed())
        return;
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 5000);
    ZsdkSim::WaitForEvents();
    QCoreApplication::processEvents();
    SMSWaitingDlg* progress = SMSWaitingDlg::Existing();
    QVERIFY(progress);
    QCOMPARE(progress->LabelText(), m_window->Translate(QStringLiteral("IDS_STR_ALL_FAILED")));
    QCOMPARE(favorites->rowCount(), 0);
    QCOMPARE(inbox->rowCount(), 2);
    QCOMPARE(m_window->Table(NODE_LOCAL_ROOT)->rowCount(), 2);
    int32_t count = -1;
    QCOMPARE(ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&count, MEM_PC), 0);
    QCOMPARE(count, 2);
    QTest::mouseRelease(inbox->viewport(), Qt::LeftButton, Qt::NoModifier, pressed);
}

void TestMainWindow::fullCheckCoversCardMemoriesOnly_data()
{
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("mem");
    QTest::addColumn<bool>("full");
    QTest::newRow("the card's inbox") << int(NODE_SIM_INBOX) << int(MEM_SIM) << true;
    QTest::newRow("the card as a whole") << int(NODE_SIM_ROOT) << int(MEM_SIM) << true;
    QTest::newRow("the device's outbox") << int(NODE_DEVICE_OUTBOX) << int(MEM_DEVICE) << true;
    QTest::newRow("the PC's inbox") << int(NODE_LOCAL_INBOX) << int(MEM_PC) << false;
    QTest::newRow("the PC's sent items") << int(NODE_LOCAL_SENT) << int(MEM_PC) << false;
}

void TestMainWindow::fullCheckCoversCardMemoriesOnly()
{
    QFETCH(int, target);
    QFETCH(int, mem);
    TestSupport::storeMessage(mem == MEM_PC ? NODE_LOCAL_INBOX : mem == MEM_SIM ? NODE_SIM_INBOX : NODE_DEVICE_INBOX,
                              QStringLiteral("1234560"), QStringLiteral("the only place"));
    ZsdkSim::SetCapacity(mem, 1);
    auto restore = qScopeGuard([] {
        ZsdkSim::SetCapacity(MEM_PC, 1000000);
        ZsdkSim::SetCapacity(MEM_SIM, 50);
        ZsdkSim::SetCapacity(MEM_DEVICE, 100);
    });
    build(kFullConfig, false);
    m_window->Worker()->setWork(SMSThreadUI::WorkMove, {}, MEM_SIM, target, NODE_SIM_INBOX);
    bool full = false;
    m_window->checkMemoryStatus(full);
    QTEST(full, "full");
}

// A click on the host's new-message notice shows the SMS page and does what the popup's own
// open action does: it selects a folder with unread messages and reads nothing on its own.
namespace {
class FakeLayout : public QObject, public ILayoutPlugin
{
    Q_OBJECT
    Q_INTERFACES(ILayoutPlugin)
public:
    bool ShowPage(const QString& name) override { shown << name; return true; }
    QStringList shown;
};
}

void TestMainWindow::showPageRequestRunsTheNotifiersOpenAction()
{
    TestSupport::storeMessage(NODE_LOCAL_INBOX, QStringLiteral("1234560"), QStringLiteral("unread"), 1);
    build(kFullConfig, false);
    FakeLayout layout;
    CommonUtils::SetLayoutPlugin(&layout);
    auto restore = qScopeGuard([] {
        CommonUtils::SetLayoutPlugin(nullptr);
        SMSTaskbarNotifier::Release();
    });
    SMSStatusUILogic* store = SMSStatusUILogic::Existing();
    m_window->onClickSMSTreeNode(m_window->TreeItem(NODE_LOCAL_DRAFT), 0);
    CSMSUIService* service = CSMSUIService::Instance();
    // Without the notifier the page is only shown.
    QCOMPARE(service->checkNotifyType(HostNotify::ShowSmsPage, 0, 0), 0);
    QCOMPARE(layout.shown, QStringList{QStringLiteral("SMSUIPlugin")});
    QCOMPARE(m_window->SelectedNode(), int(NODE_LOCAL_DRAFT));
    QCOMPARE(store->GetUnReadSMSTotalCount(), 1);
    // With it, its open action runs: the folder with the unread message, the popup closed.
    SMSTaskbarNotifier::Instance()->Show(QStringLiteral("1234560"));
    QVERIFY(SMSTaskbarNotifier::Existing()->Popup());
    service->checkNotifyType(HostNotify::ShowSmsPage, 0, 0);
    QCOMPARE(layout.shown.size(), 2);
    QCOMPARE(m_window->SelectedNode(), int(NODE_LOCAL_INBOX));
    QVERIFY(!SMSTaskbarNotifier::Existing()->Popup());
    QCOMPARE(store->GetUnReadSMSTotalCount(), 1);
}

void TestMainWindow::toolBarAndPreviewFollowTheSelection_data()
{
    QTest::addColumn<int>("situation");
    QTest::newRow("a language switch") << 0;
    QTest::newRow("a search that hides the selected row") << 1;
    QTest::newRow("a move that failed") << 2;
}

void TestMainWindow::toolBarAndPreviewFollowTheSelection()
{
    QFETCH(int, situation);
    TestSupport::storeMessage(NODE_LOCAL_INBOX, QStringLiteral("+4930111"), QStringLiteral("alpha text"), 0, QStringLiteral("20261201120000"));
    TestSupport::storeMessage(NODE_LOCAL_INBOX, QStringLiteral("+4930222"), QStringLiteral("beta text"), 0, QStringLiteral("20261201110000"));
    build(kFullConfig, false);
    SMSUITableWidget* inbox = m_window->Table(NODE_LOCAL_INBOX);
    QCOMPARE(inbox->item(0, 1)->text(), QStringLiteral("alpha text"));
    auto* preview = m_window->findChild<QTextBrowser*>(QStringLiteral("SMSUIPlugin_TextPreview"));
    inbox->setFocus();
    inbox->setRangeSelected(QTableWidgetSelectionRange(0, 0, 0, 2), true);
    m_window->onClickTableRow(0);
    QVERIFY(m_window->IsReplyEnabled());
    QVERIFY(preview->toPlainText().contains(QLatin1String("alpha text")));
    switch (situation) {
    case 0:
        QVERIFY(Change::LoadLanguage(QStringLiteral("de")));
        m_window->SetLanguage(false);
        break;
    case 1:
        m_window->onTextEdited(QStringLiteral("beta"));
        break;
    case 2: {
        ZsdkSim::FillMemory(MEM_SIM);
        QSignalSpy finished(m_window->Worker(), SIGNAL(finished()));
        m_window->StartMoveCopy(false, false, QStringLiteral("IDS_TREE_SIM"));
        QVERIFY(finished.wait(5000));
        ZsdkSim::WaitForEvents();
        QCoreApplication::processEvents();
        break;
    }
    }
    QSet<int> rows;
    for (QTableWidgetItem* item : inbox->selectedItems()) {
        QVERIFY2(!inbox->isRowHidden(item->row()), "a row the user cannot see is still selected");
        rows.insert(item->row());
    }
    const QString shown = preview->toPlainText();
    if (rows.size() == 1) {
        const SMSLocalRecordPtr rec = UITableItem::RecordOf(inbox->item(*rows.begin(), 0));
        QVERIFY(rec);
        QVERIFY2(shown.contains(rec->strContent), qPrintable(shown));
        QVERIFY2(shown.contains(m_window->Translate(QStringLiteral("IDS_LST_CONTENT"))), qPrintable(shown));
        QVERIFY(m_window->IsReplyEnabled() && m_window->IsForwardEnabled() && m_window->IsSendEnabled());
    } else {
        QCOMPARE(rows.size(), 0);
        QVERIFY(!m_window->IsReplyEnabled() && !m_window->IsForwardEnabled() && !m_window->IsSendEnabled());
        QVERIFY2(!shown.contains(QLatin1String("alpha text")), qPrintable(shown));
    }
}

void TestMainWindow::openingAMessageWaitsForABatchOnItsFolder_data()
{
    QTest::addColumn<int>("folder");    // where the message to open is
    QTest::addColumn<bool>("opened");
    // The batch moves an Inbox message to the card.
    QTest::newRow("the folder the batch takes from") << int(NODE_LOCAL_INBOX) << false;
    QTest::newRow("the folder the batch puts into") << int(NODE_SIM_INBOX) << false;
    QTest::newRow("a folder the batch does not touch") << int(NODE_LOCAL_DRAFT) << true;
}

// A desktop notification's "open" while a move runs: a folder the move changes is rebuilt when
// it ends, so the message is not selected in it meanwhile; any other folder opens at once.
void TestMainWindow::openingAMessageWaitsForABatchOnItsFolder()
{
    QFETCH(int, folder);
    QFETCH(bool, opened);
    TestSupport::storeMessage(NODE_LOCAL_INBOX, QStringLiteral("4400001"), QStringLiteral("on its way to the card"));
    const int inbox2 = TestSupport::storeMessage(NODE_LOCAL_INBOX, QStringLiteral("4400002"), QStringLiteral("stays"), 0, QStringLiteral("20261101120000"));
    const int onCard = TestSupport::storeMessage(NODE_SIM_INBOX, QStringLiteral("4400003"), QStringLiteral("on the card"));
    const int draft = TestSupport::storeMessage(NODE_LOCAL_DRAFT, QStringLiteral("4400004"), QStringLiteral("a draft"));
    const QHash<int, int> idIn{{NODE_LOCAL_INBOX, inbox2}, {NODE_SIM_INBOX, onCard}, {NODE_LOCAL_DRAFT, draft}};
    build(kFullConfig);
    m_window->onClickSMSTreeNode(m_window->TreeItem(NODE_LOCAL_INBOX), 0);
    SMSUITableWidget* inbox = m_window->Table(NODE_LOCAL_INBOX);
    QCOMPARE(inbox->rowCount(), 2);
    const int onCardBefore = m_window->Table(NODE_SIM_INBOX)->rowCount();
    inbox->selectRow(0);
    m_window->onClickTableRow(0);
    // The worker is held after its first message until the page has been asked to open one.
    QSemaphore reached, go;
    const QMetaObject::Connection hold = connect(m_window->Worker(), &SMSThreadUI::moveOrCopyEvent, m_window->Worker(),
                                                 [&](bool, int) { reached.release(); go.acquire(); }, Qt::DirectConnection);
    auto release = qScopeGuard([&] { QObject::disconnect(hold); go.release(10); });
    QSignalSpy finished(m_window->Worker(), SIGNAL(finished()));
    m_window->StartMoveCopy(false, false, QStringLiteral("IDS_TREE_SIM"));
    QVERIFY(reached.tryAcquire(1, 5000));
    QVERIFY(m_window->IsWorkerRunning());
    m_window->OpenMessage(folder, idIn.value(folder));
    auto currentMessage = [this] {
        SMSUITableWidget* shown = m_window->Table(m_window->SelectedNode());
        const SMSLocalRecordPtr rec = shown && shown->currentRow() >= 0 ? UITableItem::RecordOf(shown->item(shown->currentRow(), 0)) : SMSLocalRecordPtr();
        return rec ? rec->iMsgId : -1;
    };
    if (opened) {
        QCOMPARE(m_window->SelectedNode(), folder);
        QCOMPARE(m_window->TreeWidget()->currentItem(), m_window->TreeItem(folder));
        QCOMPARE(currentMessage(), idIn.value(folder));
    } else {
        QCOMPARE(m_window->SelectedNode(), int(NODE_LOCAL_INBOX));
        QCOMPARE(m_window->TreeWidget()->currentItem(), m_window->TreeItem(NODE_LOCAL_INBOX));
        QVERIFY(currentMessage() != inbox2);
    }
    QObject::disconnect(hold);
    go.release(10);
    QVERIFY(finished.count() == 1 || finished.wait(5000));
    ZsdkSim::WaitForEvents();
    QCoreApplication::processEvents();
    QCOMPARE(m_window->Table(NODE_SIM_INBOX)->rowCount(), onCardBefore + 1);
    QCOMPARE(inbox->rowCount(), 1);
}

void TestMainWindow::memoryFullOkMovesEveryCardMessage_data()
{
    QTest::addColumn<int>("code");     // what the device reported full
    QTest::addColumn<int>("memory");   // the memory that filled up
    QTest::addColumn<bool>("moves");
    QTest::newRow("the card") << 4 << int(MEM_SIM) << true;
    QTest::newRow("the device") << 2 << int(MEM_DEVICE) << true;
    QTest::newRow("the PC: nothing to move off the card") << 6 << int(MEM_SIM) << false;
}

void TestMainWindow::memoryFullOkMovesEveryCardMessage()
{
    QFETCH(int, code);
    QFETCH(int, memory);
    QFETCH(bool, moves);
    // One message the person keeps in that memory's outbox; the modem fills the rest.
    TestSupport::storeMessage(memory == MEM_SIM ? NODE_SIM_OUTBOX : NODE_DEVICE_OUTBOX, QStringLiteral("4400401"),
                              QStringLiteral("kept to send later"), 1, QStringLiteral("20261201120000"), 1);
    PluginContainer container;
    FakeMainFrame mainFrame;
    container.RegisterPlugin(QLatin1String(HostGuid::MainFrame), 0x1011, &mainFrame);
    Startup::SetPluginContainer(&container);
    ZsdkSim::SetMultiModeCard(true);
    CommonUtils::SetSettings(QStringLiteral("DualModeCard"), QStringLiteral("HideDoubleModeCardNode"), QStringLiteral("true"));
    auto restore = qScopeGuard([this] {
        cleanup();   // the window must go before the main frame it parents to
        Startup::SetPluginContainer(nullptr);
        ZsdkSim::SetMultiModeCard(false);
        CommonUtils::SetSettings(QStringLiteral("DualModeCard"), QStringLiteral("HideDoubleModeCardNode"), QString());
        ZsdkSim::SetCapacity(MEM_SIM, 50);
        ZsdkSim::SetCapacity(MEM_DEVICE, 100);
    });
    build(kFullConfig);
    // The memory fills up while the page is open: the question's OK moves what is there now.
    ZsdkSim::SetCapacity(memory, 5);
    ZsdkSim::FillMemory(memory);
    QVERIFY(ZsdkSim::WaitForEvents());
    QCoreApplication::processEvents();
    int32_t pcBefore = -1;
    ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&pcBefore, MEM_PC);
    m_window->onSmsStatusChanged(code);
    QSignalSpy finished(m_window->Worker(), &QThread::finished);
    QCOMPARE(m_window->onMemoryFullPopUPOKClick(), moves);
    if (moves)
        QVERIFY(finished.wait(10000));
    QCoreApplication::processEvents();
    int32_t left = -1, pcAfter = -1;
    ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&left, memory);
    ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&pcAfter, MEM_PC);
    QCOMPARE(left, moves ? 0 : 5);
    QCOMPARE(pcAfter, pcBefore + (moves ? 5 : 0));
}

void TestMainWindow::sentMessagesSavedTogetherAllShow_data()
{
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<int>("sentTable");
    QTest::newRow("with Sent Items") << kFullConfig << int(NODE_LOCAL_SENT);
    QTest::newRow("without Sent Items") << QByteArray("<c><SentItemsBox>false</SentItemsBox></c>") << int(NODE_LOCAL_OUTBOX);
}

void TestMainWindow::sentMessagesSavedTogetherAllShow()
{
    // Two sends end one right after the other: both "sent saved" events are queued before the
    // GUI thread handles the first. Each message gets its row, in its folder and the Local root.
    QFETCH(QByteArray, config);
    QFETCH(int, sentTable);
    build(config);
    const int outboxRows = m_window->Table(NODE_LOCAL_OUTBOX)->rowCount();
    const int sentRows = m_window->Table(sentTable)->rowCount();
    const int rootRows = m_window->Table(NODE_LOCAL_ROOT)->rowCount();
    const int first = TestSupport::storeMessage(NODE_LOCAL_OUTBOX, QStringLiteral("1111111"), QStringLiteral("went out"), 0, QStringLiteral("20261206100000"), 0);
    const int second = TestSupport::storeMessage(NODE_LOCAL_OUTBOX, QStringLiteral("2222222"), QStringLiteral("did not"), 0, QStringLiteral("20261206100100"), 1);
    QVERIFY(first >= 0 && second >= 0);
    std::thread device([&] {
        for (int id : {first, second}) {
            SMSDeviceRecord* rec = nullptr;
            ZSDK_SMSSrv_CreateSMSRecord(&rec, nullptr, nullptr);
            rec->iMsgId = id;
            ZSDK_SMSSrv_GetMsg(rec, MEM_PC);
            SMSStatusUILogic::SmsCallBackMethod(ZSDK_EVT_SENT_SAVED, rec);
            ZSDK_SMSSrv_ReleaseSMSRecord(&rec);
        }
    });
    device.join();
    QCoreApplication::processEvents();
    QTRY_COMPARE(m_window->Table(NODE_LOCAL_ROOT)->rowCount(), rootRows + 2);
    if (sentTable == NODE_LOCAL_OUTBOX) {
        QCOMPARE(m_window->Table(NODE_LOCAL_OUTBOX)->rowCount(), outboxRows + 2);
    } else {
        QCOMPARE(m_window->Table(NODE_LOCAL_SENT)->rowCount(), sentRows + 1);
        QCOMPARE(m_window->Table(NODE_LOCAL_OUTBOX)->rowCount(), outboxRows + 1);
    }
}

void TestMainWindow::shutDownWhileMessagesArrive_data()
{
    QTest::addColumn<bool>("unregisterFirst");
    QTest::newRow("the host drops the callbacks, then the page goes") << true;
    QTest::newRow("the page goes while the callbacks are still registered") << false;
}

void TestMainWindow::shutDownWhileMessagesArrive()
{
    // The window and then the store are destroyed while the device thread keeps delivering
    // messages (ordinary and flash) and phone-book events. Under AddressSanitizer any touch of a
    // destroyed object fails the run; every message arrived is kept on the device.
    QFETCH(bool, unregisterFirst);
    build(kFullConfig);
    std::atomic<bool> stop{false};
    std::atomic<int> stored{0}, injected{0};
    // The network delivers as many messages as it is allowed to so far: a fixed number could
    // all be delivered on a fast machine before the page goes, and nothing would arrive then.
    std::atomic<int> allowed{50};
    std::thread network([&] {
        ZsdkSim::Incoming in;
        in.mem = MEM_PC;
        for (int i = 0; !stop; ++i) {
            while (!stop && injected >= allowed)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            if (stop)
                break;
            in.number = QStringLiteral("+4917100%1").arg(i % 9);
            in.text = QStringLiteral("arrival %1").arg(i);
            in.msgClass = i % 7 == 3 ? 0 : 3;
            if (ZsdkSim::InjectMessage(in) >= 0)
                ++stored;
            if (i % 25 == 0)
                ZsdkSim::SignalPhoneBookReady();
            ++injected;
        }
    });
    auto join = qScopeGuard([&] {
        stop = true;
        network.join();
    });
    QTRY_VERIFY_WITH_TIMEOUT(m_window->Table(NODE_LOCAL_INBOX)->rowCount() >= 5, 10000);
    if (unregisterFirst)
        SMSStatusUILogic::Existing()->unSDKRegisterEvent();
    // Each step lets more messages in first, so that they arrive while it runs.
    allowed = injected + 20;
    SMSUIMainDlg::Release();
    m_window = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT(injected >= allowed, 20000);
    allowed = injected + 20;
    SMSStatusUILogic::Release();
    QTRY_VERIFY_WITH_TIMEOUT(injected >= allowed, 20000);
    stop = true;
    join.dismiss();
    network.join();
    QVERIFY(ZsdkSim::WaitForEvents(10000));
    QCoreApplication::processEvents();
    int32_t onPc = 0;
    QCOMPARE(ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&onPc, MEM_PC), 0);
    QCOMPARE(int(onPc), stored.load());
}

// ---- Delivery reports: the label shown for a report without text of its own ----

namespace {
// Stores a delivery report in the PC report folder; its id, or -1.
int storeReport(int reportStatus, const QString& text)
{
    SMSDeviceRecord r{};
    r.iMsgId = -1;
    r.iNode = NODE_LOCAL_REPORT;
    r.iOrigNode = NODE_LOCAL_REPORT;
    r.iReadFlag = 1;
    r.iStatus = reportStatus;
    r.iMsgType = 1;
    r.iAttrA = 3;
    const QString number = QStringLiteral("+491701234567");
    r.pNumber = const_cast<ZSDK_WCHAR*>(number.utf16());
    r.pContent = const_cast<ZSDK_WCHAR*>(text.utf16());
    const QString time = QStringLiteral("20261201120000");
    for (int i = 0; i < time.size(); ++i)
        r.szTime[i] = time.at(i).unicode();
    int32_t id = -1, flag = 1;
    return ZSDK_SMSSrv_SaveMsg(&r, &id, &flag) == 0 ? id : -1;
}

QString contentShownFor(SMSUITableWidget* table, int id)
{
    for (int row = 0; table && row < table->rowCount(); ++row) {
        const SMSLocalRecordPtr rec = UITableItem::RecordOf(table->item(row, 0));
        if (rec && rec->iMsgId == id)
            return rec->strContent;
    }
    return QStringLiteral("<not shown>");
}
} // namespace

void TestMainWindow::reportLabelsFollowTheLanguage_data()
{
    QTest::addColumn<int>("reportStatus");
    QTest::addColumn<QString>("deviceText");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("german");
    QTest::newRow("delivered, no text") << 0 << QString() << "Delivered" << "Zugestellt";
    QTest::newRow("not delivered, no text") << 69 << QString() << "Failed" << "Fehlgeschlagen";
    QTest::newRow("pending, no text") << 0x22 << QString() << "Pending" << "Ausstehend";
    QTest::newRow("the network's own text stays") << 0 << "Delivered to +491701234567 at 12:00"
                                                  << "Delivered to +491701234567 at 12:00"
                                                  << "Delivered to +491701234567 at 12:00";
}

// A report whose device text is empty shows a label made in the language of the day; after a
// language change the Report folder and the Local root show it in the new language, while a
// report that carries a text keeps that text.
void TestMainWindow::reportLabelsFollowTheLanguage()
{
    QFETCH(int, reportStatus);
    QFETCH(QString, deviceText);
    const int id = storeReport(reportStatus, deviceText);
    QVERIFY(id >= 0);
    build(kFullConfig, false);
    QTEST(contentShownFor(m_window->Table(NODE_LOCAL_REPORT), id), "english");
    QTEST(contentShownFor(m_window->Table(NODE_LOCAL_ROOT), id), "english");
    QVERIFY(Change::LoadLanguage(QStringLiteral("de")));
    m_window->SetLanguage(false);
    QTEST(contentShownFor(m_window->Table(NODE_LOCAL_REPORT), id), "german");
    QTEST(contentShownFor(m_window->Table(NODE_LOCAL_ROOT), id), "german");
}

// ---- A message the device deletes on its own ----

namespace {
QList<int> idsShownIn(SMSUITableWidget* table)
{
    QList<int> ids;
    for (int row = 0; table && row < table->rowCount(); ++row)
        if (const SMSLocalRecordPtr rec = UITableItem::RecordOf(table->item(row, 0)))
            ids << rec->iMsgId;
    std::sort(ids.begin(), ids.end());
    return ids;
}
} // namespace

void TestMainWindow::messageTheDeviceDeletedLeavesItsTables_data()
{
    QTest::addColumn<int>("folder");      // where the message is stored
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("shownIn");     // the folder table that lists it
    QTest::addColumn<int>("root");
    QTest::newRow("PC inbox") << int(NODE_LOCAL_INBOX) << 0 << int(NODE_LOCAL_INBOX) << int(NODE_LOCAL_ROOT);
    QTest::newRow("sent, listed in Sent Items") << int(NODE_LOCAL_OUTBOX) << 0 << int(NODE_LOCAL_SENT) << int(NODE_LOCAL_ROOT);
    QTest::newRow("not sent, listed in the Outbox") << int(NODE_LOCAL_OUTBOX) << 1 << int(NODE_LOCAL_OUTBOX) << int(NODE_LOCAL_ROOT);
    QTest::newRow("SIM inbox") << int(NODE_SIM_INBOX) << 0 << int(NODE_SIM_INBOX) << int(NODE_SIM_ROOT);
    QTest::newRow("device inbox") << int(NODE_DEVICE_INBOX) << 0 << int(NODE_DEVICE_INBOX) << int(NODE_DEVICE_ROOT);
}

// The device tells of a message it deleted itself: the message leaves the table of its folder
// and of the folder's root, and nothing else goes with it.
void TestMainWindow::messageTheDeviceDeletedLeavesItsTables()
{
    QFETCH(int, folder);
    QFETCH(int, status);
    QFETCH(int, shownIn);
    QFETCH(int, root);
    const int gone = TestSupport::storeMessage(folder, QStringLiteral("5550001"), QStringLiteral("goes"), 1,
                                               QStringLiteral("20261201120000"), status);
    const int kept = TestSupport::storeMessage(folder, QStringLiteral("5550002"), QStringLiteral("stays"), 1,
                                               QStringLiteral("20261201130000"), status);
    QVERIFY(gone >= 0 && kept >= 0);
    build(kFullConfig, false);
    QTRY_VERIFY(idsShownIn(m_window->Table(shownIn)).contains(gone));
    QVERIFY(idsShownIn(m_window->Table(root)).contains(gone));
    const QList<int> rootBefore = idsShownIn(m_window->Table(root));

    QVERIFY(ZsdkSim::DeviceDeletesMessage(gone));
    ZsdkSim::WaitForEvents();
    QTRY_VERIFY(!idsShownIn(m_window->Table(shownIn)).contains(gone));
    QCOMPARE(idsShownIn(m_window->Table(shownIn)), QList<int>{kept});
    QList<int> rootAfter = rootBefore;
    rootAfter.removeOne(gone);
    QCOMPARE(idsShownIn(m_window->Table(root)), rootAfter);
}

// ---- Deleting messages on the SIM card and in the device memory ----

void TestMainWindow::deleteOnACardLeavesEveryTableShowingIt_data()
{
    QTest::addColumn<int>("inbox");
    QTest::addColumn<int>("outbox");
    QTest::addColumn<int>("root");
    QTest::addColumn<int>("selected");   // the folder shown when Delete is pressed
    QTest::addColumn<int>("memory");
    QTest::newRow("SIM inbox") << int(NODE_SIM_INBOX) << int(NODE_SIM_OUTBOX) << int(NODE_SIM_ROOT) << int(NODE_SIM_INBOX) << int(MEM_SIM);
    QTest::newRow("SIM outbox") << int(NODE_SIM_INBOX) << int(NODE_SIM_OUTBOX) << int(NODE_SIM_ROOT) << int(NODE_SIM_OUTBOX) << int(MEM_SIM);
    QTest::newRow("SIM card as a whole") << int(NODE_SIM_INBOX) << int(NODE_SIM_OUTBOX) << int(NODE_SIM_ROOT) << int(NODE_SIM_ROOT) << int(MEM_SIM);
    QTest::newRow("device inbox") << int(NODE_DEVICE_INBOX) << int(NODE_DEVICE_OUTBOX) << int(NODE_DEVICE_ROOT) << int(NODE_DEVICE_INBOX) << int(MEM_DEVICE);
    QTest::newRow("device outbox") << int(NODE_DEVICE_INBOX) << int(NODE_DEVICE_OUTBOX) << int(NODE_DEVICE_ROOT) << int(NODE_DEVICE_OUTBOX) << int(MEM_DEVICE);
    QTest::newRow("device memory as a whole") << int(NODE_DEVICE_INBOX) << int(NODE_DEVICE_OUTBOX) << int(NODE_DEVICE_ROOT) << int(NODE_DEVICE_ROOT) << int(MEM_DEVICE);
}

// Every message of the shown card folder is selected and deleted: it leaves the card, the
// folder's table, the card's root table and (from the root) both folders' tables, while the
// other folder keeps what it holds. The card's messages never pass through the PC trash.
void TestMainWindow::deleteOnACardLeavesEveryTableShowingIt()
{
    QFETCH(int, inbox);
    QFETCH(int, outbox);
    QFETCH(int, root);
    QFETCH(int, selected);
    QFETCH(int, memory);
    const QList<int> received{TestSupport::storeMessage(inbox, QStringLiteral("5551001"), QStringLiteral("in one"), 1),
                              TestSupport::storeMessage(inbox, QStringLiteral("5551002"), QStringLiteral("in two"), 1,
                                                        QStringLiteral("20261201130000"))};
    const QList<int> sent{TestSupport::storeMessage(outbox, QStringLiteral("5551003"), QStringLiteral("out"), 1)};
    QVERIFY(!received.contains(-1) && !sent.contains(-1));
    build(kFullConfig, false);
    QTRY_COMPARE(idsShownIn(m_window->Table(root)).size(), 3);
    for (int node : {inbox, outbox, root, int(NODE_LOCAL_TRASH)})
        QVERIFY(m_window->Table(node));   // filled now, so that the deletion must update them

    QList<int> gone = selected == root ? received + sent : selected == inbox ? received : sent;
    std::sort(gone.begin(), gone.end());
    m_window->onClickSMSTreeNode(m_window->TreeItem(selected), 0);
    QCOMPARE(m_window->CurrentTable(), m_window->Table(selected));
    m_window->Table(selected)->selectAll();
    QSignalSpy finished(m_window->Worker(), &QThread::finished);
    m_window->onButtonClickDelete();
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 5000);
    QCoreApplication::processEvents();

    auto without = [&gone](QList<int> ids) {
        for (int id : gone)
            ids.removeAll(id);
        std::sort(ids.begin(), ids.end());
        return ids;
    };
    QTRY_COMPARE(idsShownIn(m_window->Table(selected)), without(selected == root ? received + sent : gone));
    QCOMPARE(idsShownIn(m_window->Table(inbox)), without(received));
    QCOMPARE(idsShownIn(m_window->Table(outbox)), without(sent));
    QCOMPARE(idsShownIn(m_window->Table(root)), without(received + sent));
    QCOMPARE(m_window->Table(NODE_LOCAL_TRASH)->rowCount(), 0);
    int32_t left = -1;
    QCOMPARE(ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&left, memory), 0);
    QCOMPARE(int(left), 3 - gone.size());
}

// Several messages selected in the root table of a card: they can be moved or copied to the other
// memories (the choice a user makes to save a full card), never to the card they are on.
void TestMainWindow::severalRowsInACardRootOfferTheOtherMemories_data()
{
    QTest::addColumn<int>("root");
    QTest::addColumn<int>("folder");
    QTest::addColumn<QStringList>("targets");
    QTest::newRow("the card") << int(NODE_SIM_ROOT) << int(NODE_SIM_INBOX) << QStringList{"IDS_TREE_LOCAL", "IDS_TREE_DEVICE"};
    QTest::newRow("the device") << int(NODE_DEVICE_ROOT) << int(NODE_DEVICE_INBOX) << QStringList{"IDS_TREE_SIM", "IDS_TREE_LOCAL"};
}

void TestMainWindow::severalRowsInACardRootOfferTheOtherMemories()
{
    QFETCH(int, root);
    QFETCH(int, folder);
    QFETCH(QStringList, targets);
    for (int i = 0; i < 2; ++i)
        TestSupport::storeMessage(folder, QStringLiteral("123456%1").arg(i), QStringLiteral("m%1").arg(i));
    build(kFullConfig, false);
    m_window->onClickSMSTreeNode(m_window->TreeItem(root), 0);
    SMSUITableWidget* table = m_window->Table(root);
    QVERIFY(table);
    QCOMPARE(table->rowCount(), 2);
    table->setFocus();
    table->selectAll();
    QVERIFY(m_window->PrepareContextMenu(table->visualItemRect(table->item(0, 0)).center()));
    QMenu* menu = m_window->ContextMenu();
    for (const QString& submenu : {QStringLiteral("Move to"), QStringLiteral("Copy to")}) {
        QStringList offered;
        for (const QString& id : {QStringLiteral("IDS_TREE_SIM"), QStringLiteral("IDS_TREE_LOCAL"), QStringLiteral("IDS_TREE_DEVICE")}) {
            QAction* target = targetIn(menu, submenu, id);
            QVERIFY2(target, qPrintable(submenu + QLatin1Char(' ') + id));
            if (target->isEnabled())
                offered << id;
        }
        QCOMPARE(offered, targets);
    }
}

// A right click over the message list opens the context menu there; one outside the list (on its
// header) opens none.
void TestMainWindow::rightClickOpensTheMenuOverTheRows()
{
    TestSupport::storeMessage(NODE_LOCAL_INBOX, QStringLiteral("1234567"), QStringLiteral("x"));
    build(kFullConfig);
    m_window->onClickSMSTreeNode(m_window->TreeItem(NODE_LOCAL_INBOX), 0);
    SMSUITableWidget* table = m_window->Table(NODE_LOCAL_INBOX);
    QMenu* menu = m_window->ContextMenu();
    QVERIFY(table && menu);
    table->setFocus();   // a right click on the table gives it the focus first
    auto rightClick = [&](const QPoint& inViewport) {
        bool shown = false;
        int tries = 0;
        QTimer closer;
        closer.setInterval(10);
        connect(&closer, &QTimer::timeout, this, [&] {
            if (QWidget* popup = QApplication::activePopupWidget()) {
                shown = popup == menu;
                popup->close();
                closer.stop();
            } else if (++tries > 200) {
                closer.stop();
            }
        });
        closer.start();
        const QPoint global = table->viewport()->mapToGlobal(inViewport);
        QContextMenuEvent event(QContextMenuEvent::Mouse, m_window->mapFromGlobal(global), global);
        QApplication::sendEvent(m_window, &event);
        closer.stop();
        return shown;
    };
    QVERIFY(rightClick(table->visualItemRect(table->item(0, 0)).center()));
    QVERIFY(!rightClick(QPoint(5, -5)));   // on the header above the rows
}

// ---- A second drag in the same window ----

void TestMainWindow::secondDropFromTheCardCopiesAgain_data()
{
    QTest::addColumn<int>("firstSource");
    QTest::addColumn<int>("firstTarget");
    QTest::addColumn<bool>("firstWorks");
    QTest::addColumn<int>("secondTarget");
    QTest::newRow("card outbox to favorite, then to sent items") << int(NODE_SIM_OUTBOX) << int(NODE_LOCAL_FAVORITE) << true << int(NODE_LOCAL_SENT);
    QTest::newRow("card outbox to sent items, then to favorite") << int(NODE_SIM_OUTBOX) << int(NODE_LOCAL_SENT) << true << int(NODE_LOCAL_FAVORITE);
    QTest::newRow("PC inbox to favorite, then card outbox to sent items") << int(NODE_LOCAL_INBOX) << int(NODE_LOCAL_FAVORITE) << true << int(NODE_LOCAL_SENT);
    QTest::newRow("card inbox to PC inbox, then card outbox to favorite") << int(NODE_SIM_INBOX) << int(NODE_LOCAL_INBOX) << true << int(NODE_LOCAL_FAVORITE);
    QTest::newRow("refused drop, then card outbox to sent items") << int(NODE_SIM_OUTBOX) << int(NODE_LOCAL_INBOX) << false << int(NODE_LOCAL_SENT);
}

// The user drags from one folder, then from the card's outbox: the second drop copies exactly the
// message dragged this time (nothing left over from the first drag or job), and the card keeps it.
void TestMainWindow::secondDropFromTheCardCopiesAgain()
{
    QFETCH(int, firstSource);
    QFETCH(int, firstTarget);
    QFETCH(bool, firstWorks);
    QFETCH(int, secondTarget);
    for (int i = 0; i < 2; ++i)
        TestSupport::storeMessage(NODE_SIM_OUTBOX, QStringLiteral("55503%1").arg(i), QStringLiteral("card %1").arg(i), 1,
                                  QStringLiteral("2026120%1100000").arg(i + 1));
    if (firstSource != NODE_SIM_OUTBOX)
        TestSupport::storeMessage(firstSource, QStringLiteral("5550400"), QStringLiteral("first"), 1);
    build(kFullConfig, false);
    QSignalSpy finished(m_window->Worker(), SIGNAL(finished()));
    auto drag = [this](int source, int target) {
        m_window->TreeWidget()->setCurrentItem(m_window->TreeItem(source));
        SMSUITableWidget* table = m_window->Table(source);
        QVERIFY(table && table->rowCount() > 0);
        const QPoint pressed = pressToDragFirstRow(table);
        QCOMPARE(m_window->DragSourceNode(), source);
        m_window->DragOver(target);
        dropOnFolder(target, false);
        QTest::mouseRelease(table->viewport(), Qt::LeftButton, Qt::NoModifier, pressed);
    };
    const int firstBefore = m_window->Table(firstTarget)->rowCount();
    drag(firstSource, firstTarget);
    if (QTest::currentTestFailed())
        return;
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), firstWorks ? 1 : 0, 5000);
    ZsdkSim::WaitForEvents();
    QCoreApplication::processEvents();
    QTRY_COMPARE(m_window->Table(firstTarget)->rowCount(), firstBefore + (firstWorks ? 1 : 0));
    const int secondBefore = m_window->Table(secondTarget)->rowCount();
    drag(NODE_SIM_OUTBOX, secondTarget);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(SMSWaitingDlg::Existing());
    QCOMPARE(SMSWaitingDlg::Existing()->Kind(), int(SMSWaitingDlg::DragCopying));
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), firstWorks ? 2 : 1, 5000);
    QTRY_COMPARE(m_window->Table(secondTarget)->rowCount(), secondBefore + 1);
    QCOMPARE(m_window->Table(NODE_SIM_OUTBOX)->rowCount(), 2);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
