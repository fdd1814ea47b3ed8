#pragma once

#include <QFont>
#include <QGroupBox>
#include <QPixmap>
#include <QStyleOptionGroupBox>

// A group box that paints its frame and title once and then copies them from a pixmap, until
// anything they are drawn from changes (size, title, state, palette, font, style, screen).
//
// The controls on a group box do not paint their own background, so each repaint of one repaints
// the group box beneath it: the position slider and the time text, several times a second while
// a film plays. Fusion, for one, lays the title out again and reloads its frame image for every
// such repaint, which made up a quarter of the main thread's work during playback.
//
// The box fills its background with its palette's window colour, as the window beneath it does,
// so that the pixmap is opaque and the title keeps the text rendering the window has. Where that
// colour is not a plain opaque one, it paints as any group box does.
class CCachedGroupBox : public QGroupBox
{
    Q_OBJECT

public:
    explicit CCachedGroupBox(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool ShowsOptions(const QStyleOptionGroupBox& option) const;

    QPixmap m_painted;
    QStyleOptionGroupBox m_paintedFrom; // with the font and pixel ratio below, what m_painted shows
    QFont m_paintedFont;
};
