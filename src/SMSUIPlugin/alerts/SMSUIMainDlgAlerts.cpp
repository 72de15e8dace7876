// New-message alerts (popup, sound, the flash-message window) and memory-full warnings.

#include "window/SMSUIMainDlg.h"

#include "CommonUtils.h"
#include "ExtendDialog.h"
#include "HostGuids.h"
#include "HostInterfaces.h"
#include "editor/SMSEditUILogic.h"
#include "store/SMSLog.h"
#include "store/SMSStatusUILogic.h"
#include "alerts/SMSTaskbarNotifier.h"
#include "worker/SMSThreadUI.h"
#include "store/SMSTypes.h"
#include "window/SMSUITableWidget.h"
#include "worker/SMSWaitingDlg.h"
#include "Startup.h"
#include "window/UITableItem.h"
#include "VlSound.h"

#include <QDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace {
// One player for every window: a new alert replaces the one still playing.
QPointer<VlSound>& sharedPlayer()
{
    static QPointer<VlSound> player;
    return player;
}

QWidget* mainFrameWidget()
{
    PluginContainer* container = Startup::GetPluginContainer();
    if (!container) {
        SMS_DEBUG("GetPluginContainer failed");
        return nullptr;
    }
    auto* frame = qobject_cast<IMainFrameUIService*>(container->GetPlugin(QLatin1String(HostGuid::MainFrame), 0x1011));
    return frame ? frame->GetMainFrameWidget() : nullptr;
}
}

QWidget* SMSUIMainDlg::FlashWindow() const { return m_pFlashWindow; }
QWidget* SMSUIMainDlg::MemoryFullPopup() const { return m_pMemoryFullPopup; }
QString SMSUIMainDlg::MemoryFullText() const { return m_pMemoryFullLabel ? m_pMemoryFullLabel->text() : QString(); }

void SMSUIMainDlg::ShowNewMessageDialog(QString content, QString number, QString time, int folder, int normal)
{
    m_iNewMsgNode = folder;
    {
        QMutexLocker lock(&m_mutexAnnounce);
        if (m_iUnsavedReceptions++ == 0)
            QTimer::singleShot(0, this, &SMSUIMainDlg::saveReceptionsForAgent);
        if (normal == 0) {
            showFlashMessage(content, number, time);
        } else if (!notifyService() || !m_pStatusLogicObject) {
            SMS_LOG("%s: %s: %s: no notification service or store");
        } else {
            sendStatusBarRefresh();
            bool popup = false;
            if (m_pStatusLogicObject->GetSMSSetting(QStringLiteral("VisionAlert"), &popup) != 0)
                SMS_DEBUG("GetSMSSetting is getting failed");
            else if (!popup)
                SMS_DEBUG("bValue is false");
            else if (SMSTaskbarNotifier::Instance())   // made on first use; the store shows the popup through it
                m_pStatusLogicObject->showNotifyDialog(number);
        }
    }
    // Asking the sound system for an output takes milliseconds: the new row is shown first.
    QTimer::singleShot(0, this, &SMSUIMainDlg::playSoundAlert);
}

void SMSUIMainDlg::saveReceptionsForAgent()
{
    const int received = m_iUnsavedReceptions;
    m_iUnsavedReceptions = 0;
    if (received > 0)
        SaveSMSInfoForAgent(QStringLiteral("SMS02"), QStringLiteral("SMSReceived"), QString::number(received));
}

QString SMSUIMainDlg::parseTimeOfSdk(const QString& time)
{
    QString t = time;
    for (int pos : {4, 7, 10})
        if (t.size() >= pos)
            t.insert(pos, QLatin1Char('/'));
    const QStringList parts = t.split(QLatin1Char('/'), Qt::KeepEmptyParts);
    if (parts.size() < 4)
        return time;
    QString clock = parts.at(3);
    // Only between digits: a stamp without seconds must not end in a colon.
    if (clock.size() > 2)
        clock.insert(2, QLatin1Char(':'));
    if (clock.size() > 5)
        clock.insert(5, QLatin1Char(':'));
    return parts.at(2) + QLatin1Char('/') + parts.at(1) + QLatin1Char('/') + parts.at(0) + QLatin1Char(' ') + clock;
}

