#include "worker/SMSWaitingDlg.h"

#include "Change.h"
#include "CommonUtils.h"
#include "store/SMSLog.h"
#include "worker/SMSThreadUI.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {
SMSWaitingDlg* g_waiting = nullptr;
const QString kGroup = QStringLiteral("SMSUIPlugin");

QString kindText(int kind)
{
    switch (kind) {
    case SMSWaitingDlg::Sending: return Change::tr(QStringLiteral("IDS_STC_SENDINGSMS"), kGroup);
    case SMSWaitingDlg::Deleting: return Change::tr(QStringLiteral("IDS_STC_DELETINGSMS"), kGroup);
    case SMSWaitingDlg::Moving:
    case SMSWaitingDlg::DragMoving: return Change::tr(QStringLiteral("IDS_STC_MOVINGSMS"), kGroup);
    case SMSWaitingDlg::Copying:
    case SMSWaitingDlg::DragCopying: return Change::tr(QStringLiteral("IDS_STC_COPYINGSMS"), kGroup);
    default: return QString();
    }
}
}

WaitingDlg::WaitingDlg(SMSWaitingDlg* controller) : QDialog(nullptr), m_pController(controller)
{
    setObjectName(QStringLiteral("SMSUIPlugin_WaitingDialog"));
    m_pFrame = new QFrame(this);
    m_pFrame->setObjectName(QStringLiteral("SMS_WaitingDialogFrame"));
}

void WaitingDlg::closeEvent(QCloseEvent* event)
{
    // Closing the window closes only the window; a running job goes on.
    event->accept();
    QDialog::closeEvent(event);
}

SMSWaitingDlg* SMSWaitingDlg::Instance()
{
    if (!g_waiting)
        g_waiting = new SMSWaitingDlg;
    return g_waiting;
}

SMSWaitingDlg* SMSWaitingDlg::Existing() { return g_waiting; }

void SMSWaitingDlg::Destroy()
{
    delete g_waiting;
    g_waiting = nullptr;
}

SMSWaitingDlg::SMSWaitingDlg()
{
    setObjectName(QStringLiteral("SMSUIPlugin_WaitingController"));
    m_pWorker = new SMSThreadUI;
}

SMSWaitingDlg::~SMSWaitingDlg()
{
    deleteSmoothTimer();
    delete m_pStoptimer;
    delete m_pDialog.data();
    if (m_pWorker) {
        m_pWorker->wait();
        delete m_pWorker;
    }
}

void SMSWaitingDlg::resetCounters()
{
    m_iSpare = 0;
    m_iMaximum = 0;
    m_iSteps = 0;
    m_iNextHandledUnit = 0;
}

void SMSWaitingDlg::Prepare(int maximum)
{
    QMutexLocker lock(&m_mutex);
    m_iMaximum = maximum;
    m_iSteps = 0;
    m_iNextHandledUnit = 0;
    m_iSpare = 0;
}

void SMSWaitingDlg::ShowAnimationDialog(QWidget* parent, int kind)
{
    m_iProgressKind = kind;
    if (kind == 1 || kind == 2 || kind == 3 || kind == 4 || kind == 9)
        m_iProgressKind2 = kind;
    CreateAnimation(parent, kindText(kind));
    if (!m_pDialog)
        return;
    if (!m_pDialog->isVisible())
        CommonUtils::MoveCentre(m_pDialog);
    m_pDialog->show();
}

