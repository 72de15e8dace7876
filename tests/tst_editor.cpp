// The message editor on the SMS page: what its fields accept, the counter, sending, drafts,
// closing with and without changes, and the address-book picker.

#include "Change.h"
#include "CommonUtils.h"
#include "ExtendLineEdit.h"
#include "HostGuids.h"
#include "HostInterfaces.h"
#include "editor/SMSMessageDlg.h"
#include "settings/SMSSettingUILogic.h"
#include "store/SMSStatusUILogic.h"
#include "store/SMSTypes.h"
#include "window/SMSUIMainDlg.h"
#include "window/SMSUITableWidget.h"
#include "window/UITableItem.h"
#include "worker/SMSWaitingDlg.h"
#include "Startup.h"
#include "TestSupport.h"

#include <QLabel>
#include <QLoggingCategory>
#include <QMutex>
#include <QScopeGuard>
#include "SimControl.h"
#include "worker/SMSThreadUI.h"
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
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

class FakeAddressBook : public QObject, public IAddrBookUIPlugin
{
    Q_OBJECT
    Q_INTERFACES(IAddrBookUIPlugin)
public:
    int picks = 0;
    int purpose = 0;
    int selection = 0;
    QStringList given;       // the recipients the editor handed over
    bool answerSet = false;  // answer with `answer` instead of adding one contact's number
    QStringList answer;
    bool SaveNumber(const QString&, QWidget*) override { return true; }
    bool PickNumbers(int p, int s, QStringList& numbers) override
    {
        ++picks;
        purpose = p;
        selection = s;
        given = numbers;
        if (answerSet)
            numbers = answer;
        else
            numbers << QStringLiteral("+4930111222");
        return true;
    }
};

} // namespace

class TestEditor : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void newEditorStartsEmpty();
    void numberFieldRejectsBadKeystrokes_data();
    void numberFieldRejectsBadKeystrokes();
    void rejectedKeystrokeKeepsTheCursor();
    void counterShowsCharactersAndSegments();
    void textStopsAtTheLimit();
    void recipientsAreCounted_data();
    void recipientsAreCounted();
    void sendGoesOutAndLandsInSentItems();
    void saveMakesADraft();
    void closing_data();
    void closing();
    void replyAndForwardFillTheFields();
    void saveFollowsWhatWasChanged_data();
    void saveFollowsWhatWasChanged();
    void enterDoesNotOpenTheAddressBook();
    void sendToShowsWhatTheBookReturns_data();
    void sendToShowsWhatTheBookReturns();
    void arrowKeysMoveTheNumberCursor();
    void numberHandedInByAnotherComponent();
    void editorFromAnotherComponentInTheMiniFrame_data();
    void editorFromAnotherComponentInTheMiniFrame();
    void sendModeOnAStoredMessage_data();
    void sendModeOnAStoredMessage();
    void sendStaysOffWhileTheDeviceIsGone();
    void sendWithoutANumberStaysOffWhenServiceReturns();
    void cancelDuringASendClosesTheProgress();
    void finishedSendIsAKnownOperation();

private:
    SMSUIMessageEditor* open(int mode);
    QTemporaryDir m_dir;
    QString m_lib;
    SMSUIMainDlg* m_window = nullptr;
    PluginContainer m_container;
    FakeAddressBook m_book;
    int m_answer = QMessageBox::Ok;
    QList<MessageRequest> m_asked;
};

void TestEditor::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_lib = m_dir.filePath(QStringLiteral("lib"));
    QVERIFY(TestSupport::stageLibrary(m_lib, {"plugins/SMSUIPlugin/sms_status.png", "plugins/SMSUIPlugin/sms_tree_Images.png",
                                              "plugins/SMSUIPlugin/SMSUIPluginConfig.xml", "translations/host_en.qm"}));
    CommonUtils::SetPluginLibraryPath(m_lib);
    CommonUtils::SetSettingsFile(m_dir.filePath(QStringLiteral("xframe.ini")));
    CommonUtils::SetMessageResponder([this](const MessageRequest& r) {
        m_asked << r;
        return m_answer;
    });
    QVERIFY(Change::LoadLanguage(QStringLiteral("en")));
    m_container.RegisterPlugin(QLatin1String(HostGuid::AddrBook), 0x1001, &m_book);
    Startup::SetPluginContainer(&m_container);
}

void TestEditor::init()
{
    TestSupport::freshModem(m_dir.filePath(QStringLiteral("sim.sqlite")));
    TestSupport::storeMessage(NODE_LOCAL_INBOX, QStringLiteral("+491712345678"), QStringLiteral("Lunch at noon?"), 1);
    m_window = SMSUIMainDlg::Instance();
    SMSStatusUILogic::Instance()->InitStatusLogic();
    m_window->CreateSMSMainLayout();
    m_window->resize(900, 600);
    m_window->show();
    ZsdkSim::WaitForEvents();
    QCoreApplication::processEvents();
    m_answer = QMessageBox::Ok;
    m_asked.clear();
    m_book.picks = 0;
    m_book.answerSet = false;
}