QString SMSUIMainDlg::flashText() const
{
    return Translate(QStringLiteral("IDS_LST_NAME")) + QLatin1Char(':') + m_strFlashName.toHtmlEscaped() + QStringLiteral("<BR>")
        + Translate(QStringLiteral("IDS_LST_TEL")) + QStringLiteral(": ") + m_strFlashNumber.toHtmlEscaped() + QStringLiteral("<BR>")
        + Translate(QStringLiteral("IDS_LST_CONTENT")) + QStringLiteral(": ") + QStringLiteral("<BR>") + m_strFlashContent + QStringLiteral("<BR>")
        + Translate(QStringLiteral("IDS_LST_TIME")) + QStringLiteral(": ") + m_strFlashTime;
}

void SMSUIMainDlg::showFlashMessage(const QString& content, const QString& number, const QString& time)
{
    m_pFlashText = nullptr;
    if (m_pFlashWindow)
        delete m_pFlashWindow.data();
    m_strFlashName = m_pStatusLogicObject ? m_pStatusLogicObject->getNameByNumberFromPhoneBook(number) : QString();
    if (m_strFlashName == number)
        m_strFlashName.clear();   // a stranger: no name to show
    // The text is the sender's: escape it before links are made.
    QString escaped = content;
    escaped.replace(QLatin1Char('<'), QStringLiteral("&lt;")).replace(QLatin1Char('>'), QStringLiteral("&gt;"));
    m_strFlashContent = CommonUtils::ParseAndCreateHyperLinks(escaped).replace(QLatin1Char('\n'), QStringLiteral("<BR>"));
    m_strFlashNumber = number;
    m_strFlashTime = parseTimeOfSdk(time);
    auto* window = new ExtendDialog(nullptr, Qt::WindowCloseButtonHint, 1);
    window->setObjectName(QStringLiteral("SMSUIPlugin_FlashMessage"));
    auto* central = new QWidget;
    window->AddMainWidget(central);
    window->setWindowTitle(Translate(QStringLiteral("IDS_STC_NEWMSG")));
    window->setFixedSize(405, 275);
    m_pFlashClose = new QPushButton(Translate(QStringLiteral("IDS_BTN_CLOSE")), central);
    m_pFlashClose->setGeometry(305, 190, 75, 35);
    m_pFlashText = new QTextEdit(central);
    m_pFlashText->setGeometry(15, 15, 375, 160);
    m_pFlashText->setReadOnly(true);
    m_pFlashText->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_pFlashText->setHtml(flashText());
    window->setWindowModality(Qt::WindowModal);
    m_pFlashWindow = window;
    window->show();
    connect(m_pFlashClose, &QPushButton::clicked, this, &SMSUIMainDlg::onCloseFlashMsgDialog);
}

void SMSUIMainDlg::onCloseFlashMsgDialog()
{
    if (m_pFlashClose)
        m_pFlashClose->disconnect(this);
    if (m_pFlashWindow) {
        m_pFlashWindow->close();
        m_pFlashWindow->deleteLater();
    }
    m_pFlashWindow = nullptr;
    m_pFlashClose = nullptr;
    m_pFlashText = nullptr;
    stopPlayingSound();
}

void SMSUIMainDlg::setLanguageToFlashMessage()
{
    if (!m_pFlashWindow || !m_pFlashClose || !m_pFlashText)
        return;
    m_pFlashWindow->setWindowTitle(Translate(QStringLiteral("IDS_STC_NEWMSG")));
    m_pFlashClose->setText(Translate(QStringLiteral("IDS_BTN_CLOSE")));
    m_pFlashText->setHtml(flashText());
}

void SMSUIMainDlg::playSoundAlert()
{
    if (!m_pStatusLogicObject) {
        SMS_DEBUG("m_pStatusLogicObject is NULL");
        return;
    }
    bool sound = false;
    if (m_pStatusLogicObject->GetSMSSetting(QStringLiteral("SoundAlert"), &sound) != 0) {
        SMS_DEBUG("GetSMSSetting returned error");
        return;
    }
    if (!sound) {
        SMS_DEBUG("SoundAlert value is false");
        return;
    }
    const QString path = m_pStatusLogicObject->GetSoundAlertFile();
    if (path.isEmpty()) {
        SMS_DEBUG("SoundAlert file path is empty");
        return;
    }
    QPointer<VlSound>& player = sharedPlayer();
    if (!player) {
        player = new VlSound(path);
        connect(player.data(), &VlSound::finished, this, &SMSUIMainDlg::onSoundPlayFinish);
    }
    if (!player->Play()) {
        delete player.data();
        player = nullptr;
    }
}

