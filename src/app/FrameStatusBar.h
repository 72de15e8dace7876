// The frame's status bar. QStatusBar paints a temporary message up to the first permanent widget
// and cuts it off mid-letter against it (the send indicator); this one leaves a gap, ends a
// message that does not fit with an ellipsis and shows the whole text as its tool tip.
#pragma once

#include <QStatusBar>

class FrameStatusBar : public QStatusBar
{
public:
    explicit FrameStatusBar(QWidget* parent = nullptr);

    // Where the temporary message is painted, and the text as painted there.
    QRect MessageRect() const;
    QString ShownMessage() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
