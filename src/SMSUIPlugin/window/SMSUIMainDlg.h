// The SMS page: folder tree on the left; tool bar, message table and preview on the right.
//
// The class is large and fixed by its role, so its sources are split by concern:
//   SMSUIMainDlg.cpp           construction, layout, splitters, shortcuts, language
//   SMSUIMainDlgTree.cpp       the folder tree, its labels, counts, icons and card branches
//   SMSUIMainDlgTables.cpp     one message table per folder, rows, row clicks
//   SMSUIMainDlgPreview.cpp    the preview pane and links
//   SMSUIMainDlgToolBar.cpp    the tool bar and the search box
//   SMSUIMainDlgReactions.cpp  device, SIM and network state; memory discovery; read marking
//   SMSUIMainDlgCommands.cpp   user commands (editor, delete, move, copy, call, export)
#pragma once

#include "QBuildMenu.h"
#include "store/SMSLocalRecord.h"
#include "window/DroppedCells.h"
#include "window/SMSUITableWidget.h"
#include "ToolBarLogic.h"

#include <QHash>
#include <QSet>
#include <QIcon>
#include <QList>
#include <QMutex>
#include <QPointer>
#include <QUrl>
#include <QWidget>

class DetectMemoryDeviceThread;
class IAddrBookUIPlugin;
class INotifyService;
class QButtonGroup;
class QHBoxLayout;
class QLabel;
class QDialog;
class QPushButton;
class QTextEdit;
class QTimer;
class ExtendDialog;
class QMenu;
class QAction;
class QShortcut;
class QSplitter;
class QTableWidget;
class QTableWidgetItem;
class QTextBrowser;
class QTreeWidgetItem;
class QVBoxLayout;
class SMSStatusUILogic;
class SMSThreadUI;
class SMSUIMessageEditor;
class SMSUITableWidget;
class UITableItem;
class SMSUITreeWidget;
class SearchLineEdit;
class GridDelegateLayout;

class SMSUIMainDlg : public QWidget
{
    Q_OBJECT
    // Read by a host that wants to know whether it has told the page that its frame is visible.
    Q_PROPERTY(bool mainFrameShown READ IsMainFrameShown)
public:
    static SMSUIMainDlg* Instance();
    static SMSUIMainDlg* Existing();
    static void Release();

    // ---- construction ----
    bool CreateSMSMainLayout();
    void SetLanguage(bool bInit);
    QString Translate(const QString& id) const;

    // ---- tree ----
    int getSMSTreeNodePosition(QTreeWidgetItem* item);
    int getCurrentFrom(int iSelectedTreeNode) const;
    void initSimTree();
    void initDeviceTree();
    void setLocalTreeSmsLanguage();
    void setSimTreeSmsLanguage();
    void setDeviceTreeSmsLanguage();
    void updateTreeNodeCounts();
    void setSmsTreeToolTipAndScrollBar(QTreeWidgetItem* item);
    void setWidthForSMSTreeWidget();
    void setLocalTreeNodeImages();
    void setRootNodeImages(QTreeWidgetItem* selected);
    void activateCurrentTreeNode();
    QTreeWidgetItem* TreeItem(int node) const { return m_hashTreeItems.value(node); }
    QString CardTypeName() const;
    QString SimRootLabel() const;
    QString DeviceRootLabel() const;
    void HideCardRoots();

