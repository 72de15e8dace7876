// The object the host loads: hands out the SMS window service and the settings service and
// forwards host notifications to them.
#pragma once

#include "HostInterfaces.h"

#include <QObject>

class CSMSUIService;
class CSettingUIService;

class CSMSUIPlugin : public QObject, public IUIPlugin, public INotify
{
    Q_OBJECT
    // The plug-in metadata is written out in SMSUIPlugin.cpp rather than by Q_PLUGIN_METADATA.
    Q_INTERFACES(IUIPlugin:IBasePlugin INotify)

public:
    CSMSUIPlugin();
    ~CSMSUIPlugin() override;

    // IDestroyEvent
    void OnDestroy() override;
    void UnSDKRegisterEvent() override;

    // IBasePlugin
    void OnPluginStart() override;
    int GetPluginState() override;
    bool Init() override;
    int GetPluginType() override;
    QString GetPluginTitle() override;
    int GetPluginIcon() override;
    QString GetPluginName() override;
    int GetPluginVersion() override;
    bool QueryInterface(int id, void** out) override;

    // IUIPlugin
    int ShowWindow(QWidget* parent, const QRect& rect) override;
    int GetWindowState() override;
    void HideWindow() override;
    void SetWindowRect(const QRect& rect) override;
    int GetWindowHandle() override;
    int OnPluginCommand(int command) override;

    // INotify
    int Notify(int iNotifyEvent, int param1, int param2) override;

private:
    CSMSUIService* m_pSmsUiService = nullptr;
    CSettingUIService* m_pSettingUiService = nullptr;
};
