// The SMS page of the host's settings dialog: new-message alerts (popup, sound, sound file with
// Browse and Test), where received messages are saved, the message centre number with the
// validity period, the priority (CDMA products) and the delivery report.
#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QStringList>
#include <QWidget>

class ExtendLineEdit;
class QCheckBox;
class QComboBox;
class QFormLayout;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QRegularExpressionValidator;
class QVBoxLayout;
class SMSSettingUILogic;
class VlSound;

class SmsSettingUIPlugin : public QObject
{
    Q_OBJECT
public:
    SmsSettingUIPlugin();
    ~SmsSettingUIPlugin() override;

    void InitSmsSetting();
    bool ShowSmsSettingDlg(QWidget* parent, const QRect& rect);
    bool Apply();
    bool Cancel();
    bool CheckAndHide();
    void Retranslate();
    void unSDKRegisterEvent();
    QWidget* Widget() const { return m_pWidget; }
    bool IsCentreShown() const { return m_bSmscShown; }

    // Validity period position <-> seconds, as the device stores it.
    static int SecondsForPosition(int position);
    static int PositionForSeconds(int seconds);

public slots:
    void onClickTestButton();
    void onClickSoundAlertCheckBox();
    void onClickBrowseButton();
    void onFileSelected(QString strFileName);
    void onTextEdited(QString text);
    void onPlayFinish();
    void updateSMSCSettings();

private:
    void initailizeUI();
    void applyXMLConfigSetting();
    void applyCheckBoxSetting();
    void loadValues();
    void fillValidityBox();
    void fitSaveModeGroup();
    bool isValidSetting();
    void stopTestSound();
    bool configOn(const QString& key) const;
    bool isCdma() const;
    void message(const char* textId, const char* titleId, int icon);

    SMSSettingUILogic* m_pLogic = nullptr;
    QPointer<QWidget> m_pWidget;
    QVBoxLayout* m_pGroupsLayout = nullptr;
    QPushButton* m_pBrowse = nullptr;
    QPushButton* m_pTest = nullptr;
    QGroupBox* m_pAlertGroup = nullptr;
    QCheckBox* m_pVisionAlert = nullptr;
    QCheckBox* m_pSoundAlert = nullptr;
    QCheckBox* m_pDeliveryReport = nullptr;
    QLabel* m_pSoundLabel = nullptr;
    ExtendLineEdit* m_pSoundFile = nullptr;
    QGroupBox* m_pSaveModeGroup = nullptr;
    QRadioButton* m_pSaveOnPc = nullptr;
    QRadioButton* m_pSaveOnCard = nullptr;
    QGroupBox* m_pSmscGroup = nullptr;
    QLabel* m_pSmscLabel = nullptr;
    QLabel* m_pValidityLabel = nullptr;
    ExtendLineEdit* m_pSmscNumber = nullptr;
    QComboBox* m_pValidity = nullptr;
    QGroupBox* m_pPriorityGroup = nullptr;
    QRadioButton* m_pNormal = nullptr;
    QRadioButton* m_pUrgent = nullptr;
    QRadioButton* m_pEmergency = nullptr;
    QRegularExpressionValidator* m_pValidator = nullptr;
    QString m_strProductType;
    bool m_bSmscShown = false;
    bool m_bLoaded = false;
    bool m_bCancelled = false;
    bool m_bInitialised = false;
    VlSound* m_pVlSoundplay = nullptr;
};
