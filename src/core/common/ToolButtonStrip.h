// The row of tool buttons that ToolBarLogic builds. It asks for the width of all its buttons but
// makes do with less: the buttons that do not fit are hidden and offered, in their order, by a
// ">>" button at the end of the row (as QToolBar's extension does). A strip that cannot shrink
// would take the width the page needs for its other panels (a folder tree's labels).
#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

class QAbstractButton;
class QMenu;
class QToolButton;

class ToolButtonStrip : public QWidget
{
public:
    // `group` names the strip's own objects ("<group>_ToolBarMore") and its translations.
    ToolButtonStrip(const QString& group, QWidget* parent);

    void AddButton(QAbstractButton* button);
    // The buttons now shown in the row / offered by the ">>" menu, in their order.
    QList<QAbstractButton*> ShownButtons() const;
    QList<QAbstractButton*> OverflowButtons() const;
    QToolButton* MoreButton() const { return m_pMore; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeButtons();
    void fillMoreMenu();
    QList<QAbstractButton*> buttons() const;

    QString m_strGroup;
    QList<QPointer<QAbstractButton>> m_buttons;
    QToolButton* m_pMore = nullptr;
    QMenu* m_pMoreMenu = nullptr;
    int m_iShown = 0;          // the first m_iShown buttons are in the row
    QSize m_lastHint;
};
