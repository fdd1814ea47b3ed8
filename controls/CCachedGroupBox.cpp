#include "controls/CCachedGroupBox.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStylePainter>

namespace {

// The only background a pixmap can be painted on beforehand: the same wherever it lies.
bool IsPlainColour(const QBrush& brush)
{
    return brush.style() == Qt::SolidPattern && brush.isOpaque();
}

} // namespace

CCachedGroupBox::CCachedGroupBox(QWidget* parent) : QGroupBox(parent)
{
    setAutoFillBackground(IsPlainColour(palette().brush(backgroundRole())));
}

bool CCachedGroupBox::ShowsOptions(const QStyleOptionGroupBox& option) const
{
    const QStyleOptionGroupBox& was = m_paintedFrom;
    return !m_painted.isNull() && m_painted.devicePixelRatio() == devicePixelRatioF() &&
           m_paintedFont == font() && option.rect == was.rect && option.state == was.state &&
           option.direction == was.direction &&
           option.palette.cacheKey() == was.palette.cacheKey() && option.text == was.text &&
           option.textAlignment == was.textAlignment && option.textColor == was.textColor &&
           option.features == was.features && option.lineWidth == was.lineWidth &&
           option.midLineWidth == was.midLineWidth && option.subControls == was.subControls &&
           option.activeSubControls == was.activeSubControls;
}

void CCachedGroupBox::paintEvent(QPaintEvent* event)
{
    if (!autoFillBackground()) {
        QGroupBox::paintEvent(event);
        return;
    }
    const QBrush background = palette().brush(backgroundRole());
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    if (!ShowsOptions(option)) {
        const qreal ratio = devicePixelRatioF();
        m_painted = QPixmap(size() * ratio);
        m_painted.setDevicePixelRatio(ratio);
        m_painted.fill(background.color());
        // Set up as a painter on the widget itself would be.
        QStylePainter painter(&m_painted, this);
        painter.setPen(QPen(palette().brush(foregroundRole()), 1));
        painter.setBackground(background);
        painter.setFont(font());
        painter.setLayoutDirection(layoutDirection());
        painter.drawComplexControl(QStyle::CC_GroupBox, option);
        m_paintedFrom = option;
        m_paintedFont = font();
    }
    QPainter painter(this);
    const QRect dirty = event->rect();
    const qreal ratio = m_painted.devicePixelRatio();
    painter.drawPixmap(dirty, m_painted,
                       QRectF(QPointF(dirty.topLeft()) * ratio, QSizeF(dirty.size()) * ratio));
}

void CCachedGroupBox::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange) {
        setAutoFillBackground(IsPlainColour(palette().brush(backgroundRole())));
    }
    // A new style may draw differently from the same options.
    if (event->type() == QEvent::StyleChange) {
        m_painted = QPixmap();
    }
    QGroupBox::changeEvent(event);
}
