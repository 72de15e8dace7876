#include "ToolBarLogic.h"

#include "Change.h"
#include "CommonUtils.h"
#include "ExtendLineEdit.h"
#include "ToolButtonStrip.h"

#include <QButtonGroup>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QToolButton>

namespace {

QString imagePath(const QString& group, const QString& file)
{
    return CommonUtils::GetPluginLibraryPath() + QStringLiteral("/plugins/") + group + QLatin1Char('/') + file;
}

QIcon iconFor(const QString& group, const ToolItem& item, bool mirrored)
{
    QIcon icon;
    const struct { QString file; QIcon::Mode mode; } looks[] = {
        {item.enabled, QIcon::Normal}, {item.disabled, QIcon::Disabled}};
    for (const auto& look : looks) {
        if (look.file.isEmpty())
            continue;
        QImage image(imagePath(group, look.file));
        if (image.isNull())
            continue;   // a missing image leaves the button with its text only
        if (mirrored)
            image = image.mirrored(true, false);
        icon.addPixmap(QPixmap::fromImage(image), look.mode);
    }
    return icon;
}

QToolButton* buttonOf(const ToolItem& item) { return qobject_cast<QToolButton*>(item.button); }

} // namespace

bool ToolBarLogic::CreateToolBar(const QString& group, QWidget* parent, QList<ToolItem>& items,
                                 QButtonGroup** buttonGroup, QHBoxLayout** layout,
                                 SearchLineEdit** search, QLabel** label)
{
    if (!parent || !buttonGroup || !layout || items.isEmpty())
        return false;
    auto* box = new QHBoxLayout(parent);
    box->setContentsMargins(4, 2, 4, 2);
    box->setSpacing(2);
    auto* groupObj = new QButtonGroup(parent);
    groupObj->setExclusive(false);
    // The buttons shrink into a ">>" menu rather than widen the page.
    auto* strip = new ToolButtonStrip(group, parent);
    strip->setObjectName(group + QStringLiteral("_ToolButtons"));
    for (ToolItem& item : items) {
        auto* button = new QToolButton(strip);
        button->setObjectName(group + QStringLiteral("_ToolButton") + QString::number(item.id));
        button->setAutoRaise(true);
        const QIcon icon = iconFor(group, item, false);
        const QString text = Change::tr(item.tooltip, group);
        button->setText(text);
        button->setToolTip(text);
        if (!icon.isNull()) {
            button->setIcon(icon);
            button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        }
        item.bSearch = item.tooltip == QLatin1String("IDS_TIP_SEARCH");
        item.button = button;
        groupObj->addButton(button, item.id);
        strip->AddButton(button);
    }
    box->addWidget(strip);
    auto* stretch = new QLabel(parent);
    stretch->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    box->addWidget(stretch, 1);
    auto* searchBox = new SearchLineEdit(parent);
    searchBox->setObjectName(group + QStringLiteral("_SearchLineEdit"));
    searchBox->setPlaceholderText(Change::tr(QStringLiteral("IDS_TIP_SEARCH"), group));
    searchBox->hide();
    box->addWidget(searchBox);

    *buttonGroup = groupObj;
    *layout = box;
    if (search)
        *search = searchBox;
    if (label)
        *label = stretch;
    return true;
}

QString ToolBarLogic::GetObjectName(const QString& group) { return group + QStringLiteral("_ToolBar"); }

int ToolBarLogic::EnableDisableItem(const QString&, QList<ToolItem>& items, int id, bool enable)
{
    for (ToolItem& item : items) {
        if (item.id == id) {
            if (item.button)
                item.button->setEnabled(enable);
            return 0;
        }
    }
    return 1;
}

void ToolBarLogic::ShowHideSearchBox(QWidget* toolBar, QHBoxLayout*, SearchLineEdit* search, bool show)
{
    if (!search)
        return;
    search->setVisible(show);
    if (show)
        search->setFocus(Qt::OtherFocusReason);
    if (toolBar)
        toolBar->updateGeometry();
}

void ToolBarLogic::ChangeToolBarIconDirection(const QString& group, QList<ToolItem>& items, bool rightToLeft,
                                              QLabel** label)
{
    for (ToolItem& item : items) {
        if (QToolButton* b = buttonOf(item)) {
            const QIcon icon = iconFor(group, item, rightToLeft);
            if (!icon.isNull())
                b->setIcon(icon);
        }
    }
    if (label && *label)
        (*label)->setAlignment(rightToLeft ? Qt::AlignLeft : Qt::AlignRight);
}

void ToolBarLogic::DestroyToolButtonGroup(QList<ToolItem>& items, QButtonGroup** buttonGroup)
{
    for (ToolItem& item : items) {
        delete item.button;
        item.button = nullptr;
    }
    if (buttonGroup) {
        delete *buttonGroup;
        *buttonGroup = nullptr;
    }
}
