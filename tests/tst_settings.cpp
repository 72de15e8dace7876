// The SMS settings page: alerts, the message centre (per SIM), validity, priority, delivery
// report and save mode, read from and written to the host settings and the device.

#include "Change.h"
#include "CommonUtils.h"
#include "HostGuids.h"
#include "HostInterfaces.h"
#include "settings/SMSSettingUILogic.h"
#include "window/SMSUIMainDlg.h"
#include "Startup.h"
#include "settings/SmsSettingUIPlugin.h"
#include "TestSupport.h"

#include <QAudioDeviceInfo>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QScopeGuard>
#include <QtTest>

namespace {
// The host's device manager: the SIM is usable when the device says its PIN is settled.
class DeviceManager : public QObject, public IDeviceMgr
{
    Q_OBJECT
    Q_INTERFACES(IDeviceMgr)
public:
    bool IsSimValid() override
    {
        int32_t state = 0;
        return ZSDK_DevSrv_GetPinStatus(0, &state, nullptr, nullptr, nullptr) == 0 && (state == 1 || state == 8);
    }
};
}

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void firstShowWritesDefaults();
    void centreNumberField_data();
    void centreNumberField();
    void validityPositions_data();
    void validityPositions();
    void applyStoresDeviceSettings();
    void badSoundFileStopsApply();
    void emptyCentreNumberStopsApply();
    void applyNeedsTheMainWindow();
    void pinnedCentreNumberForTheSim();
    void cdmaProductsHavePriorityNotCentre_data();
    void cdmaProductsHavePriorityNotCentre();
    void cancelRestores();
    void saveModeFollowsTheSettingsFile();
    void soundTest();

private:
    template <typename T> T* find(const char* name) { return m_page->Widget()->findChild<T*>(QLatin1String(name)); }
    void show();
    QTemporaryDir m_dir;
    QString m_lib;
    QWidget m_host;
    PluginContainer m_container;
    DeviceManager m_deviceMgr;
    SmsSettingUIPlugin* m_page = nullptr;
    QList<MessageRequest> m_asked;
};

void TestSettings::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_lib = m_dir.filePath(QStringLiteral("lib"));
    QVERIFY(TestSupport::stageLibrary(m_lib, {"plugins/SMSUIPlugin/SMSUIPluginConfig.xml", "plugins/SMSUIPlugin/SMSVoice.wav",
                                              "translations/host_en.qm"}));
    CommonUtils::SetPluginLibraryPath(m_lib);
    CommonUtils::SetMessageResponder([this](const MessageRequest& r) { m_asked << r; return int(QMessageBox::Ok); });
    CommonUtils::SetImsiProvider([] { return QStringLiteral("262019876543210"); });
    QVERIFY(Change::LoadLanguage(QStringLiteral("en")));
    m_host.resize(600, 700);
    m_host.show();
    m_container.RegisterPlugin(QLatin1String(HostGuid::DeviceMgr), 0x1001, &m_deviceMgr);
    Startup::SetPluginContainer(&m_container);
}

void TestSettings::init()
{
    QFile::remove(m_dir.filePath(QStringLiteral("xframe.ini")));
    CommonUtils::SetSettingsFile(m_dir.filePath(QStringLiteral("xframe.ini")));
    TestSupport::freshModem(m_dir.filePath(QStringLiteral("sim.sqlite")));
    m_page = new SmsSettingUIPlugin;
    m_asked.clear();
    SMSUIMainDlg::Instance();   // Apply hands the sound file to the main window
}

