#include "settings/SmsSettingUIPlugin.h"

#include "Change.h"
#include "CommonUtils.h"
#include "ExtendLineEdit.h"
#include "store/SMSLog.h"
#include "settings/SMSSettingUILogic.h"
#include "window/SMSUIMainDlg.h"
#include "VlSound.h"
#include "zsdk.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <array>
#include <cstddef>

namespace {

const QString kGroup = QStringLiteral("SMSUIPlugin");
const std::array<int, 4> kSeconds{43200, 86400, 2592000, 38102400};

QString tr_(const char* id) { return Change::tr(QLatin1String(id), kGroup); }

QString defaultSoundFile()
{
    return CommonUtils::GetPluginLibraryPath() + QStringLiteral("/plugins/SMSUIPlugin/SMSVoice.wav");
}

bool playableSoundFile(const QString& path)
{
    const QFileInfo info(path);
    const QString suffix = info.suffix().toLower();
    return info.isFile() && (suffix == QLatin1String("wav") || suffix == QLatin1String("mid"));
}

} // namespace

int SmsSettingUIPlugin::SecondsForPosition(int position)
{
    // at() rather than [] so that a position the guard let through by mistake fails loudly
    // instead of reading past the list.
    return position >= 0 && std::size_t(position) < kSeconds.size() ? kSeconds.at(std::size_t(position)) : 0;
}

int SmsSettingUIPlugin::PositionForSeconds(int seconds)
{
    for (int i = 1; i < 4; ++i)
        if (kSeconds[i] == seconds)
            return i;
    return 0;
}

SmsSettingUIPlugin::SmsSettingUIPlugin() = default;

SmsSettingUIPlugin::~SmsSettingUIPlugin()
{
    stopTestSound();
    delete m_pWidget.data();
}

bool SmsSettingUIPlugin::configOn(const QString& key) const
{
    bool on = false;
    if (m_pLogic)
        m_pLogic->GetConfigBool(key, &on);
    return on;
}

bool SmsSettingUIPlugin::isCdma() const { return m_strProductType == QLatin1String("CDMA"); }

void SmsSettingUIPlugin::message(const char* textId, const char* titleId, int icon)
{
    CommonUtils::ShowMessage(icon, m_pWidget, tr_(textId), tr_(titleId), QStringLiteral("IDS_OK"), QString(), QString());
}

void SmsSettingUIPlugin::InitSmsSetting()
{
    if (!m_bInitialised) {
        m_bInitialised = true;
        m_pLogic = SMSSettingUILogic::Instance();
        if (!m_pLogic->IsConfigLoaded())
            m_pLogic->InitSmsXMLConfiguration();
        m_pLogic->RegisterDevice();
        connect(m_pLogic, &SMSSettingUILogic::DeviceInit, this, &SmsSettingUIPlugin::updateSMSCSettings);
    }
    if (!m_pWidget) {
        initailizeUI();
        applyCheckBoxSetting();
    }
    if (!m_bLoaded) {
        loadValues();
        m_bLoaded = true;
        return;
    }
    int32_t multi = 0;
    if (ZSDK_DevSrv_GetMultiModeCardStatus(&multi, 0, 0, 0) == 0 && multi)
        updateSMSCSettings();
}

