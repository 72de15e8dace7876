// The progress window shown while the worker sends, deletes, moves, copies or recovers: what is
// being done, units done of units expected, a bar that creeps forward between two units, and a
// Cancel button. One controller for the process; a new window per operation.
#pragma once

#include <QDialog>
#include <QMutex>
#include <QPointer>
#include <QWidget>

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class QVBoxLayout;
class SMSThreadUI;
class SMSWaitingDlg;

class WaitingDlg : public QDialog
{
    Q_OBJECT
public:
    explicit WaitingDlg(SMSWaitingDlg* controller);
    QFrame* Frame() const { return m_pFrame; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    SMSWaitingDlg* m_pController;
    QFrame* m_pFrame;
};

class SMSWaitingDlg : public QWidget
{
    Q_OBJECT
public:
    enum Kind { Sending = 0, Deleting = 1, Moving = 2, Copying = 3, DragMoving = 4, DragCopying = 9 };

    static SMSWaitingDlg* Instance();
    static SMSWaitingDlg* Existing();
    static void Destroy();

    // The caller sets the number of units first, then shows the window.
    void Prepare(int maximum);
    void ShowAnimationDialog(QWidget* parent, int kind);
    void EnableCancelButton();
    void DisableCancelButton();
    void updateProgressBarLabel(int done, int expected);
    void changeLabel(const QString& text);
    void changeLabelEx(const QString& text);
    void onCompleteChangeButtonText();
    bool isCancelling() const { return m_bCancelling; }
    // The window's owner took note of a Cancel; the next operation starts without it.
    void clearCancelling() { m_bCancelling = false; }
    // The window closes by itself shortly (closeWaitingDialog was called).
    bool isClosing() const;
    // Closes at once (the main window does so when a cancelled job finished).
    void CloseNow();

    WaitingDlg* Dialog() const { return m_pDialog; }
    int Steps() const { return m_iSteps; }
    int Maximum() const { return m_iMaximum; }
    int Progress() const;
    QString LabelText() const;
    QString CountText() const;
    int Kind() const { return m_iProgressKind; }
    SMSThreadUI* CancelWorker() const { return m_pWorker; }
    // The bar still creeping forward, or the close still pending.
    bool IsTimerRunning() const;

public slots:
    void closeWaitingDialog();
    void updateProgressBar();
    void onClickCancelButton();
    void stopTimer();
    void updateProgressBarForSmoothness();

private:
    SMSWaitingDlg();
    ~SMSWaitingDlg() override;
    void CreateAnimation(QWidget* parent, const QString& text);
    void startProgressTimer(int ms);
    void OnTimerStart(int ms);
    void deleteSmoothTimer();
    void resetCounters();

    QMutex m_mutex;
    QVBoxLayout* m_pLayout = nullptr;
    QLabel* m_pTextLabel = nullptr;
    QLabel* m_pCountLabel = nullptr;
    QProgressBar* m_pProgressBar = nullptr;
    int m_iProgressKind2 = -1;
    QTimer* m_pStoptimer = nullptr;
    QTimer* m_pSmoothTimer = nullptr;
    QPushButton* m_pCancelButton = nullptr;
    int m_iNextHandledUnit = 0;
    int m_iSteps = 0;
    int m_iSpare = 0;
    int m_iMaximum = 0;
    bool m_bCancelling = false;
    QPointer<WaitingDlg> m_pDialog;
    SMSThreadUI* m_pWorker = nullptr;
    int m_iProgressKind = -1;
};
