// The host's framed dialog: a QDialog with an optional custom title strip and one central widget.
#pragma once

#include <QDialog>

class QLabel;
class QVBoxLayout;

class ExtendDialog : public QDialog
{
    Q_OBJECT
public:
    // `type` selects the frame look (0 plain, 1 popup); `customTitle` draws the host's own title
    // strip above the central widget instead of relying on the window manager's.
    ExtendDialog(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags(), int type = 0,
                 bool customTitle = false);

    void AddMainWidget(QWidget* widget);
    QWidget* MainWidget() const { return m_pMainWidget; }
    void setWindowTitle(const QString& title);
    void changeSize(int width, int height);
    bool HasCustomTitle() const { return m_bCustomTitle; }

    // Called when the user asks to close the frame (title close button, Escape). Returning false
    // keeps the dialog open; derived dialogs use it to ask about unsaved work.
    virtual bool OnCloseRequested();

protected:
    void reject() override;

private:
    QVBoxLayout* m_pLayout = nullptr;
    QLabel* m_pTitle = nullptr;
    QWidget* m_pMainWidget = nullptr;
    bool m_bCustomTitle = false;
    int m_iType = 0;
};
