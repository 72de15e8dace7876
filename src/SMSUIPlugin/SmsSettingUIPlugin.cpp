#include "SmsSettingUIPlugin.h"

#include "Change.h"
#include "CommonUtils.h"
#include "ExtendLineEdit.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString kGroup = QStringLiteral("SMSUIPlugin");
const QString kSettings = QStringLiteral("SMSSERVICE");

QString defaultSoundFile()
{
    return CommonUtils::GetPluginLibraryPath() + QStringLiteral("/plugins/SMSUIPlugin/SMSVoice.wav");
}

// Booleans are stored as "1"/"0"; an absent key takes the shipped default.
bool readBool(const QString& key, bool fallback)
{
    const QString text = CommonUtils::GetSettings(kSettings, key);
    return text.isEmpty() ? fallback : text.toInt() != 0;
}
}

SmsSettingUIPlugin::SmsSettingUIPlugin() = default;

SmsSettingUIPlugin::~SmsSettingUIPlugin()
{
    delete m_pWidget.data();
}

void SmsSettingUIPlugin::InitSmsSetting()
{
    if (m_pWidget) {
        if (!m_bLoaded)
            load();
        return;
    }
    m_pWidget = new QWidget;
    m_pWidget->setObjectName(QStringLiteral("SmsSettingUIPlugin_WidgetSmsSetting"));
    auto* page = new QVBoxLayout(m_pWidget);
    page->setObjectName(QStringLiteral("SmsSettingUIPlugin_VBoxLayoutSmsSetting"));
    m_pAlertGroup = new QGroupBox(m_pWidget);
    m_pAlertGroup->setObjectName(QStringLiteral("SmsSettingUIPlugin_GroupBoxTxtMsgHandle"));
    auto* alerts = new QVBoxLayout(m_pAlertGroup);
    alerts->setObjectName(QStringLiteral("SmsSettingUIPlugin_VLayoutTextMsgHnd"));
    m_pVisionAlert = new QCheckBox(m_pAlertGroup);
    m_pVisionAlert->setObjectName(QStringLiteral("SmsSettingUIPlugin_CheckboxNewMsgNotify"));
    m_pSoundAlert = new QCheckBox(m_pAlertGroup);
    m_pSoundAlert->setObjectName(QStringLiteral("SmsSettingUIPlugin_CheckboxNewMsgSoundAlert"));
    auto* fileRow = new QHBoxLayout;
    fileRow->setObjectName(QStringLiteral("SmsSettingUIPlugin_HBoxLayoutBrowseTestButton"));
    m_pSoundFile = new ExtendLineEdit(m_pAlertGroup);
    m_pSoundFile->setObjectName(QStringLiteral("SmsSettingUIPlugin_FileNameEditLine"));
    m_pSoundFile->setContextMenuEnabled(false);
    m_pBrowse = new QPushButton(m_pAlertGroup);
    m_pBrowse->setObjectName(QStringLiteral("SmsSettingUIPlugin_btnBrowse"));
    fileRow->addWidget(m_pSoundFile, 1);
    fileRow->addWidget(m_pBrowse);
    alerts->addWidget(m_pVisionAlert);
    alerts->addWidget(m_pSoundAlert);
    alerts->addLayout(fileRow);
    page->addWidget(m_pAlertGroup);
    page->addStretch(1);
    connect(m_pSoundAlert, &QCheckBox::toggled, m_pSoundFile, &QWidget::setEnabled);
    connect(m_pSoundAlert, &QCheckBox::toggled, m_pBrowse, &QWidget::setEnabled);
    connect(m_pBrowse, &QPushButton::clicked, this, [this] {
        const QString file = QFileDialog::getOpenFileName(m_pWidget, QString(), QFileInfo(m_pSoundFile->text()).path(),
                                                          QStringLiteral("WAV (*.wav)"));
        if (!file.isEmpty())
            m_pSoundFile->setText(file);
    });
    Retranslate();
    load();
}

void SmsSettingUIPlugin::load()
{
    if (!m_pWidget)
        return;
    m_pVisionAlert->setChecked(readBool(QStringLiteral("VisionAlert"), true));
    m_pSoundAlert->setChecked(readBool(QStringLiteral("SoundAlert"), true));
    QString file = CommonUtils::GetSettings(kSettings, QStringLiteral("SoundAlertFile"));
    m_pSoundFile->setText(file.isEmpty() ? defaultSoundFile() : file);
    m_pSoundFile->setEnabled(m_pSoundAlert->isChecked());
    m_pBrowse->setEnabled(m_pSoundAlert->isChecked());
    m_bLoaded = true;
}

void SmsSettingUIPlugin::ShowSmsSettingDlg(QWidget* parent, const QRect& rect)
{
    InitSmsSetting();
    m_pWidget->setParent(parent, Qt::WindowFlags());
    m_pWidget->resize(rect.width(), rect.height());
    m_pWidget->move(rect.topLeft());
    m_pWidget->show();
}

bool SmsSettingUIPlugin::valuesValid() const
{
    if (!m_pWidget || !m_pSoundAlert->isChecked())
        return true;
    const QFileInfo file(m_pSoundFile->text());
    return file.isFile() && file.suffix().compare(QLatin1String("wav"), Qt::CaseInsensitive) == 0;
}

bool SmsSettingUIPlugin::Apply()
{
    if (!m_pWidget)
        return true;
    if (!valuesValid())
        return false;
    CommonUtils::SetSettings(kSettings, QStringLiteral("VisionAlert"), m_pVisionAlert->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    CommonUtils::SetSettings(kSettings, QStringLiteral("SoundAlert"), m_pSoundAlert->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    CommonUtils::SetSettings(kSettings, QStringLiteral("SoundAlertFile"), m_pSoundFile->text());
    m_bLoaded = false;
    return true;
}

void SmsSettingUIPlugin::Cancel()
{
    load();
    m_bLoaded = false;
}

bool SmsSettingUIPlugin::CheckAndHide()
{
    if (!valuesValid()) {
        CommonUtils::ShowMessage(2, m_pWidget, Change::tr(QStringLiteral("IDS_STR_AUDIOFILENOTEXIST"), kGroup),
                                 Change::tr(QStringLiteral("IDS_PROMPT_CAPTION"), kGroup), QStringLiteral("IDS_OK"),
                                 QString(), QString());
        return false;
    }
    if (m_pWidget)
        m_pWidget->hide();
    return true;
}

void SmsSettingUIPlugin::Retranslate()
{
    if (!m_pWidget)
        return;
    m_pAlertGroup->setTitle(Change::tr(QStringLiteral("IDS_GBX_ALERT"), kGroup));
    m_pVisionAlert->setText(Change::tr(QStringLiteral("IDS_CBX_VISIONALERT"), kGroup));
    m_pSoundAlert->setText(Change::tr(QStringLiteral("IDS_CBX_SOUNDALERT"), kGroup));
    m_pBrowse->setText(Change::tr(QStringLiteral("IDS_BTN_BROWSE"), kGroup));
}

void SmsSettingUIPlugin::unSDKRegisterEvent() {}