    // ---- tables ----
    void populateLocalSMSTables();
    void populateSimSMSTables();
    void populateDeviceSMSTables();
    void populateTableRow(const SMSLocalRecordPtr& record, int iRow, QTableWidget* table);
    void syncSMSTableWithBuffers(int iNode);
    // Ids of the messages selected in the shown table; selecting them again after the table was
    // rebuilt (the caller lets the tool bar and preview follow).
    QList<int> selectedMessageIds() const;
    void reselectMessages(const QList<int>& ids);
    int emptySMSTable(int iNode);
    void syncUnreadSMSTable(int iNode);
    bool setReadMessageIcon(SMSLocalRecordPtr& record, QTableWidgetItem* cell);
    void addRecToSMSTable(int iNode, const SMSLocalRecordPtr& record);
    bool isMessageInTable(int iMsgId, QTableWidget* table) const;
    void releaseALLSMSTables();
    void ViewSmsInbox();
    // Selects folder `node` and in it message `msgId`, shown in the preview (the folder's first
    // message when that one is not there, e.g. a flash message or one deleted since).
    void OpenMessage(int node, int msgId);
    // The table of folder `node`. A table is filled from the store the first time something
    // needs its rows (start-up fills only the one it shows); until then changes to its folders
    // leave it alone, since its fill reads the buffers as they are by then. Filling is not a
    // change a caller can see: the table shows what it would have shown had it been filled all
    // along.
    SMSUITableWidget* Table(int node) const;
    QWidget* CurrentTable() const;
    // Where the cells of rows a search dropped wait to be deleted.
    DroppedCells& DroppedSearchCells() { return m_droppedCells; }
    int SelectedNode() const { return m_iSelectedTreeNode; }
    int CurrentFrom() const { return m_iCurrentFrom; }

    // ---- preview ----
    void loadPreviewtextOnTreeNodeClick(const QString& strFolderText);
    void showFolderSummary();
    void showMessagePreview(const QString& strName, const QString& strContent, const SMSLocalRecordPtr& record, int iSelectedRows);
    void updatePreviewPaneForRightClick();
    void setReoprtFolderContent();
    QString PreviewHtml() const { return m_strPreviewHtml; }

    // ---- tool bar ----
    void initToolBar(QWidget* parent);
    int enableToolItem(int iId);
    int disableToolItem(int iId);
    void disableMessageToolItems();
    void enableMessageToolItems();
    void showSearchBox();
    void hideSearchBox();
    void updateTableSmsTable(const QString& strText);
    void setToolBarToolTips();
    void destroyToolBar();
    bool IsSearchBoxShown() const { return m_bSearchBoxShown; }

    // ---- context menu ----
    QMenu* ContextMenu() const { return m_pContextMenu; }
    QAction* GetAction(const QString& id) const;
    void enableMenuItem();
    void addSIMDeviceAction();
    void UpdateMenuItemForSimAndDevice(QMenu* menu, const QString& id, QAction* action, int simStatus, const QString& submenu = QString());
    // Prepares the menu for a right click at `pos` (table viewport coordinates), as opening it does.
    bool PrepareContextMenu(const QPoint& pos);
    // Target folder of a move or copy for the target entry's resource id ("IDS_TREE_SIM", ...).
    int MoveCopyTargetFor(const QString& targetId) const;
    void StartMoveCopy(bool copy, bool all, const QString& targetId);
    // The resource id of a context-menu entry's action; empty for any other object.
    QString menuEntryId(const QObject* action) const;
    void retranslateContextMenu();
    void enableEditorSendButtons(bool possible);

    // ---- drag and drop ----
    void PrepareDrag(SMSUITableWidget* table, bool leftHalf);
    void TablePressedOnEmptyArea();
    void TableReleased(bool onItem);
    void RestoreCurrentTreeItem();
    // Whether the dragged messages may go to `target`; highlights it when they may.
    bool DragOver(int target);
    bool TakeDropRejected();
    void Dropped(bool copy);
    void PerformDropForFolder();
    void performSmsDragOperation(int op);
    void SetDragInProgress(bool on) { m_bDragInProgress = on; }
    bool IsDragInProgress() const { return m_bDragInProgress; }
    int DragSourceNode() const { return m_iDragSourceNode; }
    int DragRowCount() const { return m_iDragRowCount; }
    QList<SMSLocalRecordPtr> DragRecords() const { return m_lstDragRecords; }
    SMSUITreeWidget* TreeWidget() const { return m_pTreeWidget; }

