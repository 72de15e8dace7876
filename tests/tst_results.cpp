// What the user is told when a job ends: a send batch that went out in full, partly or not at
// all; a move or copy that failed for some or all messages or ran into a full memory; the
// question on a dual-mode card whose memory is full; the new-message popup's five seconds. And
// where a move or copy sends messages, and which targets the menu offers in each folder.

#include "Change.h"
#include "ExtendLineEdit.h"
#include "CommonUtils.h"
#include "HostGuids.h"
#include "HostInterfaces.h"
#include "Startup.h"
#include "TestSupport.h"
#include "alerts/SMSTaskbarNotifier.h"
#include "editor/SMSMessageDlg.h"
#include "settings/SMSSettingUILogic.h"
#include "store/SMSStatusUILogic.h"
#include "store/SMSTypes.h"
#include "window/SMSUIMainDlg.h"
#include "window/SMSUITableWidget.h"
#include "window/UITableItem.h"
#include "worker/SMSThreadUI.h"
#include "worker/SMSWaitingDlg.h"

#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QDomDocument>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

namespace {

// The host's main frame: only the widget the page parents its questions to.
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

QString usageFile()
{
    ZSDK_WCHAR* logDir = nullptr;
    if (ZSDK_GetLogDirectory(&logDir) != 0)
        return QString();
    QString base = QString::fromUtf16(logDir);
    delete[] logDir;
    base.chop(1);
    base = base.left(base.lastIndexOf(QLatin1Char('/')) + 1);
    return base + QStringLiteral("OnlineUpdate/UpdateInfo/kpi-sms.dat");
}

// The number of sent messages the usage file counts so far (0 when it has none yet).
int sentInUsageFile()
{
    QFile f(usageFile());
    QDomDocument doc;
    if (!f.open(QIODevice::ReadOnly) || !doc.setContent(&f))
        return 0;
    for (QDomElement e = doc.documentElement().firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        if (e.attribute(QStringLiteral("itemname")) == QLatin1String("SMS02"))
            return e.firstChildElement(QStringLiteral("SMSSent")).text().toInt();
    return 0;
}

} // namespace

class TestResults : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void sendResultText_data();
    void sendResultText();
    void moveCopyTargetFolder_data();
    void moveCopyTargetFolder();
    void moveCopyTargetsOffered_data();
    void moveCopyTargetsOffered();
    void moveAndCopyResultText_data();
    void moveAndCopyResultText();
    void recoverResultText_data();
    void recoverResultText();
    void dualModeMemoryFullAsksFirst_data();
    void dualModeMemoryFullAsksFirst();
    void newMessagePopupClosesAfterFiveSeconds();
    void memoryFullPopup_data();
    void memoryFullPopup();
    void sendWithoutAnswerEndsAsFailed();

private:
    void build();
    QTemporaryDir m_dir;
    QString m_lib;
    SMSUIMainDlg* m_window = nullptr;
    QList<MessageRequest> m_asked;
    int m_answer = QMessageBox::Ok;
};

void TestResults::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_lib = m_dir.filePath(QStringLiteral("lib"));
    QVERIFY(TestSupport::stageLibrary(m_lib, {"plugins/SMSUIPlugin/sms_status.png", "plugins/SMSUIPlugin/sms_tree_Images.png",
                                              "plugins/SMSUIPlugin/SMSUIPluginConfig.xml", "translations/host_en.qm", "translations/host_de.qm",
                                              "config/Config.xml"}));
    CommonUtils::SetPluginLibraryPath(m_lib);
    CommonUtils::SetSettingsFile(m_dir.filePath(QStringLiteral("xframe.ini")));
    CommonUtils::SetMessageResponder([this](const MessageRequest& r) {
        m_asked << r;
        return m_answer;
    });
    QVERIFY(Change::LoadLanguage(QStringLiteral("en")));
}

void TestResults::init()
{
    TestSupport::freshModem(m_dir.filePath(QStringLiteral("sim.sqlite")));
    m_asked.clear();
    m_answer = QMessageBox::Ok;
}

void TestResults::cleanup()
{
    if (SMSStatusUILogic* s = SMSStatusUILogic::Existing())
        s->unSDKRegisterEvent();
    SMSTaskbarNotifier::Release();
    SMSUIMainDlg::Release();
    SMSWaitingDlg::Destroy();
    SMSStatusUILogic::Release();
    SMSSettingUILogic::Destroy();
    m_window = nullptr;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    CommonUtils::SetSettings(QStringLiteral("DualModeCard"), QStringLiteral("HideDoubleModeCardNode"), QString());
    Change::LoadLanguage(QStringLiteral("en"));
}