void TestEditor::cleanup()
{
    if (SMSStatusUILogic* s = SMSStatusUILogic::Existing())
        s->unSDKRegisterEvent();
    SMSUIMainDlg::Release();
    SMSStatusUILogic::Release();
    SMSSettingUILogic::Destroy();
    m_window = nullptr;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestEditor::cleanupTestCase()
{
    Startup::SetPluginContainer(nullptr);
    CommonUtils::SetMessageResponder(nullptr);
    ZsdkSim::Shutdown();
}

SMSUIMessageEditor* TestEditor::open(int mode)
{
    m_window->onButtonClickedNewSMS(mode);
    return m_window->Editor();
}

void TestEditor::newEditorStartsEmpty()
{
    SMSUIMessageEditor* editor = open(EDIT_MODE_NEW);
    QVERIFY(editor);
    QVERIFY(editor->Frame()->isVisible());
    QCOMPARE(editor->Frame()->windowTitle(), QStringLiteral("New message"));
    QCOMPARE(editor->CounterLabel()->text(), QStringLiteral("0/2048(1)"));
    QVERIFY(editor->NumberField()->text().isEmpty());
    QVERIFY(!editor->SendButton()->isEnabled());
    QVERIFY(!editor->SaveButton()->isEnabled());
    QVERIFY(editor->Frame()->findChild<QPushButton*>(QStringLiteral("SMSUIPlugin_ButtonSend"))->isEnabled());   // address book present
    // Rows dragged out of the message table must not land in the text as plain text, and the
    // text area has no menu of its own (cut/paste would bypass the length rules).
    QVERIFY(!editor->TextArea()->acceptDrops());
    QCOMPARE(editor->TextArea()->contextMenuPolicy(), Qt::NoContextMenu);
    auto* title = editor->Frame()->findChild<QLabel*>(QStringLiteral("ExtendDialog_Title"));
    QVERIFY(title);
    QVERIFY(title->font().bold());
    QCOMPARE(title->text(), QStringLiteral("New message"));
}

void TestEditor::numberFieldRejectsBadKeystrokes_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("a letter is dropped") << "0171a2" << "01712";
    QTest::newRow("a leading separator is dropped") << ";0171" << "0171";
    QTest::newRow("a second separator in a row is dropped") << "0171;;0172" << "0171;0172";
    QTest::newRow("a plus after a digit is dropped") << "12+3" << "123";
    QTest::newRow("a plus after a separator stays") << "+49171;+33612" << "+49171;+33612";
    QTest::newRow("a blank is dropped") << "0171 234" << "0171234";
}

void TestEditor::numberFieldRejectsBadKeystrokes()
{
    QFETCH(QString, typed);
    SMSUIMessageEditor* editor = open(EDIT_MODE_NEW);
    QTest::keyClicks(editor->NumberField(), typed);
    QTEST(editor->NumberField()->text(), "kept");
    QVERIFY(editor->SendButton()->isEnabled());
    QVERIFY(editor->SaveButton()->isEnabled());
}

void TestEditor::rejectedKeystrokeKeepsTheCursor()
{
    SMSUIMessageEditor* editor = open(EDIT_MODE_NEW);
    QTest::keyClicks(editor->NumberField(), QStringLiteral("01712"));
    editor->NumberField()->setCursorPosition(2);
    QTest::keyClicks(editor->NumberField(), QStringLiteral("x"));
    QCOMPARE(editor->NumberField()->text(), QStringLiteral("01712"));
    QCOMPARE(editor->NumberField()->cursorPosition(), 2);
}

void TestEditor::counterShowsCharactersAndSegments()
{
    SMSUIMessageEditor* editor = open(EDIT_MODE_NEW);
    editor->TextArea()->setPlainText(QString(161, QLatin1Char('a')));
    QCOMPARE(editor->CounterLabel()->text(), QStringLiteral("161/2048(2)"));
    editor->TextArea()->setPlainText(QString(70, QChar(0x0416)));
    QCOMPARE(editor->CounterLabel()->text(), QStringLiteral("70/2048(1)"));
    editor->TextArea()->clear();
    QCOMPARE(editor->CounterLabel()->text(), QStringLiteral("0/2048(1)"));
}

