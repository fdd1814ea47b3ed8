// The main window as the desktop sees it: the screen kept on while the session plays, and the
// desktop's media keys and controls (MPRIS) acting through the window's own handlers.

#include "app/CTavVideoDlg.h"
#include "app/MediaSession.h"
#include "playlist/CPlayList.h"

#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kVolumeMin = -5000; // the volume slider's range, hundredths of a decibel
const QString kTitlePrefix = QStringLiteral("Vessa Video Player - ");

// The slider's decibels as the amplitude desktops show (0..1), its bottom end as silence.
double VolumeFromSlider(int nHundredthsDb)
{
    return nHundredthsDb <= kVolumeMin ? 0.0 : std::pow(10.0, nHundredthsDb / 2000.0);
}

int SliderFromVolume(double dVolume)
{
    if (!(dVolume > 0.0)) {
        return kVolumeMin;
    }
    return std::clamp(static_cast<int>(std::lround(2000.0 * std::log10(dVolume))), kVolumeMin, 0);
}

} // namespace

void CTavVideoDlg::StartDesktopServices()
{
    m_bDesktopStarted = true;
    m_mpris.Start();
    OnSessionChanged();
}

void CTavVideoDlg::OnSessionChanged()
{
    if (!m_bDesktopStarted || m_bDesktopUpdatePending) {
        return;
    }
    // Told once the change is complete: the step from one file to the next releases the old
    // session before the new one plays, and the screen saver must not come back in between.
    m_bDesktopUpdatePending = true;
    QTimer::singleShot(0, this, [this] {
        m_bDesktopUpdatePending = false;
        m_inhibitor.SetInhibited(MprisState().status == CMprisState::Status::Playing);
        m_mpris.Refresh();
    });
}

CMprisState CTavVideoDlg::MprisState() const
{
    CMprisState state;
    const bool bFile = g_pMediaControl != nullptr && !g_bCaptureActive;
    if (g_bCaptureActive) {
        state.status = CMprisState::Status::Playing; // a live picture plays as long as it shows
    } else if (bFile) {
        state.status =
            g_bPlaying && !m_bAtEnd ? CMprisState::Status::Playing : CMprisState::Status::Paused;
    }
    if (bFile) {
        state.strPath = m_strCurrentFile;
        const QString strTitle = windowTitle();
        state.strTitle =
            strTitle.startsWith(kTitlePrefix) ? strTitle.mid(kTitlePrefix.size()) : strTitle;
        state.dDurationSeconds = m_dDuration;
        state.dPositionSeconds = GetPositionSeconds();
    }
    state.nSession = m_nSession;
    state.dVolume = VolumeFromSlider(m_sliderVolume.value());
    // The media controls start after the playlist window exists.
    const int nRows = m_pPlayList->GetRowCount();
    const int nCurrent = m_pPlayList->GetCurrentPosition(); // 1-based; -1: none
    state.bCanGoNext = nRows > 0 && nCurrent < nRows;
    state.bCanGoPrevious = nCurrent > 1;
    return state;
}

void CTavVideoDlg::MprisRaise()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
}

void CTavVideoDlg::MprisQuit()
{
    reject(); // the Escape key's way out
}

void CTavVideoDlg::MprisPlay()
{
    OnPlay();
}

void CTavVideoDlg::MprisPause()
{
    OnStop();
}

void CTavVideoDlg::MprisNext()
{
    OnPlayNext(0, 0);
}

void CTavVideoDlg::MprisPrevious()
{
    OnPlayPrevious(0, 0);
}

void CTavVideoDlg::MprisSeekTo(double dSeconds)
{
    if (!g_pMediaSeeking || !(m_dDuration > 0.0)) {
        return;
    }
    // As a drag of the position slider to that place: the slider's resolution and end stops.
    const double dThousandths = std::clamp(dSeconds / m_dDuration * 1000.0, 0.0, 1000.0);
    OnSeekBegin(0, 0);
    m_sliderPosition.setValue(static_cast<int>(std::lround(dThousandths)));
    OnSeekEnd(0, 0);
}

void CTavVideoDlg::MprisSetVolume(double dVolume)
{
    m_sliderVolume.setValue(SliderFromVolume(dVolume));
}

void CTavVideoDlg::MprisOpen(const QString& strPath)
{
    // As a file named on the command line: played, and the current entry of the playlist.
    if (OpenMedia(strPath, true)) {
        m_pPlayList->SetCurrentEntry(m_pPlayList->AddFileEntry(strPath, QString(), m_dDuration));
    }
}