void TestResults::cleanupTestCase()
{
    CommonUtils::SetMessageResponder(nullptr);
    ZsdkSim::Shutdown();
}

void TestResults::build()
{
    m_window = SMSUIMainDlg::Instance();
    SMSStatusUILogic::Instance()->InitStatusLogic();
    m_window->CreateSMSMainLayout();
    m_window->resize(900, 600);
    m_window->show();
    m_window->SetMemoryFullPopupAllowed(true);   // as the host does once its device is ready
    ZsdkSim::WaitForEvents();
    QCoreApplication::processEvents();
}

void TestResults::sendResultText_data()
{
    QTest::addColumn<QString>("numbers");
    QTest::addColumn<int>("textLength");
    QTest::addColumn<int>("failedParts");
    QTest::addColumn<int>("results");   // recipients x parts
    QTest::addColumn<QString>("text");
    QTest::newRow("both recipients reached") << "+491711111111;+491722222222" << 20 << 0 << 2 << "All messages were sent.";
    QTest::newRow("one of two recipients not reached") << "+491711111111;+491722222222" << 20 << 1 << 2
                                                       << "Some messages could not be sent.";
    QTest::newRow("nobody reached") << "+491711111111;+491722222222" << 20 << 2 << 2 << "No message could be sent.";
    QTest::newRow("one part of a long message lost") << "+491711111111" << 200 << 1 << 2 << "Some messages could not be sent.";
    QTest::newRow("a single message lost") << "+491711111111" << 20 << 1 << 1 << "No message could be sent.";
}