    // ---- alerts ----
    void showFlashMessage(const QString& content, const QString& number, const QString& time);
    void setLanguageToFlashMessage();
    static QString parseTimeOfSdk(const QString& time);
    void playSoundAlert();
    void stopPlayingSound();
    void setSoundFileBySetting(const QString& file);
    void createMemoryFullPopUp(int kind, bool dualMode);
    void startTimerForMemoryFullPopUp();
    bool GetRecordListByLocation(int folder, QList<SMSLocalRecordPtr>& out);
    QWidget* FlashWindow() const;
    QWidget* MemoryFullPopup() const;
    QString MemoryFullText() const;
    int NewMessageFolder() const { return m_iNewMsgNode; }

    // ---- export and usage figures ----
    bool saveToFile(const QString& path);
    void SetExportMode(int mode) { m_iExportMode = mode; }
    // Updates the usage figures file of the host's reporting agent (beside its update data).
    static bool SaveSMSInfoForAgent(const QString& item, const QString& key, const QString& value);

    // ---- reactions ----
    void notifyStatusBar();
    void sendStatusBarRefresh();
    bool PerformSimCheckOperation();
    void OpenEditorFromOutside(const QString& number, const QString& content, QWidget* parent);
    bool IsWorkerRunning() const;
    // Sets `full` when the memory that the worker's move or copy goes to is full; clears it when
    // there is nothing to ask or the device counts nothing, and leaves it otherwise.
    void checkMemoryStatus(bool& full);

    // ---- the message editor ----
    // A number (and text) handed in by another component for a new message.
    bool IsExternalRequest() const { return m_bExternalRequest; }
    void SetExternalRequest(bool on) { m_bExternalRequest = on; }
    QString ExternalNumber() const { return m_strExternalNumber; }
    QString ExternalContent() const { return m_strExternalContent; }
    void SetExternalContent(const QString& text) { m_strExternalContent = text; }
    void SetLoadedMessage(const QString& number, const QString& content) { m_strLoadedNumber = number; m_strLoadedContent = content; }
    QString LoadedContent() const { return m_strLoadedContent; }
    SMSLocalRecordPtr SelectedRecord() const;
    int CurrentTableRowCount() const;
    void ShowSavedDraft(const SMSLocalRecordPtr& draft);
    void PrepareSendCounters(int units);
    SMSUIMessageEditor* Editor() const;

