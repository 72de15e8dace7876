// The host's tool-bar builder. A plug-in describes its tool items (from its configuration) and the
// host creates the buttons, the search box and the strip's layout.
#pragma once

#include <QList>
#include <QString>

class QButtonGroup;
class QHBoxLayout;
class QLabel;
class QWidget;
class SearchLineEdit;

struct ToolItem {
    int id = 0;
    QString tooltip;       // resource id of the tool tip ("IDS_TIP_SEARCH" marks the search item)
    QString enabled;       // image file (relative to the plug-in's data folder) for the enabled look
    QString disabled;      // image file for the disabled look
    bool bSearch = false;  // the item toggles the search box
    QWidget* button = nullptr;  // created by CreateToolBar
    QString pluginName;    // plug-in that must be in the container for the item to be shown
};

class ToolBarLogic
{
public:
    // Builds one button per item inside `parent`, plus a hidden search box and a stretch label.
    // The buttons sit in a ToolButtonStrip ("<group>_ToolButtons"): where the row is narrower
    // than all of them, the last ones are hidden and offered by its ">>" button's menu.
    // Fills the out parameters; false when `parent` is null or there is nothing to build.
    static bool CreateToolBar(const QString& group, QWidget* parent, QList<ToolItem>& items,
                              QButtonGroup** buttonGroup, QHBoxLayout** layout,
                              SearchLineEdit** search, QLabel** label);
    static QString GetObjectName(const QString& group);
    // 0 when the item exists (and now has the requested state), 1 when no item has that id.
    static int EnableDisableItem(const QString& group, QList<ToolItem>& items, int id, bool enable);
    static void ShowHideSearchBox(QWidget* toolBar, QHBoxLayout* layout, SearchLineEdit* search, bool show);
    // Mirrors the item images for a right-to-left layout and moves the label to the other end.
    static void ChangeToolBarIconDirection(const QString& group, QList<ToolItem>& items, bool rightToLeft,
                                           QLabel** label);
    static void DestroyToolButtonGroup(QList<ToolItem>& items, QButtonGroup** buttonGroup);
};