void TestResults::sendResultText()
{
    QFETCH(QString, numbers);
    QFETCH(int, textLength);
    QFETCH(int, failedParts);
    QFETCH(int, results);
    build();
    const int sentBefore = sentInUsageFile();
    m_window->onButtonClickedNewSMS(EDIT_MODE_NEW);
    SMSUIMessageEditor* editor = m_window->Editor();
    QVERIFY(editor);
    QTest::keyClicks(editor->NumberField(), numbers);
    editor->TextArea()->setPlainText(QString(textLength, QLatin1Char('x')));
    QVERIFY(editor->SendButton()->isEnabled());
    ZsdkSim::FailNextSends(failedParts);
    // The results come a while after the worker has handed the message over.
    ZsdkSim::SetSendDelay(100);
    auto noDelay = qScopeGuard([] { ZsdkSim::SetSendDelay(0); });
    QSignalSpy batchEnd(SMSStatusUILogic::Existing(), &SMSStatusUILogic::progressbarCloseEvent);
    QTest::mouseClick(editor->SendButton(), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(batchEnd.count(), 1, 10000);
    QCoreApplication::processEvents();
    SMSWaitingDlg* progress = SMSWaitingDlg::Existing();
    QVERIFY(progress);
    // The window stays up through the results and shows the outcome when the last one is in.
    QVERIFY(progress->Dialog() && progress->Dialog()->isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(progress->CountText(), QStringLiteral("%1/%1").arg(results), 10000);
    QTEST(progress->LabelText(), "text");
    // Every attempt counts as a sent message for the usage figures, delivered or not.
    QCOMPARE(sentInUsageFile() - sentBefore, results);
    // A failed message is kept, marked unsent: nothing the user wrote is lost.
    QTRY_COMPARE_WITH_TIMEOUT(m_window->Table(NODE_LOCAL_OUTBOX)->rowCount() + m_window->Table(NODE_LOCAL_SENT)->rowCount(), 1, 10000);
    QCOMPARE(m_window->Table(NODE_LOCAL_OUTBOX)->rowCount(), failedParts > 0 ? 1 : 0);
}

namespace {
// One message in each folder a move or copy can start from.
void storeOnePerFolder()
{
    const QList<QPair<int, int>> folders{{NODE_LOCAL_OUTBOX, 1}, {NODE_LOCAL_INBOX, 0}, {NODE_LOCAL_DRAFT, 0},
                                         {NODE_LOCAL_FAVORITE, 0}, {NODE_LOCAL_TRASH, 0}, {NODE_SIM_OUTBOX, 1},
                                         {NODE_SIM_INBOX, 0}, {NODE_DEVICE_OUTBOX, 1}, {NODE_DEVICE_INBOX, 0},
                                         {NODE_LOCAL_OUTBOX, 0}};   // sent: shown in Sent Items
    for (int n = 0; n < folders.size(); ++n) {
        const QString two = QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
        TestSupport::storeMessage(folders.at(n).first, QStringLiteral("+4917100000") + two, QStringLiteral("in folder %1").arg(folders.at(n).first),
                                  0, QStringLiteral("202612011200") + two, folders.at(n).second);
    }
}

QAction* targetIn(QMenu* menu, const QString& submenu, const QString& id)
{
    for (QAction* a : menu->actions())
        if (a->menu() && a->menu()->objectName() == submenu)
            for (QAction* t : a->menu()->actions())
                if (t->objectName() == id)
                    return t;
    return nullptr;
}
} // namespace

void TestResults::moveCopyTargetFolder_data()
{
    QTest::addColumn<int>("shown");
    QTest::addColumn<QString>("target");   // "sim", "device" or "local"
    QTest::addColumn<int>("folder");
    const int none = -1;
    QTest::newRow("device root to the card") << int(NODE_DEVICE_ROOT) << "sim" << int(NODE_SIM_ROOT);
    QTest::newRow("PC outbox to the card") << int(NODE_LOCAL_OUTBOX) << "sim" << int(NODE_SIM_OUTBOX);
    QTest::newRow("device outbox to the card") << int(NODE_DEVICE_OUTBOX) << "sim" << int(NODE_SIM_OUTBOX);
    QTest::newRow("Sent Items to the card") << int(NODE_LOCAL_SENT) << "sim" << int(NODE_SIM_OUTBOX);
    QTest::newRow("PC inbox to the card") << int(NODE_LOCAL_INBOX) << "sim" << int(NODE_SIM_INBOX);
    QTest::newRow("device inbox to the card") << int(NODE_DEVICE_INBOX) << "sim" << int(NODE_SIM_INBOX);
    QTest::newRow("card root to the device") << int(NODE_SIM_ROOT) << "device" << int(NODE_DEVICE_ROOT);
    QTest::newRow("card outbox to the device") << int(NODE_SIM_OUTBOX) << "device" << int(NODE_DEVICE_OUTBOX);
    QTest::newRow("PC outbox to the device") << int(NODE_LOCAL_OUTBOX) << "device" << int(NODE_DEVICE_OUTBOX);
    QTest::newRow("Sent Items to the device") << int(NODE_LOCAL_SENT) << "device" << int(NODE_DEVICE_OUTBOX);
    QTest::newRow("card inbox to the device") << int(NODE_SIM_INBOX) << "device" << int(NODE_DEVICE_INBOX);
    QTest::newRow("PC inbox to the device") << int(NODE_LOCAL_INBOX) << "device" << int(NODE_DEVICE_INBOX);
    QTest::newRow("card outbox to the PC") << int(NODE_SIM_OUTBOX) << "local" << int(NODE_LOCAL_OUTBOX);
    QTest::newRow("device outbox to the PC") << int(NODE_DEVICE_OUTBOX) << "local" << int(NODE_LOCAL_OUTBOX);
    QTest::newRow("card inbox to the PC") << int(NODE_SIM_INBOX) << "local" << int(NODE_LOCAL_INBOX);
    QTest::newRow("device inbox to the PC") << int(NODE_DEVICE_INBOX) << "local" << int(NODE_LOCAL_INBOX);
    QTest::newRow("card root to the PC") << int(NODE_SIM_ROOT) << "local" << int(NODE_LOCAL_ROOT);
    QTest::newRow("device root to the PC") << int(NODE_DEVICE_ROOT) << "local" << int(NODE_LOCAL_ROOT);
    QTest::newRow("no card target from the card") << int(NODE_SIM_INBOX) << "sim" << none;
    QTest::newRow("no card target from Drafts") << int(NODE_LOCAL_DRAFT) << "sim" << none;
    QTest::newRow("no device target from the device") << int(NODE_DEVICE_OUTBOX) << "device" << none;
    QTest::newRow("no device target from the Trash") << int(NODE_LOCAL_TRASH) << "device" << none;
    QTest::newRow("no PC target from the PC") << int(NODE_LOCAL_INBOX) << "local" << none;
    QTest::newRow("no PC target from the PC root") << int(NODE_LOCAL_ROOT) << "local" << none;
}

void TestResults::moveCopyTargetFolder()
{
    QFETCH(int, shown);
    QFETCH(QString, target);
    storeOnePerFolder();
    build();
    QVERIFY(m_window->TreeItem(shown));
    m_window->onClickSMSTreeNode(m_window->TreeItem(shown), 0);
    QCOMPARE(m_window->SelectedNode(), shown);
    // Targets are known by their menu entry's resource id.
    const QString id = target == QLatin1String("sim")      ? QStringLiteral("IDS_TREE_SIM")
                       : target == QLatin1String("device") ? QStringLiteral("IDS_TREE_DEVICE")
                                                           : QStringLiteral("IDS_TREE_LOCAL");
    QTEST(m_window->MoveCopyTargetFor(id), "folder");
}

void TestResults::moveCopyTargetsOffered_data()
{
    QTest::addColumn<int>("shown");
    QTest::addColumn<bool>("simPresent");
    QTest::addColumn<QString>("enabled");   // targets of "Move to" enabled for one selected message
    QTest::newRow("PC outbox") << int(NODE_LOCAL_OUTBOX) << true << "IDS_TREE_SIM IDS_TREE_DEVICE";
    QTest::newRow("PC inbox") << int(NODE_LOCAL_INBOX) << true << "IDS_TREE_SIM IDS_TREE_DEVICE";
    QTest::newRow("Sent Items") << int(NODE_LOCAL_SENT) << true << "IDS_TREE_SIM IDS_TREE_DEVICE";
    QTest::newRow("Drafts") << int(NODE_LOCAL_DRAFT) << true << "";
    QTest::newRow("Favorite") << int(NODE_LOCAL_FAVORITE) << true << "";
    QTest::newRow("Trash") << int(NODE_LOCAL_TRASH) << true << "";
    QTest::newRow("card outbox") << int(NODE_SIM_OUTBOX) << true << "IDS_TREE_LOCAL IDS_TREE_DEVICE";
    QTest::newRow("card inbox") << int(NODE_SIM_INBOX) << true << "IDS_TREE_LOCAL IDS_TREE_DEVICE";
    QTest::newRow("device outbox") << int(NODE_DEVICE_OUTBOX) << true << "IDS_TREE_SIM IDS_TREE_LOCAL";
    QTest::newRow("device inbox") << int(NODE_DEVICE_INBOX) << true << "IDS_TREE_SIM IDS_TREE_LOCAL";
    QTest::newRow("card root") << int(NODE_SIM_ROOT) << true << "IDS_TREE_LOCAL IDS_TREE_DEVICE";
    QTest::newRow("device root") << int(NODE_DEVICE_ROOT) << true << "IDS_TREE_SIM IDS_TREE_LOCAL";
    QTest::newRow("PC root") << int(NODE_LOCAL_ROOT) << true << "";
    QTest::newRow("PC inbox without a card: the device only") << int(NODE_LOCAL_INBOX) << false << "IDS_TREE_DEVICE";
}

void TestResults::moveCopyTargetsOffered()
{
    QFETCH(int, shown);
    QFETCH(bool, simPresent);
    storeOnePerFolder();
    build();
    if (!simPresent) {
        ZsdkSim::SetSimPresent(false);
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->IsSimShown(), 10000);
    }
    m_window->onClickSMSTreeNode(m_window->TreeItem(shown), 0);
    SMSUITableWidget* table = m_window->Table(shown);
    QVERIFY(table && table->rowCount() > 0);
    table->selectRow(0);
    m_window->onClickTableRow(0);
    table->setFocus();
    QVERIFY(m_window->PrepareContextMenu(table->visualItemRect(table->item(0, 0)).center()));
    QStringList enabled;
    for (const char* id : {"IDS_TREE_SIM", "IDS_TREE_LOCAL", "IDS_TREE_DEVICE"}) {
        QAction* move = targetIn(m_window->ContextMenu(), QStringLiteral("Move to"), QLatin1String(id));
        QAction* copy = targetIn(m_window->ContextMenu(), QStringLiteral("Copy to"), QLatin1String(id));
        QCOMPARE(move && move->isEnabled(), copy && copy->isEnabled());
        if (move && move->isEnabled())
            enabled << QLatin1String(id);
    }
    QTEST(enabled.join(QLatin1Char(' ')), "enabled");
    if (!simPresent)
        ZsdkSim::SetSimPresent(true);
}

void TestResults::moveAndCopyResultText_data()
{
    QTest::addColumn<bool>("copy");
    QTest::addColumn<int>("selected");        // of the three inbox messages
    QTest::addColumn<int>("goneMeanwhile");   // messages another program removed before the job ran
    QTest::addColumn<int>("deviceRoom");      // free places in the device memory
    QTest::addColumn<QString>("text");        // empty: no failure text
    QTest::addColumn<int>("inboxAfter");      // -1: not checked
    QTest::newRow("three messages moved") << false << 3 << 0 << 50 << QString() << 0;
    QTest::newRow("one of three gone meanwhile") << false << 3 << 1 << 50 << "The operation failed for some messages." << -1;
    QTest::newRow("all three gone meanwhile") << false << 3 << 3 << 50 << "The operation failed for every message." << -1;
    QTest::newRow("three messages copied") << true << 3 << 0 << 50 << QString() << 3;
    // One message, so that the job cannot be stopped before its only result arrives.
    QTest::newRow("a copy into a full device") << true << 1 << 0 << 0 << "Device is full." << 3;
}

void TestResults::moveAndCopyResultText()
{
    QFETCH(bool, copy);
    QFETCH(int, selected);
    QFETCH(int, goneMeanwhile);
    QFETCH(int, deviceRoom);
    QFETCH(QString, text);
    QList<int> ids;
    for (int i = 0; i < 3; ++i)
        ids << TestSupport::storeMessage(NODE_LOCAL_INBOX, QStringLiteral("+49171000000%1").arg(i), QStringLiteral("travel %1").arg(i), 0,
                                         QStringLiteral("2026120112%1000").arg(i));
    TestSupport::storeMessage(NODE_DEVICE_INBOX, QStringLiteral("+491719999999"), QStringLiteral("already in the device"));
    ZsdkSim::SetCapacity(MEM_DEVICE, 1 + deviceRoom);
    build();
    m_window->onClickSMSTreeNode(m_window->TreeItem(NODE_LOCAL_INBOX), 0);
    SMSUITableWidget* inbox = m_window->Table(NODE_LOCAL_INBOX);
    QCOMPARE(inbox->rowCount(), 3);
    inbox->setRangeSelected(QTableWidgetSelectionRange(0, 0, selected - 1, inbox->columnCount() - 1), true);
    for (int i = 0; i < goneMeanwhile; ++i)
        QCOMPARE(ZSDK_SMSSrv_RemoveMsg(ids.at(i), MEM_PC), 0);
    QSignalSpy finished(m_window->Worker(), &QThread::finished);
    m_window->StartMoveCopy(copy, false, QStringLiteral("IDS_TREE_DEVICE"));
    QCOMPARE(m_asked.size(), 1);
    QVERIFY(finished.count() == 1 || finished.wait(10000));
    QCoreApplication::processEvents();
    SMSWaitingDlg* progress = SMSWaitingDlg::Existing();
    QVERIFY(progress);
    if (text.isEmpty()) {
        QCOMPARE(progress->CountText(), QStringLiteral("%1/%1").arg(selected));
        for (const char* id : {"IDS_STR_SOME_FAILED", "IDS_STR_ALL_FAILED", "IDS_STR_MEMORY_IS_FULL"})
            QVERIFY(!progress->LabelText().contains(Change::tr(QLatin1String(id), QStringLiteral("SMSUIPlugin")).remove(QStringLiteral("%s"))));
    } else {
        QCOMPARE(progress->LabelText(), text);
    }
    QFETCH(int, inboxAfter);
    if (inboxAfter >= 0)
        QCOMPARE(inbox->rowCount(), inboxAfter);
    // Whatever happened, no message is lost: each is in the inbox or in the device.
    int32_t inDevice = -1, onPc = -1;
    QCOMPARE(ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&inDevice, MEM_DEVICE), 0);
    QCOMPARE(ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&onPc, MEM_PC), 0);
    QVERIFY(onPc + inDevice - 1 >= 3 - goneMeanwhile);
    if (goneMeanwhile == 0)
        QCOMPARE(m_window->Table(NODE_DEVICE_INBOX)->rowCount(), inDevice);
}