    // ---- state the host and the services read or set ----
    void SetHostMenuFlag(bool flag);
    void SetRadioOn(bool on) { m_bRFMode = on; }
    bool IsRadioOn() const { return m_bRFMode; }
    // The host tells the page once its device is ready; memory-full warnings wait until then
    // (a report that came earlier is shown at that moment).
    void SetMemoryFullPopupAllowed(bool allowed);
    bool IsMemoryFullPopupAllowed() const { return m_bMemoryFullPopupAllowed; }
    bool IsNumberSaved() const { return m_bSMSUpdateFlag; }
    void SetNumberSaved(bool saved) { m_bSMSUpdateFlag = saved; }
    // The message box the page shows right now (null when none is open).
    QDialog* OpenMessageBox() const { return m_pMsgBox; }
    bool IsNetworkAvailable() const { return m_bNetworkAvailable; }
    bool IsSimShown() const { return m_bSimMemoryFlag; }
    bool IsDeviceShown() const { return m_bNvDeviceFlag; }
    bool IsSentItemsBox() const { return m_bSentItemsBox; }
    bool IsShowSMCount() const { return m_bShowSMCount; }
    bool IsHideDoubleModeCardNode() const { return m_bHideDoubleModeCardNode; }
    bool IsMultiModeCard() const { return m_bMultiModeCard; }
    bool CanSendSms() const { return m_bCanSendSms; }
    bool IsMainFrameShown() const { return m_bMainFrameShown; }
    bool IsSendEnabled() const { return m_bSendEnabled; }
    bool IsReplyEnabled() const { return m_bReplyEnabled; }
    bool IsForwardEnabled() const { return m_bForwardEnabled; }
    bool IsCallEnabled() const { return m_bCallEnabled; }
    DetectMemoryDeviceThread* SimReader() const { return m_threadReadSim; }
    SMSThreadUI* Worker() const { return m_SMSThreadInst; }
    DetectMemoryDeviceThread* DeviceReader() const { return m_threadReadDevice; }

signals:
    void changeLanguageForTitle(int);
    void netStatusChanged(bool);

public slots:
    void onClickSMSTreeNode(QTreeWidgetItem* m_pTreeWidgetselectedItem, int iColumn);
    void onSMSTreeItemSelectionChangedSlot();
    void onSMSSentrecordRecieved(int);
    void onSMSReceiverecordRecieved(int);
    void onTreeNodeExpanded(QTreeWidgetItem*);
    void onCloseNewMsgDialog();
    void onSmsTreeItemEntered(QTreeWidgetItem* pTreeWidgetItem, int iColumn);
    void GetPresentNetworkStatus(bool bDeviceStatus);
    void onClickTableRow(int);
    void onButtonClickedNewSMS(int);
    void onButtonClickDelete();
    void onButtonClickedEditSMS();
    void onButtonClickDeleteAll();
    void onClickMove();
    void onClickCopy();
    void onClickMoveAll();
    void onClickCopyAll();
    void onRightClickAction();
    void onMenuNew();
    void onMenuSend();
    void onMenuReply();
    void onMenuForward();
    void onClickExportSMS();
    void onFileSelected(QString strFileName);
    void onClickExportAllSMS();
    void onMenuSearch();
    void onButtonClickedSaveNumber();
    void onTableSelectionChanged();
    void onButtonClickRecoverMessages();
    void openLink(QUrl);
    void onClickCloseMemoryFullDialog();
    void OnSMSReadComplete(int);
    void OnPBReadComplete();
    void OnDeleteKeyPress();
    void OnForwardKeyPress();
    void OnSendKeyPress();
    void OnReplyKeyPress();
    void OnEditKeyPress();
    void onCtrlAPressedOnTable();
    void onSoundPlayFinish();
    void onButtonClickCall();
    void onButtonClickCallHandler(bool);
    void OnCallKeyPress();
    void onTBBtnClicked(int iId);
    void onTextEdited(QString strEditedText);
    void onDeleteSMS(int, int, int, bool);
    void ShowNewMessageDialog(QString, QString, QString, int, int);
    void onSendSmsResult(bool bSendSmsResult, int icount);
    void onFinished();
    void onDraggSmsResult(bool);
    void onCloseWaitingDialog();
    void OnSimStatusChanged(bool);
    void simremovalEnableDisableCheck();
    void onTableRowClickEnableDisable();
    void onSmsStatusChanged(int);
    void onDeleteMessage(int row);
    void onrecoverMessage(bool bRecoverResult, int row);
    void onBatchNotStored();
    void updateSIMNVTables();
    void onSmsMoveOrCopy(bool, int);
    bool checkDevMemStatus(bool);
    void enableDrop(int);
    void onCloseFlashMsgDialog();
    void onLocalNodeCollapsed(QTreeWidgetItem* item);
    void onLocalNodeExpanded(QTreeWidgetItem* item);
    void onDoubleClickedEditSMS();
    void onCloseProgressbarDialog(int);
    void OnHeaderClicked(int);
    void OnstopTimerForMemoryFullPopUp();
    void onSplitterMoved(int, int);
    void onSplitterMovedForSMSTree(int, int);
    void OnCallBackDeleteSms(int iMsgId, int iEnPosition);
    bool onMemoryFullPopUPOKClick();
    void setMainFrameShownFlag();
    void ShowMemoryFull();
    void SetRFModeFlag();
    void ResetRFModeFlag();
    void SetPhonebookFlag();
    void ResetPhonebookFlag();
    void SetSMSUpdateFlag();
    bool isSMSupdateFlagSet();
    void ResetSMSUpdateFlag();
    void SetNvDeviceFlag();
    void ResetNvDeviceFlag();
    void SetSimMemoryFlag();
    void ReSetSimMemoryFlag();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    SMSUIMainDlg();
    ~SMSUIMainDlg() override;

