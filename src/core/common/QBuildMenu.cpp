#include "QBuildMenu.h"

#include "Change.h"
#include "CommonUtils.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QXmlStreamReader>

namespace MENU {

QBuildMenu::QBuildMenu(const QString& group, const QString& file) : m_strGroup(group), m_strFile(file) {}

QString QBuildMenu::filePath() const
{
    return CommonUtils::GetPluginLibraryPath() + QStringLiteral("/config/") + m_strFile;
}

QMenu* QBuildMenu::CreateMenuBar(const QString& section, QWidget* parent, QList<MenuActionItem>* actions)
{
    QFile file(filePath());
    if (!file.open(QIODevice::ReadOnly)) {
        m_strError = QStringLiteral("cannot open %1").arg(file.fileName());
        qWarning("QBuildMenu: %s", qPrintable(m_strError));
        return nullptr;
    }
    QXmlStreamReader xml(&file);
    QMenu* root = nullptr;
    QMenu* current = nullptr;
    QString currentSubmenu;
    QList<MenuActionItem> found;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto name = xml.name();
            const QString id = xml.attributes().value(QStringLiteral("id")).toString();
            if (name == QLatin1String("menu") && !root
                && xml.attributes().value(QStringLiteral("name")) == section) {
                root = new QMenu(parent);
                current = root;
            } else if (!current) {
                continue;
            } else if (name == QLatin1String("item")) {
                QAction* action = current->addAction(Change::tr(id, m_strGroup));
                action->setObjectName(id);
                found.append({id, action, currentSubmenu});
            } else if (name == QLatin1String("separator")) {
                current->addSeparator();
            } else if (name == QLatin1String("submenu") && current == root) {
                currentSubmenu = xml.attributes().value(QStringLiteral("name")).toString();
                current = root->addMenu(Change::tr(id, m_strGroup));
                current->setObjectName(currentSubmenu);
                found.append({id, current->menuAction(), QString()});
            }
        } else if (xml.isEndElement()) {
            if (xml.name() == QLatin1String("submenu") && current && current != root) {
                current = root;
                currentSubmenu.clear();
            } else if (xml.name() == QLatin1String("menu") && current == root && root) {
                current = nullptr;
                break;
            }
        }
    }
    if (xml.hasError()) {
        m_strError = QStringLiteral("%1: line %2: %3").arg(file.fileName()).arg(xml.lineNumber()).arg(xml.errorString());
        qWarning("QBuildMenu: %s", qPrintable(m_strError));
        delete root;
        return nullptr;
    }
    if (!root) {
        m_strError = QStringLiteral("no menu '%1' in %2").arg(section, file.fileName());
        qWarning("QBuildMenu: %s", qPrintable(m_strError));
        return nullptr;
    }
    if (actions)
        *actions = found;
    return root;
}

} // namespace MENU
