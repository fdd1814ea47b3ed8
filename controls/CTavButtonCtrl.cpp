#include "controls/CTavButtonCtrl.h"

#include "common/AppMessage.h"
#include "common/Globals.h"
#include "common/PathParts.h"

#include <QCoreApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int kIconSize = 16;

void PostToMainWindow(std::uint32_t message)
{
    if (message != 0) {
        PostAppMessage(g_hMainWnd, message);
    }
}

} // namespace

CTavButtonCtrl::CTavButtonCtrl(QWidget* parent) : QPushButton(parent)
{
    // Every pixel is painted in one pass from an off-screen image, so nothing needs erasing first
    // (erasing would flicker between the face colour and the image).
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    // These buttons act on their own click; Enter in a dialog must not press one of them.
    setAutoDefault(false);
    setDefault(false);
}

void CTavButtonCtrl::SetRole(TavButtonRole role, bool on)
{
    m_bRoles[static_cast<std::size_t>(role)] = on;
    update();
}

bool CTavButtonCtrl::HasRole(TavButtonRole role) const
{
    return m_bRoles[static_cast<std::size_t>(role)];
}

void CTavButtonCtrl::SetPowerOn(bool on)
{
    m_bPowerOn = on;
    update();
}

void CTavButtonCtrl::EnableButton(bool enabled)
{
    setEnabled(enabled);
    SetEnabledFlag(enabled);
}

void CTavButtonCtrl::SetEnabledFlag(bool enabled)
{
    m_bEnabled = enabled;
    update();
}

void CTavButtonCtrl::SetIconMode(int iconId, const QIcon& icon)
{
    m_bIconMode = true;
    m_nIconId = iconId;
    setIcon(icon);
    update();
}

QString CTavButtonCtrl::ImageName() const
{
    return TavButtonImageName(m_bRoles, m_bPowerOn, m_bSelected, m_bEnabled);
}

QString CTavButtonCtrl::ImagePath() const
{
    const QString name = ImageName();
    return name.isEmpty() ? QString() : SkinFolder() + name;
}

QString CTavButtonCtrl::SkinFolder()
{
    // Qt gives the executable's real path with links resolved, so a player started through the
    // link an install puts on the PATH finds the images installed beside the executable.
    const PathParts parts = PathParts::Split(QCoreApplication::applicationFilePath());
    return parts.drive + parts.dir;
}

void CTavButtonCtrl::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    if (m_bIconMode) {
        DrawIcon(painter);
    } else {
        DrawItem(painter);
    }
}

void CTavButtonCtrl::DrawItem(QPainter& painter)
{
    if (width() <= 0 || height() <= 0) {
        return;
    }
    // Built off-screen at the screen's pixel density and handed over in one copy. The skin file
    // is read anew on every paint, so a changed skin shows at the next repaint.
    const qreal ratio = devicePixelRatioF();
    QImage picture(size() * ratio, QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(ratio);
    picture.fill(FaceColor());

    const QString path = ImagePath();
    const QImage skin = path.isEmpty() ? QImage() : QImage(path);
    if (!skin.isNull()) {
        QPainter surface(&picture);
        surface.setRenderHint(QPainter::SmoothPixmapTransform);
        surface.drawImage(QRectF(QPointF(0, 0), QSizeF(size())), skin);
    }
    painter.drawImage(QPointF(0, 0), picture);
}

void CTavButtonCtrl::DrawIcon(QPainter& painter)
{
    // The face is filled first: with the background never erased, pixels the icon leaves
    // uncovered would otherwise show whatever was on screen before.
    painter.fillRect(rect(), FaceColor());
    const QPoint corner((width() - kIconSize) / 2, (height() - kIconSize) / 2);
    icon().paint(&painter, QRect(corner, QSize(kIconSize, kIconSize)));
}

QColor CTavButtonCtrl::FaceColor() const
{
    QColor face = palette().color(QPalette::Active, QPalette::Button);
    face.setAlpha(255);
    return face;
}

void CTavButtonCtrl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QPushButton::mousePressEvent(event);
        return;
    }
    if (event->flags().testFlag(Qt::MouseEventCreatedDoubleClick)) {
        // The second press of a double click; the double-click event that follows stands for it.
        event->accept();
        return;
    }
    OnLButtonDown(event);
}

void CTavButtonCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QPushButton::mouseReleaseEvent(event);
        return;
    }
    OnLButtonUp(event);
}

void CTavButtonCtrl::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QPushButton::mouseDoubleClickEvent(event);
        return;
    }
    OnLButtonDblClk(event);
}

void CTavButtonCtrl::changeEvent(QEvent* event)
{
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        OnEnable();
    }
}

void CTavButtonCtrl::OnLButtonDown(QMouseEvent* event)
{
    if (m_bSelected) {
        // A press while one is already held is swallowed: nothing posted, no second push.
        event->accept();
        return;
    }
    m_bSelected = true;
    // Posted, so the main window acts once this press has been handled; for Next and Prev that is
    // before the click that the release will bring.
    PostToMainWindow(TavButtonDownMessage(m_bRoles));
    QPushButton::mousePressEvent(event);
}

void CTavButtonCtrl::OnLButtonUp(QMouseEvent* event)
{
    m_bSelected = false;
    PostToMainWindow(TavButtonUpMessage(m_bRoles));
    QPushButton::mouseReleaseEvent(event);
    // The base class repaints only when the button was down; the selected image must go in any
    // case.
    update();
}

void CTavButtonCtrl::OnLButtonDblClk(QMouseEvent* event)
{
    // The second click of a double click neither selects nor pushes the button, so it brings no
    // second click: a double click on Next steps once.
    PostToMainWindow(TavButtonDoubleClickMessage(m_bRoles));
    event->accept();
}

void CTavButtonCtrl::OnEnable()
{
    m_bEnabled = isEnabled();
    if (!m_bEnabled) {
        // A disabled button gets no mouse input, so the release of a press it was holding never
        // arrives; keeping the flag would show it pressed and swallow its next press.
        m_bSelected = false;
    }
    repaint();
}
