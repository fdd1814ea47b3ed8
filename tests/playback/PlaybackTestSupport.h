#pragma once

#include "TestMedia.h"
#include "playback/MediaFramework.h"

#include <QObject>

#include <chrono>
#include <memory>
#include <vector>

// What a test needs around the media layer: clips opened into graphs, the process's open files
// and threads, and a window stand-in that counts the messages posted to it.

struct OpenedClip
{
    std::shared_ptr<IGraphBuilder> graph;
    HRESULT hr = E_FAIL;
};

// A new graph with the file rendered into it (the graph is kept also when rendering failed).
OpenedClip OpenFile(const QString& path);
OpenedClip OpenClip(TestClip clip);

// Entries of /proc/self/fd and /proc/self/task.
int CountOpenFiles();
int CountThreads();

// Lets GLib end the worker threads it keeps idle for reuse, then waits (bounded) until the
// thread count is at most `limit`. Returns the count reached.
int SettleThreads(int limit, std::chrono::milliseconds bound);

// The graph's current position, duration and the pipeline's settled state after a state change
// or seek, each in 100 ns units; the wait is bounded.
REFERENCE_TIME Position(const std::shared_ptr<IGraphBuilder>& graph);
REFERENCE_TIME Duration(const std::shared_ptr<IGraphBuilder>& graph);
bool WaitForSettled(const std::shared_ptr<IGraphBuilder>& graph, std::chrono::milliseconds bound);

// Pops every queued event; their codes in order.
std::vector<long> DrainEvents(const std::shared_ptr<IMediaEventEx>& events);

inline constexpr REFERENCE_TIME kUnitsPerSecond = 10'000'000;
inline constexpr REFERENCE_TIME kOneFrame = kUnitsPerSecond / kTestClipFps;

// Counts the application messages with one number that are posted to it, and keeps the lParam of
// the last one.
class CMessageCounter : public QObject
{
public:
    explicit CMessageCounter(std::uint32_t message) : m_nMessage(message) {}
    int Count() const { return m_nCount; }
    LParam LastLParam() const { return m_lastLParam; }

protected:
    bool event(QEvent* event) override;

private:
    std::uint32_t m_nMessage;
    int m_nCount = 0;
    LParam m_lastLParam = 0;
};