    void SMSUIMainInitialization();
    void initializeLogic();
    void addListenersAndData();
    void createSMSTreePanel();
    void createRightPanel();
    void setShortcutKeys();
    void loadTreeIcons();
    const QList<QIcon>& treeIcons() const;
    SMSUITableWidget* createTable(int node);
    SMSUITableWidget* buildTable(int node);
    void refreshAfterSync();
    // The table object as it is, filled or not (Table() fills it); a table not made yet is made
    // now.
    SMSUITableWidget* tableObject(int node) const;
    // The table object if it was made; null for one not made yet (or none at all).
    SMSUITableWidget* madeTable(int node) const { return m_hashTables.value(node); }
    // Whether the folder has a table, made or still to be made.
    bool hasTable(int node) const { return m_hashTables.contains(node) || m_setTablesToMake.contains(node); }
    void fillFirstTime(SMSUITableWidget* table);
    // `later`: the tables are made when first needed (tableObject) instead of now.
    void populateTables(const QList<int>& nodes, bool refreshExisting, bool later = false);
    QString prepareMessagePreview(const SMSLocalRecordPtr& record);
    // What a table of `node` shows: its folder's records, each message once for a root.
    QVector<SMSLocalRecordPtr> recordsForTable(int node) const;
    // Fills the rows from the buffers. `newestFirst`: in the order the table's own sort by the
    // time column, newest first, would leave them (no sort is needed afterwards).
    void fillTable(int node, SMSUITableWidget* table, bool newestFirst = false);
    // Brings a table sorted newest first up to date row by row (rows of messages that left or
    // changed go, new ones go to their places); false, with nothing changed, where a rebuild is
    // cheaper or the table cannot be updated that way.
    bool updateTableInPlace(int node, SMSUITableWidget* table);
    // Puts rows for `added` where the table's sorted insertion would put them, in a table sorted
    // newest first (the sort indicator parked meanwhile); the new rows' cells.
    QList<SMSUITableWidget::RowCells> insertNewestFirst(QTableWidget* table, const QList<SMSLocalRecordPtr>& added);
    // One row's cells; `time` is a ready column-2 cell the row takes over (null: made here).
    SMSUITableWidget::RowCells populateTableRow(const SMSLocalRecordPtr& record, int row, QTableWidget* table, UITableItem* time);
    // Adds the messages the table does not show yet in one update (addRecToSMSTable for many).
    void addRecordsToSMSTable(int node, const QList<SMSLocalRecordPtr>& records);
    // syncUnreadSMSTable limited to the rows of `onlyIds` (null: every row).
    void syncUnreadSMSTable(int node, const QList<int>* onlyIds);
    quint64 generationOf(int node) const;
    void markTableFilled(SMSUITableWidget* table, bool current);
    bool tableIsCurrent(SMSUITableWidget* table) const;
    void connectTable(SMSUITableWidget* table, bool on);
    QTreeWidgetItem* addTreeNode(QTreeWidgetItem* parent, int node);
    void setBranchLanguage(int root, int inbox, int outbox);
    void enableDisableForMultipleSelection(int rows);
    QList<SMSLocalRecordPtr> selectedRecords(bool allRows);
    void highlightTreeItem(QTreeWidgetItem* item);
    void startBatch(int kind, int progressKind, const QList<SMSLocalRecordPtr>& records, int target);
    void handleOperationOnComplete();
    void handleDelOperationOnComplete();
    void setCanSendSms(bool possible);
    // Ends the send batch in hand: results still missing count as failed.
    void giveUpSend();
    void replaceRecordInTables(const SMSLocalRecordPtr& updated);
    bool isRightToLeft() const;
    // Every prompt of the page: caption "IDS_STR_PROMPT", OK (and Cancel for a question), window
    // flags, kept in m_pMsgBox while open. Returns the pressed button.
    // Every box of the window goes through here: kept in m_pMsgBox while open. `captionId`
    // defaults to "IDS_STR_PROMPT", `flags` (0) to the window's framing.
    int showMessageBox(int icon, const QString& text, bool question = false, QWidget* parent = nullptr,
                       const QString& captionId = QString(), int flags = 0);
    IAddrBookUIPlugin* GetAddrBookPlugin();
    // The host's notification service as registered now; it may come and go with the host's parts.
    INotifyService* notifyService();