void TestEditor::textStopsAtTheLimit()
{
    SMSUIMessageEditor* editor = open(EDIT_MODE_NEW);
    QTextEdit* area = editor->TextArea();
    area->moveCursor(QTextCursor::End);
    area->insertPlainText(QString(3000, QLatin1Char('b')));   // pasted at the end
    QCOMPARE(area->toPlainText().size(), 2048);
    QCOMPARE(editor->CounterLabel()->text(), QStringLiteral("2048/2048(14)"));
    area->setPlainText(QString(2045, QLatin1Char('c')));
    QTextCursor cursor = area->textCursor();
    cursor.setPosition(100);
    area->setTextCursor(cursor);
    area->insertPlainText(QString(10, QLatin1Char('d')));   // pasted in the middle: undone as a whole
    QCOMPARE(area->toPlainText(), QString(2045, QLatin1Char('c')));
}

void TestEditor::recipientsAreCounted_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("parts");
    QTest::newRow("nothing") << "" << 0 << 1;
    QTest::newRow("one number") << "0171" << 1 << 1;
    QTest::newRow("two numbers") << "0171;0172" << 2 << 2;
    QTest::newRow("a trailing separator") << "0171;0172;" << 2 << 3;
}

void TestEditor::recipientsAreCounted()
{
    QFETCH(QString, number);
    SMSUIMessageEditor* editor = open(EDIT_MODE_NEW);
    editor->NumberField()->setText(number);
    int count = -1;
    QStringList list;
    editor->parsingSendMsgLineEditMsg(&count, &list);
    QTEST(count, "count");
    QTEST(int(list.size()), "parts");
}

void TestEditor::sendGoesOutAndLandsInSentItems()
{
    SMSUIMessageEditor* editor = open(EDIT_MODE_NEW);
    QPointer<SMSUIMessageEditor> alive = editor;
    QTest::keyClicks(editor->NumberField(), QStringLiteral("+491711111111;+491722222222"));
    editor->TextArea()->setPlainText(QStringLiteral("See you at eight"));
    QVERIFY(editor->SendButton()->isEnabled());
    QTest::mouseClick(editor->SendButton(), Qt::LeftButton);
    SMSWaitingDlg* progress = SMSWaitingDlg::Existing();
    QVERIFY(progress);
    QCOMPARE(progress->Kind(), int(SMSWaitingDlg::Sending));
    QTRY_COMPARE(progress->CountText(), QStringLiteral("2/2"));
    QTRY_COMPARE(progress->LabelText(), QStringLiteral("All messages were sent."));
    QTRY_COMPARE(m_window->Table(NODE_LOCAL_SENT)->rowCount(), 1);
    QCOMPARE(m_window->Table(NODE_LOCAL_SENT)->item(0, 1)->text(), QStringLiteral("See you at eight"));
    QTRY_VERIFY(alive.isNull());   // the window disposed of the editor
}

void TestEditor::saveMakesADraft()
{
    SMSUIMessageEditor* editor = open(EDIT_MODE_NEW);
    QTest::keyClicks(editor->NumberField(), QStringLiteral("0301234567"));
    editor->TextArea()->setPlainText(QStringLiteral("finish later"));
    QTest::mouseClick(editor->SaveButton(), Qt::LeftButton);
    QCOMPARE(m_window->Table(NODE_LOCAL_DRAFT)->rowCount(), 1);
    QCOMPARE(m_window->findChild<QTreeWidget*>(QStringLiteral("SMSUIPlugin_TreeSMSWidget"))->currentItem(), m_window->TreeItem(NODE_LOCAL_DRAFT));
    // Editing the draft and saving updates it in place.
    m_window->onClickSMSTreeNode(m_window->TreeItem(NODE_LOCAL_DRAFT), 0);
    m_window->Table(NODE_LOCAL_DRAFT)->selectRow(0);
    SMSUIMessageEditor* draft = open(EDIT_MODE_DRAFT);
    QCOMPARE(draft->NumberField()->text(), QStringLiteral("0301234567"));
    QCOMPARE(draft->TextArea()->toPlainText(), QStringLiteral("finish later"));
    QCOMPARE(draft->TextArea()->textCursor().position(), QStringLiteral("finish later").size());
    draft->TextArea()->setPlainText(QStringLiteral("finished"));
    QVERIFY(draft->SaveButton()->isEnabled());
    QTest::mouseClick(draft->SaveButton(), Qt::LeftButton);
    QCOMPARE(m_window->Table(NODE_LOCAL_DRAFT)->rowCount(), 1);
    QCOMPARE(m_window->Table(NODE_LOCAL_DRAFT)->item(0, 1)->text(), QStringLiteral("finished"));
}

