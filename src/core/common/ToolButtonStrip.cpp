#include "ToolButtonStrip.h"

#include "Change.h"

#include <QAbstractButton>
#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QStyle>
#include <QToolButton>

namespace {
constexpr int kSpacing = 2;

QString moreToolTip() { return Change::tr(QStringLiteral("IDS_TIP_MORE"), QStringLiteral("XFramePlugin")); }
} // namespace

ToolButtonStrip::ToolButtonStrip(const QString& group, QWidget* parent)
    : QWidget(parent), m_strGroup(group)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    m_pMore = new QToolButton(this);
    m_pMore->setObjectName(group + QStringLiteral("_ToolBarMore"));
    m_pMore->setAutoRaise(true);
    m_pMore->setPopupMode(QToolButton::InstantPopup);
    m_pMore->setText(QStringLiteral("\u00bb"));
    m_pMore->setIcon(style()->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton, nullptr, this));
    m_pMore->setToolTip(moreToolTip());
    m_pMore->installEventFilter(this);
    m_pMore->hide();
    m_pMoreMenu = new QMenu(this);
    m_pMoreMenu->setObjectName(group + QStringLiteral("_ToolBarMoreMenu"));
    m_pMoreMenu->setToolTipsVisible(true);
    m_pMore->setMenu(m_pMoreMenu);
    connect(m_pMoreMenu, &QMenu::aboutToShow, this, [this] { fillMoreMenu(); });
}

void ToolButtonStrip::AddButton(QAbstractButton* button)
{
    if (!button)
        return;
    button->setParent(this);
    m_buttons.append(button);
    updateGeometry();
    placeButtons();
}

QList<QAbstractButton*> ToolButtonStrip::buttons() const
{
    QList<QAbstractButton*> list;
    for (const QPointer<QAbstractButton>& b : m_buttons)
        if (b)
            list.append(b);
    return list;
}

QList<QAbstractButton*> ToolButtonStrip::ShownButtons() const { return buttons().mid(0, m_iShown); }
QList<QAbstractButton*> ToolButtonStrip::OverflowButtons() const { return buttons().mid(m_iShown); }

QSize ToolButtonStrip::sizeHint() const
{
    int width = 0, height = m_pMore->sizeHint().height();
    const QList<QAbstractButton*> list = buttons();
    for (QAbstractButton* b : list) {
        const QSize hint = b->sizeHint();
        width += hint.width();
        height = qMax(height, hint.height());
    }
    if (list.size() > 1)
        width += kSpacing * (list.size() - 1);
    return QSize(width, height);
}

QSize ToolButtonStrip::minimumSizeHint() const
{
    // The ">>" button alone: every command stays reachable through its menu.
    return QSize(m_pMore->sizeHint().width(), sizeHint().height());
}

void ToolButtonStrip::placeButtons()
{
    const QList<QAbstractButton*> list = buttons();
    int shown = list.size();
    if (sizeHint().width() > width()) {
        const int room = width() - m_pMore->sizeHint().width() - kSpacing;
        int used = 0;
        shown = 0;
        for (QAbstractButton* b : list) {
            const int w = b->sizeHint().width();
            if (used + w > room)
                break;
            used += w + kSpacing;
            ++shown;
        }
    }
    m_iShown = shown;
    int x = 0;
    auto place = [this, &x](QWidget* w) {
        const QSize hint = w->sizeHint();
        const int h = qMin(hint.height(), height());
        const QRect logical(x, (height() - h) / 2, hint.width(), h);
        w->setGeometry(QStyle::visualRect(layoutDirection(), rect(), logical));
        x += hint.width() + kSpacing;
    };
    for (int i = 0; i < list.size(); ++i) {
        QAbstractButton* b = list.at(i);
        if (i < shown)
            place(b);
        b->setHidden(i >= shown);
    }
    if (shown < list.size())
        place(m_pMore);
    m_pMore->setHidden(shown >= list.size());
}

void ToolButtonStrip::fillMoreMenu()
{
    m_pMoreMenu->clear();
    for (QAbstractButton* b : OverflowButtons()) {
        QAction* action = m_pMoreMenu->addAction(b->icon(), b->text());
        action->setToolTip(b->toolTip());
        action->setEnabled(b->isEnabled());
        QPointer<QAbstractButton> target = b;
        // A click on the hidden button: the button group reports it as from the row.
        connect(action, &QAction::triggered, this, [target] {
            if (target)
                target->click();
        });
    }
}

bool ToolButtonStrip::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::LayoutRequest:   // a button's text or icon changed (language, direction)
    case QEvent::FontChange:
    case QEvent::StyleChange:
    case QEvent::LayoutDirectionChange:
        if (event->type() == QEvent::LayoutDirectionChange)
            m_pMore->setIcon(style()->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton, nullptr, this));
        if (sizeHint() != m_lastHint) {
            m_lastHint = sizeHint();
            updateGeometry();
        }
        placeButtons();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

bool ToolButtonStrip::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_pMore && event->type() == QEvent::ToolTip)
        m_pMore->setToolTip(moreToolTip());   // in the language now in use
    return QWidget::eventFilter(watched, event);
}

void ToolButtonStrip::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeButtons();
}
