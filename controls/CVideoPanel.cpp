#include "controls/CVideoPanel.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>

#ifdef VESSA_HAVE_XCB
#include <QtGui/qguiapplication_platform.h>

#include <cstdlib>
#include <xcb/xcb.h>
#endif

CVideoPanel::CVideoPanel(QWidget* parent) : QWidget(parent)
{
    // The video window goes into a window id of the panel's own; the panel covers its whole area
    // itself, so Qt need not fill a background under it.
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
}

quintptr CVideoPanel::VideoOwnerHandle()
{
    const auto handle = static_cast<quintptr>(winId());
#ifdef VESSA_HAVE_XCB
    // Qt sends the window's creation when it next flushes its connection; a round trip makes sure
    // the server has it before another client uses the id.
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    if (connection != nullptr) { // not on other platforms (offscreen)
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    }
#endif
    return handle;
}

QSize CVideoPanel::NativeSize() const
{
    // Rounded as Qt rounds the native window's own geometry.
    return size() * devicePixelRatioF();
}

void CVideoPanel::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::black);
}

void CVideoPanel::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        Q_EMIT doubleClicked();
    }
    QWidget::mouseDoubleClickEvent(event);
}