void TestEditor::closing_data()
{
    QTest::addColumn<bool>("changed");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("stillOpen");
    QTest::addColumn<int>("drafts");
    QTest::newRow("unchanged closes without asking") << false << int(QMessageBox::Cancel) << false << 0;
    QTest::newRow("Cancel keeps the editor open") << true << int(QMessageBox::Cancel) << true << 0;
    QTest::newRow("No discards") << true << int(QMessageBox::No) << false << 0;
    QTest::newRow("Yes saves a draft") << true << int(QMessageBox::Yes) << false << 1;
}

void TestEditor::closing()
{
    QFETCH(bool, changed);
    QFETCH(int, answer);
    m_answer = answer;
    SMSUIMessageEditor* editor = open(EDIT_MODE_NEW);
    if (changed)
        editor->TextArea()->setPlainText(QStringLiteral("half a thought"));
    editor->Frame()->findChild<QPushButton*>(QStringLiteral("SMSUIPlugin_ButtonCloseMsgButton"))->click();
    QCOMPARE(m_asked.size(), changed ? 1 : 0);
    if (changed)
        QCOMPARE(m_asked.at(0).buttons, (QStringList{"IDS_YES", "IDS_CANCEL", "IDS_NO"}));
    QTEST(editor->Frame()->isVisible(), "stillOpen");
    QTEST(m_window->Table(NODE_LOCAL_DRAFT)->rowCount(), "drafts");
    if (changed && editor->Frame()->isVisible())
        QCOMPARE(editor->TextArea()->toPlainText(), QStringLiteral("half a thought"));
}

void TestEditor::replyAndForwardFillTheFields()
{
    SMSUITableWidget* inbox = m_window->Table(NODE_LOCAL_INBOX);
    inbox->selectRow(0);
    SMSUIMessageEditor* reply = open(EDIT_MODE_REPLY);
    QCOMPARE(reply->Frame()->windowTitle(), QStringLiteral("Reply"));
    QCOMPARE(reply->NumberField()->text(), QStringLiteral("+491712345678"));
    QVERIFY(reply->TextArea()->toPlainText().isEmpty());
    QVERIFY(reply->SendButton()->isEnabled());
    reply->Frame()->hide();
    inbox->selectRow(0);
    SMSUIMessageEditor* forward = open(EDIT_MODE_FORWARD);
    QCOMPARE(forward->TextArea()->toPlainText(), QStringLiteral("Lunch at noon?"));
    QVERIFY(forward->NumberField()->text().isEmpty());
    QVERIFY(!forward->SendButton()->isEnabled());
    QTest::keyClicks(forward->NumberField(), QStringLiteral("0172"));
    QVERIFY(forward->SendButton()->isEnabled());
    // Without service the Send button goes grey, and comes back with it.
    emit m_window->netStatusChanged(false);
    QVERIFY(!forward->SendButton()->isEnabled());
    emit m_window->netStatusChanged(true);
    QVERIFY(forward->SendButton()->isEnabled());
    // A language change tells the open editor which kind of editor it is.
    QSignalSpy title(m_window, &SMSUIMainDlg::changeLanguageForTitle);
    Change::LoadLanguage(QStringLiteral("de"));
    m_window->SetLanguage(0);
    Change::LoadLanguage(QStringLiteral("en"));
    QVERIFY(!title.isEmpty());
    QCOMPARE(title.first().at(0).toInt(), int(EDIT_MODE_FORWARD));
}

// Save in a reply or a forward is offered once there is something of the user's own to keep: a
// forward needs a number or a changed text, a reply a text or another number.
void TestEditor::saveFollowsWhatWasChanged_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("clearNumber");
    QTest::addColumn<QString>("typeNumber");
    QTest::addColumn<bool>("clearText");
    QTest::addColumn<QString>("typeText");
    QTest::addColumn<bool>("save");
    const int forward = EDIT_MODE_FORWARD, reply = EDIT_MODE_REPLY;
    QTest::newRow("forward as it came") << forward << false << "" << false << "" << false;
    QTest::newRow("forward with a number") << forward << false << "0172" << false << "" << true;
    QTest::newRow("forward with its text changed") << forward << false << "" << false << " See you" << true;
    QTest::newRow("forward with its text removed") << forward << false << "" << true << "" << false;
    QTest::newRow("forward with its text removed and a number") << forward << false << "0172" << true << "" << true;
    QTest::newRow("reply as it came") << reply << false << "" << false << "" << false;
    QTest::newRow("reply with a text") << reply << false << "" << false << "Yes" << true;
    QTest::newRow("reply to another number") << reply << false << "9" << false << "" << true;
    QTest::newRow("reply without a number or a text") << reply << true << "" << false << "" << false;
}