void SMSUIMainDlg::stopPlayingSound()
{
    if (VlSound* player = sharedPlayer())
        player->Stop();
}

void SMSUIMainDlg::onSoundPlayFinish()
{
    if (VlSound* player = sharedPlayer()) {
        player->deleteLater();
        sharedPlayer() = nullptr;
    }
}

void SMSUIMainDlg::setSoundFileBySetting(const QString& file)
{
    QPointer<VlSound>& player = sharedPlayer();
    if (player) {
        if (!file.isEmpty())
            player->SetSoundFile(file);
        return;
    }
    player = new VlSound(file);
    connect(player.data(), &VlSound::finished, this, &SMSUIMainDlg::onSoundPlayFinish);
}

QString SMSUIMainDlg::memoryFullText(int kind) const
{
    if (kind == 4)
        return Translate(QStringLiteral("IDS_STC_SIMSMSFULL")).replace(QLatin1String("%s"), SMSEditUILogic::Instance()->GetCardTypeName());
    if (kind == 2)
        return Translate(QStringLiteral("IDS_STC_DEVICESMSFULL"));
    return Translate(QStringLiteral("IDS_STC_LOCALSMSFULL"));
}

void SMSUIMainDlg::SetMemoryFullPopupAllowed(bool allowed)
{
    m_bMemoryFullPopupAllowed = allowed;
    if (!allowed || !m_iPendingMemoryFull)
        return;
    const int kind = m_iPendingMemoryFull;
    m_iPendingMemoryFull = 0;
    m_iMemoryFullKind = kind;
    createMemoryFullPopUp(kind, kind != 6);
}

