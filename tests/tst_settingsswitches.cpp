// How the settings page adapts to the product: the operator's configuration switches, a
// multi-mode card with the host's dual-mode rule, CDMA and GSM products, a SIM that cannot be
// used, and a device that reports it has finished initialising.

#include "Change.h"
#include "CommonUtils.h"
#include "HostGuids.h"
#include "HostInterfaces.h"
#include "settings/SMSSettingUILogic.h"
#include "settings/SmsSettingUIPlugin.h"
#include "store/SMSStatusUILogic.h"
#include "Startup.h"
#include "window/SMSUIMainDlg.h"
#include "TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
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

const QByteArray kValidity =
    "<ValidityPeriod><p resource=\"IDS_VALIDITY_12H\"/><p resource=\"IDS_VALIDITY_1D\"/>"
    "<p resource=\"IDS_VALIDITY_30D\"/><p resource=\"IDS_VALIDITY_MAX\"/></ValidityPeriod>";

QByteArray config(const QByteArray& switches)
{
    return "<c>" + switches + kValidity + "</c>";
}

const QByteArray kAllOn = config("<SMSReceiveMode>true</SMSReceiveMode><SMSCenterValid>true</SMSCenterValid>"
                                 "<SMSCenterSeting>true</SMSCenterSeting><HidePrioritySetting>false</HidePrioritySetting>");
} // namespace

// What the page shows, in one comparable line per widget state.
struct PageState {
    bool saveMode = false;       // the save-mode group is shown
    bool centreGroup = false;    // the centre group is shown
    bool centreField = false;    // the centre number can be edited
    bool validityBox = false;    // the validity period can be chosen
    bool priority = false;       // the priority group is shown
    bool report = false;         // the delivery-report box is shown
    bool operator==(const PageState& o) const
    {
        return saveMode == o.saveMode && centreGroup == o.centreGroup && centreField == o.centreField
            && validityBox == o.validityBox && priority == o.priority && report == o.report;
    }
};
Q_DECLARE_METATYPE(PageState)

namespace QTest {
template <> char* toString(const PageState& s)
{
    return qstrdup(QStringLiteral("saveMode %1 centreGroup %2 centreField %3 validityBox %4 priority %5 report %6")
                       .arg(s.saveMode).arg(s.centreGroup).arg(s.centreField).arg(s.validityBox).arg(s.priority).arg(s.report)
                       .toLatin1().constData());
}
}

class TestSettingsSwitches : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void pageFollowsProductAndSwitches_data();
    void pageFollowsProductAndSwitches();
    void disabledFieldsStayDisabledAfterLoading();
    void applyKeepsToWhatThePageShows_data();
    void applyKeepsToWhatThePageShows();
    void deviceInitialisedRereadsTheCard();
    void soundBoxSwitchesItsFields();
    void languageChangeRefillsTheValidityBox();
    void numberLimitComesFromTheConfiguration();

private:
    template <typename T> T* find(const char* name) { return m_page->Widget()->findChild<T*>(QLatin1String(name)); }
    void writeConfig(const QByteArray& xml);
    void show();
    PageState state();
    QTemporaryDir m_dir;
    QString m_lib;
    QWidget m_host;
    PluginContainer m_container;
    DeviceManager m_deviceMgr;
    SmsSettingUIPlugin* m_page = nullptr;
    QList<MessageRequest> m_asked;
};

void TestSettingsSwitches::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_lib = m_dir.filePath(QStringLiteral("lib"));
    QVERIFY(TestSupport::stageLibrary(m_lib, {"plugins/SMSUIPlugin/SMSVoice.wav", "translations/host_en.qm", "translations/host_de.qm"}));
    CommonUtils::SetPluginLibraryPath(m_lib);
    CommonUtils::SetMessageResponder([this](const MessageRequest& r) { m_asked << r; return int(QMessageBox::Ok); });
    CommonUtils::SetImsiProvider([] { return QStringLiteral("262019876543210"); });
    QVERIFY(Change::LoadLanguage(QStringLiteral("en")));
    m_host.resize(600, 700);
    m_host.show();
    m_container.RegisterPlugin(QLatin1String(HostGuid::DeviceMgr), 0x1001, &m_deviceMgr);
    Startup::SetPluginContainer(&m_container);
}

