// The main window's layout and its three forms: normal, compact and full-screen.

#include "app/CTavVideoDlg.h"
#include "app/MediaSession.h"
#include "common/Globals.h"
#include "controls/WindowFrame.h"

#include <QGuiApplication>
#include <QMoveEvent>
#include <QScreen>
#include <QWindow>

#include <algorithm>

namespace {

constexpr int kStripWidth = 574;     // the group box around the control strip
constexpr int kNormalBarHeight = 64; // pixels kept for the strip in the normal form
constexpr int kButtonWidth = 32;
constexpr int kCheckBoxWidth = 60;
constexpr int kSliderHeight = 20;

} // namespace

void CTavVideoDlg::LayoutControls()
{
    const QRect rcClient = rect();
    const int nBar = g_nControlBarHeight.load();
    QWidget* const strip[] = {&m_grpControls, &m_btnCompact, &m_btnDeleteFile,  &m_btnOpen,
                              &m_btnNext,     &m_btnPlay,    &m_btnPrev,        &m_btnVideoIn,
                              &m_chkPlayList, &m_btnStop,    &m_sliderPosition, &m_staticTime,
                              &m_sliderVolume};

    if (m_bFullScreen) {
        for (QWidget* control : strip) {
            control->setGeometry(0, 0, 0, 0);
        }
        m_videoPanel.setGeometry(rcClient);
        MediaSession::FitTo(m_videoPanel);
        ShowPlayList(false);
        return;
    }

    // Client coordinates with an exclusive bottom edge, as the strip's arithmetic expects.
    const int nBottom = rcClient.top() + rcClient.height();
    const int x0 = std::max(0, (rcClient.width() - kStripWidth) / 2);
    m_grpControls.setGeometry(x0, nBottom - nBar + 8, kStripWidth, nBar - 16);

    const int h = nBar - 39;
    const int y = nBottom - nBar + 24;
    const int ys = nBottom - nBar + 26;
    struct Slot
    {
        QWidget* control;
        int nGap;
        int y;
        int cx;
        int cy;
    };
    const Slot slots[] = {
        {&m_chkPlayList, 0, y, kCheckBoxWidth, h},
        {&m_btnOpen, 5, y, kButtonWidth, h},
        {&m_btnPrev, 5, y, kButtonWidth, h},
        {&m_btnPlay, 5, y, kButtonWidth, h},
        {&m_btnNext, 5, y, kButtonWidth, h},
        {&m_btnStop, 5, y, kButtonWidth, h},
        {&m_btnDeleteFile, 5, y, kButtonWidth, h},
        {&m_btnCompact, 5, y, kButtonWidth, h},
        {&m_sliderPosition, 5, ys, 120, kSliderHeight},
        {&m_staticTime, 5, ys, 50, kSliderHeight},
        {&m_sliderVolume, 10, ys, 50, kSliderHeight},
    };
    // Each control starts where the one before it actually ended (its geometry read back).
    int x = m_grpControls.x() + 10;
    for (const Slot& slot : slots) {
        x += slot.nGap;
        slot.control->setGeometry(x, slot.y, slot.cx, slot.cy);
        x = slot.control->x() + slot.control->width();
    }
    // Never seen, though neither hidden nor disabled.
    m_btnVideoIn.setGeometry(0, 0, 0, 0);

    m_videoPanel.setGeometry(rcClient.left(), rcClient.top(), rcClient.width(),
                             rcClient.height() - nBar);
    MediaSession::FitTo(m_videoPanel);
    update();
}

void CTavVideoDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (m_bInitialized) {
        OnSizing();
    }
}

void CTavVideoDlg::OnSizing()
{
    LayoutControls();
    DockPlayList();
}

void CTavVideoDlg::moveEvent(QMoveEvent* event)
{
    QDialog::moveEvent(event);
    OnMoving(OuterRect());
}

void CTavVideoDlg::OnMoving(const QRect& rcWindow)
{
    // The playlist window follows whether it is shown or not.
    MovePlayListTo(QPoint(rcWindow.left(), rcWindow.top() + rcWindow.height()));
}

