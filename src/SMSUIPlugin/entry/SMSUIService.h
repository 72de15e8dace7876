// The SMS window service: creates the main window and the message store, shows the page, and
// turns host notifications into window and store actions.
#pragma once

#include "HostInterfaces.h"

#include <QObject>
#include <QPointer>

class PluginContainer;
class SMSStatusUILogic;
class SMSUIMainDlg;

class CSMSUIService : public QObject, public ISMSUIService
{
    Q_OBJECT
public:
    static CSMSUIService* Instance();
    static CSMSUIService* Existing();
    // Destroys the window (which waits for its reading threads), then the store, then the service.
    static void Release();

    bool Init();
    int ShowWindow(QWidget* parent, const QRect& rect);
    int Notify(int iNotifyEvent, int param1, int param2);
    int checkNotifyType(int iNotifyEvent, int param1, int param2);
    void unSDKRegisterEvent();
    void showPlugin();

    // ISMSUIService
    int SendSMSToNumber(QString number, QString content, QWidget* parent) override;
    int GetUnreadSMSCount() override;
    bool IsNetworkAvailable() override;

    bool IsSimAvailable() const { return m_bSimAvailable; }

private:
    CSMSUIService();
    ~CSMSUIService() override;
    void refreshNamesAndTables();

    bool m_bSimAvailable = false;
    SMSUIMainDlg* m_pSmsUiMainDlg = nullptr;
    SMSStatusUILogic* m_pStatusLogicObject = nullptr;
    PluginContainer* m_pContainer = nullptr;
    QPointer<QObject> m_pLayoutPlugin;
    QPointer<QWidget> m_pParent;
    int m_iLeft = 0;
    int m_iTop = 0;
    int m_iRight = -1;
    int m_iBottom = -1;
};
