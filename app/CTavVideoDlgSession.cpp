// The media session of the main window: one file opened into a graph, played, stopped, shown
// and sought, and the graph's events.

#include "app/CFirstFileRender.h"
#include "app/CTavVideoDlg.h"
#include "app/MediaSession.h"
#include "common/AppMessages.h"
#include "common/Globals.h"
#include "common/PathCodec.h"
#include "common/PathParts.h"
#include "common/TimeText.h"
#include "playlist/CPlayList.h"

#include <QTimerEvent>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <thread>

namespace {

constexpr int kPositionTimer = 1;
constexpr int kPositionTimerMs = 200;
constexpr std::int64_t kSliderScale = 1000; // the position slider counts thousandths

// Seconds for the time text: truncated toward zero, and kept within what the text can show so
// that an absurd duration reported by a broken file cannot overflow the conversion.
std::int32_t WholeSeconds(double dSeconds)
{
    if (!(dSeconds > 0.0)) {
        return 0;
    }
    if (dSeconds >= static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(dSeconds);
}

} // namespace

bool CTavVideoDlg::OpenMedia(const QString& strPath, bool bPlay)
{
    std::shared_ptr<IGraphBuilder> pGraph;
    HRESULT hr = E_FAIL;
    if (m_pFirstRender == nullptr || !m_pFirstRender->Take(strPath, &pGraph, &hr)) {
        pGraph = IGraphBuilder::Create();
        hr = pGraph ? pGraph->RenderFile(strPath) : E_FAIL;
    }
    // Anything but a complete render is refused, and the session that plays goes on playing.
    if (!pGraph || hr != S_OK) {
        return false;
    }
    ReleaseSession();

    MediaSession::Take(*pGraph, g_hMainWnd);
    pGraph.reset(); // the graph lives on through the session pointers
    if (g_pBasicAudio) {
        g_pBasicAudio->put_Volume(m_sliderVolume.value());
    }
    MediaSession::ShowIn(m_videoPanel);

    m_strCurrentFile = strPath;
    m_bAtEnd = false;
    m_dDuration = GetDurationSeconds();
    m_staticTime.setText(FormatTime(WholeSeconds(m_dDuration)));
    EnablePlayButton();
    const PathParts parts = PathParts::Split(strPath);
    setWindowTitle(QStringLiteral("Vessa Video Player - ") +
                   PathDisplayText(parts.fname + parts.ext));
    ++m_nSession;

    OnPlay();
    if (!bPlay) {
        // Run for a moment, then stop: the file is loaded and left stopped.
        std::this_thread::yield();
        OnStop();
    }
    return true;
}

void CTavVideoDlg::EnablePlayButton()
{
    m_btnPlay.EnableButton(true);
    m_btnPlay.repaint();
}

void CTavVideoDlg::ReleaseSession()
{
    MediaSession::Release();
    m_bSeekOnCurrentSession = false;
    OnSessionChanged();
}

void CTavVideoDlg::OnPlay()
{
    if (!g_pMediaControl) {
        return;
    }
    g_bPlaying = true;
    if (m_bAtEnd && g_pMediaSeeking) {
        // At its end the file has nothing left to play: Play starts it again.
        REFERENCE_TIME rtStart = 0;
        g_pMediaSeeking->SetPositions(&rtStart, AM_SEEKING_AbsolutePositioning, nullptr,
                                      AM_SEEKING_NoPositioning);
    }
    m_bAtEnd = false;
    g_pMediaControl->Run();
    SetTimer(kPositionTimer, kPositionTimerMs);
    update();
    OnSessionChanged();
}

void CTavVideoDlg::OnStop()
{
    if (g_bPlaying) {
        if (g_pMediaControl) {
            g_pMediaControl->Stop();
        }
        g_bPlaying = false;
    }
    if (g_bCaptureActive) {
        EndCapturePreview();
    }
    OnSessionChanged();
}

double CTavVideoDlg::GetDurationSeconds() const
{
    REFERENCE_TIME rtDuration = 0;
    if (!g_pMediaSeeking || g_pMediaSeeking->GetDuration(&rtDuration) != S_OK) {
        return 0.0;
    }
    return MediaTimeToSeconds(rtDuration);
}

double CTavVideoDlg::GetPositionSeconds() const
{
    REFERENCE_TIME rtPosition = 0;
    if (!g_pMediaSeeking || g_pMediaSeeking->GetCurrentPosition(&rtPosition) != S_OK) {
        return 0.0;
    }
    return MediaTimeToSeconds(rtPosition);
}

void CTavVideoDlg::SetTimer(int nIdEvent, int nElapseMs)
{
    if (nIdEvent == kPositionTimer) {
        m_timerPosition.start(nElapseMs, this);
    }
}

void CTavVideoDlg::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_timerPosition.timerId()) {
        OnTimer(kPositionTimer);
        return;
    }
    QDialog::timerEvent(event);
}