void SmsSettingUIPlugin::initailizeUI()
{
    m_pWidget = new QWidget;
    m_pWidget->setObjectName(QStringLiteral("SmsSettingUIPlugin_WidgetSmsSetting"));
    auto* page = new QVBoxLayout(m_pWidget);
    page->setObjectName(QStringLiteral("SmsSettingUIPlugin_VBoxLayoutSmsSetting"));
    m_pGroupsLayout = new QVBoxLayout;
    m_pGroupsLayout->setObjectName(QStringLiteral("SmsSettingUIPlugin_VBoxLayoutGroupBox"));

    m_pAlertGroup = new QGroupBox(m_pWidget);
    m_pAlertGroup->setObjectName(QStringLiteral("SmsSettingUIPlugin_GroupBoxTxtMsgHandle"));
    auto* alerts = new QVBoxLayout(m_pAlertGroup);
    alerts->setObjectName(QStringLiteral("SmsSettingUIPlugin_VLayoutTextMsgHnd"));
    m_pVisionAlert = new QCheckBox(m_pAlertGroup);
    m_pVisionAlert->setObjectName(QStringLiteral("SmsSettingUIPlugin_CheckboxNewMsgNotify"));
    m_pSoundAlert = new QCheckBox(m_pAlertGroup);
    m_pSoundAlert->setObjectName(QStringLiteral("SmsSettingUIPlugin_CheckboxNewMsgSoundAlert"));
    m_pSoundLabel = new QLabel(m_pAlertGroup);
    m_pSoundLabel->setObjectName(QStringLiteral("SmsSettingUIPlugin_Soundfilename"));
    m_pSoundFile = new ExtendLineEdit(m_pAlertGroup);
    m_pSoundFile->setObjectName(QStringLiteral("SmsSettingUIPlugin_FileNameEditLine"));
    m_pSoundFile->setFixedHeight(22);
    m_pSoundFile->setContextMenuEnabled(false);
    m_pBrowse = new QPushButton(m_pAlertGroup);
    m_pBrowse->setObjectName(QStringLiteral("SmsSettingUIPlugin_btnBrowse"));
    m_pTest = new QPushButton(m_pAlertGroup);
    m_pTest->setObjectName(QStringLiteral("SmsSettingUIPlugin_btnTest"));
    auto* buttons = new QHBoxLayout;
    buttons->setObjectName(QStringLiteral("SmsSettingUIPlugin_HBoxLayoutBrowseTestButton"));
    buttons->setSpacing(15);
    buttons->addStretch(1);
    buttons->addWidget(m_pBrowse);
    buttons->addWidget(m_pTest);
    alerts->addWidget(m_pVisionAlert);
    alerts->addWidget(m_pSoundAlert);
    alerts->addWidget(m_pSoundLabel);
    alerts->addWidget(m_pSoundFile);
    alerts->addLayout(buttons);

    m_pSaveModeGroup = new QGroupBox(m_pWidget);
    m_pSaveModeGroup->setObjectName(QStringLiteral("SmsSettingUIPlugin_SaveModegroupBox"));
    m_pSaveModeGroup->setFixedHeight(85);
    auto* saveMode = new QVBoxLayout(m_pSaveModeGroup);
    saveMode->setObjectName(QStringLiteral("SmsSettingUIPlugin_VLayoutSaveModeRadioButton"));
    m_pSaveOnPc = new QRadioButton(m_pSaveModeGroup);
    m_pSaveOnPc->setObjectName(QStringLiteral("SmsSettingUIPlugin_BtnsaveonLocal"));
    m_pSaveOnPc->setChecked(true);
    m_pSaveOnCard = new QRadioButton(m_pSaveModeGroup);
    m_pSaveOnCard->setObjectName(QStringLiteral("SmsSettingUIPlugin_BtnsaveonSim"));
    saveMode->addWidget(m_pSaveOnPc);
    saveMode->addWidget(m_pSaveOnCard);

    m_pSmscGroup = new QGroupBox(m_pWidget);
    m_pSmscGroup->setObjectName(QStringLiteral("SmsSettingUIPlugin_m_pGroupBoxSmsc"));
    auto* form = new QFormLayout(m_pSmscGroup);
    form->setObjectName(QStringLiteral("SmsSettingUIPlugin_FormLayoutSmsc"));
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->setFormAlignment(Qt::AlignLeft | Qt::AlignTop);
    form->setLabelAlignment(Qt::AlignLeft);
    m_pSmscLabel = new QLabel(m_pSmscGroup);
    m_pSmscLabel->setObjectName(QStringLiteral("SmsSettingUIPlugin_m_pLabelSmsCenterNumber"));
    m_pValidityLabel = new QLabel(m_pSmscGroup);
    m_pValidityLabel->setObjectName(QStringLiteral("SmsSettingUIPlugin_StoragePeriod"));
    m_pSmscNumber = new ExtendLineEdit(m_pSmscGroup);
    m_pSmscNumber->setObjectName(QStringLiteral("SmsSettingUIPlugin_CenterNumlineEdit"));
    m_pSmscNumber->setFixedHeight(22);
    m_pValidator = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[+0-9]\\d{0,19}")), this);
    m_pSmscNumber->setValidator(m_pValidator);
    m_pValidity = new QComboBox(m_pSmscGroup);
    m_pValidity->setObjectName(QStringLiteral("SmsSettingUIPlugin_StorageCombobox"));
    form->addRow(m_pSmscLabel, m_pSmscNumber);
    form->addRow(m_pValidityLabel, m_pValidity);

    m_pPriorityGroup = new QGroupBox(m_pWidget);
    m_pPriorityGroup->setObjectName(QStringLiteral("SmsSettingUIPlugin_MessagePriorityGroupBox"));
    auto* priority = new QVBoxLayout(m_pPriorityGroup);
    m_pNormal = new QRadioButton(m_pPriorityGroup);
    m_pNormal->setObjectName(QStringLiteral("SmsSettingUIPlugin_RadioButtonNormal"));
    m_pNormal->setChecked(true);
    m_pUrgent = new QRadioButton(m_pPriorityGroup);
    m_pUrgent->setObjectName(QStringLiteral("SmsSettingUIPlugin_RadioButtonUrgent"));
    m_pEmergency = new QRadioButton(m_pPriorityGroup);
    m_pEmergency->setObjectName(QStringLiteral("SmsSettingUIPlugin_RadioButtonEmergency"));
    priority->addWidget(m_pNormal);
    priority->addWidget(m_pUrgent);
    priority->addWidget(m_pEmergency);

    m_pDeliveryReport = new QCheckBox(m_pWidget);
    m_pDeliveryReport->setObjectName(QStringLiteral("SmsSettingUIPlugin_DeliveryreporgroupBox"));

    m_pGroupsLayout->addWidget(m_pAlertGroup);
    m_pGroupsLayout->addWidget(m_pSaveModeGroup);
    m_pGroupsLayout->addWidget(m_pSmscGroup);
    m_pGroupsLayout->addWidget(m_pPriorityGroup);
    m_pGroupsLayout->addWidget(m_pDeliveryReport);
    page->addLayout(m_pGroupsLayout);
    page->addStretch(1);

    connect(m_pSoundAlert, &QCheckBox::clicked, this, &SmsSettingUIPlugin::onClickSoundAlertCheckBox);
    connect(m_pBrowse, &QPushButton::clicked, this, &SmsSettingUIPlugin::onClickBrowseButton);
    connect(m_pTest, &QPushButton::clicked, this, &SmsSettingUIPlugin::onClickTestButton);
    connect(m_pSoundFile, &QLineEdit::textEdited, this, &SmsSettingUIPlugin::onTextEdited);
    Retranslate();
    applyXMLConfigSetting();
}

