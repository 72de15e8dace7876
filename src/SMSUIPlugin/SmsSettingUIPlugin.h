// The SMS page of the settings dialog. For now it holds the new-message alert options (popup,
// sound, sound file), stored in the host settings group "SMSSERVICE".
#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QWidget>

class ExtendLineEdit;
class QCheckBox;
class QGroupBox;
class QPushButton;
class QWidget;

class SmsSettingUIPlugin : public QObject
{
    Q_OBJECT
public:
    SmsSettingUIPlugin();
    ~SmsSettingUIPlugin() override;

    void InitSmsSetting();                              // builds the page once, loads the values
    void ShowSmsSettingDlg(QWidget* parent, const QRect& rect);
    bool Apply();                                       // writes the values; false when invalid
    void Cancel();                                      // restores the stored values
    bool CheckAndHide();                                // valid values: hide the page, true
    void Retranslate();
    void unSDKRegisterEvent();
    QWidget* Widget() const { return m_pWidget; }

private:
    void load();
    bool valuesValid() const;

    QPointer<QWidget> m_pWidget;
    QGroupBox* m_pAlertGroup = nullptr;
    QCheckBox* m_pVisionAlert = nullptr;
    QCheckBox* m_pSoundAlert = nullptr;
    ExtendLineEdit* m_pSoundFile = nullptr;
    QPushButton* m_pBrowse = nullptr;
    bool m_bLoaded = false;
};
