#include "ExtendDialog.h"

#include <QLabel>
#include <QVBoxLayout>

ExtendDialog::ExtendDialog(QWidget* parent, Qt::WindowFlags flags, int type, bool customTitle)
    : QDialog(parent, flags), m_bCustomTitle(customTitle), m_iType(type)
{
    m_pLayout = new QVBoxLayout(this);
    m_pLayout->setContentsMargins(0, 0, 0, 0);
    m_pLayout->setSpacing(0);
    if (m_bCustomTitle) {
        m_pTitle = new QLabel(this);
        m_pTitle->setObjectName(QStringLiteral("ExtendDialog_Title"));
        m_pTitle->setContentsMargins(8, 4, 8, 4);
        QFont f = m_pTitle->font();
        f.setBold(true);
        m_pTitle->setFont(f);
        m_pLayout->addWidget(m_pTitle);
    }
    if (m_iType == 1)
        setAttribute(Qt::WA_ShowWithoutActivating, false);
}

void ExtendDialog::AddMainWidget(QWidget* widget)
{
    if (!widget || widget == m_pMainWidget)
        return;
    if (m_pMainWidget) {
        m_pLayout->removeWidget(m_pMainWidget);
        m_pMainWidget->deleteLater();
    }
    m_pMainWidget = widget;
    widget->setParent(this);
    m_pLayout->addWidget(widget, 1);
}

void ExtendDialog::setWindowTitle(const QString& title)
{
    QDialog::setWindowTitle(title);
    if (m_pTitle)
        m_pTitle->setText(title);
}

void ExtendDialog::changeSize(int width, int height)
{
    resize(width, height);
}

bool ExtendDialog::OnCloseRequested() { return true; }

void ExtendDialog::reject()
{
    if (OnCloseRequested())
        QDialog::reject();
}