void TestSettingsSwitches::init()
{
    QFile::remove(m_dir.filePath(QStringLiteral("xframe.ini")));
    CommonUtils::SetSettingsFile(m_dir.filePath(QStringLiteral("xframe.ini")));
    // No centre pinned for this SIM: the device's own centre is shown.
    CommonUtils::SetSettings(QStringLiteral("SMSCNumber"), QStringLiteral("IMSI_1"), QStringLiteral("99999"));
    CommonUtils::SetSettings(QStringLiteral("SMSCNumber"), QStringLiteral("IMSI_2"), QStringLiteral("88888"));
    TestSupport::freshModem(m_dir.filePath(QStringLiteral("sim.sqlite")));
    QCOMPARE(ZSDK_SMSSrv_SetSMSCentreNumber(QStringLiteral("+4930000").utf16()), 0);
    m_page = new SmsSettingUIPlugin;
    m_asked.clear();
}

void TestSettingsSwitches::cleanup()
{
    m_page->unSDKRegisterEvent();
    delete m_page;
    m_page = nullptr;
    SMSUIMainDlg::Release();
    SMSSettingUILogic::Destroy();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Change::LoadLanguage(QStringLiteral("en"));
}

void TestSettingsSwitches::cleanupTestCase()
{
    Startup::SetPluginContainer(nullptr);
    CommonUtils::SetMessageResponder(nullptr);
    CommonUtils::SetImsiProvider(nullptr);
    ZsdkSim::Shutdown();
}

void TestSettingsSwitches::writeConfig(const QByteArray& xml)
{
    const QString path = m_lib + QStringLiteral("/plugins/SMSUIPlugin/SMSUIPluginConfig.xml");
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(xml);
}

void TestSettingsSwitches::show()
{
    QVERIFY(m_page->ShowSmsSettingDlg(&m_host, QRect(QPoint(0, 0), QPoint(599, 699))));
}

PageState TestSettingsSwitches::state()
{
    PageState s;
    s.saveMode = !find<QGroupBox>("SmsSettingUIPlugin_SaveModegroupBox")->isHidden();
    s.centreGroup = !find<QGroupBox>("SmsSettingUIPlugin_m_pGroupBoxSmsc")->isHidden();
    s.centreField = find<QLineEdit>("SmsSettingUIPlugin_CenterNumlineEdit")->isEnabled();
    s.validityBox = find<QComboBox>("SmsSettingUIPlugin_StorageCombobox")->isEnabled();
    s.priority = !find<QGroupBox>("SmsSettingUIPlugin_MessagePriorityGroupBox")->isHidden();
    s.report = !find<QCheckBox>("SmsSettingUIPlugin_DeliveryreporgroupBox")->isHidden();
    return s;
}

