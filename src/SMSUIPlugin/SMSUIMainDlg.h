// The SMS page: folder tree on the left; tool bar, message table and preview on the right.
#pragma once

#include <QHash>
#include <QList>
#include <QPointer>
#include <QWidget>

class QSplitter;
class QTableWidget;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;
class SMSStatusUILogic;

class SMSUIMainDlg : public QWidget
{
    Q_OBJECT
public:
    static SMSUIMainDlg* Instance();
    static SMSUIMainDlg* Existing();
    static void Release();

    bool CreateSMSMainLayout();
    void SetLanguage(bool bInit);
    QString Translate(const QString& id) const;

    QWidget* CurrentTable() const;
    void syncSMSTableWithBuffers(int node);
    void OnSimStatusChanged(bool available);
    bool checkDevMemStatus(bool initial);
    void HideCardRoots();
    void OpenEditorFromOutside(const QString& number, const QString& content, QWidget* parent);
    void OpenNotifierAction();

    // Host-driven flags.
    void SetHostMenuFlag(bool flag);
    void SetRadioOn(bool on) { m_bRFMode = on; }
    bool IsRadioOn() const { return m_bRFMode; }
    void SetMemoryFullPopupAllowed(bool allowed) { m_bMemoryFullPopupAllowed = allowed; }
    bool IsMemoryFullPopupAllowed() const { return m_bMemoryFullPopupAllowed; }
    bool IsNumberSaved() const { return m_bNumberSaved; }
    void SetNumberSaved(bool saved) { m_bNumberSaved = saved; }
    bool IsNetworkAvailable() const { return m_bNetworkAvailable; }
    bool IsSimShown() const { return m_bSimMemoryFlag; }
    bool IsDeviceShown() const { return m_bNvDeviceFlag; }
    bool IsSentItemsBox() const { return m_bSentItemsBox; }
    bool IsShowSMCount() const { return m_bShowSMCount; }
    bool IsHideDoubleModeCardNode() const { return m_bHideDoubleModeCardNode; }

signals:
    void changeLanguageForTitle(int);
    void netStatusChanged(bool);

public slots:
    void GetPresentNetworkStatus(bool bDeviceStatus);
    void onClickTableRow(int);

private:
    SMSUIMainDlg();
    ~SMSUIMainDlg() override;
    void createSMSTreePanel();
    void createRightPanel();
    void retranslateTree();

    SMSStatusUILogic* m_pStatusLogicObject = nullptr;
    QTreeWidget* m_pTreeWidget = nullptr;
    QTreeWidgetItem* m_pLocalRoot = nullptr;
    QHash<int, QTreeWidgetItem*> m_hashTreeItems;
    QSplitter* m_pMainSplitter = nullptr;
    QSplitter* m_pSplitterTablePreview = nullptr;
    QWidget* m_pRightWidget = nullptr;
    QTableWidget* m_pTableWidgetSms = nullptr;
    QTextBrowser* m_pTextPreview = nullptr;
    QList<int> m_listPreviewSplitterSizes{500, 180};

    int m_iSelectedTreeNode = 1;
    bool m_bShowSMCount = false;
    bool m_bSentItemsBox = false;
    bool m_bHideDoubleModeCardNode = false;
    bool m_bHostMenuFlag = false;
    bool m_bRFMode = true;
    bool m_bMemoryFullPopupAllowed = false;
    bool m_bNumberSaved = false;
    bool m_bNetworkAvailable = true;
    bool m_bSimAvailable = false;
    bool m_bSimMemoryFlag = false;
    bool m_bNvDeviceFlag = false;
};