    // tree
    SMSUITreeWidget* m_pTreeWidget = nullptr;
    QTreeWidgetItem* m_pLocalRoot = nullptr;
    QTreeWidgetItem* m_pSimRoot = nullptr;
    QTreeWidgetItem* m_pDeviceRoot = nullptr;
    QHash<int, QTreeWidgetItem*> m_hashTreeItems;
    int m_iSelectedTreeNode = 1;
    int m_iCurrentFrom = 0;
    QTreeWidgetItem* m_pCurrentTreeItem = nullptr;
    QTreeWidgetItem* m_pEnteredTreeItem = nullptr;
    int m_iEnteredNodePosition = 16;
    // The drag in hand: where it came from and what it carries.
    int m_iDragSourceNode = 16;
    QList<SMSLocalRecordPtr> m_lstDragRecords;
    int m_iDragRowCount = 0;
    int m_iDraggedFlag = 0;          // 1 from the drop until it is decided
    bool m_bDropCopy = false;        // Ctrl was held at the drop
    bool m_bDragInProgress = false;
    bool m_bDropRejected = false;    // the last hover refused the folder: swallow the drop
    int m_iActivatedNodePosition = 16;
    QList<QIcon> m_listIcons;
    QList<QIcon> m_listIconsMirrored;

    // tables and preview
    QHash<int, SMSUITableWidget*> m_hashTables;
    // Folders whose table object is made the first time something asks for it: making the
    // fourteen tables nobody looks at (Local, card and device) cost a fifth of start-up.
    QSet<int> m_setTablesToMake;
    SMSUITableWidget* m_pTableWidgetSms = nullptr;
    QTextBrowser* m_pTextPreview = nullptr;
    QSplitter* m_pMainSplitter = nullptr;
    QSplitter* m_pSplitterTablePreview = nullptr;
    QList<int> m_listPreviewSplitterSizes{500, 180};
    QWidget* m_pRightWidget = nullptr;
    GridDelegateLayout* m_pTreeDelegate = nullptr;
    QMutex m_mutexRowClick;
    QString m_strPreviewContent;
    QString m_strSelectedNumber;
    int m_iSelectedMsgId = -1;
    QString m_strPreviewHtml;
    QString m_strFolderName;

    // tool bar and search
    QWidget* m_pToolBarWidget = nullptr;
    QList<ToolItem> m_listToolItems;
    QButtonGroup* m_pToolButtonGroup = nullptr;
    QHBoxLayout* m_pToolBarLayout = nullptr;
    SearchLineEdit* m_pSearchLineEdit = nullptr;
    QLabel* m_pToolBarLabel = nullptr;
    bool m_bSearchBoxShown = false;
    bool m_bSendEnabled = false;
    bool m_bForwardEnabled = false;
    bool m_bReplyEnabled = false;
    bool m_bCallEnabled = false;
    bool m_bTableFiltered = false;
    QString m_strSearchText;
    // Cells a search took out of the table, deleted in steps from the event loop.
    DroppedCells m_droppedCells;

    // collaborators
    SMSStatusUILogic* m_pStatusLogicObject = nullptr;
    INotifyService* m_pNotify = nullptr;   // refreshed by notifyService() at each use
    QDialog* m_pMsgBox = nullptr;
    // Created once the store exists: the worker listens to the store's send results.
    SMSThreadUI* m_SMSThreadInst = nullptr;
    DetectMemoryDeviceThread* m_threadReadSim = nullptr;
    DetectMemoryDeviceThread* m_threadReadDevice = nullptr;
    QList<QShortcut*> m_listShortcuts;   // New, Edit, Send, Reply, Forward, Delete, Call
    QShortcut* m_pCtrlAShortcut = nullptr;
    QString m_strPluginPath;
    QString m_strPluginDir = QStringLiteral("/plugins/SMSUIPlugin/");

