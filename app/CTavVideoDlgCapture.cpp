// The capture preview: "Video In" lets the user choose a capture device and shows its live
// picture in the video panel as the current media session, which Stop or opening a file ends.

#include "app/CTavVideoDlg.h"
#include "app/MediaSession.h"
#include "capture/CTavVideoSourceChooser.h"
#include "common/AppMessages.h"
#include "common/Globals.h"
#include "resources/Resource.h"

void CTavVideoDlg::OnVideoIn()
{
    CTavVideoSourceChooser dlg(this);
    if (dlg.DoModal() != IDOK || !dlg.m_pDeviceMoniker) {
        return;
    }
    // Everything the preview depends on is made first: when the device's source, the builder or
    // the graph cannot be made, the command ends here and the current session goes on.
    std::shared_ptr<IBaseFilter> pSource;
    if (Failed(dlg.m_pDeviceMoniker->BindToObject(&pSource)) || !pSource) {
        return;
    }
    auto pBuilder = std::make_unique<ISampleCaptureGraphBuilder>();
    std::shared_ptr<IGraphBuilder> pGraph = IGraphBuilder::Create();
    if (!pBuilder->HasBuilder() || !pGraph) {
        return;
    }

    // The preview takes the session pointers: the file (or earlier preview) that held them ends
    // first, as Stop would end it, together with an earlier preview's builder and source.
    OnStop();
    ReleaseSession();
    // Black until the device's first picture arrives, whatever the panel showed before.
    m_videoPanel.repaint();

    g_pCaptureSource = std::move(pSource);
    g_pCaptureBuilder = std::move(pBuilder);
    g_pCaptureBuilder->SetFiltergraph(pGraph);
    pGraph->AddFilter(g_pCaptureSource, dlg.GetDeviceName());

    MediaSession::Take(*pGraph, g_hMainWnd);
    // A live source cannot be sought: the position slider has nothing to move.
    g_pMediaSeeking.reset();
    pGraph.reset(); // the graph lives on through the builder and the session pointers

    // A device that cannot start (in use, gone) leaves a preview without a picture, which Stop
    // ends as any other.
    g_pCaptureBuilder->RenderStream(&PIN_CATEGORY_PREVIEW, &MEDIATYPE_Video, g_pCaptureSource.get(),
                                    nullptr, nullptr);

    MediaSession::ShowIn(m_videoPanel);
    if (g_pMediaControl) {
        g_pMediaControl->Run();
    }
    g_bCaptureActive = true;
    EnablePlayButton();
    OnSessionChanged();
}

void CTavVideoDlg::EndCapturePreview()
{
    // Its interfaces are the session pointers (it has no seeking); the builder and the source go
    // with them, which stops the device.
    ReleaseSession();
    m_videoPanel.update();
}

bool CTavVideoDlg::IsCaptureEndEvent(long lEventCode)
{
    // A live source never ends by itself: its end or an error means the device is gone (unplugged,
    // taken away by its driver).
    return lEventCode == EC_COMPLETE || lEventCode == EC_ERRORABORT || lEventCode == EC_USERABORT;
}
