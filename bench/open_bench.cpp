// open_bench FILE...
//
// Time from asking for a file to its first picture prerolled: the media layer's RenderFile against
// a bare GStreamer playbin with the same sinks brought to PAUSED, interleaved in one run. Both use
// the video sink the player chooses on this machine (or VESSA_VIDEO_SINK), whose name is printed
// first. Prints both medians per file with their ratio, and the worst ratio last.

#include "playback/GstHandle.h"
#include "playback/MediaFramework.h"
#include "playback/SinkFactory.h"

#include <QFileInfo>
#include <QUrl>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRuns = 15;
constexpr GstClockTime kPrerollBound = 10 * GST_SECOND;

double Milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t mid = values.size() / 2;
    return values.size() % 2 != 0 ? values[mid] : (values[mid - 1] + values[mid]) / 2.0;
}

// The layer: graph creation and RenderFile, which returns with the first picture prerolled.
bool TimeLayer(const QString& path, double* ms)
{
    const auto start = Clock::now();
    auto graph = IGraphBuilder::Create();
    const HRESULT hr = graph->RenderFile(path);
    *ms = Milliseconds(Clock::now() - start);
    graph.reset(); // teardown is not part of the measurement
    return hr == S_OK;
}

// The baseline: what any GStreamer player does at the least.
bool TimeBarePlaybin(const QString& path, double* ms)
{
    const QByteArray uri = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded();
    const auto start = Clock::now();
    GstElementHandle playbin = AdoptElement(gst_element_factory_make("playbin", nullptr));
    g_object_set(playbin.get(), "uri", uri.constData(), nullptr);
    if (const GstElementHandle sink = CreateVideoSink()) {
        g_object_set(playbin.get(), "video-sink", sink.get(), nullptr);
    }
    if (const GstElementHandle sink = CreateAudioSink()) {
        g_object_set(playbin.get(), "audio-sink", sink.get(), nullptr);
    }
    gst_element_set_state(playbin.get(), GST_STATE_PAUSED);
    const bool prerolled = gst_element_get_state(playbin.get(), nullptr, nullptr, kPrerollBound) ==
                           GST_STATE_CHANGE_SUCCESS;
    *ms = Milliseconds(Clock::now() - start);
    gst_element_set_state(playbin.get(), GST_STATE_NULL);
    return prerolled;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: open_bench FILE...\n");
        return 2;
    }
    if (!MediaFrameworkStartup()) {
        std::fprintf(stderr, "open_bench: GStreamer does not start\n");
        return 1;
    }
    std::printf("video sink: %s\n", CurrentVideoSinkDescription().c_str());
    double worst = 0.0;
    for (int i = 1; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        double ms = 0.0;
        // One untimed round of each: plugins load and caches fill on the first open.
        if (!TimeLayer(path, &ms) || !TimeBarePlaybin(path, &ms)) {
            // A file that does not play has no open time to compare; measure the others.
            std::printf("%s: does not open, skipped\n", argv[i]);
            continue;
        }
        std::vector<double> layer;
        std::vector<double> bare;
        for (int run = 0; run < kRuns; ++run) {
            // Alternating which goes first, so neither always finds the other's leftovers.
            double a = 0.0;
            double b = 0.0;
            const bool ok = run % 2 == 0 ? (TimeLayer(path, &a) && TimeBarePlaybin(path, &b))
                                         : (TimeBarePlaybin(path, &b) && TimeLayer(path, &a));
            if (!ok) {
                std::fprintf(stderr, "open_bench: %s failed in run %d\n", argv[i], run);
                return 1;
            }
            layer.push_back(a);
            bare.push_back(b);
        }
        const double ratio = Median(layer) / Median(bare);
        worst = std::max(worst, ratio);
        std::printf("%s: RenderFile %.1f ms, bare playbin %.1f ms (medians of %d), ratio %.2f\n",
                    argv[i], Median(layer), Median(bare), kRuns, ratio);
    }
    if (worst == 0.0) {
        std::fprintf(stderr, "open_bench: none of the files opens\n");
        return 1;
    }
    std::printf("worst ratio %.2f (goal <= 1.15)\n", worst);
    return 0;
}
