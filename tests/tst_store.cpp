// The message store over the simulated modem: record conversions, buffers, names, icons,
// operations, device events and status, the configuration file, and record lifetime under
// concurrent use.

#include "CommonUtils.h"
#include "store/DetectMemoryDeviceThread.h"
#include "settings/SMSSettingUILogic.h"
#include "store/SMSStatusUILogic.h"
#include "worker/SMSThreadUI.h"
#include "store/SMSTypes.h"
#include "window/SMSUIMainDlg.h"
#include "SimControl.h"
#include "store/SmsSettingXMLParse.h"
#include "Startup.h"
#include "TestSupport.h"
#include "zsdk.h"

#include <QScopeGuard>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace {

const ZSDK_WCHAR* w(const QString& s) { return s.utf16(); }

struct DeviceRecord {
    SMSDeviceRecord rec{};
    QString number, content;
    DeviceRecord(int node, int status, const QString& n, const QString& c, const QString& time = QStringLiteral("20261206101530"))
        : number(n), content(c)
    {
        rec.iMsgId = 77;
        rec.iNode = node;
        rec.iOrigNode = node;
        rec.iStatus = status;
        rec.iAttrA = 3;
        rec.pNumber = const_cast<ZSDK_WCHAR*>(w(number));
        rec.pContent = const_cast<ZSDK_WCHAR*>(w(content));
        for (int i = 0; i < time.size() && i < 19; ++i)
            rec.szTime[i] = time.at(i).unicode();
    }
};

void writeFile(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
}

} // namespace

using TestSupport::storeMessage;

class TestStore : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void deviceToLocal_data();
    void deviceToLocal();
    void textsReadAsTheCodecReadsThem_data();
    void textsReadAsTheCodecReadsThem();
    void localToDeviceFoldsSentItemsBack();
    void conversionRejectsNulls();
    void timeFieldKeepsNineteenCharacters();
    void locations_data();
    void locations();
    void moveCopyTargets_data();
    void moveCopyTargets();
    void displayTimesAreTheLocalesShortForm();
    void displayTexts();
    void timesAreReadAsThePatternReadsThem_data();
    void timesAreReadAsThePatternReadsThem();
    void reportTexts_data();
    void reportTexts();

    void loadsEveryMemoryIntoItsFolders();
    void emptySimLeavesBuffersAlone();
    void reloadReplacesOnlyAfterARead_data();
    void reloadReplacesOnlyAfterARead();
    void releaseBufferOfThePc();
    void unreadCounts();
    void names_data();
    void names();
    void namesFollowThePhoneBook();
    void statusIcons_data();
    void statusIcons();

    void receivedMessageReachesTheGuiThread();
    void flashMessageIsAnnouncedNeverStored();
    void sentMessageAndResults();
    void callbackWhileShuttingDownChangesNothing();

    void deleteToTrashOrForGood();
    void bufferDeleteMovesToTrash();
    void moveCopyRecoverReadBack();
    void failedRecoverLeavesTheMessageInTheTrash_data();
    void failedRecoverLeavesTheMessageInTheTrash();
    void failedMoveKeepsOneCopy_data();
    void failedMoveKeepsOneCopy();
    void otherModesDoNothing();
    void draftIsStoredAsDraft();
    void readFlagIsWrittenNotBuffered();
    void dropRules_data();
    void dropRules();

    void statusQueries();
    void validNumbers_data();
    void validNumbers();
    void readerThreadSignalsOrStops();

    void configurationLoader_data();
    void configurationLoader();
    void configurationKeysAndOrder();
    void settingsLogicConfiguration();

    void recordsSurviveConcurrentUse();
    void loadingWhileMessagesArrive();
    void loadShowsWhatChangedBetweenCountAndList_data();
    void loadShowsWhatChangedBetweenCountAndList();
    void loadingThePcWhileCardsAreRead();
    void reloadsDuringAJobShowWhatItLeft_data();
    void reloadsDuringAJobShowWhatItLeft();

private:
    void setConfig(const QByteArray& xml);
    void makeWindow(bool sentItems);
    QTemporaryDir m_dir;
    SMSStatusUILogic* m_store = nullptr;
};

void TestStore::setConfig(const QByteArray& xml)
{
    writeFile(m_dir.filePath(QStringLiteral("lib/plugins/SMSUIPlugin/SMSUIPluginConfig.xml")), xml);
}

void TestStore::makeWindow(bool sentItems)
{
    SMSUIMainDlg::Release();
    setConfig(QByteArray("<c><SentItemsBox>") + (sentItems ? "true" : "false") + "</SentItemsBox></c>");
    SMSUIMainDlg::Instance();
    QCOMPARE(SMSUIMainDlg::Existing()->IsSentItemsBox(), sentItems);
}

void TestStore::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // The plug-in's data (status images) from the build tree, the configuration from the test.
    const QString lib = m_dir.filePath(QStringLiteral("lib"));
    QVERIFY(TestSupport::stageLibrary(lib, {"plugins/SMSUIPlugin/sms_status.png", "translations/host_en.qm"}));
    CommonUtils::SetPluginLibraryPath(lib);
    CommonUtils::SetSettingsFile(m_dir.filePath(QStringLiteral("xframe.ini")));
}

void TestStore::init()
{
    TestSupport::freshModem(m_dir.filePath(QStringLiteral("sim.sqlite")), [](ZsdkSim::Options& o) { o.simCapacity = 10; });
    m_store = SMSStatusUILogic::Instance();
    QCOMPARE(m_store->InitStatusLogic(), 0);
    QVERIFY(ZsdkSim::WaitForEvents());
}

void TestStore::cleanup()
{
    if (m_store)
        m_store->unSDKRegisterEvent();
    SMSUIMainDlg::Release();
    SMSStatusUILogic::Release();
    m_store = nullptr;
    CommonUtils::SetShuttingDown(false);
}

void TestStore::cleanupTestCase() { ZsdkSim::Shutdown(); }

void TestStore::deviceToLocal_data()
{
    QTest::addColumn<bool>("sentItems");
    QTest::addColumn<int>("node");
    QTest::addColumn<int>("origNode");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("expectedNode");
    QTest::addColumn<int>("expectedOrig");
    QTest::newRow("a sent outbox message shows in Sent Items") << true << 0 << 0 << 0 << 15 << 15;
    QTest::newRow("an unsent outbox message stays in the Outbox") << true << 0 << 0 << 1 << 0 << 0;
    QTest::newRow("without Sent Items the outbox keeps it") << false << 0 << 0 << 0 << 0 << 0;
    QTest::newRow("a trashed sent message came from Sent Items") << true << 4 << 0 << 0 << 4 << 15;
    QTest::newRow("a trashed unsent message came from the Outbox") << true << 4 << 0 << 1 << 4 << 0;
    QTest::newRow("an inbox message is untouched") << true << 1 << 1 << 0 << 1 << 1;
}

void TestStore::deviceToLocal()
{
    QFETCH(bool, sentItems);
    QFETCH(int, node);
    QFETCH(int, origNode);
    QFETCH(int, status);
    makeWindow(sentItems);
    DeviceRecord d(node, status, QStringLiteral("+491712345678"), QStringLiteral("a\rb\r\nc\r"));
    d.rec.iOrigNode = origNode;
    d.rec.iMsgType = 4;
    d.rec.iAttrB = 5;
    d.rec.iAttrC = 6;
    d.rec.iAttrD = 7;
    d.rec.iPriority = 2;
    d.rec.iReadFlag = 1;
    SMSLocalRecord local;
    QCOMPARE(m_store->populateSDKRecordToLocalStructure(&d.rec, &local), 0);
    QTEST(local.iNode, "expectedNode");
    QTEST(local.iOrigNode, "expectedOrig");
    QCOMPARE(local.iStatus, status);
    QCOMPARE(local.iMsgId, 77);
    QCOMPARE(local.iReadFlag, 1);
    // Kind 4: a lone carriage return goes, CR LF stays, a trailing CR goes.
    QCOMPARE(local.strContent, QStringLiteral("ab\r\nc"));
    QCOMPARE(local.strNumber, QStringLiteral("+491712345678"));
    QCOMPARE(local.strTime, QStringLiteral("20261206101530"));
    QCOMPARE(local.iAttrB, 5);
    QCOMPARE(local.iAttrC, 6);
    QCOMPARE(local.iAttrD, 7);
    QCOMPARE(local.iPriority, 2);
    QVERIFY(local.strSpare.isEmpty());
}

void TestStore::textsReadAsTheCodecReadsThem_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain text") << QStringLiteral("see you at 8") << QStringLiteral("see you at 8");
    QTest::newRow("an emoji") << QStringLiteral("ok \U0001F600") << QStringLiteral("ok \U0001F600");
    QTest::newRow("a lone surrogate survives") << QString(QChar(0xd800)) + QStringLiteral("x") << QString(QChar(0xd800)) + QStringLiteral("x");
    QTest::newRow("a mark inside the text stays") << QStringLiteral("a\uFEFFb") << QStringLiteral("a\uFEFFb");
    QTest::newRow("empty") << QString() << QString();
    // A leading byte-order mark is what the UTF-16 codec looks at; the expected text is its
    // reading, whatever that is.
    QTest::newRow("a leading byte-order mark") << QStringLiteral("\uFEFFhello") << QString::fromUtf16(u"\uFEFFhello");
    QTest::newRow("a leading swapped mark") << QString(QChar(0xfffe)) + QStringLiteral("hi")
                                            << QString::fromUtf16((QString(QChar(0xfffe)) + QStringLiteral("hi")).utf16());
}

// A record's texts are read as QString::fromUtf16 reads them, also where that is not a plain
// copy of the units.
void TestStore::textsReadAsTheCodecReadsThem()
{
    QFETCH(QString, content);
    QFETCH(QString, expected);
    DeviceRecord d(1, 0, content, content);
    SMSLocalRecord local;
    QCOMPARE(m_store->populateSDKRecordToLocalStructure(&d.rec, &local), 0);
    QCOMPARE(local.strContent, expected);
    QCOMPARE(local.strNumber, expected);
    QCOMPARE(local.strTime, QStringLiteral("20261206101530"));
}

void TestStore::localToDeviceFoldsSentItemsBack()
{
    SMSLocalRecord sent;
    sent.iNode = 15;
    sent.iOrigNode = 15;
    sent.strTime = QStringLiteral("20261206101530");
    SMSDeviceRecord d{};
    QCOMPARE(m_store->populateLocalRecordToSDKStructure(&d, &sent), 0);
    QCOMPARE(d.iNode, 0);
    QCOMPARE(d.iOrigNode, 0);
    SMSLocalRecord trashed;
    trashed.iNode = 4;
    trashed.iOrigNode = 15;
    QCOMPARE(m_store->populateLocalRecordToSDKStructure(&d, &trashed), 0);
    QCOMPARE(d.iNode, 4);
    QCOMPARE(d.iOrigNode, 0);
    QCOMPARE(QString::fromUtf16(d.pNumber), QStringLiteral(" "));
}

