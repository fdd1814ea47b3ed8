#pragma once

#include <QWidget>

// The area the video is shown in. It has a native window of its own, which the media layer's
// video sink draws into. While neither a file plays nor a capture preview runs it paints itself
// black; otherwise it paints nothing, leaving the picture alone. A double click with the left
// button is announced (the main window switches full-screen form on it).
class CVideoPanel : public QWidget
{
    Q_OBJECT

public:
    explicit CVideoPanel(QWidget* parent = nullptr);

Q_SIGNALS:
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};