void SmsSettingUIPlugin::applyXMLConfigSetting()
{
    if (!configOn(QStringLiteral("SMSReceiveMode")))
        m_pSaveModeGroup->hide();
    if (!configOn(QStringLiteral("SMSCenterValid")))
        m_pSmscNumber->setEnabled(false);
    if (!configOn(QStringLiteral("SMSCenterSeting")))
        m_pValidity->setEnabled(false);
    if (!m_pSoundAlert->isChecked()) {
        m_pSoundFile->setEnabled(false);
        m_pBrowse->setEnabled(false);
        m_pTest->setEnabled(false);
    }
}

void SmsSettingUIPlugin::applyCheckBoxSetting()
{
    bool value = false;
    if (m_pLogic->GetSMSSetting(QStringLiteral("VisionAlert"), &value) != 0) {
        m_pVisionAlert->setChecked(true);
        m_pLogic->SetSMSSetting(QStringLiteral("VisionAlert"), true);
        SMS_LOG("%s: %s: %s: Setting is successful for message view notification");
    }
    if (m_pLogic->GetSMSSetting(QStringLiteral("SoundAlert"), &value) != 0) {
        m_pSoundAlert->setChecked(true);
        m_pLogic->SetSMSSetting(QStringLiteral("SoundAlert"), true);
        SMS_LOG("%s: %s: %s: Setting is successful for message alert sound");
    }
}

void SmsSettingUIPlugin::fillValidityBox()
{
    QStringList texts;
    for (const QString& id : m_pLogic ? m_pLogic->GetValidityPeriodList() : QStringList())
        texts << Change::tr(id, kGroup);
    std::sort(texts.begin(), texts.end());
    m_pValidity->clear();
    m_pValidity->addItems(texts);
    if (!texts.isEmpty())
        m_pValidity->setCurrentIndex(0);
}

