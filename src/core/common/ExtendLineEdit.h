// Host line edits: ExtendLineEdit can switch its context menu off; SearchLineEdit is the tool
// bar's search box with a clear button.
#pragma once

#include <QLineEdit>

class ExtendLineEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit ExtendLineEdit(QWidget* parent = nullptr);
    void setContextMenuEnabled(bool enabled);
    bool isContextMenuEnabled() const { return m_bContextMenu; }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    bool m_bContextMenu = true;
};

class SearchLineEdit : public ExtendLineEdit
{
    Q_OBJECT
public:
    explicit SearchLineEdit(QWidget* parent = nullptr);
};