void TestSettings::cleanup()
{
    m_page->unSDKRegisterEvent();
    delete m_page;
    m_page = nullptr;
    SMSUIMainDlg::Release();
    SMSSettingUILogic::Destroy();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestSettings::cleanupTestCase()
{
    Startup::SetPluginContainer(nullptr);
    CommonUtils::SetMessageResponder(nullptr);
    CommonUtils::SetImsiProvider(nullptr);
    ZsdkSim::Shutdown();
}

void TestSettings::show()
{
    QVERIFY(m_page->ShowSmsSettingDlg(&m_host, QRect(QPoint(0, 0), QPoint(599, 699))));
    QCOMPARE(m_page->Widget()->size(), QSize(600, 700));
}

void TestSettings::firstShowWritesDefaults()
{
    show();
    QCOMPARE(CommonUtils::GetSettings(QStringLiteral("SMSSERVICE"), QStringLiteral("VisionAlert")), QStringLiteral("1"));
    QCOMPARE(CommonUtils::GetSettings(QStringLiteral("SMSSERVICE"), QStringLiteral("SoundAlert")), QStringLiteral("1"));
    QVERIFY(CommonUtils::GetSettings(QStringLiteral("SMSSERVICE"), QStringLiteral("SoundAlertFile")).endsWith(QStringLiteral("/plugins/SMSUIPlugin/SMSVoice.wav")));
    QVERIFY(find<QCheckBox>("SmsSettingUIPlugin_CheckboxNewMsgNotify")->isChecked());
    QVERIFY(find<QPushButton>("SmsSettingUIPlugin_btnTest")->isEnabled());
    // The shipped configuration offers the save mode, the centre and the validity periods.
    QVERIFY(!find<QGroupBox>("SmsSettingUIPlugin_SaveModegroupBox")->isHidden());
    QVERIFY(m_page->IsCentreShown());
    ZsdkSim::SetPinState(2);   // PIN required: no centre to edit
    m_page->updateSMSCSettings();
    QVERIFY(!m_page->IsCentreShown());
    QVERIFY(find<QGroupBox>("SmsSettingUIPlugin_m_pGroupBoxSmsc")->isHidden());
    ZsdkSim::SetPinState(1);
    QCOMPARE(find<QRadioButton>("SmsSettingUIPlugin_BtnsaveonSim")->text(), QStringLiteral("SIM card"));
    QCOMPARE(find<QComboBox>("SmsSettingUIPlugin_StorageCombobox")->count(), 4);
    QCOMPARE(find<QComboBox>("SmsSettingUIPlugin_StorageCombobox")->itemText(0), QStringLiteral("12 hours"));
    QVERIFY(find<QGroupBox>("SmsSettingUIPlugin_MessagePriorityGroupBox")->isHidden());
}

void TestSettings::centreNumberField_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("international") << "+491710760000" << true;
    QTest::newRow("national") << "01710760000" << true;
    QTest::newRow("a letter") << "0171a" << false;
    QTest::newRow("a plus inside") << "01+71" << false;
    QTest::newRow("twenty characters") << "+1234567890123456789" << true;
    QTest::newRow("twenty-one characters") << "+12345678901234567890" << false;
}

void TestSettings::centreNumberField()
{
    QFETCH(QString, text);
    show();
    QLineEdit* field = find<QLineEdit>("SmsSettingUIPlugin_CenterNumlineEdit");
    int pos = 0;
    QTEST(field->validator()->validate(text, pos) == QValidator::Acceptable, "accepted");
}

void TestSettings::validityPositions_data()
{
    QTest::addColumn<int>("seconds");
    QTest::addColumn<int>("position");
    QTest::newRow("twelve hours") << 43200 << 0;
    QTest::newRow("one day") << 86400 << 1;
    QTest::newRow("thirty days") << 2592000 << 2;
    QTest::newRow("the longest") << 38102400 << 3;
    QTest::newRow("anything else") << 12345 << 0;
}

void TestSettings::validityPositions()
{
    QFETCH(int, seconds);
    QFETCH(int, position);
    QCOMPARE(SmsSettingUIPlugin::PositionForSeconds(seconds), position);
    if (seconds != 12345) {
        QCOMPARE(SmsSettingUIPlugin::SecondsForPosition(position), seconds);
    } else {
        // No choice in the box (-1) or one past the list: no period, never a value read past it.
        QCOMPARE(SmsSettingUIPlugin::SecondsForPosition(-1), 0);
        QCOMPARE(SmsSettingUIPlugin::SecondsForPosition(4), 0);
    }
    QCOMPARE(ZSDK_SMSSrv_SetSMSValidityPeriod(seconds), 0);
    show();
    QCOMPARE(find<QComboBox>("SmsSettingUIPlugin_StorageCombobox")->currentIndex(), position);
}

void TestSettings::applyStoresDeviceSettings()
{
    show();
    find<QLineEdit>("SmsSettingUIPlugin_CenterNumlineEdit")->setText(QStringLiteral("+491719999999"));
    find<QComboBox>("SmsSettingUIPlugin_StorageCombobox")->setCurrentIndex(2);
    find<QCheckBox>("SmsSettingUIPlugin_DeliveryreporgroupBox")->setChecked(true);
    find<QCheckBox>("SmsSettingUIPlugin_CheckboxNewMsgNotify")->setChecked(false);
    find<QRadioButton>("SmsSettingUIPlugin_BtnsaveonSim")->setChecked(true);
    QVERIFY(m_page->Apply());
    ZSDK_WCHAR buffer[100] = {};
    int32_t addressType = 0;
    QCOMPARE(ZSDK_SMSSrv_GetSMSCentreNumber(&addressType, buffer, 100), 0);
    QCOMPARE(QString::fromUtf16(buffer), QStringLiteral("+491719999999"));
    int32_t value = 0;
    QCOMPARE(ZSDK_SMSSrv_GetSMSValidityPeriod(&value), 0);
    QCOMPARE(value, 2592000);
    QCOMPARE(ZSDK_SMSSrv_GetSMSReceiptNotify(&value), 0);
    QCOMPARE(value, 1);
    QCOMPARE(CommonUtils::GetSettings(QStringLiteral("SMSSERVICE"), QStringLiteral("VisionAlert")), QStringLiteral("0"));
    QCOMPARE(CommonUtils::GetSettings(QStringLiteral("SMSSERVICE"), QStringLiteral("ReceviceMode")), QStringLiteral("0"));
    QVERIFY(!m_page->Widget()->parent());   // detached from the host's dialog
}

