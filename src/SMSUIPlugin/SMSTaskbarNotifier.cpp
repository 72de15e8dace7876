#include "SMSTaskbarNotifier.h"

#include "CommonUtils.h"

#include <QGuiApplication>
#include <QScreen>

namespace {
SMSTaskbarNotifier* g_notifier = nullptr;
const int kShownMs = 6000;
}

SMSTaskbarNotifier* SMSTaskbarNotifier::Instance()
{
    if (!g_notifier)
        g_notifier = new SMSTaskbarNotifier;
    return g_notifier;
}

SMSTaskbarNotifier* SMSTaskbarNotifier::Existing() { return g_notifier; }

void SMSTaskbarNotifier::Release()
{
    delete g_notifier;
    g_notifier = nullptr;
}

SMSTaskbarNotifier::SMSTaskbarNotifier() : QLabel(nullptr, Qt::ToolTip | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("SMSUIPlugin_TaskbarNotifier"));
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setMargin(12);
    setFixedWidth(280);
    m_hideTimer.setSingleShot(true);
    connect(&m_hideTimer, &QTimer::timeout, this, &QWidget::hide);
}

void SMSTaskbarNotifier::Show(const QString& message)
{
    setText(message);
    adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.right() - width() - 8, area.bottom() - height() - 8);
    }
    show();
    m_hideTimer.start(kShownMs);
}

void SMSTaskbarNotifier::mousePressEvent(QMouseEvent*)
{
    hide();
    emit opened();
}