void TestEditor::saveFollowsWhatWasChanged()
{
    QFETCH(int, mode);
    QFETCH(bool, clearNumber);
    QFETCH(QString, typeNumber);
    QFETCH(bool, clearText);
    QFETCH(QString, typeText);
    m_window->Table(NODE_LOCAL_INBOX)->selectRow(0);
    SMSUIMessageEditor* editor = open(mode);
    QVERIFY(editor);
    if (clearNumber) {
        editor->NumberField()->selectAll();
        QTest::keyClick(editor->NumberField(), Qt::Key_Backspace);
        QVERIFY(editor->NumberField()->text().isEmpty());
    }
    editor->NumberField()->end(false);
    QTest::keyClicks(editor->NumberField(), typeNumber);
    if (clearText) {
        editor->TextArea()->selectAll();
        QTest::keyClick(editor->TextArea(), Qt::Key_Backspace);
        QVERIFY(editor->TextArea()->toPlainText().isEmpty());
    }
    editor->TextArea()->moveCursor(QTextCursor::End);
    QTest::keyClicks(editor->TextArea(), typeText);
    QTEST(editor->SaveButton()->isEnabled(), "save");
}

void TestEditor::enterDoesNotOpenTheAddressBook()
{
    SMSUIMessageEditor* editor = open(EDIT_MODE_NEW);
    QTest::keyClicks(editor->NumberField(), QStringLiteral("0171"));
    // Return in the dialog presses its default button, the address-book button: nothing opens.
    QTest::keyClick(editor->Frame(), Qt::Key_Return);
    QCOMPARE(m_book.picks, 0);
    QCOMPARE(editor->NumberField()->text(), QStringLiteral("0171"));
    auto* sendTo = editor->Frame()->findChild<QPushButton*>(QStringLiteral("SMSUIPlugin_ButtonSend"));
    sendTo->click();
    QCOMPARE(m_book.picks, 1);
    QCOMPARE(editor->NumberField()->text(), QStringLiteral("0171;+4930111222"));
}

// Send to hands the book the numbers typed so far and shows the recipients it answers with, in
// its order: the book decides, the editor adds nothing of its own.
void TestEditor::sendToShowsWhatTheBookReturns_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("given");
    QTest::addColumn<QStringList>("answer");
    QTest::addColumn<QString>("shown");
    QTest::newRow("nothing typed") << "" << QStringList{} << QStringList{"+4930111222"} << "+4930111222";
    QTest::newRow("typed, ending in a separator") << "0171;+4930222;" << QStringList{"0171", "+4930222"}
                                                  << QStringList{"0171", "+4930222", "+4930333"} << "0171;+4930222;+4930333";
    QTest::newRow("the book's choice and order") << "0171;0302222" << QStringList{"0171", "0302222"}
                                                 << QStringList{"0302222", "+4930333"} << "0302222;+4930333";
    QTest::newRow("nothing picked") << "0171;" << QStringList{"0171"} << QStringList{"0171"} << "0171";
}

void TestEditor::sendToShowsWhatTheBookReturns()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, given);
    QFETCH(QStringList, answer);
    SMSUIMessageEditor* editor = open(EDIT_MODE_NEW);
    QTest::keyClicks(editor->NumberField(), typed);
    QCOMPARE(editor->NumberField()->text(), typed);
    m_book.answerSet = true;
    m_book.answer = answer;
    editor->Frame()->findChild<QPushButton*>(QStringLiteral("SMSUIPlugin_ButtonSend"))->click();
    QCOMPARE(m_book.picks, 1);
    QCOMPARE(m_book.purpose, int(ADDRBOOK_PICK_FOR_MESSAGE));
    QCOMPARE(m_book.selection, int(ADDRBOOK_PICK_SEVERAL));
    QCOMPARE(m_book.given, given);
    QTEST(editor->NumberField()->text(), "shown");
}

void TestEditor::arrowKeysMoveTheNumberCursor()
{
    SMSUIMessageEditor* editor = open(EDIT_MODE_NEW);
    QTest::keyClicks(editor->NumberField(), QStringLiteral("01712"));
    QCOMPARE(editor->NumberField()->cursorPosition(), 5);
    QTest::keyClick(editor->Frame(), Qt::Key_Up);
    QCOMPARE(editor->NumberField()->cursorPosition(), 4);
    QTest::keyClick(editor->Frame(), Qt::Key_Down);
    QCOMPARE(editor->NumberField()->cursorPosition(), 5);
}

// Another component asks for an editor and names its own window: in the mini frame, where the
// SMS page is not on screen, the editor sits on that window; in the full frame it stays the page's.
void TestEditor::editorFromAnotherComponentInTheMiniFrame_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<bool>("fromOutside");
    QTest::addColumn<bool>("onCaller");
    QTest::newRow("mini frame, asked from outside") << 0x10 << true << true;
    QTest::newRow("full frame, asked from outside") << 0 << true << false;
    QTest::newRow("mini frame, the page's own New") << 0x10 << false << false;
}