void TestSettings::badSoundFileStopsApply()
{
    show();
    const QString mp3 = m_dir.filePath(QStringLiteral("tune.mp3"));
    QFile f(mp3);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("ID3");
    f.close();
    find<QLineEdit>("SmsSettingUIPlugin_FileNameEditLine")->setText(mp3);
    find<QCheckBox>("SmsSettingUIPlugin_CheckboxNewMsgNotify")->setChecked(false);
    QVERIFY(!m_page->Apply());
    QCOMPARE(m_asked.size(), 1);
    QCOMPARE(m_asked.at(0).text, Change::tr(QStringLiteral("IDS_STR_AUDIOFILENOTEXIST"), QStringLiteral("SMSUIPlugin")));
    QCOMPARE(CommonUtils::GetSettings(QStringLiteral("SMSSERVICE"), QStringLiteral("VisionAlert")), QStringLiteral("1"));
    QVERIFY(!m_page->CheckAndHide());   // the host stays on the page
}

void TestSettings::applyNeedsTheMainWindow()
{
    auto centre = [] {
        ZSDK_WCHAR buffer[100] = {};
        int32_t addressType = 0;
        return ZSDK_SMSSrv_GetSMSCentreNumber(&addressType, buffer, 100) == 0 ? QString::fromUtf16(buffer) : QStringLiteral("<failed>");
    };
    show();
    const QString before = centre();
    QVERIFY(before != QLatin1String("+491719999999"));
    find<QLineEdit>("SmsSettingUIPlugin_CenterNumlineEdit")->setText(QStringLiteral("+491719999999"));
    SMSUIMainDlg::Release();
    // Without the window the sound setting cannot take effect: the host stays on the page, and
    // what comes after the sound (the centre number) is not stored.
    QVERIFY(!m_page->Apply());
    QCOMPARE(m_page->Widget()->parent(), &m_host);
    QCOMPARE(centre(), before);
    SMSUIMainDlg::Instance();
    QVERIFY(m_page->Apply());
    QCOMPARE(centre(), QStringLiteral("+491719999999"));
    QVERIFY(!m_page->Widget()->parent());
}

void TestSettings::emptyCentreNumberStopsApply()
{
    show();
    find<QLineEdit>("SmsSettingUIPlugin_CenterNumlineEdit")->clear();
    QVERIFY(!m_page->Apply());
    QCOMPARE(m_asked.value(0).text, QStringLiteral("Enter the message centre number."));
}

void TestSettings::pinnedCentreNumberForTheSim()
{
    CommonUtils::SetSettings(QStringLiteral("SMSCNumber"), QStringLiteral("IMSI_1"), QStringLiteral("26201"));
    CommonUtils::SetSettings(QStringLiteral("SMSCNumber"), QStringLiteral("SMSCNumber_1"), QStringLiteral("+491710760000"));
    ZSDK_SMSSrv_SetSMSCentreNumber(QStringLiteral("+4930000").utf16());
    show();
    QCOMPARE(find<QLineEdit>("SmsSettingUIPlugin_CenterNumlineEdit")->text(), QStringLiteral("+491710760000"));
    CommonUtils::SetSettings(QStringLiteral("SMSCNumber"), QStringLiteral("IMSI_1"), QStringLiteral("99999"));
    CommonUtils::SetSettings(QStringLiteral("SMSCNumber"), QStringLiteral("IMSI_2"), QStringLiteral("88888"));
    QString number;
    QCOMPARE(SMSSettingUILogic::Instance()->GetSMSCentreNumber(&number), 0);
    QCOMPARE(number, QStringLiteral("+4930000"));   // no pinned prefix matches: the device's
}

void TestSettings::cdmaProductsHavePriorityNotCentre_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<int>("saved");
    QTest::newRow("normal, made urgent") << 0 << "Normal" << "Urgent" << 2;
    QTest::newRow("urgent, made emergency") << 2 << "Urgent" << "Emergency" << 3;
    QTest::newRow("emergency, made normal") << 3 << "Emergency" << "Normal" << 0;
    QTest::newRow("emergency, kept") << 3 << "Emergency" << "Emergency" << 3;
}

