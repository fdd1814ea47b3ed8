#pragma once

#include <QWidget>

// The area the video is shown in. It has a native window of its own, into which the media layer
// puts the video window the sink draws into; the panel itself always paints black, so that
// whatever the picture does not cover (nothing shown, a hidden picture, a resize in progress) is
// black and never garbage. A double click with the left button is announced (the main window
// switches full-screen form on it).
class CVideoPanel : public QWidget
{
    Q_OBJECT

public:
    explicit CVideoPanel(QWidget* parent = nullptr);

    // The panel's native window, made now if needed and known to the X server by the time this
    // returns: the media layer puts its video window into it from a connection of its own.
    quintptr VideoOwnerHandle();

    // The panel's size in the pixels of its native window, which is what the X server and the
    // video sink count in. On a scaled desktop (HiDPI) that is the logical size times the scale
    // factor of the screen the panel is on.
    QSize NativeSize() const;

Q_SIGNALS:
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};