void TestStore::conversionRejectsNulls()
{
    SMSLocalRecord local;
    local.strContent = QStringLiteral("unchanged");
    DeviceRecord d(1, 0, QStringLiteral("1"), QStringLiteral("x"));
    d.rec.pNumber = nullptr;
    QCOMPARE(m_store->populateSDKRecordToLocalStructure(&d.rec, &local), 23);
    QCOMPARE(local.strContent, QStringLiteral("unchanged"));
    QCOMPARE(m_store->populateSDKRecordToLocalStructure(nullptr, &local), 23);
    QCOMPARE(m_store->populateLocalRecordToSDKStructure(nullptr, &local), 23);
    // Building a buffered record: either argument missing is refused and nothing is stored.
    SMSLocalRecordPtr built;
    QCOMPARE(m_store->sortSMSToCorrespondingNodes(nullptr, &built), 23);
    QVERIFY(!built);
    DeviceRecord good(1, 0, QStringLiteral("1"), QStringLiteral("x"));
    QCOMPARE(m_store->sortSMSToCorrespondingNodes(&good.rec, nullptr), 23);
    QCOMPARE(m_store->getSmsBuffer(1).size(), 0);
}

void TestStore::timeFieldKeepsNineteenCharacters()
{
    SMSLocalRecord local;
    local.strTime = QStringLiteral("20261206101530ABCDEF");   // 20 characters
    SMSDeviceRecord d{};
    for (auto& c : d.szTime)
        c = 'x';
    QCOMPARE(m_store->populateLocalRecordToSDKStructure(&d, &local), 0);
    QCOMPARE(QString::fromUtf16(d.szTime), QStringLiteral("20261206101530ABCDE"));
    QCOMPARE(int(d.szTime[19]), 0);
}

void TestStore::locations_data()
{
    QTest::addColumn<int>("node");
    QTest::addColumn<int>("mem");
    QTest::addColumn<int>("root");
    for (int n : {0, 1, 2, 3, 4, 5, 10, 13, 15})
        QTest::addRow("PC folder %d", n) << n << 0 << 13;
    for (int n : {6, 7, 12})
        QTest::addRow("SIM folder %d", n) << n << 1 << 12;
    for (int n : {8, 9, 14})
        QTest::addRow("device folder %d", n) << n << 2 << 14;
    for (int n : {11, 16, 17, -1})
        QTest::addRow("no folder %d", n) << n << 16 << 16;
}

void TestStore::locations()
{
    QFETCH(int, node);
    QTEST(SMSStatusUILogic::GetMemPosition(node), "mem");
    QTEST(SMSStatusUILogic::GetParentPos(node), "root");
}

void TestStore::moveCopyTargets_data()
{
    QTest::addColumn<int>("node");
    QTest::addColumn<int>("target");
    QTest::newRow("PC outbox to SIM outbox") << 0 << 6;
    QTest::newRow("Sent Items to SIM outbox") << 15 << 6;
    QTest::newRow("PC inbox to SIM inbox") << 1 << 7;
    QTest::newRow("SIM outbox to PC outbox") << 6 << 0;
    QTest::newRow("SIM inbox to PC inbox") << 7 << 1;
    QTest::newRow("drafts have no card target") << 2 << -5;
}

void TestStore::moveCopyTargets()
{
    QFETCH(int, node);
    QFETCH(int, target);
    int to = -5, initial = -5;
    SMSStatusUILogic::GetToandInitalPosForMoveCopyOp(node, &to, &initial);
    QCOMPARE(to, target);
    QCOMPARE(initial, target);
}

void TestStore::displayTimesAreTheLocalesShortForm()
{
    // Times sharing a day, a time of day or a minute with others: each shows exactly what the
    // locale's short form shows for it, also when asked again.
    const QStringList times{QStringLiteral("20261206101530"), QStringLiteral("20261206101531"), QStringLiteral("20261207101530"),
                            QStringLiteral("20261206000000"), QStringLiteral("20261206235959"), QStringLiteral("20261206120000"),
                            QStringLiteral("20280229101530"), QStringLiteral("19991231235959"), QStringLiteral("20261206101630"),
                            QStringLiteral("21000101000001")};
    for (int round = 0; round < 2; ++round) {
        for (const QString& time : times) {
            const QDateTime when = SMSStatusUILogic::parseTime(time);
            QVERIFY2(when.isValid(), qPrintable(time));
            QCOMPARE(SMSStatusUILogic::getUIDisplayTime(time), QLocale::system().toString(when, QLocale::ShortFormat));
            QCOMPARE(SMSStatusUILogic::displayTime(when), QLocale::system().toString(when, QLocale::ShortFormat));
        }
    }
    QCOMPARE(SMSStatusUILogic::displayTime(QDateTime()), QString());
}

// A record's time is what "yyyyMMddhhmmss" makes of its text: the fast reading of fourteen digits
// and every other text give exactly the date and time the pattern gives, and no time where the
// pattern gives none (a time that is too long, has blanks or a letter shows no time at all).
void TestStore::timesAreReadAsThePatternReadsThem_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("a device time") << "20261206101530";
    QTest::newRow("the first second of a year") << "20270101000000";
    QTest::newRow("the last second of a year") << "19991231235959";
    QTest::newRow("a leap day") << "20280229235959";
    QTest::newRow("no leap day") << "20270229101530";
    QTest::newRow("month 13") << "20261306101530";
    QTest::newRow("hour 24") << "20261206241530";
    QTest::newRow("second 60") << "20261206101560";
    QTest::newRow("year 0") << "00001206101530";
    QTest::newRow("one digit more") << "202612061015301";
    QTest::newRow("one digit less") << "2026120610153";
    QTest::newRow("a blank after it") << "20261206101530 ";
    QTest::newRow("a blank before it") << " 20261206101530";
    QTest::newRow("a blank in place of a digit") << "2026 206101530";
    QTest::newRow("a blank between date and time") << "20261206 101530";
    QTest::newRow("a line break after it") << "20261206101530\n";
    QTest::newRow("a letter") << "2026120610153x";
    QTest::newRow("a minus sign") << "2026120610-530";
    // The pattern reads a field with a plus sign as the number after it.
    QTest::newRow("a plus sign in the month") << "2026+206101530";
    QTest::newRow("plus signs in the day and the hour") << "202612+6+11530";
    QTest::newRow("a plus sign in the seconds") << "202612061015+0";
    QTest::newRow("a plus sign in the year") << "+0261206101530";
    QTest::newRow("Arabic-Indic digits") << QString::fromUtf8("\u0662\u0660\u0662\u0666\u0661\u0662\u0660\u0666\u0661\u0660\u0661\u0665\u0663\u0660");
    QTest::newRow("nothing") << "";
}

void TestStore::timesAreReadAsThePatternReadsThem()
{
    QFETCH(QString, text);
    const QDateTime pattern = QDateTime::fromString(text, QStringLiteral("yyyyMMddhhmmss"));
    const QDateTime read = SMSStatusUILogic::parseTime(text);
    QCOMPARE(read.isValid(), pattern.isValid());
    if (pattern.isValid()) {
        QCOMPARE(read.date(), pattern.date());
        QCOMPARE(read.time(), pattern.time());
    }
    const QString shown = SMSStatusUILogic::getUIDisplayTime(text);
    if (text.size() < 14 || !pattern.isValid())
        QCOMPARE(shown, QString());
    else
        QCOMPARE(shown, QLocale::system().toString(pattern, QLocale::ShortFormat));
}

void TestStore::displayTexts()
{
    QCOMPARE(SMSStatusUILogic::getUIDisplayTime(QStringLiteral("2026")), QString());
    const QString shown = SMSStatusUILogic::getUIDisplayTime(QStringLiteral("20261206101530"));
    QCOMPARE(shown, QLocale::system().toString(QDateTime(QDate(2026, 12, 6), QTime(10, 15, 30)), QLocale::ShortFormat));
    QVERIFY(!SMSStatusUILogic::getUIDisplayTime(QStringLiteral("00000000000000")).isEmpty());
    // Only exactly fourteen digits are a time; anything else shows no time rather than a guess.
    for (const char* bad : {"202612061015301", "20261206101530 ", " 2026120610153", "2026 206101530", "2026120610153x"})
        QVERIFY2(SMSStatusUILogic::getUIDisplayTime(QLatin1String(bad)).isEmpty(), bad);
    QCOMPARE(SMSStatusUILogic::getMessagePriority(2, false, false), QStringLiteral("IDS_RAD_URGENT"));
    QCOMPARE(SMSStatusUILogic::getMessagePriority(3, true, false), QStringLiteral("IDS_RAD_EMERGENCY"));
    QCOMPARE(SMSStatusUILogic::getMessagePriority(4, false, false), QString());
    QCOMPARE(SMSStatusUILogic::getMessagePriority(9, false, false), QStringLiteral("IDS_RAD_NORMAL"));
    QCOMPARE(SMSStatusUILogic::getMessagePriority(2, true, true), QString());
}

void TestStore::reportTexts_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("result");
    QTest::newRow("delivered, no text") << 0 << "" << "Delivered" << 0;
    QTest::newRow("pending, one character") << 0x22 << "x" << "Pending" << 2;
    QTest::newRow("failed status") << 5 << "" << "Failed" << 1;
    QTest::newRow("already the success label") << 7 << "Delivered" << "Delivered" << 0;
    QTest::newRow("already the failed label") << 0 << "Failed" << "Failed" << 1;
    QTest::newRow("a network text keeps its words") << 0 << "Delivered to\r\n+49171" << "Delivered to+49171" << -1;
}

void TestStore::reportTexts()
{
    QFETCH(int, status);
    QFETCH(QString, content);
    int result = -1;
    QCOMPARE(m_store->getReportContentMsg(status, content, &result), QString());   // no window yet
    QCOMPARE(result, -1);
    makeWindow(true);
    QTEST(m_store->getReportContentMsg(status, content, &result), "text");
    QTEST(result, "result");
}