void TestSettings::cdmaProductsHavePriorityNotCentre()
{
    QFETCH(int, stored);
    QFETCH(QString, shown);
    QFETCH(QString, chosen);
    QFETCH(int, saved);
    ZsdkSim::SetProductType(1);
    auto product = qScopeGuard([] { ZsdkSim::SetProductType(0); });
    QCOMPARE(ZSDK_SMSSrv_SMSSetPriority(stored), 0);
    show();
    QVERIFY(!find<QGroupBox>("SmsSettingUIPlugin_MessagePriorityGroupBox")->isHidden());
    QVERIFY(find<QGroupBox>("SmsSettingUIPlugin_m_pGroupBoxSmsc")->isHidden());
    QCOMPARE(find<QRadioButton>("SmsSettingUIPlugin_BtnsaveonSim")->text(), QStringLiteral("UIM card"));
    // The page opens on the priority the device has.
    for (const char* button : {"Normal", "Urgent", "Emergency"})
        QCOMPARE(find<QRadioButton>((QByteArray("SmsSettingUIPlugin_RadioButton") + button).constData())->isChecked(),
                 shown == QLatin1String(button));
    find<QRadioButton>((QByteArray("SmsSettingUIPlugin_RadioButton") + chosen.toLatin1()).constData())->setChecked(true);
    QVERIFY(m_page->Apply());
    int32_t priority = -1;
    QCOMPARE(ZSDK_SMSSrv_SMSGetPriority(&priority), 0);
    QCOMPARE(priority, saved);
}

// Where received messages go is read from the settings file each time the page opens; without
// a value the page keeps the PC.
void TestSettings::saveModeFollowsTheSettingsFile()
{
    auto restore = qScopeGuard([] { CommonUtils::SetSettings(QStringLiteral("SMSSERVICE"), QStringLiteral("ReceviceMode"), QString()); });
    show();
    QVERIFY(m_page->Cancel());
    QRadioButton* pc = find<QRadioButton>("SmsSettingUIPlugin_BtnsaveonLocal");
    QRadioButton* card = find<QRadioButton>("SmsSettingUIPlugin_BtnsaveonSim");
    QVERIFY(pc && card);
    for (const auto& step : {qMakePair(QStringLiteral("0"), false), qMakePair(QStringLiteral("1"), true),
                             qMakePair(QStringLiteral("0"), false), qMakePair(QString(), true)}) {
        CommonUtils::SetSettings(QStringLiteral("SMSSERVICE"), QStringLiteral("ReceviceMode"), step.first);
        if (step.first.isEmpty())
            pc->setChecked(true);   // as a new page starts
        show();
        QVERIFY2(pc->isChecked() == step.second && card->isChecked() != step.second, qPrintable(step.first));
        QVERIFY(m_page->Cancel());
    }
}

void TestSettings::cancelRestores()
{
    show();
    QCheckBox* sound = find<QCheckBox>("SmsSettingUIPlugin_CheckboxNewMsgSoundAlert");
    sound->setChecked(false);
    QVERIFY(m_page->Cancel());
    QVERIFY(sound->isChecked());
    QCOMPARE(CommonUtils::GetSettings(QStringLiteral("SMSSERVICE"), QStringLiteral("SoundAlert")), QStringLiteral("1"));
    QVERIFY(m_page->CheckAndHide());   // after Cancel the page hides without checking
}

void TestSettings::soundTest()
{
    show();
    QPushButton* test = find<QPushButton>("SmsSettingUIPlugin_btnTest");
    QCOMPARE(test->text(), QStringLiteral("Test"));
    test->click();
    if (QAudioDeviceInfo::availableDevices(QAudio::AudioOutput).isEmpty()) {
        // No audio output on this machine: the page says it could not play.
        QCOMPARE(m_asked.size(), 1);
        QCOMPARE(m_asked.at(0).text, QStringLiteral("The sound file could not be played."));
        QCOMPARE(test->text(), QStringLiteral("Test"));
    } else {
        QCOMPARE(test->text(), QStringLiteral("Stop"));
        test->click();
        QCOMPARE(test->text(), QStringLiteral("Test"));
    }
    // A file that is not a sound file is refused before anything plays.
    m_asked.clear();
    find<QLineEdit>("SmsSettingUIPlugin_FileNameEditLine")->setText(m_dir.filePath(QStringLiteral("nothing.txt")));
    test->click();
    QCOMPARE(m_asked.value(0).text, Change::tr(QStringLiteral("IDS_STR_AUDIOFILENOTEXIST"), QStringLiteral("SMSUIPlugin")));
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