// Recovering from the trash: the progress window counts every message it was given, and says that
// some failed when the last one through could not be put back.
void TestResults::recoverResultText_data()
{
    QTest::addColumn<int>("goneMeanwhile");   // trashed messages removed by another program, from the bottom
    QTest::addColumn<QString>("text");        // empty: no failure text
    QTest::addColumn<int>("inboxAfter");
    QTest::addColumn<bool>("done");           // the window's button says the job is over
    QTest::newRow("both recovered") << 0 << QString() << 2 << true;
    QTest::newRow("one of two gone meanwhile") << 1 << "The operation failed for some messages." << 1 << false;
}

void TestResults::recoverResultText()
{
    QFETCH(int, goneMeanwhile);
    QFETCH(QString, text);
    for (int i = 0; i < 2; ++i) {
        const int id = TestSupport::storeMessage(NODE_LOCAL_INBOX, QStringLiteral("+49171000000%1").arg(i), QStringLiteral("binned %1").arg(i));
        QCOMPARE(ZSDK_SMSSrv_DeleteMsg(id, MEM_PC), 0);   // into the trash
    }
    build();
    m_window->onClickSMSTreeNode(m_window->TreeItem(NODE_LOCAL_TRASH), 0);
    SMSUITableWidget* trash = m_window->Table(NODE_LOCAL_TRASH);
    QCOMPARE(trash->rowCount(), 2);
    trash->selectAll();
    // The rows are put back from the top; the bottom ones are the last through.
    for (int i = 0; i < goneMeanwhile; ++i) {
        const SMSLocalRecordPtr rec = UITableItem::RecordOf(trash->item(trash->rowCount() - 1 - i, 0));
        QVERIFY(rec);
        QCOMPARE(ZSDK_SMSSrv_RemoveMsg(rec->iMsgId, MEM_PC), 0);
    }
    QSignalSpy finished(m_window->Worker(), &QThread::finished);
    m_window->onButtonClickRecoverMessages();
    QVERIFY(finished.count() == 1 || finished.wait(10000));
    QCoreApplication::processEvents();
    SMSWaitingDlg* progress = SMSWaitingDlg::Existing();
    QVERIFY(progress);
    QCOMPARE(progress->CountText(), QStringLiteral("2/2"));
    QCOMPARE(progress->Progress(), 100);
    if (text.isEmpty())
        QVERIFY(!progress->LabelText().contains(Change::tr(QStringLiteral("IDS_STR_SOME_FAILED"), QStringLiteral("SMSUIPlugin"))));
    else
        QCOMPARE(progress->LabelText(), text);
    // After the last message put back the Cancel button turns into OK; a failure last keeps it.
    QFETCH(bool, done);
    auto* button = progress->Dialog()->findChild<QPushButton*>(QStringLiteral("SMSUIPlugin_WaitingCancel"));
    QVERIFY(button);
    QCOMPARE(button->text(), done ? Change::tr(QStringLiteral("IDS_OK"), QStringLiteral("XFramePlugin"))
                                  : Change::tr(QStringLiteral("IDS_BTN_CANCEL"), QStringLiteral("SMSUIPlugin")));
    QFETCH(int, inboxAfter);
    QTRY_COMPARE(m_window->Table(NODE_LOCAL_INBOX)->rowCount(), inboxAfter);
}