void TestStore::loadsEveryMemoryIntoItsFolders()
{
    makeWindow(true);
    const int inbox = storeMessage(1, QStringLiteral("+491712345678"), QStringLiteral("in"), 1);
    const int sent = storeMessage(0, QStringLiteral("+491712345678"), QStringLiteral("sent"), 0, QStringLiteral("20261201120000"), 0);
    const int unsent = storeMessage(0, QStringLiteral("+491712345678"), QStringLiteral("unsent"), 0, QStringLiteral("20261201120000"), 1);
    const int sim = storeMessage(7, QStringLiteral("+491712345678"), QStringLiteral("sim"), 1);
    QCOMPARE(m_store->PopulateSMSFromSDK(MEM_PC), 0);
    QCOMPARE(m_store->PopulateSMSFromSDK(MEM_SIM), 0);
    QCOMPARE(m_store->getSmsBuffer(1).keys(), QList<int>{inbox});
    QCOMPARE(m_store->getSmsBuffer(15).keys(), QList<int>{sent});
    QCOMPARE(m_store->getSmsBuffer(0).keys(), QList<int>{unsent});
    QCOMPARE(m_store->getSmsBuffer(7).keys(), QList<int>{sim});
    QCOMPARE(m_store->GetSingleSMS(7, sim).strContent, QStringLiteral("sim"));
    QCOMPARE(m_store->GetSingleSMS(7, 12345).iMsgId, -1);   // absent: a default record
    // Loading twice does not duplicate.
    QCOMPARE(m_store->PopulateSMSFromSDK(MEM_PC), 0);
    QCOMPARE(m_store->getSmsBuffer(1).size(), 1);
    QVERIFY(!m_store->GetSMSRecordCount(MEM_SIM));
    QCOMPARE(m_store->GetSMSCount(MEM_SIM), 1);
    // The ids alone, for the count just taken: every message of the storage, once.
    QVERIFY(!m_store->GetSMSRecordCount(MEM_PC));
    QCOMPARE(m_store->GetMessageIdList(MEM_PC), 0);
    QList<int> ids = m_store->LastReadIds();
    std::sort(ids.begin(), ids.end());
    QList<int> expected{inbox, sent, unsent};
    std::sort(expected.begin(), expected.end());
    QCOMPARE(ids, expected);
}

void TestStore::emptySimLeavesBuffersAlone()
{
    const int id = storeMessage(7, QStringLiteral("1234567"), QStringLiteral("sim"));
    QCOMPARE(m_store->PopulateSMSFromSDK(MEM_SIM), 0);
    // A card with a single message has its one id to give.
    QVERIFY(!m_store->GetSMSRecordCount(MEM_SIM));
    QCOMPARE(m_store->GetMessageIdList(MEM_SIM), 0);
    QCOMPARE(m_store->LastReadIds(), QList<int>{id});
    QCOMPARE(ZSDK_SMSSrv_RemoveMsg(id, MEM_SIM), 0);
    QCOMPARE(m_store->PopulateSMSFromSDK(MEM_SIM), 1);
    QCOMPARE(m_store->getSmsBuffer(7).size(), 1);
    // An empty card has no ids to give: a failure, not an empty success.
    QCOMPARE(m_store->GetMessageIdList(MEM_SIM), 1);
}

void TestStore::reloadReplacesOnlyAfterARead_data()
{
    QTest::addColumn<int>("mem");
    QTest::addColumn<int>("folder");
    QTest::addColumn<int>("removedElsewhere");   // of the two messages stored
    QTest::addColumn<bool>("pinAsked");          // the card cannot be read
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("shown");
    QTest::newRow("the card asks for its PIN: both stay shown") << int(MEM_SIM) << 7 << 1 << true << int(SMS_FAIL) << 2;
    QTest::newRow("the card emptied and unreadable: both stay shown") << int(MEM_SIM) << 7 << 2 << true << int(SMS_FAIL) << 2;
    QTest::newRow("the card read: a message removed elsewhere goes") << int(MEM_SIM) << 7 << 1 << false << int(SMS_OK) << 1;
    QTest::newRow("the card read empty: nothing is shown") << int(MEM_SIM) << 7 << 2 << false << int(SMS_OK) << 0;
    QTest::newRow("the device memory read empty: nothing is shown") << int(MEM_DEVICE) << 9 << 2 << false << int(SMS_OK) << 0;
    QTest::newRow("the PC read: a message removed elsewhere goes") << int(MEM_PC) << 1 << 1 << false << int(SMS_OK) << 1;
    QTest::newRow("the PC read: Sent Items follows the store too") << int(MEM_PC) << 15 << 1 << false << int(SMS_OK) << 1;
    QTest::newRow("the PC, nothing changed") << int(MEM_PC) << 1 << 0 << false << int(SMS_OK) << 2;
}

// A storage read again replaces what its folders held only once the read succeeded: the device
// failing to answer never makes messages vanish from the page, and a read that did succeed shows
// exactly what the storage holds.
void TestStore::reloadReplacesOnlyAfterARead()
{
    QFETCH(int, mem);
    QFETCH(int, folder);
    QFETCH(int, removedElsewhere);
    QFETCH(bool, pinAsked);
    makeWindow(true);
    // Sent Items is the page's view of sent outbox messages.
    const int stored = folder == 15 ? 0 : folder;
    QList<int> ids;
    for (int i = 0; i < 2; ++i)
        ids << storeMessage(stored, QStringLiteral("123456%1").arg(i), QStringLiteral("m%1").arg(i), 0, QStringLiteral("20261201120000"), 0);
    QCOMPARE(m_store->ReloadSmsBuffer(mem), int(SMS_OK));
    QCOMPARE(m_store->getSmsBuffer(folder).size(), 2);
    const quint64 before = m_store->FolderGeneration(folder);
    for (int i = 0; i < removedElsewhere; ++i)
        QCOMPARE(ZSDK_SMSSrv_RemoveMsg(ids.at(i), mem), 0);
    if (pinAsked)
        ZsdkSim::SetPinState(2);
    auto restore = qScopeGuard([] { ZsdkSim::SetPinState(1); });
    QTEST(m_store->ReloadSmsBuffer(mem), "result");
    QTEST(m_store->getSmsBuffer(folder).size(), "shown");
    // A table filled before knows from the folder's generation whether to look again.
    QCOMPARE(m_store->FolderGeneration(folder) != before, !pinAsked);
    for (int id : m_store->getSmsBuffer(folder).keys())
        QVERIFY2(pinAsked || ids.indexOf(id) >= removedElsewhere, "a message removed elsewhere is still shown");
}

void TestStore::releaseBufferOfThePc()
{
    makeWindow(true);
    for (int node : {1, 0, 5, 10})
        storeMessage(node, QStringLiteral("1234567"), QStringLiteral("x"));
    m_store->PopulateSMSFromSDK(MEM_PC);
    QCOMPARE(m_store->getSmsBuffer(15).size(), 1);
    QCOMPARE(m_store->getSmsBuffer(10).size(), 1);
    // A table filled before an insert and the release must not count as showing the folder.
    const quint64 filledAt = m_store->FolderGeneration(1);
    m_store->InsertSingleSMS(1, 4242, SMSLocalRecordPtr::create());
    QCOMPARE(m_store->ReleaseSmsBuffer(MEM_PC), 0);
    QVERIFY(m_store->FolderGeneration(1) != filledAt);
    QCOMPARE(m_store->getSmsBuffer(1).size(), 0);
    QCOMPARE(m_store->getSmsBuffer(5).size(), 0);
    QCOMPARE(m_store->getSmsBuffer(10).size(), 1);
    QCOMPARE(m_store->getSmsBuffer(15).size(), 1);
}

void TestStore::unreadCounts()
{
    storeMessage(1, QStringLiteral("1234567"), QStringLiteral("a"), 1);
    storeMessage(1, QStringLiteral("1234567"), QStringLiteral("b"), 0);
    storeMessage(5, QStringLiteral("1234567"), QString(), 1);
    storeMessage(7, QStringLiteral("1234567"), QStringLiteral("sim"), 1);
    storeMessage(9, QStringLiteral("1234567"), QStringLiteral("dev"), 1);
    storeMessage(2, QStringLiteral("1234567"), QStringLiteral("draft"), 1);   // drafts never count
    m_store->PopulateSMSFromSDK(MEM_PC);
    QCOMPARE(m_store->GetUnreadCountInNode(1), 1);
    QVERIFY(m_store->IsAnyMessagesUnRead(1));
    QVERIFY(!m_store->IsAnyMessagesUnRead(0));
    QCOMPARE(m_store->LoadAndCountUnread(MEM_PC), 2);
    QCOMPARE(m_store->GetUnReadSMSTotalCount(), 4);
    ZsdkSim::SetSimPresent(false);
    m_store->ReleaseSmsBuffer(MEM_SIM);
    QCOMPARE(m_store->GetUnReadSMSTotalCount(), 3);
    ZsdkSim::SetSimPresent(true);
}

void TestStore::names_data()
{
    QTest::addColumn<QString>("numbers");
    QTest::addColumn<QString>("names");
    QTest::addColumn<QString>("nameList");
    QTest::addColumn<QString>("plain");
    QTest::newRow("a contact") << "01712345678" << "Anna" << "Anna" << "Anna";
    QTest::newRow("a stranger") << "+4930999999" << "+4930999999" << "" << "+4930999999";
    QTest::newRow("a contact without a name") << "+33612345678" << "+33612345678" << "" << "";
    QTest::newRow("contact then stranger") << "+491712345678;555" << "Anna; 555" << "Anna;" << "Anna; 555";
    QTest::newRow("stranger then contact") << "555;+491712345678" << "555; Anna" << "; Anna" << "555; Anna";
    QTest::newRow("empty parts are dropped") << ";;01712345678;" << "Anna" << "Anna" << "Anna";
    QTest::newRow("no number") << "" << "" << "" << "";
    QTest::newRow("separators only") << ";;" << "" << "" << "";
}

void TestStore::names()
{
    QVERIFY(ZsdkSim::AddContact(QStringLiteral("Anna"), QStringLiteral("+49 171 2345678")));
    QVERIFY(ZsdkSim::AddContact(QString(), QStringLiteral("+33 6 12 34 56 78")));
    QFETCH(QString, numbers);
    QString names, list;
    m_store->getNameByNumberFromPhoneBookEx(numbers, names, list);
    QTEST(names, "names");
    QTEST(list, "nameList");
    QTEST(m_store->getNameByNumberFromPhoneBook(numbers), "plain");
}