void TestEditor::editorFromAnotherComponentInTheMiniFrame()
{
    QFETCH(int, style);
    QFETCH(bool, fromOutside);
    QWidget caller;
    caller.setObjectName(QStringLiteral("caller"));
    CommonUtils::SetFrameStyle(style);
    auto restore = qScopeGuard([] { CommonUtils::SetFrameStyle(0); });
    if (fromOutside)
        m_window->OpenEditorFromOutside(QStringLiteral("+4930999888"), QString(), &caller);
    else
        m_window->onButtonClickedNewSMS(EDIT_MODE_NEW);
    SMSUIMessageEditor* editor = m_window->Editor();
    QVERIFY(editor && editor->Frame());
    QTEST(editor->Frame()->parentWidget() == &caller, "onCaller");
    QVERIFY(editor->Frame()->isVisible());
    // The caller's window goes first here; the editor goes back to the page, as the others do.
    if (editor->Frame()->parentWidget() == &caller)
        editor->Frame()->setParent(m_window, editor->Frame()->windowFlags());
}

void TestEditor::numberHandedInByAnotherComponent()
{
    m_window->OpenEditorFromOutside(QStringLiteral("+4930999888"), QStringLiteral("from the contacts page"), nullptr);
    SMSUIMessageEditor* editor = m_window->Editor();
    QVERIFY(editor);
    QCOMPARE(editor->Mode(), int(EDIT_MODE_SEND));
    QCOMPARE(editor->NumberField()->text(), QStringLiteral("+4930999888"));
    QVERIFY(!m_window->IsExternalRequest());   // the editor took it
    // Asked while the Outbox shows a message kept unsent: the new message goes out and the
    // selected one stays where it is (it is no message the editor was opened on).
    TestSupport::storeMessage(NODE_LOCAL_OUTBOX, QStringLiteral("+491733333333"), QStringLiteral("kept unsent"), 0,
                              QStringLiteral("20261202120000"), 1);
    SMSStatusUILogic* store = SMSStatusUILogic::Existing();
    store->PopulateSMSFromSDK(MEM_PC);
    for (int node : {0, 13, 15})
        m_window->syncSMSTableWithBuffers(node);
    m_window->onClickSMSTreeNode(m_window->TreeItem(NODE_LOCAL_OUTBOX), 0);
    SMSUITableWidget* outbox = m_window->Table(NODE_LOCAL_OUTBOX);
    QCOMPARE(outbox->rowCount(), 1);
    outbox->selectRow(0);
    m_window->OpenEditorFromOutside(QStringLiteral("+4930999888"), QString(), nullptr);
    editor = m_window->Editor();
    QVERIFY(editor);
    editor->TextArea()->setPlainText(QStringLiteral("from the contacts page"));
    QVERIFY(editor->SendButton()->isEnabled());
    QSignalSpy batchEnd(store, &SMSStatusUILogic::progressbarCloseEvent);
    QTest::mouseClick(editor->SendButton(), Qt::LeftButton);
    QTRY_COMPARE(batchEnd.count(), 1);
    QTRY_COMPARE(m_window->Table(NODE_LOCAL_SENT)->rowCount(), 1);
    QCOMPARE(UITableItem::RecordOf(m_window->Table(NODE_LOCAL_SENT)->item(0, 0))->strContent, QStringLiteral("from the contacts page"));
    QCOMPARE(outbox->rowCount(), 1);
    QCOMPARE(UITableItem::RecordOf(outbox->item(0, 0))->strContent, QStringLiteral("kept unsent"));
    store->ReleaseSmsBuffer(MEM_PC);
    QCOMPARE(store->PopulateSMSFromSDK(MEM_PC), 0);
    QCOMPARE(store->getSmsBuffer(NODE_LOCAL_OUTBOX).size(), 1);
}

void TestEditor::sendModeOnAStoredMessage_data()
{
    QTest::addColumn<int>("stored");   // folder of the message the editor is opened on
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("view");     // folder shown when the command is given
    QTest::addColumn<bool>("save");    // Save instead of Send
    QTest::addColumn<int>("inbox");
    QTest::addColumn<int>("outbox");
    QTest::addColumn<int>("drafts");
    // The init step stores one Inbox message.
    QTest::newRow("sending an unsent Outbox message again leaves one copy")
        << int(NODE_LOCAL_OUTBOX) << 1 << int(NODE_LOCAL_OUTBOX) << false << 1 << 1 << 0;
    QTest::newRow("sending a draft takes it out of Drafts")
        << int(NODE_LOCAL_DRAFT) << 1 << int(NODE_LOCAL_DRAFT) << false << 1 << 1 << 0;
    QTest::newRow("saving a draft opened for sending updates it")
        << int(NODE_LOCAL_DRAFT) << 1 << int(NODE_LOCAL_DRAFT) << true << 1 << 0 << 1;
    QTest::newRow("sending a draft from the Local root takes it out of Drafts")
        << int(NODE_LOCAL_DRAFT) << 1 << int(NODE_LOCAL_ROOT) << false << 1 << 1 << 0;
    QTest::newRow("sending an Inbox message from the Local root keeps the Inbox message")
        << int(NODE_LOCAL_INBOX) << 0 << int(NODE_LOCAL_ROOT) << false << 2 << 1 << 0;
}