void TestResults::dualModeMemoryFullAsksFirst_data()
{
    QTest::addColumn<bool>("frameShown");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("leastDelayMs");
    QTest::newRow("frame not shown yet, the user agrees") << false << int(QMessageBox::Ok) << 2500;
    QTest::newRow("frame shown, the user agrees") << true << int(QMessageBox::Ok) << 800;
    QTest::newRow("frame shown, the user declines") << true << int(QMessageBox::Cancel) << 800;
}

void TestResults::dualModeMemoryFullAsksFirst()
{
    QFETCH(bool, frameShown);
    QFETCH(int, answer);
    QFETCH(int, leastDelayMs);
    PluginContainer container;
    FakeMainFrame mainFrame;
    container.RegisterPlugin(QLatin1String(HostGuid::MainFrame), 0x1011, &mainFrame);
    Startup::SetPluginContainer(&container);
    auto restore = qScopeGuard([this] {
        cleanup();   // the window goes before the main frame it parents to
        Startup::SetPluginContainer(nullptr);
        ZsdkSim::SetMultiModeCard(false);
    });
    ZsdkSim::SetMultiModeCard(true);
    CommonUtils::SetSettings(QStringLiteral("DualModeCard"), QStringLiteral("HideDoubleModeCardNode"), QStringLiteral("true"));
    TestSupport::storeMessage(NODE_SIM_INBOX, QStringLiteral("+491601111111"), QStringLiteral("card inbox"));
    TestSupport::storeMessage(NODE_SIM_OUTBOX, QStringLiteral("+491602222222"), QStringLiteral("card outbox"));
    build();
    if (frameShown)
        m_window->setMainFrameShownFlag();
    QTRY_COMPARE_WITH_TIMEOUT(m_window->Table(NODE_SIM_ROOT) ? m_window->Table(NODE_SIM_ROOT)->rowCount() : -1, 2, 10000);
    m_answer = answer;
    m_asked.clear();
    QSignalSpy finished(m_window->Worker(), &QThread::finished);
    QElapsedTimer clock;
    clock.start();
    m_window->onSmsStatusChanged(4);   // the card is full
    // No corner popup on such a card: a question, a moment later.
    QVERIFY(!m_window->MemoryFullPopup());
    QVERIFY(m_asked.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(m_asked.size(), 1, 10000);
    QVERIFY2(clock.elapsed() >= leastDelayMs, qPrintable(QString::number(clock.elapsed())));
    const MessageRequest& asked = m_asked.first();
    QCOMPARE(asked.text, m_window->Translate(QStringLiteral("IDS_DualModeCard_STC_FULL")));
    QCOMPARE(asked.buttons, (QStringList{QStringLiteral("IDS_OK"), QStringLiteral("IDS_CANCEL")}));
    // It stays on top of everything, and losing the SIM can take it away like any other box.
    QCOMPARE(asked.windowFlags, int(Qt::WindowStaysOnTopHint | Qt::WindowCloseButtonHint));
    QVERIFY(asked.keptOpen);
    int32_t onCard = -1;
    if (answer == QMessageBox::Ok) {
        // The card's messages go to the PC.
        QVERIFY(finished.count() == 1 || finished.wait(10000));
        QCoreApplication::processEvents();
        QCOMPARE(ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&onCard, MEM_SIM), 0);
        QCOMPARE(onCard, 0);
        QCOMPARE(m_window->Table(NODE_LOCAL_INBOX)->rowCount(), 1);
    } else {
        QVERIFY(!m_window->IsWorkerRunning());
        QCOMPARE(ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&onCard, MEM_SIM), 0);
        QCOMPARE(onCard, 2);
        QCOMPARE(m_window->Table(NODE_LOCAL_INBOX)->rowCount(), 0);
    }
}

