// Builds a menu from a section of the host's menu file (<library path>/config/<file>).
//
// File format:
//   <menus>
//     <menu name="listview">
//       <item id="IDS_MENU_NEW"/>
//       <separator/>
//       <submenu id="IDS_MENU_MOVE2" name="Move to"> <item id="IDS_TREE_LOCAL"/> ... </submenu>
//     </menu>
//   </menus>
// Every item becomes a QAction whose text is the translation of its id (shortcut part dropped:
// callers set shortcuts themselves).
#pragma once

#include <QList>
#include <QString>

class QAction;
class QMenu;
class QWidget;

namespace MENU {

struct MenuActionItem {
    QString id;        // resource id of the entry
    QAction* action = nullptr;
    QString submenu;   // English name of the submenu holding the entry ("Move to", ...), else empty
};

class QBuildMenu
{
public:
    QBuildMenu(const QString& group, const QString& file);

    // The menu of `section`, parented to `parent`, or null when the file or section is missing or
    // malformed (logged). `actions` receives every entry, submenu entries included, in file order.
    QMenu* CreateMenuBar(const QString& section, QWidget* parent, QList<MenuActionItem>* actions);

    QString errorString() const { return m_strError; }
    QString filePath() const;

private:
    QString m_strGroup;
    QString m_strFile;
    QString m_strError;
};

} // namespace MENU