void SMSWaitingDlg::CreateAnimation(QWidget* parent, const QString& text)
{
    if (m_pDialog) {
        SMS_LOG("%s: %s: %s: Deleting the pinter for progressbar dialog");
        delete m_pDialog.data();
    }
    auto* dialog = new WaitingDlg(this);
    m_pDialog = dialog;
    dialog->setParent(parent, Qt::WindowFlags(0x02000803));
    dialog->setFixedSize(410, 170);
    dialog->Frame()->setGeometry(0, 0, 410, 170);
    m_pLayout = new QVBoxLayout;
    m_pTextLabel = new QLabel(dialog->Frame());
    m_pCountLabel = new QLabel(dialog->Frame());
    m_pProgressBar = new QProgressBar(dialog->Frame());
    m_pCancelButton = new QPushButton(dialog->Frame());
    m_pTextLabel->setObjectName(QStringLiteral("SMSUIPlugin_WaitingText"));
    m_pCountLabel->setObjectName(QStringLiteral("SMSUIPlugin_WaitingCount"));
    m_pProgressBar->setObjectName(QStringLiteral("SMSUIPlugin_WaitingBar"));
    m_pCancelButton->setObjectName(QStringLiteral("SMSUIPlugin_WaitingCancel"));
    const struct { QWidget* widget; bool centred; } rows[] = {
        {m_pTextLabel, false}, {m_pCountLabel, true}, {m_pProgressBar, true}, {m_pCancelButton, true}};
    for (const auto& row : rows) {
        auto* h = new QHBoxLayout;
        if (row.centred)
            h->addWidget(row.widget, 0, Qt::AlignHCenter | Qt::AlignVCenter);
        else
            h->addWidget(row.widget);
        m_pLayout->addLayout(h);
    }
    dialog->Frame()->setLayout(m_pLayout);
    m_pProgressBar->setFormat(QStringLiteral(" "));
    m_pProgressBar->setFixedSize(340, 23);
    m_pProgressBar->setRange(0, 100);
    m_pProgressBar->setValue(0);
    m_pTextLabel->setText(text);
    m_pTextLabel->setScaledContents(true);
    m_pCountLabel->setMinimumWidth(100);
    m_pCountLabel->setAlignment(Qt::AlignCenter);
    m_pCountLabel->setText(QStringLiteral("0/%1").arg(m_iMaximum));
    m_pCancelButton->setText(Change::tr(QStringLiteral("IDS_BTN_CANCEL"), kGroup));
    connect(m_pCancelButton, &QPushButton::clicked, this, &SMSWaitingDlg::onClickCancelButton);
    dialog->setWindowModality(Qt::WindowModal);
    startProgressTimer(500);
    if (m_iMaximum < 2)
        m_pCancelButton->setEnabled(false);
}

void SMSWaitingDlg::EnableCancelButton()
{
    if (m_pCancelButton && m_pDialog)
        m_pCancelButton->setEnabled(true);
}

void SMSWaitingDlg::DisableCancelButton()
{
    if (m_pCancelButton && m_pDialog)
        m_pCancelButton->setEnabled(false);
}

void SMSWaitingDlg::deleteSmoothTimer()
{
    if (!m_pSmoothTimer)
        return;
    m_pSmoothTimer->stop();
    m_pSmoothTimer->disconnect();
    delete m_pSmoothTimer;
    m_pSmoothTimer = nullptr;
}

void SMSWaitingDlg::startProgressTimer(int ms)
{
    if (m_iMaximum == 0) {
        SMS_LOG("%s: %s: %s: The value of m_iMaximum is zero ");
        return;
    }
    m_iNextHandledUnit = 100 / m_iMaximum;
    deleteSmoothTimer();
    m_pSmoothTimer = new QTimer(this);
    connect(m_pSmoothTimer, &QTimer::timeout, this, &SMSWaitingDlg::updateProgressBarForSmoothness);
    m_pSmoothTimer->start(ms);
}

void SMSWaitingDlg::updateProgressBarForSmoothness()
{
    QMutexLocker lock(&m_mutex);
    if (!m_pProgressBar || !m_pDialog)
        return;
    const int v = m_pProgressBar->value();
    if (v + 1 < m_iNextHandledUnit)
        m_pProgressBar->setValue(v + 1);
}

void SMSWaitingDlg::updateProgressBar()
{
    bool complete = false;
    {
        QMutexLocker lock(&m_mutex);
        ++m_iSteps;
        if (m_iMaximum == 0) {
            SMS_LOG("%s: %s: %s: The value of m_iMaximum is zero ");
            return;
        }
        m_iNextHandledUnit = (m_iSteps + 1) * 100 / m_iMaximum;
        if (m_pProgressBar && m_pDialog)
            m_pProgressBar->setValue(qMin(100, m_iSteps * 100 / m_iMaximum));
        complete = m_iSteps == m_iMaximum;
    }
    if (complete)
        closeWaitingDialog();
}