void SMSUIMainDlg::createMemoryFullPopUp(int kind, bool dualMode)
{
    if (dualMode && m_bMultiModeCard && m_bHideDoubleModeCardNode) {
        QTimer::singleShot(m_bMainFrameShown ? 1000 : 3000, this, &SMSUIMainDlg::ShowMemoryFull);
        return;
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    if (m_pMemoryFullPopup) {
        m_pMemoryFullPopup->close();
        delete m_pMemoryFullPopup.data();
    }
    auto* popup = new QDialog(nullptr);
    popup->setObjectName(QStringLiteral("SMSUIPlugin_MemoryFullPopup"));
    m_pMemoryFullPopup = popup;
    popup->setFixedSize(320, 120);
    popup->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint);
    m_pMemoryFullClose = new QPushButton(popup);
    m_pMemoryFullClose->setFixedSize(80, 30);
    connect(m_pMemoryFullClose, &QPushButton::clicked, this, &SMSUIMainDlg::onClickCloseMemoryFullDialog);
    m_pMemoryFullLabel = new QLabel(popup);
    m_pMemoryFullLabel->setFixedSize(310, 70);
    m_pMemoryFullLabel->setAlignment(Qt::AlignCenter);
    m_pMemoryFullLabel->setWordWrap(true);
    auto* layout = new QVBoxLayout(popup);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_pMemoryFullClose);
    layout->addWidget(m_pMemoryFullLabel);
    layout->addLayout(row);
    popup->setWindowTitle(Translate(QStringLiteral("IDS_PROMPT_CAPTION")));
    m_pMemoryFullLabel->setText(memoryFullText(kind));
    m_pMemoryFullClose->setText(Translate(QStringLiteral("IDS_BTN_CLOSE")));
    popup->move(area.right() - popup->width(), area.top());
    popup->show();
    if (QWidget* main = CommonUtils::GetMainWindow())
        popup->setWindowState((main->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    popup->raise();
    popup->activateWindow();
    startTimerForMemoryFullPopUp();
}

void SMSUIMainDlg::startTimerForMemoryFullPopUp()
{
    if (!m_pMemoryFullTimer) {
        m_pMemoryFullTimer = new QTimer(this);
        m_pMemoryFullTimer->setSingleShot(true);
        connect(m_pMemoryFullTimer, &QTimer::timeout, this, &SMSUIMainDlg::OnstopTimerForMemoryFullPopUp);
    }
    if (m_pMemoryFullTimer->isActive())
        m_pMemoryFullTimer->stop();
    m_pMemoryFullTimer->start(120000);
}

void SMSUIMainDlg::OnstopTimerForMemoryFullPopUp()
{
    if (m_pMemoryFullTimer)
        m_pMemoryFullTimer->stop();
    if (m_pMemoryFullPopup)
        m_pMemoryFullPopup->close();
}

void SMSUIMainDlg::onClickCloseMemoryFullDialog()
{
    if (!m_pMemoryFullPopup)
        return;
    m_pMemoryFullPopup->close();
    m_pMemoryFullPopup->deleteLater();
    m_pMemoryFullPopup = nullptr;
}

void SMSUIMainDlg::ShowMemoryFull()
{
    PluginContainer* container = Startup::GetPluginContainer();
    if (!container) {
        SMS_DEBUG("GetPluginContainer failed");
        return;
    }
    // Its own framing (on top of everything: the frame may not be shown yet), kept like every box.
    const int answer = showMessageBox(QMessageBox::Information, Translate(QStringLiteral("IDS_DualModeCard_STC_FULL")), true,
                                      mainFrameWidget(), QString(), int(Qt::WindowStaysOnTopHint | Qt::WindowCloseButtonHint));
    if (answer == QMessageBox::Cancel) {
        if (m_pMemoryFullPopup)
            m_pMemoryFullPopup->close();
        return;
    }
    if (answer == QMessageBox::Ok)
        onMemoryFullPopUPOKClick();
}

bool SMSUIMainDlg::GetRecordListByLocation(int folder, QList<SMSLocalRecordPtr>& out)
{
    SMSUITableWidget* table = Table(folder);
    if (!table) {
        SMS_DEBUG("return false because NULL == pTableWidget!");
        return false;
    }
    for (int row = 0; row < table->rowCount(); ++row) {
        const SMSLocalRecordPtr rec = UITableItem::RecordOf(table->item(row, 0));
        if (!rec) {
            SMS_DEBUG("return false because SMS data conversion error!");
            return false;
        }
        out << rec;
    }
    return true;
}

bool SMSUIMainDlg::onMemoryFullPopUPOKClick()
{
    QWidget* frame = mainFrameWidget();
    if (!frame) {
        SMS_DEBUG("return false because pMainFrame is NULL!");
        return false;
    }
    if (!m_pStatusLogicObject) {
        SMS_DEBUG("return false because NULL == m_pStatusLogicObject!");
        return false;
    }
    // The memory filled up while the page was open: its tables may not list every message
    // that is there now, and each of them is to go.
    if (m_iMemoryFullKind == 4 || m_iMemoryFullKind == 2)
        updateSIMNVTables();
    int count = 0;
    int root = 0;
    QList<SMSLocalRecordPtr> records;
    if (m_iMemoryFullKind == 4) {
        count = m_pStatusLogicObject->GetSMSCount(MEM_SIM);
        GetRecordListByLocation(NODE_SIM_INBOX, records);
        GetRecordListByLocation(NODE_SIM_OUTBOX, records);
        root = NODE_SIM_ROOT;
    } else if (m_iMemoryFullKind == 2) {
        count = m_pStatusLogicObject->GetSMSCount(MEM_DEVICE);
        GetRecordListByLocation(NODE_DEVICE_INBOX, records);
        GetRecordListByLocation(NODE_DEVICE_OUTBOX, records);
        root = NODE_DEVICE_ROOT;
    } else {
        SMS_DEBUG("return false because enSMSStatus is unknown!");
        return false;
    }
    if (records.isEmpty()) {
        SMS_DEBUG("return false because NO sms found on device or SIM!");
        return false;
    }
    SMSWaitingDlg* progress = SMSWaitingDlg::Instance();
    progress->Prepare(count);
    m_iOpTotal = count;
    m_iOpDone = 0;
    m_iMoveSuccess = 0;
    m_iMoveFail = 0;
    m_bMemoryFullReported = false;
    progress->ShowAnimationDialog(frame, SMSWaitingDlg::Moving);
    m_iLastOperation = SMSThreadUI::WorkMove;
    // The batch runs in the full memory's storage; the root as source folder lets each message
    // find its own PC folder.
    m_SMSThreadInst->setWork(SMSThreadUI::WorkMove, records, SMSStatusUILogic::GetMemPosition(root), NODE_LOCAL_ROOT, root);
    m_SMSThreadInst->start(QThread::InheritPriority);
    return true;
}
