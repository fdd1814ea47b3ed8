#include "app/MediaSession.h"

#include "common/AppMessages.h"
#include "controls/CVideoPanel.h"

std::shared_ptr<IMediaControl> g_pMediaControl;
std::shared_ptr<IMediaSeeking> g_pMediaSeeking;
std::shared_ptr<IBasicAudio> g_pBasicAudio;
std::shared_ptr<IVideoWindow> g_pVideoWindow;
std::shared_ptr<IMediaEventEx> g_pMediaEvent;
std::unique_ptr<ISampleCaptureGraphBuilder> g_pCaptureBuilder;
std::shared_ptr<IBaseFilter> g_pCaptureSource;
bool g_bPlaying = false;
bool g_bCaptureActive = false;

namespace MediaSession {

void Take(IGraphBuilder& graph, QObject* notify)
{
    g_pMediaControl = graph.QueryMediaControl();
    g_pMediaSeeking = graph.QueryMediaSeeking();
    g_pBasicAudio = graph.QueryBasicAudio();
    g_pVideoWindow = graph.QueryVideoWindow();
    g_pMediaEvent = graph.QueryMediaEventEx();
    if (g_pMediaEvent) {
        g_pMediaEvent->SetNotifyWindow(notify, WM_GRAPH_NOTIFY, 0);
    }
}

void ShowIn(CVideoPanel& panel)
{
    if (!g_pVideoWindow) {
        return;
    }
    const auto owner = static_cast<OAHWND>(panel.VideoOwnerHandle());
    g_pVideoWindow->put_Owner(owner);
    g_pVideoWindow->put_WindowStyle(WS_CHILD | WS_CLIPCHILDREN);
    FitTo(panel);
    g_pVideoWindow->put_MessageDrain(owner);
    g_pVideoWindow->put_Visible(OATRUE);
}

void FitTo(const CVideoPanel& panel)
{
    if (g_pVideoWindow) {
        const QSize size = panel.NativeSize();
        g_pVideoWindow->SetWindowPosition(0, 0, size.width(), size.height());
    }
}

void Release()
{
    if (g_pMediaControl) {
        g_pMediaControl->Stop();
        g_pMediaControl.reset();
    }
    if (g_pVideoWindow) {
        g_pVideoWindow->put_Visible(OAFALSE);
        g_pVideoWindow.reset();
    }
    g_pBasicAudio.reset();
    g_pMediaEvent.reset();
    g_pMediaSeeking.reset();
    // The preview's graph holds the device open.
    g_pCaptureBuilder.reset();
    g_pCaptureSource.reset();
    g_bCaptureActive = false;
}

} // namespace MediaSession
