// The message editor: the frame (SMSMessageDlg) and what is inside it (SMSUIMessageEditor). The
// main window creates both for each opening and disposes of them when the editor emits
// destroyDialog().
#pragma once

#include "ExtendDialog.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

class ExtendLineEdit;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QTextEdit;
class QVBoxLayout;
class SMSUIMainDlg;
class SMSUIMessageEditor;

class SMSMessageDlg : public ExtendDialog
{
    Q_OBJECT
public:
    SMSMessageDlg(SMSUIMainDlg* window, SMSUIMessageEditor* editor);
    bool OnCloseRequested() override;   // asks about unsaved changes

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    SMSUIMessageEditor* m_pEditor;
};

class SMSUIMessageEditor : public QObject
{
    Q_OBJECT
public:
    static constexpr int MaxLength = 2048;

    explicit SMSUIMessageEditor(SMSUIMainDlg* window);
    // Builds the widgets, fills them for `mode`, sizes, shows and focuses the frame.
    void Open(int mode, int draftId, int sourceFolder, bool addressBookAvailable);

    SMSMessageDlg* Frame() const { return m_pFrame; }
    int Mode() const { return m_iMode; }
    ExtendLineEdit* NumberField() const { return m_pLineEditNumber; }
    QTextEdit* TextArea() const { return m_pTextEdit; }
    QPushButton* SendButton() const { return m_pSendButton; }
    QPushButton* SaveButton() const { return m_pSaveButton; }
    QLabel* CounterLabel() const { return m_pCounterLabel; }

    void parsingSendMsgLineEditMsg(int* count, QStringList* list) const;
    void MoveLineEditCursor(QKeyEvent* event);
    // The frame's close: true when the editor may close (saved, discarded or unchanged).
    bool closeEditor();

signals:
    void destroyDialog();

public slots:
    void onClickSendToButton();
    void onClickCloseEditorDialog();
    void onEnterNumberToSend();
    void onDeleteNumber();
    void onButtonClickedSaveToDraft();
    void onDeleteTextArea();
    void onWriteMessage();
    void onButtonClickedSendSMS();
    void onDeleteTextAreaForEdit();
    void onDeleteNumberForEditInDraft();
    void onSaveToDraftFromDraft();
    void onClickSendToButtonFromDraft();
    void setTitle(int);
    void onNetworkStatusChanged(bool);

private:
    void buildWidgets();
    void fillContent(int mode);
    void filltheContentToDialog(int mode);
    void wireButtonsByFolder();
    void enableDisableSaveButton();
    bool SaveToDraft();
    void finish();
    QString titleId() const;
    bool networkAvailable() const;

    SMSUIMainDlg* m_pWindow;
    SMSMessageDlg* m_pFrame = nullptr;
    QString m_strText;
    QWidget* m_pCentral = nullptr;
    QVBoxLayout* m_pLayout = nullptr;
    QPushButton* m_pSendToButton = nullptr;
    ExtendLineEdit* m_pLineEditNumber = nullptr;
    QTextEdit* m_pTextEdit = nullptr;
    QPushButton* m_pSendButton = nullptr;
    QPushButton* m_pSaveButton = nullptr;
    QPushButton* m_pCloseButton = nullptr;
    QLabel* m_pCounterLabel = nullptr;
    QString m_strContent;
    QString m_strNumber;
    QString m_strOrigNumber;
    QString m_strOrigContent;
    int m_iMode = 0;
    int m_iDraftId = -1;
    int m_iLastKey = 0;
    int m_iSourceFolder = -1;
    QString m_strLastValidNumber;
};