void TestSettingsSwitches::pageFollowsProductAndSwitches_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<bool>("hostHidesDualMode");   // ("DualModeCard", "HideDoubleModeCardNode") = "true"
    QTest::addColumn<bool>("multiMode");
    QTest::addColumn<int>("product");              // 0 WCDMA, 1 CDMA
    QTest::addColumn<int>("pin");                  // 1 ready, 2 PIN required (SIM not usable)
    QTest::addColumn<int>("simType");
    QTest::addColumn<PageState>("expected");

    //                                                                   saveMode centreGroup centreField validity priority report
    auto st = [](bool a, bool b, bool c, bool d, bool e, bool f) { return PageState{a, b, c, d, e, f}; };
    QTest::newRow("a GSM stick with every switch on") << kAllOn << false << false << 0 << 1 << 3
                                                      << st(true, true, true, true, false, true);
    QTest::newRow("an operator file that switches nothing on") << config("") << false << false << 0 << 1 << 3
                                                               << st(false, true, false, false, false, true);
    QTest::newRow("no save mode on this product") << config("<SMSCenterValid>true</SMSCenterValid><SMSCenterSeting>true</SMSCenterSeting>")
                                                  << false << false << 0 << 1 << 3 << st(false, true, true, true, false, true);
    QTest::newRow("centre fixed by the operator, validity free")
        << config("<SMSReceiveMode>true</SMSReceiveMode><SMSCenterSeting>true</SMSCenterSeting>") << false << false << 0 << 1 << 3
        << st(true, true, false, true, false, true);
    QTest::newRow("validity fixed by the operator, centre free")
        << config("<SMSReceiveMode>true</SMSReceiveMode><SMSCenterValid>true</SMSCenterValid>") << false << false << 0 << 1 << 3
        << st(true, true, true, false, false, true);
    QTest::newRow("a capital True counts as off")
        << config("<SMSReceiveMode>True</SMSReceiveMode><SMSCenterValid>True</SMSCenterValid><SMSCenterSeting>yes</SMSCenterSeting>")
        << false << false << 0 << 1 << 3 << st(false, true, false, false, false, true);
    QTest::newRow("a multi-mode card while the host hides its nodes") << kAllOn << true << true << 0 << 1 << 3
                                                                      << st(false, true, true, true, false, true);
    QTest::newRow("the host hides dual-mode nodes but the card is single-mode") << kAllOn << true << false << 0 << 1 << 3
                                                                                << st(true, true, true, true, false, true);
    QTest::newRow("a multi-mode card the host does not hide") << kAllOn << false << true << 0 << 1 << 3
                                                              << st(true, true, true, true, false, true);
    QTest::newRow("CDMA: priority instead of the centre") << kAllOn << false << false << 1 << 1 << 3
                                                          << st(true, false, true, true, true, true);
    QTest::newRow("CDMA multi-mode card with the priority switched off")
        << config("<SMSReceiveMode>true</SMSReceiveMode><HidePrioritySetting>true</HidePrioritySetting>") << false << true << 1 << 1 << 3
        << st(true, false, false, false, false, true);
    QTest::newRow("CDMA single-mode card ignores the priority switch")
        << config("<SMSReceiveMode>true</SMSReceiveMode><HidePrioritySetting>true</HidePrioritySetting>") << false << false << 1 << 1 << 3
        << st(true, false, false, false, true, true);
    QTest::newRow("CDMA multi-mode card keeps the priority when not switched off") << kAllOn << false << true << 1 << 1 << 3
                                                                                   << st(true, false, true, true, true, true);
    QTest::newRow("a SIM waiting for its PIN has no centre to edit") << kAllOn << false << false << 0 << 2 << 3
                                                                     << st(true, false, true, true, false, false);
    QTest::newRow("a multi-mode card with SIM type 0 keeps the centre") << kAllOn << false << true << 0 << 2 << 0
                                                                        << st(true, true, true, true, false, true);
    QTest::newRow("a multi-mode card with SIM type 4 keeps the centre") << kAllOn << false << true << 0 << 2 << 4
                                                                        << st(true, true, true, true, false, true);
    QTest::newRow("a multi-mode card with another SIM type has none") << kAllOn << false << true << 0 << 2 << 1
                                                                      << st(true, false, true, true, false, false);
    QTest::newRow("SIM type 0 matters only on a multi-mode card") << kAllOn << false << false << 0 << 2 << 0
                                                                  << st(true, false, true, true, false, false);
}

void TestSettingsSwitches::pageFollowsProductAndSwitches()
{
    QFETCH(QByteArray, xml);
    QFETCH(bool, hostHidesDualMode);
    QFETCH(bool, multiMode);
    QFETCH(int, product);
    QFETCH(int, pin);
    QFETCH(int, simType);
    writeConfig(xml);
    CommonUtils::SetSettings(QStringLiteral("DualModeCard"), QStringLiteral("HideDoubleModeCardNode"),
                             hostHidesDualMode ? QStringLiteral("true") : QStringLiteral("false"));
    ZsdkSim::SetMultiModeCard(multiMode);
    ZsdkSim::SetProductType(product);
    ZsdkSim::SetPinState(pin);
    ZsdkSim::SetSimType(simType);
    show();
    QTEST(state(), "expected");
    QCOMPARE(m_page->IsCentreShown(), state().centreGroup);
}

void TestSettingsSwitches::disabledFieldsStayDisabledAfterLoading()
{
    // Loading the device's values fills the fields but does not hand back what the operator locked.
    writeConfig(config("<SMSReceiveMode>true</SMSReceiveMode>"));
    QCOMPARE(ZSDK_SMSSrv_SetSMSValidityPeriod(86400), 0);
    show();
    QLineEdit* centre = find<QLineEdit>("SmsSettingUIPlugin_CenterNumlineEdit");
    QComboBox* validity = find<QComboBox>("SmsSettingUIPlugin_StorageCombobox");
    QCOMPARE(centre->text(), QStringLiteral("+4930000"));
    QCOMPARE(validity->currentIndex(), 1);
    QVERIFY(!centre->isEnabled());
    QVERIFY(!validity->isEnabled());
    QVERIFY(m_page->Cancel());
    show();   // shown again after Cancel: loaded again
    QVERIFY(!centre->isEnabled());
    QVERIFY(!validity->isEnabled());
}