void SmsSettingUIPlugin::loadValues()
{
    bool value = false;
    if (m_pLogic->GetSMSSetting(QStringLiteral("VisionAlert"), &value) == 0)
        m_pVisionAlert->setChecked(value);
    if (m_pLogic->GetSMSSetting(QStringLiteral("SoundAlert"), &value) == 0)
        m_pSoundAlert->setChecked(value);
    QString file;
    m_pLogic->GetSoundAlertFile(&file);
    if (!QFileInfo::exists(file)) {
        file = defaultSoundFile();
        m_pLogic->SetSoundAlertFile(file);
    }
    m_pSoundFile->setText(file);
    const bool sound = m_pSoundAlert->isChecked();
    m_pSoundFile->setEnabled(sound);
    m_pBrowse->setEnabled(sound);
    m_pTest->setEnabled(sound && !m_pSoundFile->text().isEmpty());
    const QString mode = CommonUtils::GetSettings(QStringLiteral("SMSSERVICE"), QStringLiteral("ReceviceMode"));
    if (!mode.isEmpty()) {
        m_pSaveOnPc->setChecked(mode.toInt() == 1);
        m_pSaveOnCard->setChecked(mode.toInt() == 0);
    }
    updateSMSCSettings();
    if (m_pLogic->GetDeviceStatus()) {
        bool report = false;
        if (m_pLogic->GetDeliveryReportSetting(&report) == 0)
            m_pDeliveryReport->setChecked(report);
    }
}

void SmsSettingUIPlugin::updateSMSCSettings()
{
    if (!m_pWidget || !m_pLogic)
        return;
    int32_t multiValue = 0;
    bool multi = false;
    if (ZSDK_DevSrv_GetMultiModeCardStatus(&multiValue, 0, 0, 0) != 0)
        SMS_LOG("%s: %s: %s : ZSDK_DevSrv_GetMultiModeCardStatus Fail ");
    else
        multi = multiValue != 0;
    const bool hideDual = CommonUtils::GetSettings(QStringLiteral("DualModeCard"), QStringLiteral("HideDoubleModeCardNode")) == QLatin1String("true");
    m_pSaveModeGroup->setVisible(!((hideDual && multi) || !configOn(QStringLiteral("SMSReceiveMode"))));
    m_pLogic->GetProductType(&m_strProductType);
    if (isCdma()) {
        m_pPriorityGroup->setVisible(!(multi && configOn(QStringLiteral("HidePrioritySetting"))));
        m_pSmscGroup->hide();
        m_bSmscShown = false;
        m_pDeliveryReport->show();
        int priority = 0;
        if (m_pLogic->GetMessagePrioritySetting(&priority) == 0) {
            if (priority == 2)
                m_pUrgent->setChecked(true);
            else if (priority == 3)
                m_pEmergency->setChecked(true);
            else if (priority == 0)
                m_pNormal->setChecked(true);
        }
    } else {
        m_pPriorityGroup->hide();
        bool valid = m_pLogic->IsSimValid();
        if (!valid && multi) {
            int32_t simType = -1;
            if (ZSDK_DevSrv_GetSimType(&simType) == 0) {
                SMS_DEBUG("%s: %s call ZSDK_DevSrv_GetSimType Success.", SMSLog::now().constData(), __func__);
                valid = simType == 0 || simType == 4;
            }
        }
        if (!valid) {
            m_pSmscGroup->hide();
            m_pDeliveryReport->hide();
            m_bSmscShown = false;
        } else {
            m_pSmscGroup->show();
            m_pDeliveryReport->show();
            QString number;
            if (m_pLogic->GetSMSCentreNumber(&number) == 0)
                m_pSmscNumber->setText(number);
            unsigned seconds = 0;
            if (m_pLogic->GetSMSValidityPeriod(&seconds) == 0 && m_pValidity->count() > 0)
                m_pValidity->setCurrentIndex(qMin(PositionForSeconds(int(seconds)), m_pValidity->count() - 1));
            m_bSmscShown = true;
        }
    }
    const QString card = m_pLogic->GetSimString();
    m_pSaveOnCard->setText(tr_("IDS_RAD_SMS_SAVE_SIM").replace(QLatin1String("%s"), card.isEmpty() ? QStringLiteral("SIM/USIM") : card));
}

bool SmsSettingUIPlugin::ShowSmsSettingDlg(QWidget* parent, const QRect& rect)
{
    InitSmsSetting();
    if (!m_pWidget)
        return false;
    m_bCancelled = false;
    m_pWidget->setParent(parent, Qt::WindowFlags());
    m_pWidget->resize(rect.right() - rect.left() + 1, rect.bottom() - rect.top() + 1);
    m_pWidget->move(rect.topLeft());
    m_pWidget->show();
    return true;
}