void CTavVideoDlg::OnTimer(int nIdEvent)
{
    if (nIdEvent != kPositionTimer || m_bSeeking || !g_pMediaSeeking) {
        return;
    }
    REFERENCE_TIME rtCurrent = 0;
    REFERENCE_TIME rtDuration = 0;
    g_pMediaSeeking->GetCurrentPosition(&rtCurrent);
    g_pMediaSeeking->GetDuration(&rtDuration);
    // A file without a known duration has no position to show: the slider stays at 0.
    const std::int64_t nPos = rtDuration > 0 ? rtCurrent * kSliderScale / rtDuration : 0;
    m_sliderPosition.setValue(static_cast<int>(nPos));
    m_staticTime.setText(FormatTime(WholeSeconds(MediaTimeToSeconds(rtCurrent))));
}

void CTavVideoDlg::OnPositionSliderDraw()
{
    if (!m_bSeeking) {
        return;
    }
    const int nPos = m_sliderPosition.value();
    m_staticTime.setText(FormatTime(WholeSeconds(nPos * m_dDuration / 1000.0)));
    SeekToSliderPosition();
}

void CTavVideoDlg::SeekToSliderPosition()
{
    // The slider was taken hold of on another session's file: its position means nothing here.
    if (!g_pMediaSeeking || !m_bSeekOnCurrentSession) {
        return;
    }
    REFERENCE_TIME rtDuration = 0;
    g_pMediaSeeking->GetDuration(&rtDuration);
    // Without a known duration there is nowhere to seek to.
    if (rtDuration <= 0) {
        return;
    }
    REFERENCE_TIME rtTarget = m_sliderPosition.value() * rtDuration / kSliderScale;
    g_pMediaSeeking->SetPositions(&rtTarget, AM_SEEKING_AbsolutePositioning, nullptr,
                                  AM_SEEKING_NoPositioning);
    m_bAtEnd = false;
}

void CTavVideoDlg::OnVolumeSliderDraw()
{
    if (g_pBasicAudio) {
        g_pBasicAudio->put_Volume(m_sliderVolume.value());
    }
    OnSessionChanged();
}

LResult CTavVideoDlg::OnSeekBegin(WParam, LParam)
{
    m_bSeeking = true;
    m_bSeekOnCurrentSession = g_pMediaSeeking != nullptr;
    return 0;
}

LResult CTavVideoDlg::OnSeekEnd(WParam, LParam)
{
    SeekToSliderPosition();
    m_bSeeking = false;
    m_bSeekOnCurrentSession = false;
    return 0;
}

LResult CTavVideoDlg::OnGraphNotify(WParam, LParam)
{
    if (!g_pMediaEvent) {
        return E_POINTER;
    }
    long lEventCode = 0;
    LParam lParam1 = 0;
    LParam lParam2 = 0;
    // Read the pointer afresh for every event: the next entry may have opened a new session
    // (or none) inside the loop, and its events are drained here too.
    while (true) {
        const std::shared_ptr<IMediaEventEx> pEvent = g_pMediaEvent;
        if (!pEvent || Failed(pEvent->GetEvent(&lEventCode, &lParam1, &lParam2, 0))) {
            break;
        }
        pEvent->FreeEventParams(lEventCode, lParam1, lParam2);
        if (g_bCaptureActive) {
            if (IsCaptureEndEvent(lEventCode)) {
                EndCapturePreview(); // the device went away: ended as Stop ends it
            }
        } else if (lEventCode == EC_COMPLETE) {
            // Stays set when no next entry opens: the last file waits at its end.
            m_bAtEnd = pEvent == g_pMediaEvent;
            m_pPlayList->PlayNextEntry();
        }
    }
    // The last file's end, a device gone: the session may have stopped playing.
    OnSessionChanged();
    return 0;
}