    // context menu and move/copy
    QMenu* m_pContextMenu = nullptr;
    QList<MENU::MenuActionItem> m_lstMenuActions;
    int m_iMoveCopyMode = 2;   // 2 move, 3 copy
    bool m_bRootViewOperation = false;
    int m_iMoveSuccess = 0;
    int m_iMoveFail = 0;
    int m_iMemoryFullMark = 0;
    // A move or copy named the full card memory in the progress window; its later results only count.
    bool m_bMemoryFullReported = false;
    // The device could not commit the running job's batch: every table is re-synced at its end.
    bool m_bBatchNotStored = false;
    void setTargetRules(int folder, bool emptySelection, bool hasRows);
    QString cardName() const;

    // alerts
    int m_iNewMsgNode = 1;
    QMutex m_mutexAnnounce;
    // Receptions not yet added to the usage file: a burst of arrivals is written once per turn
    // of the event loop instead of once (with a disk flush) per message.
    int m_iUnsavedReceptions = 0;
    void saveReceptionsForAgent();
    QPointer<ExtendDialog> m_pFlashWindow;
    QPointer<QPushButton> m_pFlashClose;
    QPointer<QTextEdit> m_pFlashText;
    QString m_strFlashContent, m_strFlashNumber, m_strFlashName, m_strFlashTime;
    QPointer<QDialog> m_pMemoryFullPopup;
    QPointer<QLabel> m_pMemoryFullLabel;
    QPointer<QPushButton> m_pMemoryFullClose;
    QTimer* m_pMemoryFullTimer = nullptr;
    QString flashText() const;
    QString memoryFullText(int kind) const;

    // export
    int m_iExportMode = 1;   // 1 selected rows, 2 every row
    void exportDialog(int mode);

    // the editor
    QPointer<SMSUIMessageEditor> m_pEditor;
    int m_iEditorMode = 0;
    bool m_bExternalRequest = false;
    QString m_strExternalNumber;
    QString m_strExternalContent;
    QString m_strLoadedNumber;
    QString m_strLoadedContent;
    QPointer<QWidget> m_pExternalParent;
    int m_iSendSuccess = 0;
    int m_iSendFail = 0;
    // A send batch whose results stop coming is ended after this long without one.
    QTimer* m_pSendWatchdog = nullptr;
    int m_iSendTimeoutMs = 120000;
public:
    void SetSendTimeout(int ms) { m_iSendTimeoutMs = ms; }
private:

    // operations handed to the worker
    int m_iOpTotal = 0;
    int m_iOpDone = 0;
    int m_iLastOperation = -1;
    bool m_bUnreadAffected = false;
    QList<int> m_listHandledIndexes;

    // configuration and state
    bool m_bShowSMCount = false;
    bool m_bSentItemsBox = false;
    bool m_bHideDoubleModeCardNode = false;
    bool m_bMultiModeCard = false;
    bool m_bLocal2Device = false;
    bool m_bAddrBookAvailable = false;
    bool m_bCallAvailable = false;
    bool m_bMemoryFullPopupAllowed = false;
    int m_iPendingMemoryFull = 0;   // kind of a memory-full report waiting for the device to be ready
    bool m_bNetworkAvailable = true;
    bool m_bCanSendSms = true;
    bool m_bSimAvailable = true;
    int m_iLastSimStatus = 1;
    int m_iMemoryFullKind = 0;
    bool m_bMainFrameShown = false;
    bool m_bRFMode = true;
    bool m_bPhonebookFlag = false;
    bool m_bSMSUpdateFlag = false;
    bool m_bNvDeviceFlag = false;
    bool m_bSimMemoryFlag = false;
};