void TestStore::namesFollowThePhoneBook()
{
    const int id = storeMessage(1, QStringLiteral("030 7654321"), QStringLiteral("who?"));
    m_store->PopulateSMSFromSDK(MEM_PC);
    const SMSLocalRecordPtr before = m_store->GetSingleSMSPtr(1, id);
    QCOMPARE(before->strName, QStringLiteral("030 7654321"));
    QVERIFY(ZsdkSim::AddContact(QStringLiteral("Bernd"), QStringLiteral("+49 30 7654321")));
    m_store->SyncBuffersWithPB();
    QCOMPARE(m_store->GetSingleSMS(1, id).strName, QStringLiteral("Bernd"));
    QCOMPARE(m_store->GetSingleSMS(1, id).strNameList, QStringLiteral("Bernd"));
    QCOMPARE(before->strName, QStringLiteral("030 7654321"));
}

void TestStore::statusIcons_data()
{
    QTest::addColumn<int>("node");
    QTest::addColumn<int>("orig");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("read");
    QTest::addColumn<int>("image");   // -1: none
    QTest::newRow("outbox sent") << 0 << 0 << 0 << 0 << 2;
    QTest::newRow("outbox not sent") << 0 << 0 << 1 << 0 << 3;
    QTest::newRow("inbox unread") << 1 << 1 << 0 << 1 << 1;
    QTest::newRow("inbox read") << 1 << 1 << 0 << 0 << 0;
    QTest::newRow("sent items") << 15 << 15 << 0 << 0 << 2;
    QTest::newRow("draft") << 2 << 2 << 0 << 0 << 4;
    QTest::newRow("favourite from the inbox, unread") << 3 << 1 << 0 << 1 << 1;
    QTest::newRow("trash from favourites") << 4 << 3 << 0 << 0 << 0;
    QTest::newRow("trash from an unsent outbox message") << 4 << 0 << 1 << 0 << 3;
    QTest::newRow("SIM outbox not sent") << 6 << 6 << 1 << 0 << 3;
    QTest::newRow("device inbox unread") << 9 << 9 << 0 << 1 << 1;
    QTest::newRow("a root has none") << 13 << 13 << 0 << 0 << -1;
}

void TestStore::statusIcons()
{
    QFETCH(int, image);
    SMSLocalRecord rec;
    QFETCH(int, node);
    QFETCH(int, orig);
    QFETCH(int, status);
    QFETCH(int, read);
    rec.iNode = node;
    rec.iOrigNode = orig;
    rec.iStatus = status;
    rec.iReadFlag = read;
    m_store->addIconsToTable(&rec);
    if (image < 0) {
        QVERIFY(rec.imgStatus.isNull());
        return;
    }
    QVERIFY(!m_store->StatusImage(image).isNull());
    QCOMPARE(rec.imgStatus, m_store->StatusImage(image));
    // The five cells differ, so the comparison above picks exactly one.
    for (int other = 0; other < 5; ++other)
        if (other != image)
            QVERIFY(m_store->StatusImage(other) != rec.imgStatus);
}

class GuiReceiver : public QObject
{
    Q_OBJECT
public:
    QList<Qt::HANDLE> threads;
    QList<int> ids;
    QList<QVariantList> announcements;
public slots:
    void onReceived(int id) { threads << QThread::currentThreadId(); ids << id; }
    void onNew(QString content, QString sender, QString time, int node, int ordinary)
    {
        threads << QThread::currentThreadId();
        announcements << QVariantList{content, sender, time, node, ordinary};
    }
};

void TestStore::receivedMessageReachesTheGuiThread()
{
    QVERIFY(ZsdkSim::AddContact(QStringLiteral("Anna"), QStringLiteral("+49 171 2345678")));
    GuiReceiver receiver;
    connect(m_store, &SMSStatusUILogic::SMSReceiveRecord, &receiver, &GuiReceiver::onReceived);
    connect(m_store, &SMSStatusUILogic::NewMsg_Event, &receiver, &GuiReceiver::onNew);
    ZsdkSim::Incoming in;
    in.mem = MEM_SIM;
    in.number = QStringLiteral("01712345678");
    in.text = QStringLiteral("hello <b>");
    in.time = QStringLiteral("20261206120000");
    const int id = ZsdkSim::InjectMessage(in);
    QTRY_COMPARE(receiver.ids.size(), 1);
    QTRY_COMPARE(receiver.announcements.size(), 1);
    QCOMPARE(receiver.ids.at(0), id);
    for (Qt::HANDLE t : receiver.threads)
        QCOMPARE(t, QThread::currentThreadId());
    QCOMPARE(receiver.announcements.at(0), (QVariantList{QStringLiteral("hello <b>"), QStringLiteral("Anna"), QStringLiteral("20261206120000"), 7, 1}));
    QCOMPARE(m_store->GetSingleSMS(7, id).strName, QStringLiteral("Anna"));
    const QList<SMSLocalRecordPtr> announced = m_store->TakeReceivedRecords();
    QCOMPARE(announced.size(), 1);
    QCOMPARE(announced.at(0)->iMsgId, id);
    QVERIFY(m_store->TakeReceivedRecords().isEmpty());
}

void TestStore::flashMessageIsAnnouncedNeverStored()
{
    QVERIFY(ZsdkSim::AddContact(QStringLiteral("Anna"), QStringLiteral("+49 171 2345678")));
    QSignalSpy received(m_store, &SMSStatusUILogic::SMSReceiveRecord);
    QSignalSpy announced(m_store, &SMSStatusUILogic::NewMsg_Event);
    ZsdkSim::Incoming in;
    in.mem = MEM_SIM;
    in.number = QStringLiteral("01712345678");
    in.text = QStringLiteral("flash");
    in.msgClass = 0;
    ZsdkSim::InjectMessage(in);
    QTRY_COMPARE(announced.count(), 1);
    QCOMPARE(announced.at(0).at(1).toString(), QStringLiteral("01712345678"));   // the number, not the name
    QCOMPARE(announced.at(0).at(4).toInt(), 0);
    QCOMPARE(received.count(), 0);
    QCOMPARE(m_store->getSmsBuffer(7).size(), 0);
    QCOMPARE(m_store->getSmsBuffer(1).size(), 0);
}

void TestStore::sentMessageAndResults()
{
    makeWindow(true);
    QSignalSpy results(m_store, &SMSStatusUILogic::SmsSendResult);
    QSignalSpy sent(m_store, &SMSStatusUILogic::SMSSentRecord);
    QSignalSpy closed(m_store, &SMSStatusUILogic::progressbarCloseEvent);
    ZsdkSim::FailNextSends(1);
    SMSDeviceRecord* handle = nullptr;
    ZSDK_SMSSrv_CreateSMSRecord(&handle, w(QStringLiteral("111111111;222222222")), w(QStringLiteral("hi")));
    QCOMPARE(ZSDK_SMSSrv_SendMsg(handle), 0);
    ZSDK_SMSSrv_ReleaseSMSRecord(&handle);
    QVERIFY(ZsdkSim::WaitForEvents());
    QTRY_COMPARE(closed.count(), 1);
    QCOMPARE(results.count(), 2);
    QCOMPARE(results.at(0).at(0).toBool(), false);
    QCOMPARE(results.at(1).at(0).toBool(), true);
    QCOMPARE(closed.at(0).at(0).toInt(), 1);
    const int id = sent.at(0).at(0).toInt();
    // Not every part went out: the copy stays in the Outbox, not Sent Items.
    QCOMPARE(m_store->GetSingleSMS(0, id).iMsgId, id);
    QCOMPARE(m_store->TakeSentRecords().size(), 1);
}

void TestStore::callbackWhileShuttingDownChangesNothing()
{
    QSignalSpy status(m_store, &SMSStatusUILogic::memoryStatus);
    CommonUtils::SetShuttingDown(true);
    ZSDK_EventBlock block{4, 0};
    QCOMPARE(SMSStatusUILogic::SmsCallBackMethod(ZSDK_EVT_STATUS, &block), 1);
    QCOMPARE(status.count(), 0);
    CommonUtils::SetShuttingDown(false);
    QCOMPARE(SMSStatusUILogic::SmsCallBackMethod(ZSDK_EVT_STATUS, &block), 1);
    QCOMPARE(status.count(), 1);
    QCOMPARE(SMSStatusUILogic::SmsCallBackMethod(4, nullptr), 1);   // kind 4: logged only
    QCOMPARE(status.count(), 1);
}

void TestStore::deleteToTrashOrForGood()
{
    const int inbox = storeMessage(1, QStringLiteral("1234567"), QStringLiteral("a"));
    const int sim = storeMessage(7, QStringLiteral("1234567"), QStringLiteral("b"));
    QSignalSpy deleted(m_store, &SMSStatusUILogic::DeleteSMSInUiService);
    QVERIFY(!m_store->DeleteSMS(inbox, 1, MEM_PC));
    QVERIFY(!m_store->DeleteSMS(sim, 7, MEM_SIM));
    QVERIFY(m_store->DeleteSMS(sim, 7, MEM_SIM));   // already gone: the device reports an error
    QCOMPARE(deleted.count(), 2);
    QCOMPARE(deleted.at(0), (QVariantList{inbox, 1, 0, false}));
    QCOMPARE(deleted.at(1), (QVariantList{sim, 7, 1, true}));
    SMSLocalRecord* rec = nullptr;
    QCOMPARE(m_store->GetSMSRecordUsingID(inbox, 4, &rec), 0);
    QCOMPARE(rec->iNode, 4);
    QCOMPARE(rec->iOrigNode, 1);
    delete rec;
    QCOMPARE(m_store->GetSMSRecordUsingID(inbox, 1, nullptr), 23);
    QCOMPARE(m_store->ForceDeleteSMS(inbox, 4, MEM_PC), 1);
    QCOMPARE(deleted.count(), 3);
    QCOMPARE(m_store->GetSMSRecordUsingID(inbox, 4, &rec), 1);
    delete rec;
}

void TestStore::bufferDeleteMovesToTrash()
{
    const int id = storeMessage(1, QStringLiteral("1234567"), QStringLiteral("a"), 1);
    m_store->PopulateSMSFromSDK(MEM_PC);
    const SMSLocalRecordPtr held = m_store->GetSingleSMSPtr(1, id);
    // A table filled at one generation shows the buffer only while it stays: an insert and a
    // removal after it must not bring the count back to where it was.
    const quint64 filledAt = m_store->FolderGeneration(1);
    m_store->InsertSingleSMS(1, 4242, SMSLocalRecordPtr::create());
    m_store->DeleteSMSFromBuffer(4242, 1, MEM_PC, true);
    QVERIFY(m_store->FolderGeneration(1) != filledAt);
    QCOMPARE(m_store->DeleteSMSFromBuffer(id, 1, MEM_PC, false), 0);
    QCOMPARE(m_store->getSmsBuffer(1).size(), 0);
    const SMSLocalRecordPtr trashed = m_store->GetSingleSMSPtr(4, id);
    QVERIFY(trashed);
    QCOMPARE(held->iNode, 1);   // a reader's record is never changed under it
    QCOMPARE(held->iReadFlag, 1);
    QCOMPARE(trashed->strContent, held->strContent);
    QCOMPARE(trashed->iNode, 4);
    QCOMPARE(trashed->iOrigNode, 1);
    QCOMPARE(trashed->iReadFlag, 0);
    QCOMPARE(trashed->imgStatus, m_store->StatusImage(0));
    m_store->DeleteSMSFromBuffer(id, 4, MEM_PC, true);
    QCOMPARE(m_store->getSmsBuffer(4).size(), 0);
    QCOMPARE(held->strContent, QStringLiteral("a"));   // a holder keeps a removed record alive
}