void TestSettingsSwitches::applyKeepsToWhatThePageShows_data()
{
    QTest::addColumn<int>("product");
    QTest::addColumn<int>("pin");
    QTest::addColumn<bool>("centreStored");
    QTest::addColumn<bool>("priorityStored");
    QTest::newRow("GSM with a usable SIM stores the centre, not the priority") << 0 << 1 << true << false;
    QTest::newRow("GSM without a usable SIM stores neither") << 0 << 2 << false << false;
    QTest::newRow("CDMA stores the priority, not the centre") << 1 << 1 << false << true;
}

void TestSettingsSwitches::applyKeepsToWhatThePageShows()
{
    QFETCH(int, product);
    QFETCH(int, pin);
    writeConfig(kAllOn);
    ZsdkSim::SetProductType(product);
    ZsdkSim::SetPinState(pin);
    QCOMPARE(ZSDK_SMSSrv_SetSMSValidityPeriod(43200), 0);
    QCOMPARE(ZSDK_SMSSrv_SMSSetPriority(0), 0);
    SMSUIMainDlg::Instance();   // Apply hands the sound file to the main window
    show();
    find<QLineEdit>("SmsSettingUIPlugin_CenterNumlineEdit")->setText(QStringLiteral("+4971100"));
    find<QComboBox>("SmsSettingUIPlugin_StorageCombobox")->setCurrentIndex(3);
    find<QRadioButton>("SmsSettingUIPlugin_RadioButtonEmergency")->setChecked(true);
    QVERIFY(m_page->Apply());
    QVERIFY(m_asked.isEmpty());
    ZSDK_WCHAR buffer[100] = {};
    int32_t addressType = 0, validity = 0, priority = -1;
    QCOMPARE(ZSDK_SMSSrv_GetSMSCentreNumber(&addressType, buffer, 100), 0);
    QCOMPARE(ZSDK_SMSSrv_GetSMSValidityPeriod(&validity), 0);
    QCOMPARE(ZSDK_SMSSrv_SMSGetPriority(&priority), 0);
    QFETCH(bool, centreStored);
    QCOMPARE(QString::fromUtf16(buffer), centreStored ? QStringLiteral("+4971100") : QStringLiteral("+4930000"));
    QCOMPARE(validity, centreStored ? 38102400 : 43200);
    QFETCH(bool, priorityStored);
    QCOMPARE(priority, priorityStored ? 3 : 0);
}

void TestSettingsSwitches::deviceInitialisedRereadsTheCard()
{
    writeConfig(kAllOn);
    CommonUtils::SetSettings(QStringLiteral("DualModeCard"), QStringLiteral("HideDoubleModeCardNode"), QStringLiteral("true"));
    show();
    QVERIFY(state().saveMode);
    QCOMPARE(find<QLineEdit>("SmsSettingUIPlugin_CenterNumlineEdit")->text(), QStringLiteral("+4930000"));
    // The device comes back as a multi-mode card with another centre; nothing is asked of the
    // page, it hears of it from the device.
    ZsdkSim::SetMultiModeCard(true);
    QCOMPARE(ZSDK_SMSSrv_SetSMSCentreNumber(QStringLiteral("+4940000").utf16()), 0);
    QSignalSpy initialised(SMSSettingUILogic::Existing(), &SMSSettingUILogic::DeviceInit);
    ZsdkSim::SignalDeviceInitialised();
    // The signal comes from the device's thread (once for "initialised", once for the device
    // event that follows; the service's own start may add one); the page follows on its own.
    QVERIFY(ZsdkSim::WaitForEvents());
    QTRY_VERIFY_WITH_TIMEOUT(!state().saveMode, 10000);
    QVERIFY(initialised.count() >= 2);
    QCOMPARE(find<QLineEdit>("SmsSettingUIPlugin_CenterNumlineEdit")->text(), QStringLiteral("+4940000"));
    // Once unregistered, the device's news no longer reaches the page.
    m_page->unSDKRegisterEvent();
    ZsdkSim::SetMultiModeCard(false);
    ZsdkSim::SignalDeviceInitialised();
    const int before = initialised.count();
    QVERIFY(ZsdkSim::WaitForEvents());
    QCoreApplication::processEvents();
    QCOMPARE(initialised.count(), before);
    QVERIFY(!state().saveMode);
}