void TestResults::newMessagePopupClosesAfterFiveSeconds()
{
    build();
    SMSTaskbarNotifier* notifier = SMSTaskbarNotifier::Instance();
    QElapsedTimer clock;
    clock.start();
    notifier->Show(QStringLiteral("+4915550001"));
    QPointer<QDialog> first = notifier->Popup();
    QVERIFY(first);
    // A second message three seconds later replaces the popup and gives it five seconds again.
    QTimer later;
    later.setSingleShot(true);
    QSignalSpy threeSeconds(&later, &QTimer::timeout);
    later.start(3000);
    QVERIFY(threeSeconds.wait(10000));
    QVERIFY(first);   // still up after three seconds
    QVERIFY(first->isVisible());
    const qint64 shownAt = clock.elapsed();
    notifier->Show(QStringLiteral("+4915550002"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!first);
    QPointer<QDialog> second = notifier->Popup();
    QVERIFY(second);
    QCOMPARE(notifier->Text(), QStringLiteral("+4915550002"));
    QSignalSpy gone(second.data(), &QObject::destroyed);
    QVERIFY(gone.wait(10000));
    // About five seconds after the second message (a coarse timer may fire a little early), well
    // past the end of the first one's five.
    QVERIFY2(clock.elapsed() - shownAt >= 4000, qPrintable(QString::number(clock.elapsed() - shownAt)));
    QVERIFY(!notifier->Popup());
}

void TestResults::memoryFullPopup_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("german");
    QTest::newRow("the PC's storage") << 6 << "The message storage on this computer is full."
                                      << "Der Nachrichtenspeicher auf diesem Computer ist voll.";
    QTest::newRow("the card") << 4 << "The SIM card memory is full. Delete messages to receive new ones."
                              << "Der Speicher der SIM-Karte ist voll. Löschen Sie Nachrichten, um neue zu empfangen.";
    QTest::newRow("the device") << 2 << "The device memory is full. Delete messages to receive new ones."
                                << "Der Gerätespeicher ist voll. Löschen Sie Nachrichten, um neue zu empfangen.";
}