void TestStore::failedRecoverLeavesTheMessageInTheTrash_data()
{
    QTest::addColumn<bool>("simPresent");
    QTest::newRow("the card is full") << true;
    QTest::newRow("the card is absent") << false;
}

void TestStore::failedRecoverLeavesTheMessageInTheTrash()
{
    QFETCH(bool, simPresent);
    makeWindow(false);
    // A card message dragged to the trash keeps the card inbox as its previous folder.
    SMSDeviceRecord r{};
    r.iMsgId = -1;
    r.iNode = NODE_LOCAL_TRASH;
    r.iOrigNode = NODE_SIM_INBOX;
    r.iAttrA = 3;
    const QString number = QStringLiteral("1234567"), text = QStringLiteral("from the card");
    r.pNumber = const_cast<ZSDK_WCHAR*>(number.utf16());
    r.pContent = const_cast<ZSDK_WCHAR*>(text.utf16());
    int32_t id = -1, flag = 1;
    QCOMPARE(ZSDK_SMSSrv_SaveMsg(&r, &id, &flag), 0);
    ZsdkSim::FillMemory(MEM_SIM);
    if (!simPresent)
        ZsdkSim::SetSimPresent(false);
    m_store->PopulateSMSFromSDK(MEM_PC);
    const SMSLocalRecord trashed = m_store->GetSingleSMS(NODE_LOCAL_TRASH, id);
    QCOMPARE(trashed.iMsgId, id);
    QSignalSpy deleted(m_store, &SMSStatusUILogic::DeleteSMSInUiService);

    QCOMPARE(m_store->RecoverSMS(&trashed, NODE_LOCAL_TRASH, MEM_PC), 1);
    QCOMPARE(deleted.count(), 0);
    QCOMPARE(m_store->GetSingleSMS(NODE_LOCAL_TRASH, id).strContent, text);
    SMSDeviceRecord* stored = nullptr;
    QCOMPARE(ZSDK_SMSSrv_CreateSMSRecord(&stored, nullptr, nullptr), 0);
    stored->iMsgId = id;
    QCOMPARE(ZSDK_SMSSrv_GetMsg(stored, MEM_PC), 0);   // still in the trash
    QCOMPARE(stored->iNode, int(NODE_LOCAL_TRASH));
    ZSDK_SMSSrv_ReleaseSMSRecord(&stored);
    ZsdkSim::SetSimPresent(true);
}

void TestStore::moveCopyRecoverReadBack()
{
    makeWindow(true);
    const int id = storeMessage(1, QStringLiteral("1234567"), QStringLiteral("move me"), 1);
    m_store->PopulateSMSFromSDK(MEM_PC);
    const SMSLocalRecord original = m_store->GetSingleSMS(1, id);
    QSignalSpy deleted(m_store, &SMSStatusUILogic::DeleteSMSInUiService);

    QCOMPARE(m_store->MoveSMS(&original, 1, 7, 5), 0);
    QCOMPARE(deleted.count(), 1);
    QCOMPARE(deleted.at(0), (QVariantList{id, 1, 1, true}));
    // The window answers the deletion signal by dropping the old record from its buffer.
    m_store->DeleteSMSFromBuffer(id, 1, MEM_PC, true);
    const QList<int> simIds = m_store->getSmsBuffer(7).keys();
    QCOMPARE(simIds.size(), 1);
    const SMSLocalRecord moved = m_store->GetSingleSMS(7, simIds.at(0));
    QCOMPARE(moved.strContent, QStringLiteral("move me"));
    QCOMPARE(moved.iOrigNode, 7);
    QVERIFY(moved.iMsgId != id);
    QCOMPARE(m_store->LastFromNode(), 1);
    QCOMPARE(m_store->LastToNode(), 7);
    int32_t n = -1;
    ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&n, MEM_PC);
    QCOMPARE(n, 0);

    QCOMPARE(m_store->CopySMS(&moved, 7, 1, 6), 0);
    QCOMPARE(m_store->getSmsBuffer(1).size(), 1);
    QCOMPARE(m_store->getSmsBuffer(7).size(), 1);   // a copy leaves the original

    // Trash the PC copy, then recover it: it returns to its folder under a new id.
    const int pcId = m_store->getSmsBuffer(1).keys().at(0);
    QVERIFY(!m_store->DeleteSMS(pcId, 1, MEM_PC));
    m_store->DeleteSMSFromBuffer(pcId, 1, MEM_PC, false);
    const SMSLocalRecord trashed = m_store->GetSingleSMS(4, pcId);
    QCOMPARE(trashed.iOrigNode, 1);
    QCOMPARE(m_store->RecoverSMS(&trashed, 4, MEM_PC), 0);
    const QList<int> back = m_store->getSmsBuffer(1).keys();
    QVERIFY(back.size() >= 1);
    QVERIFY(!back.contains(pcId) || back.size() == 2);
    QCOMPARE(m_store->GetSingleSMS(1, back.last()).strContent, QStringLiteral("move me"));

    // A card that is full refuses the move and nothing is removed.
    ZsdkSim::FillMemory(MEM_SIM);
    const int keep = storeMessage(1, QStringLiteral("1234567"), QStringLiteral("stay"));
    m_store->PopulateSMSFromSDK(MEM_PC);
    const SMSLocalRecord stay = m_store->GetSingleSMS(1, keep);
    QCOMPARE(m_store->MoveSMS(&stay, 1, 7, 4), 1);
    SMSLocalRecord* still = nullptr;
    QCOMPARE(m_store->GetSMSRecordUsingID(keep, 1, &still), 0);
    delete still;
}

void TestStore::failedMoveKeepsOneCopy_data()
{
    QTest::addColumn<int>("storedIn");
    QTest::addColumn<int>("fromNode");
    QTest::addColumn<int>("toNode");
    QTest::addColumn<bool>("cardRemoved");
    QTest::newRow("the card is taken out before the message leaves it") << int(NODE_SIM_INBOX) << int(NODE_SIM_INBOX) << int(NODE_LOCAL_INBOX) << true;
    QTest::newRow("the message is not where the caller says") << int(NODE_LOCAL_INBOX) << int(NODE_SIM_INBOX) << int(NODE_LOCAL_FAVORITE) << false;
}

void TestStore::failedMoveKeepsOneCopy()
{
    // The copy is saved first; when the original then cannot be removed, the copy goes again so
    // the message is not there twice, and the original stays.
    QFETCH(int, storedIn);
    QFETCH(int, fromNode);
    QFETCH(int, toNode);
    QFETCH(bool, cardRemoved);
    const int id = storeMessage(storedIn, QStringLiteral("1234567"), QStringLiteral("only once"));
    QVERIFY(id >= 0);
    SMSLocalRecord* rec = nullptr;
    QCOMPARE(m_store->GetSMSRecordUsingID(id, storedIn, &rec), 0);
    const std::unique_ptr<SMSLocalRecord> owned(rec);
    rec->iNode = fromNode;
    int32_t pcBefore = 0;
    QCOMPARE(ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&pcBefore, MEM_PC), 0);
    if (cardRemoved)
        ZsdkSim::SetSimPresent(false);
    QSignalSpy deleted(m_store, &SMSStatusUILogic::DeleteSMSInUiService);
    QCOMPARE(m_store->MoveSMS(rec, fromNode, toNode, 5), 1);
    QCOMPARE(deleted.count(), 0);
    QVERIFY(m_store->getSmsBuffer(toNode).isEmpty());
    int32_t pcAfter = 0;
    QCOMPARE(ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&pcAfter, MEM_PC), 0);
    QCOMPARE(pcAfter, pcBefore);
    ZsdkSim::SetSimPresent(true);
    SMSLocalRecord* original = nullptr;
    QCOMPARE(m_store->GetSMSRecordUsingID(id, storedIn, &original), 0);
    QCOMPARE(original->strContent, QStringLiteral("only once"));
    delete original;
}

void TestStore::otherModesDoNothing()
{
    const int id = storeMessage(1, QStringLiteral("1234567"), QStringLiteral("x"));
    m_store->PopulateSMSFromSDK(MEM_PC);
    const SMSLocalRecord rec = m_store->GetSingleSMS(1, id);
    QSignalSpy deleted(m_store, &SMSStatusUILogic::DeleteSMSInUiService);
    QCOMPARE(m_store->MoveSMS(&rec, 1, 7, 6), 0);
    QCOMPARE(m_store->CopySMS(&rec, 1, 7, 5), 0);
    QCOMPARE(deleted.count(), 0);
    QCOMPARE(m_store->getSmsBuffer(7).size(), 0);
}

void TestStore::draftIsStoredAsDraft()
{
    SMSLocalRecordPtr stored;
    QCOMPARE(m_store->SaveMsgToDraft(QStringLiteral("+491712345678"), QStringLiteral("later"), &stored), 0);
    QVERIFY(stored);
    QCOMPARE(stored->iNode, 2);
    QCOMPARE(stored->iOrigNode, 2);
    QCOMPARE(stored->iPriority, 4);
    QCOMPARE(stored->strContent, QStringLiteral("later"));
    SMSLocalRecord* fromDevice = nullptr;
    QCOMPARE(m_store->GetSMSRecordUsingID(stored->iMsgId, 2, &fromDevice), 0);
    QCOMPARE(fromDevice->iNode, 2);
    QCOMPARE(fromDevice->iPriority, 4);
    delete fromDevice;
    // Editing it later updates the stored copy and the buffer.
    SMSLocalRecord edited = *stored;
    edited.strContent = QStringLiteral("edited");
    QCOMPARE(m_store->UpdateSms(&edited), 0);
    QCOMPARE(m_store->GetSingleSMS(2, stored->iMsgId).strContent, QStringLiteral("edited"));
}

