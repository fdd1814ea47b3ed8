#include "playback/GraphCore.h"

#include "playback/RenderAbort.h"
#include "playback/SparePlaybin.h"

#include <gst/audio/streamvolume.h>

#include <algorithm>

CGraphCore::CGraphCore()
    : m_events(std::make_shared<CGraphEvents>()), m_overlay(std::make_shared<CVideoOverlay>())
{}

CGraphCore::~CGraphCore()
{
    // Nothing may reach the notify target once the graph is being released.
    m_events->Close();
    Teardown();
}

HRESULT CGraphCore::RenderPipeline(GstElementHandle pipeline, bool hasVideo, bool hasAudio)
{
    if (m_pipeline != nullptr) {
        return E_UNEXPECTED;
    }
    if (pipeline == nullptr) {
        return E_POINTER;
    }
    const HRESULT hr = Preroll(std::move(pipeline));
    return Failed(hr) ? hr : Commit(hasVideo, hasAudio);
}

void CGraphCore::MeasureOnly(std::shared_ptr<CRenderAbort> abort, GstObject* taskPool,
                             std::shared_ptr<CSparePlaybin> spare)
{
    m_bMeasureOnly = true;
    m_abort = std::move(abort);
    m_taskPool = RefObject(taskPool);
    m_spare = std::move(spare);
}

HRESULT CGraphCore::Preroll(GstElementHandle pipeline)
{
    const auto deadline = std::chrono::steady_clock::now() + kRenderTimeout;
    m_watch = CBusWatch::Install(pipeline.get(), m_events, m_overlay);
    m_pipeline = std::move(pipeline);
    if (m_taskPool != nullptr) {
        m_watch->UseTaskPool(m_taskPool.get());
    }
    if (m_abort != nullptr && !m_abort->Attach(m_watch)) {
        Teardown();
        return E_ABORT;
    }
    const HRESULT hr = WaitForPaused(deadline);
    if (m_abort != nullptr) {
        m_abort->Detach();
    }
    return hr;
}

HRESULT CGraphCore::WaitForPaused(std::chrono::steady_clock::time_point deadline)
{
    const GstStateChangeReturn change = gst_element_set_state(m_pipeline.get(), GST_STATE_PAUSED);
    HRESULT hr = S_OK;
    if (change == GST_STATE_CHANGE_FAILURE) {
        // An element that fails its state change posts its error before that returns.
        const HRESULT error = m_watch->PrerollState().error;
        hr = Failed(error) ? error : E_FAIL;
    } else if (change == GST_STATE_CHANGE_ASYNC) {
        const CBusWatch::Preroll preroll = m_watch->WaitForPreroll(deadline);
        if (Failed(preroll.error)) {
            hr = preroll.error;
        } else if (!preroll.bDone) {
            hr = VFW_E_TIMEOUT;
        }
    }
    // GST_STATE_CHANGE_SUCCESS needs no preroll, GST_STATE_CHANGE_NO_PREROLL is a live source.
    if (Failed(hr)) {
        Teardown();
    } else {
        m_bPrerolled = true;
    }
    return hr;
}

HRESULT CGraphCore::Commit(bool hasVideo, bool hasAudio)
{
    // An error between the end of prerolling and arming would otherwise go unnoticed.
    const HRESULT late = m_watch->Arm();
    if (Failed(late)) {
        Teardown();
        return late;
    }
    m_bHasVideo = hasVideo;
    m_bHasAudio = hasAudio;
    return S_OK;
}

void CGraphCore::Teardown()
{
    bool bClean = false;
    if (m_pipeline != nullptr) {
        // Going to NULL joins every streaming thread, so the handler is idle when it is removed,
        // and whatever the pipeline posted has been seen.
        const bool bStopped =
            gst_element_set_state(m_pipeline.get(), GST_STATE_NULL) != GST_STATE_CHANGE_FAILURE;
        // Only a pipeline that got ready and never saw an error (an abort and a time-out
        // included) is trusted with another file.
        bClean = bStopped && m_bPrerolled && m_watch != nullptr &&
                 Succeeded(m_watch->PrerollState().error);
    }
    if (m_watch != nullptr) {
        m_watch->Uninstall();
    }
    m_overlay->Reset();
    if (bClean && m_spare != nullptr) {
        m_spare->GiveBack(std::move(m_pipeline));
    }
    m_pipeline.reset();
    m_watch.reset();
    m_bPrerolled = false;
    m_bHasVideo = false;
    m_bHasAudio = false;
}

HRESULT CGraphCore::Run()
{
    if (m_pipeline == nullptr) {
        return E_UNEXPECTED;
    }
    return gst_element_set_state(m_pipeline.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE
               ? E_FAIL
               : S_OK;
}

HRESULT CGraphCore::Stop()
{
    if (m_pipeline == nullptr) {
        return E_UNEXPECTED;
    }
    // Paused, not stopped: the position and the picture stay, and Run continues from there.
    return gst_element_set_state(m_pipeline.get(), GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE
               ? E_FAIL
               : S_OK;
}

HRESULT CGraphCore::Duration(gint64* durationNs) const
{
    if (m_pipeline == nullptr) {
        return E_UNEXPECTED;
    }
    gint64 ns = -1;
    if (!gst_element_query_duration(m_pipeline.get(), GST_FORMAT_TIME, &ns) || ns < 0) {
        return E_FAIL;
    }
    *durationNs = ns;
    return S_OK;
}

HRESULT CGraphCore::Position(gint64* positionNs) const
{
    if (m_pipeline == nullptr) {
        return E_UNEXPECTED;
    }
    if (const auto pending = m_watch->PendingSeek()) {
        *positionNs = *pending;
        return S_OK;
    }
    gint64 ns = -1;
    if (!gst_element_query_position(m_pipeline.get(), GST_FORMAT_TIME, &ns) || ns < 0) {
        return E_FAIL;
    }
    *positionNs = ns;
    return S_OK;
}

HRESULT CGraphCore::Seek(gint64 positionNs)
{
    if (m_pipeline == nullptr) {
        return E_UNEXPECTED;
    }
    const GstQueryHandle query(gst_query_new_seeking(GST_FORMAT_TIME));
    gboolean seekable = FALSE;
    if (gst_element_query(m_pipeline.get(), query.get())) {
        gst_query_parse_seeking(query.get(), nullptr, &seekable, nullptr, nullptr);
    }
    if (!seekable) {
        return E_FAIL;
    }
    const gint64 target = std::max<gint64>(positionNs, 0);
    m_watch->BeginSeek(target);
    const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
    if (!gst_element_seek_simple(m_pipeline.get(), GST_FORMAT_TIME, flags, target)) {
        m_watch->EndSeek();
        return E_FAIL;
    }
    return S_OK;
}

HRESULT CGraphCore::SetVolumeDb(double db)
{
    if (m_pipeline == nullptr || !m_bHasAudio || !GST_IS_STREAM_VOLUME(m_pipeline.get())) {
        return E_UNEXPECTED;
    }
    gst_stream_volume_set_volume(GST_STREAM_VOLUME(m_pipeline.get()), GST_STREAM_VOLUME_FORMAT_DB,
                                 db);
    return S_OK;
}

HRESULT CGraphCore::VolumeDb(double* db) const
{
    if (m_pipeline == nullptr || !m_bHasAudio || !GST_IS_STREAM_VOLUME(m_pipeline.get())) {
        return E_UNEXPECTED;
    }
    *db = gst_stream_volume_get_volume(GST_STREAM_VOLUME(m_pipeline.get()),
                                       GST_STREAM_VOLUME_FORMAT_DB);
    return S_OK;
}