void CTavVideoDlg::OnDblClkVideoPanel()
{
    m_bFullScreen = !m_bFullScreen;
    if (m_bFullScreen) {
        m_rcNormal = OuterRect();
        // A window manager keeps its panels above any window that merely covers the screen, and
        // may clamp such a window to the work area: there the window asks for the full-screen
        // state instead, on the screen it stands on, and the window manager takes the frame off.
        m_bManagedFullScreen = WindowFrame::WindowManagerRuns();
        if (m_bManagedFullScreen) {
            setWindowState(windowState() | Qt::WindowFullScreen);
        } else {
            SetFrameless(true);
            setGeometry(QGuiApplication::primaryScreen()->geometry());
        }
        g_nControlBarHeight.exchange(0);
        QGuiApplication::setOverrideCursor(Qt::BlankCursor);
        LayoutControls();
    } else {
        if (m_bManagedFullScreen) {
            // Left first, so that what follows places a normal window again.
            setWindowState(windowState() & ~Qt::WindowFullScreen);
        }
        if (g_bCompact) {
            OnCompact();
        }
        SetFrameless(false);
        g_nControlBarHeight.exchange(kNormalBarHeight);
        SetOuterGeometry(m_rcNormal);
        if (m_chkPlayList.isChecked()) {
            ShowPlayList(true);
        }
        QGuiApplication::restoreOverrideCursor();
        LayoutControls();
    }
}

void CTavVideoDlg::OnCompact()
{
    // The window keeps its outer rectangle; the client area takes over the caption's height.
    const QRect rcWindow = OuterRect();
    if (!g_bCompact) {
        SetFrameless(true);
        update();
        LayoutControls();
        SetOuterGeometry(rcWindow);
        raise();
        SetCompactButtonForm(true);
        g_bCompact = true;
    } else {
        SetFrameless(false);
        SetOuterGeometry(rcWindow);
        raise();
        LayoutControls();
        SetCompactButtonForm(false);
        g_bCompact = false;
    }
}

// In compact form the Compact button offers the way back: its text and image say "Normal".
void CTavVideoDlg::SetCompactButtonForm(bool bCompact)
{
    m_btnCompact.setText(bCompact ? QStringLiteral("Normal") : QStringLiteral("Compact"));
    m_btnCompact.SetRole(TavButtonRole::Uncompact, bCompact);
    m_btnCompact.SetRole(TavButtonRole::Compact, !bCompact);
    m_btnCompact.repaint();
}

void CTavVideoDlg::SetFrameless(bool bFrameless)
{
    if (bFrameless && !IsFrameless()) {
        KnownFrameMargins(); // the framed form's frame, for the way back
    }
    Qt::WindowFlags flags = windowFlags();
    flags.setFlag(Qt::FramelessWindowHint, bFrameless);
    QWindow* window = windowHandle();
    if (window == nullptr) {
        setWindowFlags(flags);
        return;
    }
    // Changed on the native window directly: QWidget::setWindowFlags would hide and re-create
    // the window, and hiding a dialog ends its modal run.
    overrideWindowFlags(flags);
    window->setFlags(flags);
}

bool CTavVideoDlg::IsFrameless() const
{
    return windowFlags().testFlag(Qt::FramelessWindowHint);
}

QMargins CTavVideoDlg::CurrentFrameMargins() const
{
    return WindowFrame::Extents(const_cast<CTavVideoDlg*>(this));
}

QMargins CTavVideoDlg::KnownFrameMargins() const
{
    // A frameless window is all client area (the frame the window manager reports for it may lag
    // behind the change of form). A framed form always gets the frame the window manager drew
    // around the framed window before: right after a framed form comes back the window manager
    // may still report the frameless one.
    if (IsFrameless()) {
        return {};
    }
    if (m_marginsFrame.isNull()) {
        m_marginsFrame = CurrentFrameMargins();
    }
    return m_marginsFrame;
}

QRect CTavVideoDlg::OuterRect() const
{
    return geometry().marginsAdded(KnownFrameMargins());
}

void CTavVideoDlg::SetOuterGeometry(const QRect& rcWindow)
{
    // A framed window's geometry is its client area; the frame comes on top of it. Before the
    // window is first shown the window manager is asked which frame it will draw, so that the
    // first placement is already right.
    if (!IsFrameless() && m_marginsFrame.isNull() && !isVisible()) {
        m_marginsFrame = WindowFrame::RequestExtents(this);
    }
    setGeometry(rcWindow.marginsRemoved(KnownFrameMargins()));
}