void TestStore::readFlagIsWrittenNotBuffered()
{
    const int id = storeMessage(1, QStringLiteral("1234567"), QStringLiteral("x"), 1);
    m_store->PopulateSMSFromSDK(MEM_PC);
    QCOMPARE(m_store->ReadUnReadSMS(id, 1), 0);
    QCOMPARE(m_store->GetSingleSMS(1, id).iReadFlag, 1);   // the buffer follows through the window
    SMSLocalRecord* rec = nullptr;
    QCOMPARE(m_store->GetSMSRecordUsingID(id, 1, &rec), 0);
    QCOMPARE(rec->iReadFlag, 0);
    delete rec;
    QCOMPARE(m_store->ReadUnReadSMS(424242, 1), 0);   // nothing buffered: nothing to do
}

void TestStore::dropRules_data()
{
    QTest::addColumn<int>("source");
    QTest::addColumn<int>("target");
    QTest::addColumn<bool>("local2Device");
    QTest::addColumn<int>("draggedStatus");   // -1: no records
    QTest::addColumn<bool>("allowed");
    QTest::newRow("inbox to favourites") << 1 << 3 << false << 0 << true;
    QTest::newRow("inbox to the SIM only with Local2Device") << 1 << 7 << false << 0 << false;
    QTest::newRow("inbox to the SIM with Local2Device") << 1 << 7 << true << 0 << true;
    QTest::newRow("outbox to device outbox with Local2Device") << 0 << 8 << true << 0 << true;
    QTest::newRow("drafts to trash") << 2 << 4 << false << 0 << true;
    QTest::newRow("drafts to the inbox") << 2 << 1 << true << 0 << false;
    QTest::newRow("trash to drafts") << 4 << 2 << false << 0 << true;
    QTest::newRow("SIM inbox to PC inbox") << 7 << 1 << false << 0 << true;
    QTest::newRow("unsent SIM outbox message to PC outbox") << 6 << 0 << false << 1 << true;
    QTest::newRow("sent SIM outbox message not to PC outbox") << 6 << 0 << false << 0 << false;
    QTest::newRow("sent SIM outbox message to Sent Items") << 6 << 15 << false << 0 << true;
    QTest::newRow("nothing dragged, no Sent Items") << 8 << 15 << false << -1 << false;
    QTest::newRow("a report folder is never a source") << 5 << 4 << true << 0 << false;
    QTest::newRow("codes above 15") << 16 << 4 << true << 0 << false;
}

void TestStore::dropRules()
{
    makeWindow(true);
    QFETCH(int, source);
    QFETCH(int, target);
    QFETCH(bool, local2Device);
    QFETCH(int, draggedStatus);
    m_store->SetLocal2Device(local2Device);
    QList<SMSLocalRecordPtr> dragged;
    if (draggedStatus >= 0) {
        dragged << SMSLocalRecordPtr::create();
        dragged.last()->iStatus = draggedStatus;
    }
    QTEST(m_store->IsDropAllowed(source, target, dragged), "allowed");
}

void TestStore::statusQueries()
{
    QVERIFY(m_store->IsDevAvailable());
    QVERIFY(m_store->GetNetworkModeStatus());
    QVERIFY(m_store->IsRFEnabled());
    int status = -1;
    QCOMPARE(m_store->GetSimStatus(nullptr), 15);
    QCOMPARE(m_store->GetSimStatus(&status), 0);
    QCOMPARE(status, 1);
    QVERIFY(m_store->IsSimValidForSMS());
    ZsdkSim::SetPinState(2);   // PIN required
    QVERIFY(!m_store->IsSimValidForSMS());
    ZsdkSim::SetPinState(8);
    QVERIFY(m_store->IsSimValidForSMS());
    ZsdkSim::SetPinState(1);
    ZsdkSim::SetRadio(false);
    QVERIFY(!m_store->IsRFEnabled());
    QVERIFY(!m_store->GetNetworkModeStatus());
    ZsdkSim::SetRadio(true);
    int cap = -1, used = -1;
    QVERIFY(!m_store->GetMemorySatus(&cap, &used, MEM_SIM));
    QCOMPARE(cap, 10);
    QCOMPARE(used, 0);
    ZsdkSim::SetDevicePresent(false);
    QVERIFY(!m_store->IsDevAvailable());
    QVERIFY(m_store->GetMemorySatus(&cap, &used, MEM_DEVICE));
    QCOMPARE(m_store->GetSimStatus(&status), 1);
    QCOMPARE(status, 0);
    ZsdkSim::SetDevicePresent(true);
    CommonUtils::SetSettings(QStringLiteral("SMSSERVICE"), QStringLiteral("SoundAlert"), QStringLiteral("0"));
    bool on = true;
    QCOMPARE(m_store->GetSMSSetting(QStringLiteral("SoundAlert"), &on), 0);
    QVERIFY(!on);
    CommonUtils::SetSettings(QStringLiteral("SMSSERVICE"), QStringLiteral("SoundAlertFile"), QStringLiteral("/x.wav"));
    QCOMPARE(m_store->GetSoundAlertFile(), QStringLiteral("/x.wav"));
}

void TestStore::validNumbers_data()
{
    QTest::addColumn<QString>("numbers");
    QTest::addColumn<bool>("valid");
    QTest::newRow("empty") << "" << true;
    QTest::newRow("one national number") << "01712345678" << true;
    QTest::newRow("two international numbers") << "+491712345678;+33612345678" << true;
    QTest::newRow("service code") << "*100#" << true;
    QTest::newRow("a trailing separator") << "0171;" << true;
    QTest::newRow("a plus inside a number") << "0171+2345" << false;
    QTest::newRow("a leading separator") << ";0171" << false;
    QTest::newRow("two separators in a row") << "0171;;0172" << false;
    QTest::newRow("a letter") << "0171a" << false;
    QTest::newRow("a blank") << "0171 234" << false;
    QTest::newRow("a comma") << "0171,0172" << false;
}

void TestStore::validNumbers()
{
    QFETCH(QString, numbers);
    QTEST(m_store->IsValidNumber(numbers), "valid");
}

void TestStore::readerThreadSignalsOrStops()
{
    ZsdkSim::SetSimPresent(false);
    {
        DetectMemoryDeviceThread reader(MEM_SIM);
        reader.SetPollInterval(100);
        QSignalSpy read(&reader, &DetectMemoryDeviceThread::signalReadSIM);
        reader.start();
        QTest::qWait(250);
        reader.SetStop(true);
        QVERIFY(reader.wait(3000));
        QCOMPARE(read.count(), 0);   // a stopped reader tells nothing
        QVERIFY(!reader.IsStopRequested());
    }
    ZsdkSim::SetReadDelay(MEM_SIM, 300);
    ZsdkSim::SetSimPresent(true);
    DetectMemoryDeviceThread reader(MEM_SIM);
    reader.SetPollInterval(100);
    QSignalSpy read(&reader, &DetectMemoryDeviceThread::signalReadSIM);
    reader.start();
    QTRY_COMPARE_WITH_TIMEOUT(read.count(), 1, 5000);
    QCOMPARE(read.at(0).at(0).toInt(), int(MEM_SIM));
    QVERIFY(reader.wait(3000));
    QCOMPARE(CommonUtils::ThreadCount(), 0);
    ZsdkSim::SetReadDelay(MEM_SIM, 0);
}

void TestStore::configurationLoader_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("keys");
    QTest::newRow("a complete file") << QByteArray("<c><ShowSMCount>true</ShowSMCount><SentItemsBox>false</SentItemsBox></c>") << 0
                                     << QStringList{"SentItemsBox", "ShowSMCount"};
    QTest::newRow("malformed after the first element keeps it") << QByteArray("<c><ShowSMCount>true</ShowSMCount><Local2Device>tr") << 6
                                                                << QStringList{"ShowSMCount"};
    QTest::newRow("unknown elements are not read") << QByteArray("<c><Other>true</Other></c>") << 0 << QStringList{};
}

void TestStore::configurationLoader()
{
    QFETCH(QByteArray, xml);
    const QString path = m_dir.filePath(QStringLiteral("config-case.xml"));
    writeFile(path, xml);
    SMSConfigMap map;
    QTEST(SmsSettingXMLParse::GetSettingsFromXML(&map, path), "code");
    QStringList keys = map.uniqueKeys();
    QTEST(keys, "keys");
}

void TestStore::configurationKeysAndOrder()
{
    SMSConfigMap map;
    QCOMPARE(SmsSettingXMLParse::GetSettingsFromXML(&map, m_dir.filePath(QStringLiteral("none.xml"))), 3);
    QCOMPARE(SmsSettingXMLParse::GetSettingsFromXML(nullptr, QStringLiteral(TEST_BUILD_ROOT "/plugins/SMSUIPlugin/SMSUIPluginConfig.xml")), 3);
    const QString unreadable = m_dir.filePath(QStringLiteral("unreadable.xml"));
    QDir().mkpath(unreadable);   // exists, cannot be opened as a file
    QCOMPARE(SmsSettingXMLParse::GetSettingsFromXML(&map, unreadable), 25);

    const QString path = m_dir.filePath(QStringLiteral("config-order.xml"));
    writeFile(path, "<c><SMSCenterValid>True</SMSCenterValid>"
                    "<ValidityPeriod><p resource=\"IDS_A\"/><p resource=\"IDS_B\"/></ValidityPeriod>"
                    "<p resource=\"IDS_OUTSIDE\"/>"
                    "<ValidityPeriod><p resource=\"IDS_C\"/></ValidityPeriod>"
                    "<ShowSMCount>true</ShowSMCount><ShowSMCount>false</ShowSMCount>"
                    "<Separator>false</Separator></c>");
    CommonUtils::SetSMSSeperatorConfigValue(true);
    QCOMPARE(SmsSettingXMLParse::GetSettingsFromXML(&map, path), 0);
    QVERIFY(!SmsSettingXMLParse::IsOn(map, QStringLiteral("SMSCenterValid")));   // "True" is not "true"
    QVERIFY(SmsSettingXMLParse::IsOn(map, QStringLiteral("ShowSMCount")));      // the first value counts
    QVERIFY(!SmsSettingXMLParse::IsOn(map, QStringLiteral("Local2Device")));    // absent is off
    QStringList periods = map.values(QStringLiteral("SMSSettingValidityPeriod"));
    std::reverse(periods.begin(), periods.end());
    QCOMPARE(periods, (QStringList{"IDS_A", "IDS_B", "IDS_C"}));
    QCOMPARE(CommonUtils::GetSMSSeperator(), QStringLiteral(","));
    CommonUtils::SetSMSSeperatorConfigValue(true);
}