void TestSettingsSwitches::soundBoxSwitchesItsFields()
{
    writeConfig(kAllOn);
    CommonUtils::SetSettings(QStringLiteral("SMSSERVICE"), QStringLiteral("SoundAlert"), QStringLiteral("0"));
    show();
    QCheckBox* sound = find<QCheckBox>("SmsSettingUIPlugin_CheckboxNewMsgSoundAlert");
    QLineEdit* file = find<QLineEdit>("SmsSettingUIPlugin_FileNameEditLine");
    QPushButton* browse = find<QPushButton>("SmsSettingUIPlugin_btnBrowse");
    QPushButton* test = find<QPushButton>("SmsSettingUIPlugin_btnTest");
    QVERIFY(!sound->isChecked());
    QVERIFY(!file->isEnabled() && !browse->isEnabled() && !test->isEnabled());
    sound->click();
    QVERIFY(file->isEnabled() && browse->isEnabled() && test->isEnabled());
    // Test needs a file name: emptying the field switches it off, typing one switches it on.
    file->selectAll();
    QTest::keyClick(file, Qt::Key_Delete);
    QVERIFY(!test->isEnabled());
    QTest::keyClicks(file, QStringLiteral("/x.wav"));
    QVERIFY(test->isEnabled());
    file->clear();
    sound->click();
    QVERIFY(!file->isEnabled() && !browse->isEnabled() && !test->isEnabled());
    sound->click();
    QVERIFY(file->isEnabled() && browse->isEnabled());
    QVERIFY(!test->isEnabled());   // still no file name
    // With the sound off, a bad file does not stop Apply and the stored file comes back.
    file->setText(m_dir.filePath(QStringLiteral("missing.mp3")));
    sound->click();
    SMSUIMainDlg::Instance();   // Apply hands the sound file to the main window
    QVERIFY(m_page->Apply());
    QVERIFY(m_asked.isEmpty());
    QCOMPARE(CommonUtils::GetSettings(QStringLiteral("SMSSERVICE"), QStringLiteral("SoundAlert")), QStringLiteral("0"));
    QVERIFY(CommonUtils::GetSettings(QStringLiteral("SMSSERVICE"), QStringLiteral("SoundAlertFile")).endsWith(QStringLiteral("SMSVoice.wav")));
    QVERIFY(file->text().endsWith(QStringLiteral("SMSVoice.wav")));
}

void TestSettingsSwitches::languageChangeRefillsTheValidityBox()
{
    writeConfig(kAllOn);
    QCOMPARE(ZSDK_SMSSrv_SetSMSValidityPeriod(2592000), 0);
    show();
    QComboBox* validity = find<QComboBox>("SmsSettingUIPlugin_StorageCombobox");
    QCOMPARE(validity->currentIndex(), 2);
    const QString english = validity->itemText(0);
    QVERIFY(Change::LoadLanguage(QStringLiteral("de")));
    m_page->Retranslate();
    QCOMPARE(validity->count(), 4);
    QVERIFY(validity->itemText(0) != english);
    QCOMPARE(validity->currentIndex(), 0);
}

QTEST_MAIN(TestSettingsSwitches)
// The operator's rule for recipient numbers is read with the page's configuration, and is there
// only while the settings logic is.
void TestSettingsSwitches::numberLimitComesFromTheConfiguration()
{
    writeConfig(config("<SMSReceiveMode>true</SMSReceiveMode><NumberLimit>^0[0-9]{9}$</NumberLimit>"));
    SMSStatusUILogic* store = SMSStatusUILogic::Instance();
    auto release = qScopeGuard([] { SMSStatusUILogic::Release(); });
    SMSSettingUILogic::Destroy();
    QCOMPARE(store->GetRegExpForNumberLimitCustomization(), QString());
    show();
    QCOMPARE(store->GetRegExpForNumberLimitCustomization(), QStringLiteral("^0[0-9]{9}$"));
    m_page->unSDKRegisterEvent();
    delete m_page;
    m_page = nullptr;
    SMSSettingUILogic::Destroy();
    QCOMPARE(store->GetRegExpForNumberLimitCustomization(), QString());
    m_page = new SmsSettingUIPlugin;
}

#include "tst_settingsswitches.moc"