bool SmsSettingUIPlugin::isValidSetting()
{
    if (!m_pWidget || !m_pWidget->isVisible())
        return true;
    stopTestSound();
    if (m_pSoundAlert->isChecked() && !playableSoundFile(m_pSoundFile->text())) {
        message("IDS_STR_AUDIOFILENOTEXIST", "IDS_STR_PROMPT", QMessageBox::Information);
        return false;
    }
    if (m_bSmscShown && m_pSmscNumber->text().isEmpty()) {
        message("IDS_STR_CENTERNUMBERNULL", "IDS_STR_PROMPT", QMessageBox::Information);
        return false;
    }
    return true;
}

bool SmsSettingUIPlugin::Apply()
{
    if (!m_pWidget || !m_pLogic)
        return true;
    if (!isValidSetting())
        return false;
    m_pLogic->SetSMSSetting(QStringLiteral("VisionAlert"), m_pVisionAlert->isChecked());
    m_pLogic->SetSMSSetting(QStringLiteral("SoundAlert"), m_pSoundAlert->isChecked());
    if (m_pSoundAlert->isChecked()) {
        m_pLogic->SetSoundAlertFile(m_pSoundFile->text());
    } else {
        QString stored;
        m_pLogic->GetSoundAlertFile(&stored);
        m_pSoundFile->setText(stored);
    }
    CommonUtils::SetSettings(QStringLiteral("SMSSERVICE"), QStringLiteral("ReceviceMode"),
                             m_pSaveOnCard->isChecked() ? QStringLiteral("0") : QStringLiteral("1"));
    // The alert sound is played by the main window: without it the setting cannot take effect.
    SMSUIMainDlg* window = SMSUIMainDlg::Existing();
    if (!window) {
        SMS_LOG("%s: %s: %s: main window missing");
        return false;
    }
    stopTestSound();
    window->setSoundFileBySetting(m_pSoundFile->text());
    if (isCdma()) {
        const int priority = m_pUrgent->isChecked() ? 2 : m_pEmergency->isChecked() ? 3 : 0;
        if (m_pLogic->SaveMessagePrioritySetting(priority) != 0)
            return false;
    } else if (m_bSmscShown) {
        if (m_pLogic->SetSMSCentreNumber(m_pSmscNumber->text()) != 0
            || m_pLogic->SetSMSValidityPeriod(unsigned(SecondsForPosition(m_pValidity->currentIndex()))) != 0)
            return false;
    }
    if (m_pLogic->GetDeviceStatus() && m_pLogic->DeliveryReportSetting(m_pDeliveryReport->isChecked()) != 0)
        return false;
    m_bLoaded = false;
    m_pWidget->setParent(nullptr);
    return true;
}

bool SmsSettingUIPlugin::Cancel()
{
    stopTestSound();
    if (m_pWidget && m_pLogic)
        loadValues();
    m_bLoaded = false;
    m_bCancelled = true;
    if (m_pWidget)
        m_pWidget->setParent(nullptr);
    return true;
}

bool SmsSettingUIPlugin::CheckAndHide()
{
    if (!m_pWidget)
        return false;
    if (m_bCancelled) {
        m_pWidget->hide();
        return true;
    }
    if (!isValidSetting())
        return false;
    m_pWidget->hide();
    return true;
}