void TestStore::settingsLogicConfiguration()
{
    // The shipped file turns on what a user of the full product expects.
    SMSConfigMap shipped;
    QCOMPARE(SmsSettingXMLParse::GetSettingsFromXML(&shipped, QStringLiteral(TEST_BUILD_ROOT "/plugins/SMSUIPlugin/SMSUIPluginConfig.xml")), 0);
    for (const char* key : {"SentItemsBox", "ShowSMCount", "Local2Device", "SMSExportSelect", "SMSExportAll"})
        QVERIFY2(SmsSettingXMLParse::IsOn(shipped, QLatin1String(key)), key);
    QCOMPARE(shipped.values(QStringLiteral("SMSSettingValidityPeriod")).size(), 4);
    QList<int> toolIds;
    for (const ToolItem& item : SmsSettingXMLParse::ConfiguredToolItems())
        toolIds << item.id;
    QVERIFY(toolIds.contains(9000) && toolIds.contains(9004));
    QVERIFY(!toolIds.contains(9005));   // no call component in this process
    // With the call component, the host's "callvoice" switch decides, as for the context menu.
    {
        PluginContainer container;
        QObject call;
        container.RegisterPlugin(QStringLiteral("58A0343A-93DB-4ea2-92B4-C51589629381"), 0x1001, &call);
        Startup::SetPluginContainer(&container);
        auto restore = qScopeGuard([] {
            Startup::SetPluginContainer(nullptr);
            CommonUtils::SetSettings(QStringLiteral("callui"), QStringLiteral("callvoice"), QStringLiteral("1"));
        });
        auto callOffered = [] {
            SMSConfigMap map;
            SmsSettingXMLParse::GetSettingsFromXML(&map, QStringLiteral(TEST_BUILD_ROOT "/plugins/SMSUIPlugin/SMSUIPluginConfig.xml"));
            for (const ToolItem& item : SmsSettingXMLParse::ConfiguredToolItems())
                if (item.id == 9005)
                    return true;
            return false;
        };
        CommonUtils::SetSettings(QStringLiteral("callui"), QStringLiteral("callvoice"), QStringLiteral("1"));
        QVERIFY(callOffered());
        CommonUtils::SetSettings(QStringLiteral("callui"), QStringLiteral("callvoice"), QStringLiteral("0"));
        QVERIFY(!callOffered());
    }

    setConfig("<c><SMSReceiveMode>true</SMSReceiveMode><ValidityPeriod><p resource=\"IDS_VALIDITY_1D\"/>"
              "<p resource=\"IDS_VALIDITY_MAX\"/></ValidityPeriod></c>");
    SMSSettingUILogic* logic = SMSSettingUILogic::Instance();
    bool on = false;
    QCOMPARE(logic->GetConfigBool(QStringLiteral("SMSReceiveMode"), &on), 23);   // nothing loaded yet
    QVERIFY(logic->GetValidityPeriodList().isEmpty());
    QCOMPARE(logic->InitSmsXMLConfiguration(), 0);
    QCOMPARE(logic->GetConfigBool(QStringLiteral("SMSReceiveMode"), &on), 0);
    QVERIFY(on);
    on = true;
    QCOMPARE(logic->GetConfigBool(QStringLiteral("SMSExportAll"), &on), 0);
    QVERIFY(on);   // an absent key leaves the flag alone
    QCOMPARE(logic->GetValidityPeriodList(), (QStringList{"IDS_VALIDITY_1D", "IDS_VALIDITY_MAX"}));
    SMSSettingUILogic::Destroy();
    QVERIFY(!SMSSettingUILogic::Existing());
}

void TestStore::recordsSurviveConcurrentUse()
{
    // Device events, worker batches and GUI-thread reads of the buffers all at once, as in the
    // running page. Run under AddressSanitizer, a record read after it was destroyed fails the run.
    ZsdkSim::SetCapacity(MEM_SIM, 500);
    for (int i = 0; i < 40; ++i)
        storeMessage(1, QStringLiteral("+4917100%1").arg(i), QStringLiteral("seed %1").arg(i), 1);
    QCOMPARE(m_store->PopulateSMSFromSDK(MEM_PC), 0);
    // The window's part: deletions reported by the store leave the buffers.
    connect(m_store, &SMSStatusUILogic::DeleteSMSInUiService, this, [this](int id, int node, int mem, bool permanent) {
        m_store->DeleteSMSFromBuffer(id, node, mem, permanent);
    });
    std::atomic<bool> stop{false};
    std::thread network([&] {
        ZsdkSim::Incoming in;
        in.number = QStringLiteral("+491712345678");
        for (int i = 0; i < 150 && !stop; ++i) {
            in.text = QStringLiteral("incoming %1").arg(i);
            in.mem = i % 3 == 0 ? MEM_SIM : MEM_PC;
            ZsdkSim::InjectMessage(in);
            if (i % 10 == 0)
                ZsdkSim::SignalPhoneBookReady();
        }
    });
    SMSThreadUI worker;
    const int kinds[] = {SMSThreadUI::WorkDelete, SMSThreadUI::WorkCopy, SMSThreadUI::WorkMove, SMSThreadUI::WorkRecover};
    int jobs = 0;
    QElapsedTimer clock;
    clock.start();
    qint64 reads = 0;
    while (clock.elapsed() < 1500) {
        if (!worker.isRunning()) {
            const int kind = kinds[jobs % 4];
            const int source = kind == SMSThreadUI::WorkRecover ? NODE_LOCAL_TRASH : NODE_LOCAL_INBOX;
            const int target = kind == SMSThreadUI::WorkCopy ? NODE_LOCAL_FAVORITE : kind == SMSThreadUI::WorkMove ? NODE_SIM_INBOX : NODE_LOCAL_TRASH;
            QList<SMSLocalRecordPtr> records = m_store->getSmsBuffer(source).values();
            worker.setWork(kind, records.mid(0, 5), MEM_PC, target, source);
            worker.start();
            ++jobs;
        }
        for (int node : {1, 2, 3, 4, 7, 15}) {
            const SMSFolderBuffer folder = m_store->getSmsBuffer(node);
            for (const SMSLocalRecordPtr& rec : folder)
                reads += rec->strContent.size() + rec->strName.size() + rec->iMsgId;
        }
        for (const SMSLocalRecordPtr& rec : m_store->TakeReceivedRecords())
            reads += rec->strNumber.size();
        m_store->SyncBuffersWithPB();
        QCoreApplication::processEvents();
    }
    stop = true;
    network.join();
    QVERIFY(worker.wait(10000));
    QVERIFY(ZsdkSim::WaitForEvents(10000));
    QCoreApplication::processEvents();
    QVERIFY(reads > 0);
    QVERIFY(jobs > 4);
    // Every buffered PC record is still on the device where the buffer says it is.
    for (int node : {1, 3, 4}) {
        for (const SMSLocalRecordPtr& rec : m_store->getSmsBuffer(node)) {
            SMSLocalRecord* stored = nullptr;
            QCOMPARE(m_store->GetSMSRecordUsingID(rec->iMsgId, node, &stored), 0);
            delete stored;
        }
    }
}

void TestStore::loadingWhileMessagesArrive()
{
    // Every arrival makes the status bar ask for the unread count, which loads the card again on
    // the GUI thread while the device thread converts the next arrivals. Both sides look up the
    // senders in the phone book; neither may use what the other one is doing. The arrivals come
    // straight through the callback, as fast as the device thread could deliver them.
    QVERIFY(ZsdkSim::AddContact(QStringLiteral("Anna"), QStringLiteral("+491712345678")));
    for (int i = 0; i < 10; ++i)
        storeMessage(NODE_SIM_INBOX, QStringLiteral("+4917100%1").arg(i), QStringLiteral("seed %1").arg(i));
    // Counted on the GUI thread (queued), as the window takes them.
    int received = 0;
    connect(m_store, &SMSStatusUILogic::SMSReceiveRecord, this, [&received] { ++received; });
    // The race is a matter of chance: give it a few seconds of arrivals.
    std::atomic<int> arrivals{0};
    std::atomic<bool> sent{false};
    std::thread network([&sent, &arrivals] {
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < 5000 && clock.elapsed() < 3000; ++i, ++arrivals) {
            // Several recipients unknown to the phone book: one lookup each.
            const QString number = i % 2 ? QStringLiteral("+491712345678") : QStringLiteral("+4930%1;+4940%1;+4950%1;+4960%1").arg(i);
            DeviceRecord d(NODE_LOCAL_INBOX, 0, number, QStringLiteral("incoming %1").arg(i));
            d.rec.iMsgId = 100000 + i;
            SMSStatusUILogic::SmsCallBackMethod(ZSDK_EVT_RECEIVED, &d.rec);
        }
        sent = true;
    });
    auto join = qScopeGuard([&network] { network.join(); });
    int loads = 0;
    while (!sent || loads < 3) {
        QCOMPARE(m_store->PopulateSMSFromSDK(MEM_SIM), 0);
        ++loads;
        QCoreApplication::processEvents();
    }
    QTRY_COMPARE(received, arrivals.load());
    QVERIFY(loads > 10);
    // Each record carries the name of its own sender.
    const auto nameOf = [](const QString& number) {
        return number == QStringLiteral("+491712345678") ? QStringLiteral("Anna") : QString(number).replace(QLatin1Char(';'), QStringLiteral("; "));
    };
    const SMSFolderBuffer inbox = m_store->getSmsBuffer(NODE_LOCAL_INBOX);
    QCOMPARE(inbox.size(), arrivals.load());
    for (const SMSLocalRecordPtr& rec : inbox)
        QCOMPARE(rec->strName, nameOf(rec->strNumber));
    const SMSFolderBuffer card = m_store->getSmsBuffer(NODE_SIM_INBOX);
    QCOMPARE(card.size(), 10);
    for (const SMSLocalRecordPtr& rec : card)
        QCOMPARE(rec->strName, nameOf(rec->strNumber));
}

