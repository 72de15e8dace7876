// The new-message popup near the corner of the screen. It shows a text for a few seconds;
// clicking it brings the SMS page forward.
#pragma once

#include <QLabel>
#include <QTimer>

class SMSTaskbarNotifier : public QLabel
{
    Q_OBJECT
public:
    static SMSTaskbarNotifier* Instance();
    static SMSTaskbarNotifier* Existing();
    static void Release();

    void Show(const QString& text);
    QString Text() const { return text(); }

signals:
    void opened();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    SMSTaskbarNotifier();
    QTimer m_hideTimer;
};
