// The small "new message" popup beside the task bar. It names the sender and offers View and
// Cancel; it closes by itself after five seconds. View brings the host's SMS page forward and
// opens the inbox that received the message.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QDialog;
class QLabel;
class QPushButton;
class QTimer;

class SMSTaskbarNotifier : public QObject
{
    Q_OBJECT
public:
    static SMSTaskbarNotifier* Instance();
    static SMSTaskbarNotifier* Existing();
    static void Release();

    void Show(const QString& number);
    QDialog* Popup() const;
    QString Text() const { return m_strText; }
    // Where the popup goes for a screen (full and available geometry, the difference being
    // where the task bar sits) and a popup size.
    static QPoint PlaceFor(const QRect& screen, const QRect& available, const QSize& popup);

    void showPlugin();
    void onTimerStart();
    void createNotifyDialogBox();
    void LoadText();
    void setNewMsgCoorDinates();

public slots:
    void closeNotifyDialog();
    void closeNotifyDialogOnEsc();
    void launchSmsPlugin();
    void launchSmsPluginWhenViewed();

private:
    SMSTaskbarNotifier() = default;
    ~SMSTaskbarNotifier() override;
    bool raiseCallNotificationInstead();

    QPointer<QPushButton> m_pView;
    QPointer<QPushButton> m_pCancel;
    QPointer<QLabel> m_pContent;
    QPointer<QLabel> m_pTitle;
    QTimer* m_pTimer = nullptr;
    QPointer<QDialog> m_pNotifyDialog;
    QString m_strText;
};