void TestEditor::sendModeOnAStoredMessage()
{
    QFETCH(int, stored);
    QFETCH(int, status);
    QFETCH(int, view);
    QFETCH(bool, save);
    TestSupport::storeMessage(stored, QStringLiteral("+491733333333"), QStringLiteral("once more"), 0,
                              QStringLiteral("20261202120000"), status);
    SMSStatusUILogic::Existing()->PopulateSMSFromSDK(MEM_PC);
    for (int node : {0, 1, 2, 13})
        m_window->syncSMSTableWithBuffers(node);
    m_window->onClickSMSTreeNode(m_window->TreeItem(view), 0);
    SMSUITableWidget* table = m_window->Table(view);
    int row = 0;
    while (row < table->rowCount() && table->item(row, 1)->text() != QLatin1String("once more"))
        ++row;
    QVERIFY(row < table->rowCount());
    table->selectRow(row);
    // The sent copy lands in the Outbox as unsent, so every copy of the message stays visible.
    ZsdkSim::FailNextSends(1);
    QSignalSpy batchEnd(SMSStatusUILogic::Existing(), &SMSStatusUILogic::progressbarCloseEvent);
    SMSUIMessageEditor* editor = open(EDIT_MODE_SEND);
    QCOMPARE(editor->NumberField()->text(), QStringLiteral("+491733333333"));
    // The stored text is there to be finished or changed: the cursor waits at its end.
    QCOMPARE(editor->TextArea()->toPlainText(), QStringLiteral("once more"));
    QCOMPARE(editor->TextArea()->textCursor().position(), QStringLiteral("once more").size());
    editor->TextArea()->setPlainText(QStringLiteral("once more, changed"));
    if (save) {
        QTest::mouseClick(editor->SaveButton(), Qt::LeftButton);
    } else {
        QVERIFY(editor->SendButton()->isEnabled());
        QTest::mouseClick(editor->SendButton(), Qt::LeftButton);
        QTRY_COMPARE(batchEnd.count(), 1);   // may come before a wait could start
    }
    QCoreApplication::processEvents();
    QTEST(m_window->Table(NODE_LOCAL_INBOX)->rowCount(), "inbox");
    QTEST(m_window->Table(NODE_LOCAL_OUTBOX)->rowCount(), "outbox");
    QTEST(m_window->Table(NODE_LOCAL_DRAFT)->rowCount(), "drafts");
    // What the tables show is what the device keeps: read it all again, as a restart would.
    SMSStatusUILogic* store = SMSStatusUILogic::Existing();
    store->ReleaseSmsBuffer(MEM_PC);
    QCOMPARE(store->PopulateSMSFromSDK(MEM_PC), 0);
    QTEST(store->getSmsBuffer(NODE_LOCAL_INBOX).size(), "inbox");
    QTEST(store->getSmsBuffer(NODE_LOCAL_OUTBOX).size(), "outbox");
    QTEST(store->getSmsBuffer(NODE_LOCAL_DRAFT).size(), "drafts");
}

void TestEditor::sendStaysOffWhileTheDeviceIsGone()
{
    ZsdkSim::SetDevicePresent(false);
    auto restore = qScopeGuard([] { ZsdkSim::SetDevicePresent(true); });
    QVERIFY(ZsdkSim::WaitForEvents());
    QTRY_VERIFY(!m_window->CanSendSms());
    // An editor opened now: typing a number enables Save, never Send.
    SMSUIMessageEditor* editor = open(EDIT_MODE_NEW);
    QTest::keyClicks(editor->NumberField(), QStringLiteral("+491711111111"));
    editor->TextArea()->setPlainText(QStringLiteral("are you there?"));
    QVERIFY(editor->SaveButton()->isEnabled());
    QVERIFY(!editor->SendButton()->isEnabled());
    QTest::keyClick(editor->NumberField(), Qt::Key_Backspace);
    QVERIFY(!editor->SendButton()->isEnabled());
    // Flight mode switched off is no device either.
    m_window->GetPresentNetworkStatus(true);
    QVERIFY(!editor->SendButton()->isEnabled());
    QVERIFY(!m_window->IsSendEnabled());
    // The device comes back and says that sending works again.
    ZsdkSim::SetDevicePresent(true);
    QVERIFY(ZsdkSim::WaitForEvents());
    QTRY_VERIFY(m_window->CanSendSms());
    QTRY_VERIFY(editor->SendButton()->isEnabled());
}

