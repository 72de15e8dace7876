#include "ExtendLineEdit.h"

#include <QContextMenuEvent>

ExtendLineEdit::ExtendLineEdit(QWidget* parent) : QLineEdit(parent) {}

void ExtendLineEdit::setContextMenuEnabled(bool enabled) { m_bContextMenu = enabled; }

void ExtendLineEdit::contextMenuEvent(QContextMenuEvent* event)
{
    if (m_bContextMenu)
        QLineEdit::contextMenuEvent(event);
    else
        event->ignore();
}

SearchLineEdit::SearchLineEdit(QWidget* parent) : ExtendLineEdit(parent)
{
    setClearButtonEnabled(true);
    setObjectName(QStringLiteral("SearchLineEdit"));
    setMinimumWidth(160);
}