namespace {
// Runs `change` once, on the loading thread, right after the store has read the count of the
// storage it loads and before it reads the list: the store logs that line between the two calls.
struct BetweenCountAndList {
    static std::function<void()> change;
    static QtMessageHandler previous;
    static void handler(QtMsgType type, const QMessageLogContext& context, const QString& text)
    {
        if (change && text.contains(QLatin1String("ZSDK_SMSSrv_SMSRecordSetGetRecordCount () returned SUCCESS"))) {
            const std::function<void()> now = std::move(change);
            change = nullptr;
            now();
        }
        previous(type, context, text);
    }
    explicit BetweenCountAndList(std::function<void()> c)
        : debugWasOn(QLoggingCategory::defaultCategory()->isDebugEnabled())
    {
        change = std::move(c);
        QLoggingCategory::defaultCategory()->setEnabled(QtDebugMsg, true);   // the line must be written
        previous = qInstallMessageHandler(handler);
    }
    ~BetweenCountAndList()
    {
        qInstallMessageHandler(previous);
        QLoggingCategory::defaultCategory()->setEnabled(QtDebugMsg, debugWasOn);
        change = nullptr;
    }
    const bool debugWasOn;
};
std::function<void()> BetweenCountAndList::change;
QtMessageHandler BetweenCountAndList::previous = nullptr;

QList<int> storedIds(int memPosition)
{
    int32_t* ids = nullptr;
    int32_t n = 0;
    QList<int> out;
    if (ZSDK_SMSSrv_GetSmsIdList(&ids, &n, memPosition) == 0) {
        for (int i = 0; i < n; ++i)
            out << ids[i];
        ZSDK_SMSSrv_ReleaseSmsIdList(&ids);
    }
    std::sort(out.begin(), out.end());
    return out;
}

QList<int> sortedKeys(const SMSFolderBuffer& folder)
{
    QList<int> keys = folder.keys();
    std::sort(keys.begin(), keys.end());
    return keys;
}
} // namespace

void TestStore::loadShowsWhatChangedBetweenCountAndList_data()
{
    QTest::addColumn<int>("arrivals");
    QTest::addColumn<int>("deletions");
    QTest::newRow("a message arrives") << 1 << 0;
    QTest::newRow("two messages arrive") << 2 << 0;
    QTest::newRow("the device deletes a message") << 0 << 1;
    QTest::newRow("one arrives, one is deleted") << 1 << 1;
}

void TestStore::loadShowsWhatChangedBetweenCountAndList()
{
    // The buffers are read again from scratch (as after a card was read or a batch failed): what
    // the load shows is all the user sees of the storage. Arrivals are not announced here, so
    // only the load can put them into the buffers.
    QFETCH(int, arrivals);
    QFETCH(int, deletions);
    m_store->unSDKRegisterEvent();
    QList<int> seeded;
    for (int i = 0; i < 5; ++i)
        seeded << storeMessage(NODE_LOCAL_INBOX, QStringLiteral("+4917100%1").arg(i), QStringLiteral("seed %1").arg(i));
    m_store->ReleaseSmsBuffer(MEM_PC);
    {
        BetweenCountAndList between([&] {
            ZsdkSim::Incoming in;
            in.number = QStringLiteral("+491712345678");
            for (int i = 0; i < arrivals; ++i) {
                in.text = QStringLiteral("arrival %1").arg(i);
                QVERIFY(ZsdkSim::InjectMessage(in) > 0);
            }
            for (int i = 0; i < deletions; ++i)
                QCOMPARE(ZSDK_SMSSrv_RemoveMsg(seeded.at(i), MEM_PC), 0);
        });
        QCOMPARE(m_store->PopulateSMSFromSDK(MEM_PC), 0);
        QVERIFY(!BetweenCountAndList::change);   // the change did happen during the load
    }
    const QList<int> stored = storedIds(MEM_PC);
    QCOMPARE(stored.size(), 5 + arrivals - deletions);
    QCOMPARE(sortedKeys(m_store->getSmsBuffer(NODE_LOCAL_INBOX)), stored);
}

void TestStore::loadingThePcWhileCardsAreRead()
{
    // The card readers ask for their memory's count on their own threads while the GUI thread
    // loads the PC store again and again (start-up, a failed batch, the status bar's unread
    // count). A load must never take what a reader read for its own memory.
    for (int i = 0; i < 30; ++i)
        storeMessage(NODE_LOCAL_INBOX, QStringLiteral("+4917100%1").arg(i), QStringLiteral("pc %1").arg(i));
    for (int i = 0; i < 4; ++i)
        storeMessage(NODE_SIM_INBOX, QStringLiteral("+4917200%1").arg(i), QStringLiteral("sim %1").arg(i));
    for (int i = 0; i < 3; ++i)
        storeMessage(NODE_DEVICE_INBOX, QStringLiteral("+4917300%1").arg(i), QStringLiteral("device %1").arg(i));
    DetectMemoryDeviceThread simReader(MEM_SIM), deviceReader(MEM_DEVICE);
    int cardLoads = 0;
    for (DetectMemoryDeviceThread* reader : {&simReader, &deviceReader}) {
        reader->SetPollInterval(50);
        // As the window does when a reader reports its memory readable.
        connect(reader, &DetectMemoryDeviceThread::signalReadSIM, this, [this, &cardLoads](int mem) {
            m_store->ReleaseSmsBuffer(mem);
            QCOMPARE(m_store->PopulateSMSFromSDK(mem), 0);
            ++cardLoads;
        });
    }
    // A reader polling a card that is still being read asks for the count over and over.
    std::atomic<bool> stop{false};
    std::thread poller([this, &stop] {
        while (!stop)
            m_store->GetSMSRecordCount(MEM_SIM);
    });
    auto join = qScopeGuard([&] {
        stop = true;
        poller.join();
        for (DetectMemoryDeviceThread* reader : {&simReader, &deviceReader}) {
            reader->SetStop(true);
            reader->wait(5000);
        }
    });
    const QList<int> pc = storedIds(MEM_PC);
    QElapsedTimer clock;
    clock.start();
    int loads = 0;
    while (clock.elapsed() < 1500) {
        for (DetectMemoryDeviceThread* reader : {&simReader, &deviceReader})
            if (!reader->isRunning())
                reader->start();
        m_store->ReleaseSmsBuffer(MEM_PC);
        QCOMPARE(m_store->PopulateSMSFromSDK(MEM_PC), 0);
        QCOMPARE(sortedKeys(m_store->getSmsBuffer(NODE_LOCAL_INBOX)), pc);
        ++loads;
        QCoreApplication::processEvents();
    }
    join.dismiss();
    stop = true;
    poller.join();
    for (DetectMemoryDeviceThread* reader : {&simReader, &deviceReader})
        QVERIFY(reader->wait(5000));
    QCoreApplication::processEvents();
    QVERIFY(loads > 10);
    QVERIFY(cardLoads > 2);
    QCOMPARE(sortedKeys(m_store->getSmsBuffer(NODE_SIM_INBOX)), storedIds(MEM_SIM));
    QCOMPARE(sortedKeys(m_store->getSmsBuffer(NODE_DEVICE_INBOX)), storedIds(MEM_DEVICE));
    QCOMPARE(m_store->getSmsBuffer(NODE_SIM_INBOX).size(), 4);
    QCOMPARE(m_store->getSmsBuffer(NODE_DEVICE_INBOX).size(), 3);
}

namespace {
// The ids stored in one folder, as the device service lists them.
QList<int> storedIdsIn(int node)
{
    SMSDeviceRecord* records = nullptr;
    int32_t n = 0;
    QList<int> out;
    if (ZSDK_SMSSrv_GetMsgList(&records, &n, SMSStatusUILogic::GetMemPosition(node)) == 0) {
        for (int i = 0; i < n; ++i)
            if (records[i].iNode == node)
                out << records[i].iMsgId;
        ZSDK_SMSSrv_ReleaseMsgList(&records);
    }
    std::sort(out.begin(), out.end());
    return out;
}
} // namespace

void TestStore::reloadsDuringAJobShowWhatItLeft_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("source");
    QTest::addColumn<int>("target");
    QTest::addColumn<bool>("readerReport");   // the card reader's report empties the buffers first
    QTest::newRow("SIM messages moved to the PC, unread count asked")
        << int(SMSThreadUI::WorkMove) << int(NODE_SIM_INBOX) << int(NODE_LOCAL_INBOX) << false;
    QTest::newRow("device messages moved to the PC, unread count asked")
        << int(SMSThreadUI::WorkMove) << int(NODE_DEVICE_INBOX) << int(NODE_LOCAL_INBOX) << false;
    QTest::newRow("SIM messages deleted, unread count asked")
        << int(SMSThreadUI::WorkDelete) << int(NODE_SIM_INBOX) << int(NODE_SIM_INBOX) << false;
    QTest::newRow("SIM messages moved to the PC, the SIM reader reports")
        << int(SMSThreadUI::WorkMove) << int(NODE_SIM_INBOX) << int(NODE_LOCAL_INBOX) << true;
}

void TestStore::reloadsDuringAJobShowWhatItLeft()
{
    // The worker changes a card inside one batch that is stored only at its end. Meanwhile the GUI
    // thread reads that card again: every arrival makes the status bar ask for the unread count,
    // and a card reader may report its memory readable. Such a read sees the card as it was
    // before the job; it must not bring back what the job already took out of the buffers.
    QFETCH(int, kind);
    QFETCH(int, source);
    QFETCH(int, target);
    QFETCH(bool, readerReport);
    const int card = SMSStatusUILogic::GetMemPosition(source);
    ZsdkSim::SetCapacity(card, 100);
    for (int i = 0; i < 30; ++i)
        storeMessage(source, QStringLiteral("+4917100%1").arg(i), QStringLiteral("card %1").arg(i), 1);
    QCOMPARE(m_store->PopulateSMSFromSDK(MEM_PC), 1);   // nothing on the PC yet
    QCOMPARE(m_store->PopulateSMSFromSDK(card), 0);
    // The window's part: deletions reported by the store leave the buffers (queued, GUI thread).
    connect(m_store, &SMSStatusUILogic::DeleteSMSInUiService, this, [this](int id, int node, int mem, bool permanent) {
        m_store->DeleteSMSFromBuffer(id, node, mem, permanent);
    });
    SMSThreadUI worker;
    worker.setWork(kind, m_store->getSmsBuffer(source).values(), card, target, source);
    worker.start();
    int reloads = 0;
    while (!worker.isFinished()) {
        if (readerReport) {
            m_store->ReleaseSmsBuffer(card);
            m_store->PopulateSMSFromSDK(card);
        } else {
            m_store->LoadAndCountUnread(card);
        }
        ++reloads;
        QCoreApplication::processEvents();
    }
    QVERIFY(worker.wait(10000));
    QCoreApplication::processEvents();
    QVERIFY(reloads > 5);
    QVERIFY(storedIdsIn(source).isEmpty() || kind != SMSThreadUI::WorkMove);
    for (int node : {source, target})
        QCOMPARE(sortedKeys(m_store->getSmsBuffer(node)), storedIdsIn(node));
    // The next reads change nothing any more.
    m_store->LoadAndCountUnread(card);
    for (int node : {source, target})
        QCOMPARE(sortedKeys(m_store->getSmsBuffer(node)), storedIdsIn(node));
}

QTEST_MAIN(TestStore)
#include "tst_store.moc"