void SMSWaitingDlg::updateProgressBarLabel(int done, int expected)
{
    if (done > expected)
        return;
    if (m_pCountLabel && m_pDialog)
        m_pCountLabel->setText(QStringLiteral("%1/%2").arg(done).arg(expected));
    updateProgressBar();
}

void SMSWaitingDlg::changeLabel(const QString& text)
{
    if (!m_pTextLabel || !m_pDialog) {
        SMS_LOG_NULLARG();
        return;
    }
    m_pTextLabel->setText(text.size() < 26 ? Change::tr(text, kGroup) : text);
}

void SMSWaitingDlg::changeLabelEx(const QString& text)
{
    if (!m_pTextLabel || !m_pDialog) {
        SMS_LOG_NULLARG();
        return;
    }
    m_pTextLabel->setText(m_pTextLabel->fontMetrics().elidedText(text, Qt::ElideRight, qMax(0, m_pTextLabel->width() - 24)));
}

void SMSWaitingDlg::onCompleteChangeButtonText()
{
    if (!m_pCancelButton || !m_pDialog)
        return;
    m_pCancelButton->setEnabled(true);
    m_pCancelButton->setText(Change::tr(QStringLiteral("IDS_OK"), QStringLiteral("XFramePlugin")));
}

void SMSWaitingDlg::closeWaitingDialog()
{
    if (m_pDialog)
        OnTimerStart(3000);
}

void SMSWaitingDlg::OnTimerStart(int ms)
{
    deleteSmoothTimer();
    if (!m_pStoptimer) {
        m_pStoptimer = new QTimer(this);
        m_pStoptimer->setSingleShot(true);
        connect(m_pStoptimer, &QTimer::timeout, this, &SMSWaitingDlg::stopTimer);
        m_pStoptimer->start(ms);
    } else if (m_pStoptimer->isActive()) {
        SMS_LOG("%s: %s: %s: m_pStoptimer is active");
    }
}

void SMSWaitingDlg::stopTimer()
{
    if (m_mutex.tryLock(0))
        m_mutex.unlock();
    deleteSmoothTimer();
    if (m_pStoptimer) {
        m_pStoptimer->stop();
        m_pStoptimer->disconnect();
        m_pStoptimer->deleteLater();
        m_pStoptimer = nullptr;
    }
    if (m_pDialog) {
        resetCounters();
        m_pDialog->close();
        SMSThreadUI::clearCancel();
        SMS_LOG("%s: %s: %s: Closing the progressbar dialog");
    }
}

void SMSWaitingDlg::CloseNow() { stopTimer(); }

bool SMSWaitingDlg::isClosing() const { return m_pStoptimer && m_pStoptimer->isActive(); }

bool SMSWaitingDlg::IsTimerRunning() const
{
    return (m_pSmoothTimer && m_pSmoothTimer->isActive()) || (m_pStoptimer && m_pStoptimer->isActive());
}

void SMSWaitingDlg::onClickCancelButton()
{
    if (!m_pDialog || !m_pCancelButton || !m_pTextLabel) {
        SMS_LOG_NULLARG();
        return;
    }
    m_pCancelButton->setEnabled(false);
    if (m_iMaximum <= m_iSteps) {
        resetCounters();
        m_pDialog->close();
        SMSThreadUI::clearCancel();
        return;
    }
    SMSThreadUI::requestCancel();
    m_bCancelling = true;
    m_pTextLabel->setText(Change::tr(QStringLiteral("IDS_STR_CANCELLING"), kGroup));
    if (m_iProgressKind != Sending) {
        if (m_iProgressKind == Moving || m_iProgressKind == DragCopying)
            deleteSmoothTimer();
        return;
    }
    m_pWorker->setSendWork(SMSThreadUI::WorkCancelSend, QString(), QString());
    m_pWorker->start(QThread::InheritPriority);
}

int SMSWaitingDlg::Progress() const { return m_pProgressBar && m_pDialog ? m_pProgressBar->value() : 0; }
QString SMSWaitingDlg::LabelText() const { return m_pTextLabel && m_pDialog ? m_pTextLabel->text() : QString(); }
QString SMSWaitingDlg::CountText() const { return m_pCountLabel && m_pDialog ? m_pCountLabel->text() : QString(); }
