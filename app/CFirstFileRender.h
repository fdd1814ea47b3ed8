#pragma once

#include "common/Result.h"
#include "playback/MediaFramework.h"

#include <QString>

#include <memory>
#include <mutex>
#include <thread>
#include <utility>

// Start-up work done beside the building of the main window: GStreamer is started and the first
// file of the command line is rendered on a thread of its own, so that plugin loading and the
// preroll overlap with the window system and the widgets. The main window takes the rendered
// graph when it opens that file; for any other file it renders as usual.
class CFirstFileRender
{
public:
    CFirstFileRender() = default;
    ~CFirstFileRender();
    CFirstFileRender(const CFirstFileRender&) = delete;
    CFirstFileRender& operator=(const CFirstFileRender&) = delete;

    // Starts the thread; an empty path only starts GStreamer.
    void Start(const QString& strPath);

    // The main window's video panel, as soon as it is shown: the first file's picture is drawn
    // there the moment it is ready, before the main window has taken the graph.
    void ShowVideoIn(OAHWND owner, long width, long height);

    // The first call waits for the thread. When it rendered exactly this path, hands out the
    // graph with the render result (the graph is null when it could not be created); for another
    // path the graph is dropped. False for another path and for every later call.
    bool Take(const QString& strPath, std::shared_ptr<IGraphBuilder>* ppGraph, HRESULT* phr);

    // Waits for the thread and drops a graph nobody took.
    void Finish();

private:
    void ShowVideoLocked();

    std::thread m_thread;
    std::mutex m_mutex;
    QString m_strPath; // written before the thread starts
    std::shared_ptr<IGraphBuilder> m_pGraph;
    HRESULT m_hr = E_FAIL;
    bool m_bTaken = false;
    OAHWND m_owner = 0;
    std::pair<long, long> m_ownerSize;
};
