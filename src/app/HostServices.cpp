#include "HostServices.h"

#include "Change.h"
#include "ContactPicker.h"
#include "CommonUtils.h"
#include "FrameWindow.h"
#include "HostGuids.h"
#include "SimControl.h"
#include "zsdk.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

void NotifyService::RegisterNotify(const QString& guid, int code) { m_registrations[guid.toUpper()].insert(code); }
void NotifyService::UnRegisterNotify(const QString& guid, int code) { m_registrations[guid.toUpper()].remove(code); }
void NotifyService::UnRegisterAll(const QString& guid) { m_registrations.remove(guid.toUpper()); }

void NotifyService::SendNotify(const QString& targetGuid, int code, int param1, int param2)
{
    if (INotify* plugin = m_plugins.value(targetGuid.toUpper())) {
        plugin->Notify(code, param1, param2);
        return;
    }
    emit hostNotified(targetGuid, code);
}

void NotifyService::BroadcastNotify(int code, int, int) { emit broadcast(code); }

void NotifyService::Publish(int code)
{
    for (auto it = m_registrations.cbegin(); it != m_registrations.cend(); ++it)
        if (it.value().contains(code))
            if (INotify* plugin = m_plugins.value(it.key()))
                plugin->Notify(code, 0, 0);
}

void NotifyService::NotifyAll(int code, int param1, int param2)
{
    // A copy: a plug-in may register or leave while it is told.
    const QList<INotify*> plugins = m_plugins.values();
    for (INotify* plugin : plugins)
        plugin->Notify(code, param1, param2);
    emit delivered(code);
}

MainFrameService::MainFrameService(FrameWindow* frame) : QObject(frame), m_frame(frame) {}

void MainFrameService::BringToFront()
{
    m_frame->showNormal();
    m_frame->raise();
    m_frame->activateWindow();
}

bool MainFrameService::IsMainFrameVisible() { return m_frame->isVisible() && !m_frame->isMinimized(); }
QWidget* MainFrameService::GetMainFrameWidget() { return m_frame; }
// This frame is its own mini frame: showing a plug-in there brings the frame forward with its page.
void MainFrameService::ShowPlugin(const QString& pluginGuid) { m_frame->ShowPluginPage(pluginGuid); }
void MainFrameService::SelectItem(const QString& pluginName) { m_frame->ShowPage(pluginName); }
int MainFrameService::MenuItemCount() { return m_frame->PageNames().size(); }
QString MainFrameService::MenuItemName(int index) { return m_frame->PageNames().value(index); }
void MainFrameService::EnableMenuItem(const QString& pluginName, bool enable) { m_frame->EnablePage(pluginName, enable); }
QString MainFrameService::SelectedMenuItem() { return m_frame->CurrentPage(); }
void MainFrameService::SelectMenuItem(const QString& pluginName) { m_frame->ShowPage(pluginName); }
bool MainFrameService::ShowPage(const QString& pluginName) { return m_frame->ShowPage(pluginName); }

bool DeviceMgrService::IsSimValid()
{
    int32_t state = 0;
    return ZSDK_DevSrv_GetPinStatus(0, &state, nullptr, nullptr, nullptr) == 0 && (state == 1 || state == 8);
}

bool AddressBookService::SaveNumber(const QString& number, QWidget* parent)
{
    bool ok = false;
    const QString name = QInputDialog::getText(parent, Change::tr(QStringLiteral("IDS_MENU_SAVENUMBER"), QStringLiteral("SMSUIPlugin")),
                                               number, QLineEdit::Normal, QString(), &ok).trimmed();
    if (!ok || name.isEmpty())
        return false;
    if (!ZsdkSim::AddContact(name, number)) {
        // The user gave a name: the number must not just quietly stay unsaved.
        qWarning("xframe: the phone book could not store %s", qPrintable(number));
        const QString group = QStringLiteral("XFramePlugin");
        CommonUtils::ShowMessage(QMessageBox::Warning, parent,
                                 Change::tr(QStringLiteral("IDS_FRAME_SAVE_NUMBER_FAILED"), group).arg(number),
                                 Change::tr(QStringLiteral("IDS_MENU_SAVENUMBER"), QStringLiteral("SMSUIPlugin")), QStringLiteral("IDS_OK"),
                                 QString(), QString());
        return false;
    }
    if (m_notify)
        m_notify->Publish(HostNotify::PhoneBookChanged);
    return true;
}

bool AddressBookService::PickNumbers(int, int, QStringList& numbers)
{
    // Over the window the user pressed "Send to" in (the message editor).
    QWidget* parent = QApplication::activeWindow();
    ContactPicker picker(ZsdkSim::Contacts(), parent);
    if (picker.exec() != QDialog::Accepted)
        return false;
    const QStringList invalid = picker.Invalid();
    if (!invalid.isEmpty()) {
        // The valid ones are taken; the user learns which ones were not.
        const QString group = QStringLiteral("XFramePlugin");
        CommonUtils::ShowMessage(QMessageBox::Warning, parent,
                                 Change::tr(QStringLiteral("IDS_FRAME_PICK_INVALID"), group).arg(invalid.join(QStringLiteral(", "))),
                                 Change::tr(QStringLiteral("IDS_FRAME_PICK_TITLE"), group), QStringLiteral("IDS_OK"), QString(), QString());
    }
    // What the message already goes to stays as it is, first; a number picked again is not
    // repeated, however it is written.
    QStringList known;
    for (const QString& number : qAsConst(numbers))
        known << ContactPicker::Dialable(number);
    for (const QString& number : picker.Numbers()) {
        if (!known.contains(number)) {
            known << number;
            numbers << number;
        }
    }
    return true;
}

bool CallService::MakeCall(const QString& number, int callType)
{
    return CommonUtils::MakeCall(number, callType);
}