// Service coming back enables Send only in editors that have a number to send to.
void TestEditor::sendWithoutANumberStaysOffWhenServiceReturns()
{
    SMSUIMessageEditor* editor = open(EDIT_MODE_NEW);
    editor->TextArea()->setPlainText(QStringLiteral("to whom?"));
    QVERIFY(!editor->SendButton()->isEnabled());
    m_window->GetPresentNetworkStatus(false);
    m_window->GetPresentNetworkStatus(true);
    QVERIFY(!editor->SendButton()->isEnabled());
    ZsdkSim::SetDevicePresent(false);
    auto restore = qScopeGuard([] { ZsdkSim::SetDevicePresent(true); });
    QVERIFY(ZsdkSim::WaitForEvents());
    QTRY_VERIFY(!m_window->CanSendSms());
    ZsdkSim::SetDevicePresent(true);
    QVERIFY(ZsdkSim::WaitForEvents());
    QTRY_VERIFY(m_window->CanSendSms());
    QCoreApplication::processEvents();
    QVERIFY(!editor->SendButton()->isEnabled());
    // With a number it comes on with the service.
    QTest::keyClicks(editor->NumberField(), QStringLiteral("+491711111111"));
    m_window->GetPresentNetworkStatus(false);
    QVERIFY(!editor->SendButton()->isEnabled());
    m_window->GetPresentNetworkStatus(true);
    QVERIFY(editor->SendButton()->isEnabled());
}

void TestEditor::cancelDuringASendClosesTheProgress()
{
    ZsdkSim::SetSendDelay(300);
    auto restore = qScopeGuard([] { ZsdkSim::SetSendDelay(0); });
    SMSUIMessageEditor* editor = open(EDIT_MODE_NEW);
    QTest::keyClicks(editor->NumberField(), QStringLiteral("+491711111111;+491722222222;+491733333333"));
    editor->TextArea()->setPlainText(QStringLiteral("three of them"));
    QTest::mouseClick(editor->SendButton(), Qt::LeftButton);
    SMSWaitingDlg* progress = SMSWaitingDlg::Existing();
    QVERIFY(progress && progress->Dialog() && progress->Dialog()->isVisible());
    // A second editor, waiting to be sent when this batch is over.
    SMSUIMessageEditor* next = open(EDIT_MODE_NEW);
    QTest::keyClicks(next->NumberField(), QStringLiteral("+491744444444"));
    next->SendButton()->setEnabled(false);
    QSignalSpy results(m_window->Worker(), &SMSThreadUI::SendSignalEvent);
    progress->Dialog()->findChild<QPushButton*>(QStringLiteral("SMSUIPlugin_WaitingCancel"))->click();
    QVERIFY(progress->isCancelling());
    QVERIFY(results.wait(5000));
    QCoreApplication::processEvents();
    // The first result after Cancel ends the batch: the report is taken, the window is gone at
    // once and the editors may send again.
    QVERIFY(!progress->isCancelling());
    QVERIFY(!progress->Dialog() || !progress->Dialog()->isVisible());
    QVERIFY(next->SendButton()->isEnabled());
}

void TestEditor::finishedSendIsAKnownOperation()
{
    {
        QMutexLocker lock(&g_logMutex);
        g_log.clear();
    }
    QLoggingCategory::defaultCategory()->setEnabled(QtDebugMsg, true);
    qInstallMessageHandler(captureLog);
    auto restore = qScopeGuard([] { qInstallMessageHandler(nullptr); });
    SMSUIMessageEditor* editor = open(EDIT_MODE_NEW);
    QTest::keyClicks(editor->NumberField(), QStringLiteral("+491711111111"));
    editor->TextArea()->setPlainText(QStringLiteral("nothing special"));
    QSignalSpy finished(m_window->Worker(), SIGNAL(finished()));
    QTest::mouseClick(editor->SendButton(), Qt::LeftButton);
    QVERIFY(finished.wait(5000));
    QTRY_COMPARE(SMSWaitingDlg::Existing()->LabelText(), QStringLiteral("All messages were sent."));
    QMutexLocker lock(&g_logMutex);
    for (const QString& line : qAsConst(g_log)) {
        QVERIFY2(!line.contains(QLatin1String("in default")), qPrintable(line));
    }
}

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