void SmsSettingUIPlugin::Retranslate()
{
    if (!m_pWidget)
        return;
    m_pAlertGroup->setTitle(tr_("IDS_GBX_ALERT"));
    m_pVisionAlert->setText(tr_("IDS_CBX_VISIONALERT"));
    m_pSoundAlert->setText(tr_("IDS_CBX_SOUNDALERT"));
    m_pSoundLabel->setText(tr_("IDS_STC_SOUNDFILE"));
    m_pBrowse->setText(tr_("IDS_BTN_BROWSE"));
    m_pTest->setText(m_pVlSoundplay ? tr_("IDS_BTN_STOP") : tr_("IDS_BTN_PLAY"));
    m_pSaveModeGroup->setTitle(tr_("IDS_GBX_SMS_SAVE_MODE"));
    m_pSaveOnPc->setText(tr_("IDS_RAD_SMS_SAVE_PC"));
    const QString card = m_pLogic ? m_pLogic->GetSimString() : QString();
    m_pSaveOnCard->setText(tr_("IDS_RAD_SMS_SAVE_SIM").replace(QLatin1String("%s"), card.isEmpty() ? QStringLiteral("SIM/USIM") : card));
    m_pSmscGroup->setTitle(tr_("IDS_GBX_SMSSETTING"));
    m_pSmscLabel->setText(tr_("IDS_STC_SMSCENTERNUMBER"));
    m_pValidityLabel->setText(tr_("IDS_STC_VALIDTIME"));
    m_pPriorityGroup->setTitle(tr_("IDS_STC_PRIORITY"));
    m_pNormal->setText(tr_("IDS_RAD_NORMAL"));
    m_pUrgent->setText(tr_("IDS_RAD_URGENT"));
    m_pEmergency->setText(tr_("IDS_RAD_EMERGENCY"));
    m_pDeliveryReport->setText(tr_("IDS_CBX_RECEIPT"));
    fillValidityBox();
    fitSaveModeGroup();
}

void SmsSettingUIPlugin::fitSaveModeGroup()
{
    // 85 pixels hold the title and both choices at the usual font size; with a larger font the
    // group takes what they need instead of squeezing them into each other.
    if (QLayout* layout = m_pSaveModeGroup->layout())
        m_pSaveModeGroup->setFixedHeight(qMax(85, layout->totalMinimumSize().height()));
}

void SmsSettingUIPlugin::unSDKRegisterEvent()
{
    SMS_DEBUG("%s: %s called", SMSLog::now().constData(), __func__);
    if (m_pLogic)
        m_pLogic->UnRegisterDevice();
    SMS_DEBUG("%s: %s exit", SMSLog::now().constData(), __func__);
}

void SmsSettingUIPlugin::stopTestSound()
{
    if (!m_pVlSoundplay)
        return;
    m_pVlSoundplay->Stop();
    m_pVlSoundplay->deleteLater();
    m_pVlSoundplay = nullptr;
    if (m_pTest)
        m_pTest->setText(tr_("IDS_BTN_PLAY"));
}

void SmsSettingUIPlugin::onClickTestButton()
{
    if (m_pVlSoundplay) {
        stopTestSound();
        return;
    }
    const QString path = m_pSoundFile->text();
    if (!playableSoundFile(path)) {
        message("IDS_STR_AUDIOFILENOTEXIST", "IDS_PROMPT_CAPTION", QMessageBox::Information);
        return;
    }
    m_pVlSoundplay = new VlSound(path, this);
    if (!m_pVlSoundplay->Play()) {
        delete m_pVlSoundplay;
        m_pVlSoundplay = nullptr;
        message("IDS_STR_OPENAUDIOFILEFAILED", "IDS_ERROR_CAPTION", QMessageBox::Information);
        return;
    }
    m_pTest->setText(tr_("IDS_BTN_STOP"));
    connect(m_pVlSoundplay, &VlSound::finished, this, &SmsSettingUIPlugin::onPlayFinish);
}

void SmsSettingUIPlugin::onPlayFinish()
{
    m_pTest->setText(tr_("IDS_BTN_PLAY"));
    if (m_pVlSoundplay) {
        m_pVlSoundplay->deleteLater();
        m_pVlSoundplay = nullptr;
    }
}

void SmsSettingUIPlugin::onClickSoundAlertCheckBox()
{
    const bool on = m_pSoundAlert->isChecked();
    m_pSoundFile->setEnabled(on);
    m_pBrowse->setEnabled(on);
    m_pTest->setEnabled(on && !m_pSoundFile->text().isEmpty());
}

void SmsSettingUIPlugin::onClickBrowseButton()
{
    const QString current = m_pSoundFile->text();
    const QString folder = current.left(current.lastIndexOf(QLatin1Char('/')) + 1);
    const QString file = QFileDialog::getOpenFileName(m_pWidget, QStringLiteral("Open"), folder, QStringLiteral("(*.wav;*.mid)"));
    if (!file.isEmpty())
        onFileSelected(file);
}

void SmsSettingUIPlugin::onFileSelected(QString file)
{
    m_pSoundFile->setText(file);
    m_pTest->setEnabled(!file.isEmpty());
}

void SmsSettingUIPlugin::onTextEdited(QString text) { m_pTest->setEnabled(!text.isEmpty()); }
