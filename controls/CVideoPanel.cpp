#include "controls/CVideoPanel.h"

#include "common/Globals.h"

#include <QMouseEvent>
#include <QPainter>

CVideoPanel::CVideoPanel(QWidget* parent) : QWidget(parent)
{
    // The sink needs a window id of the panel's own; the panel covers its whole area itself, so
    // Qt must not fill a background under it (that would wipe the picture on every repaint).
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
}

void CVideoPanel::paintEvent(QPaintEvent* /*event*/)
{
    if (g_bPlaying || g_bCaptureActive) {
        return;
    }
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
}

void CVideoPanel::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        Q_EMIT doubleClicked();
    }
    QWidget::mouseDoubleClickEvent(event);
}
