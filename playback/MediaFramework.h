#pragma once

// The media layer: a small filter-graph model over GStreamer. A graph is built for one file
// (IGraphBuilder::RenderFile) and then used through the interfaces queried from it. Every
// interface object holds a counted reference to the graph, so the graph (its pipeline, its bus
// handling and its event queue) lives until the last interface is released. Nothing here touches
// a widget: the video window is a native window handle given by the caller, and events reach the
// UI thread only as a posted application message.

#include "common/AppMessage.h"
#include "common/Result.h"
#include "common/TimeText.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class QObject;
class CGraphCore;
class IBaseFilter;

// A native window handle (an X11 window id here).
using OAHWND = quintptr;

inline constexpr long OATRUE = -1;
inline constexpr long OAFALSE = 0;

// Window style of a video window that lives inside the panel: child, clips its children.
inline constexpr long WS_CHILD = 0x40000000;
inline constexpr long WS_CLIPCHILDREN = 0x02000000;

// Seeking flags.
inline constexpr std::uint32_t AM_SEEKING_NoPositioning = 0x0;
inline constexpr std::uint32_t AM_SEEKING_AbsolutePositioning = 0x1;

// Event codes.
inline constexpr long EC_COMPLETE = 0x01;
inline constexpr long EC_USERABORT = 0x02;
inline constexpr long EC_ERRORABORT = 0x03;

// Starts the media framework for this process (idempotent, safe from any thread). Graph creation
// starts it on demand; calling it early moves the plugin loading off the first open.
bool MediaFrameworkStartup();

// The size a new graph's video window will most likely be given (the panel it will be shown in).
// Its first picture is made at that size, so that it shows at once when the window is placed,
// instead of being made again. Every placed video window updates it; a caller that knows the
// panel before any graph is placed (at start-up) sets it.
void SetExpectedVideoWindowSize(long width, long height);

// Run and stop. Stop keeps the position and the picture, so Run continues where Stop left.
class IMediaControl
{
public:
    explicit IMediaControl(std::shared_ptr<CGraphCore> core);
    HRESULT Run();
    HRESULT Stop();

private:
    std::shared_ptr<CGraphCore> m_core;
};

// Duration, position and absolute seeking, in 100 ns units.
class IMediaSeeking
{
public:
    explicit IMediaSeeking(std::shared_ptr<CGraphCore> core);
    HRESULT GetDuration(REFERENCE_TIME* pDuration);
    HRESULT GetCurrentPosition(REFERENCE_TIME* pCurrent);
    // Only absolute positioning of the current position is supported; a null pointer or
    // AM_SEEKING_NoPositioning leaves that position alone.
    HRESULT SetPositions(REFERENCE_TIME* pCurrent, std::uint32_t dwCurrentFlags,
                         REFERENCE_TIME* pStop, std::uint32_t dwStopFlags);

private:
    std::shared_ptr<CGraphCore> m_core;
};

// Volume in hundredths of a decibel: 0 is full volume, -10000 silence. Only graphs with an audio
// stream offer it.
class IBasicAudio
{
public:
    explicit IBasicAudio(std::shared_ptr<CGraphCore> core);
    HRESULT put_Volume(long lVolume);
    HRESULT get_Volume(long* plVolume);

private:
    std::shared_ptr<CGraphCore> m_core;
};

// The video picture, drawn into a native window of the caller. Only graphs with a video stream
// offer it. The picture does not take input: mouse and keys reach the owner window.
class IVideoWindow
{
public:
    explicit IVideoWindow(std::shared_ptr<CGraphCore> core);
    HRESULT put_Owner(OAHWND owner);
    HRESULT get_Owner(OAHWND* pOwner);
    HRESULT put_WindowStyle(long style);
    // The rectangle inside the owner that the picture is scaled to.
    HRESULT SetWindowPosition(long left, long top, long width, long height);
    HRESULT GetWindowPosition(long* pLeft, long* pTop, long* pWidth, long* pHeight);
    HRESULT put_MessageDrain(OAHWND drain);
    HRESULT put_Visible(long visible);
    HRESULT get_Visible(long* pVisible);

private:
    std::shared_ptr<CGraphCore> m_core;
};

// The graph's events. While events wait in the queue, the registered message is posted to the
// registered target, once per batch: a message is posted when an event arrives in an empty queue.
class IMediaEventEx
{
public:
    explicit IMediaEventEx(std::shared_ptr<CGraphCore> core);
    // A null target stops the notifications.
    HRESULT SetNotifyWindow(QObject* target, std::uint32_t message, LParam instanceData);
    // Pops the oldest event. With nothing queued it waits up to msTimeout (0: not at all) and
    // returns E_ABORT.
    HRESULT GetEvent(long* plEventCode, LParam* plParam1, LParam* plParam2, long msTimeout);
    HRESULT FreeEventParams(long lEventCode, LParam lParam1, LParam lParam2);

private:
    std::shared_ptr<CGraphCore> m_core;
};

class IGraphBuilder
{
public:
    // A new, empty graph; null when the media framework cannot be started.
    static std::shared_ptr<IGraphBuilder> Create();

    // Builds the graph for the file and brings it to a stopped state with its first picture
    // ready, within a bounded time. Exactly S_OK when every stream of the file got a decoder and a
    // sink; VFW_S_PARTIAL_RENDER when some stream could not be rendered; a failure code for a
    // missing file, a folder, a FIFO or device, an empty or non-media file, and a time-out. On
    // anything but S_OK the graph holds no pipeline, thread or open file any more. A graph holds
    // one file: rendering into a graph that already holds one is refused with E_UNEXPECTED and
    // leaves that one as it was.
    HRESULT RenderFile(const QString& path);

    // Where the video of a graph not rendered yet is to be shown: in the owner's window, at its
    // top left corner with that size. Its first picture is then drawn there the moment it is
    // ready, even while RenderFile is still running on another thread. Callable from any thread;
    // the same wishes given later through IVideoWindow replace these.
    void ShowVideoAhead(OAHWND owner, long width, long height);

    // Puts a filter into the graph under a name, for a builder to connect (a capture source). A
    // filter is in one graph at a time; a graph that has been rendered takes no more filters.
    HRESULT AddFilter(const std::shared_ptr<IBaseFilter>& pFilter, const QString& name);
    bool HoldsFilter(const IBaseFilter* pFilter) const;

    // Interface queries; null when the graph does not offer the interface (no audio stream: no
    // IBasicAudio; no video stream: no IVideoWindow; nothing rendered: none at all). A graph that
    // is being built from filters offers its control, audio, video window and events from its
    // first filter on, as they will be once it is rendered; until then they act on nothing.
    std::shared_ptr<IMediaControl> QueryMediaControl() const;
    std::shared_ptr<IMediaSeeking> QueryMediaSeeking() const;
    std::shared_ptr<IBasicAudio> QueryBasicAudio() const;
    std::shared_ptr<IVideoWindow> QueryVideoWindow() const;
    std::shared_ptr<IMediaEventEx> QueryMediaEventEx() const;

    // For the capture builder: the graph's core, so that a source can be added and rendered.
    const std::shared_ptr<CGraphCore>& Core() const { return m_core; }

private:
    explicit IGraphBuilder(std::shared_ptr<CGraphCore> core);
    bool IsBeingBuilt() const;

    std::shared_ptr<CGraphCore> m_core;
    std::vector<std::shared_ptr<IBaseFilter>> m_filters;
};