void TestResults::memoryFullPopup()
{
    QFETCH(int, status);
    build();
    auto popups = [] {
        int shown = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            shown += w->objectName() == QLatin1String("SMSUIPlugin_MemoryFullPopup") && w->isVisible();
        return shown;
    };
    m_window->onSmsStatusChanged(status);
    QPointer<QWidget> popup = m_window->MemoryFullPopup();
    QVERIFY(popup);
    QTEST(m_window->MemoryFullText(), "english");
    QCOMPARE(popup->findChild<QPushButton*>()->text(), QStringLiteral("Close"));
    // The whole warning can be read: no line is wider than the popup's label, nor are there more
    // lines than it has room for.
    auto fits = [](const QLabel* label) {
        return label->minimumSizeHint().width() <= label->width() && label->heightForWidth(label->width()) <= label->height();
    };
    QLabel* label = popup->findChild<QLabel*>();
    QVERIFY(label);
    QCOMPARE(label->text(), m_window->MemoryFullText());
    QVERIFY2(fits(label), qPrintable(label->text()));
    // In the top-right corner of the desktop's free area.
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(popup->pos(), QPoint(area.right() - popup->width(), area.top()));
    // It stays for two minutes; a second report restarts the two minutes with one popup.
    QTimer* twoMinutes = nullptr;
    for (QTimer* t : m_window->findChildren<QTimer*>())
        if (t->interval() == 120000 && t->isActive())
            twoMinutes = t;
    QVERIFY(twoMinutes);
    QCOMPARE(twoMinutes->interval(), 120000);
    QVERIFY(twoMinutes->isSingleShot());
    // Let it run almost out; the second report gives it two minutes again.
    twoMinutes->start(300);
    m_window->onSmsStatusChanged(status);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(popups(), 1);
    QVERIFY(twoMinutes->isActive());
    QCOMPARE(twoMinutes->interval(), 120000);
    QTimer pause;
    pause.setSingleShot(true);
    QSignalSpy paused(&pause, &QTimer::timeout);
    pause.start(600);
    QVERIFY(paused.wait(5000));
    QCOMPARE(popups(), 1);   // still up past the old end
    // A language change translates the warning that is up.
    QVERIFY(Change::LoadLanguage(QStringLiteral("de")));
    m_window->SetLanguage(false);
    QTEST(m_window->MemoryFullText(), "german");
    label = m_window->MemoryFullPopup()->findChild<QLabel*>();
    QVERIFY(label);
    QVERIFY2(fits(label), qPrintable(label->text()));
    QCOMPARE(m_window->MemoryFullPopup()->findChild<QPushButton*>()->text(), QStringLiteral("Schließen"));
    // When the two minutes are up the warning goes.
    twoMinutes->start(10);
    QTRY_COMPARE_WITH_TIMEOUT(popups(), 0, 10000);
}

// ---- A send the modem never answers in time ----

// The modem takes far longer than the window waits for a send result: the batch ends as failed
// for every result still missing, the progress window says so, and the message is kept.
void TestResults::sendWithoutAnswerEndsAsFailed()
{
    build();
    m_window->SetSendTimeout(300);
    ZsdkSim::SetSendDelay(2000);
    auto restore = qScopeGuard([] { ZsdkSim::SetSendDelay(0); });
    m_window->onButtonClickedNewSMS(EDIT_MODE_NEW);
    SMSUIMessageEditor* editor = m_window->Editor();
    QVERIFY(editor);
    QTest::keyClicks(editor->NumberField(), QStringLiteral("+491711111111;+491722222222"));
    editor->TextArea()->setPlainText(QStringLiteral("are you there?"));
    QVERIFY(editor->SendButton()->isEnabled());
    QSignalSpy deviceBatchEnd(SMSStatusUILogic::Existing(), &SMSStatusUILogic::progressbarCloseEvent);
    QTest::mouseClick(editor->SendButton(), Qt::LeftButton);
    SMSWaitingDlg* progress = nullptr;
    QTRY_VERIFY((progress = SMSWaitingDlg::Existing()));
    // Well before the modem's first answer: the window gave up waiting.
    QTRY_COMPARE_WITH_TIMEOUT(progress->CountText(), QStringLiteral("2/2"), 1500);
    QCOMPARE(deviceBatchEnd.count(), 0);
    QCOMPARE(progress->LabelText(), QStringLiteral("No message could be sent."));
    // The modem's late answer neither counts again nor loses the message.
    QTRY_COMPARE_WITH_TIMEOUT(deviceBatchEnd.count(), 1, 15000);
    QCoreApplication::processEvents();
    QCOMPARE(progress->CountText(), QStringLiteral("2/2"));
    QTRY_COMPARE_WITH_TIMEOUT(m_window->Table(NODE_LOCAL_OUTBOX)->rowCount() + m_window->Table(NODE_LOCAL_SENT)->rowCount(), 1, 5000);
}

QTEST_MAIN(TestResults)
#include "tst_results.moc"
