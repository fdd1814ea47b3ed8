// startup_bench FILE: process start to the first video frame on screen, for the player given FILE
// on its command line, against a bare GStreamer playbin process (gst-launch-1.0 playbin) showing
// the same file, in the same run, interleaved. Then the player's peak resident memory while it
// plays the demo clip.
//
// "First frame shown" is watched on the X server both processes draw to (ScreenWatch.h).
//
// Measured once with the sink the player chooses on this machine, the baseline given the same
// sink, and then once per fallback sink the machine offers (VESSA_VIDEO_SINK for the player,
// playbin's video-sink for the baseline). --sink NAME measures that one sink only.
//
// Needs an X server (DISPLAY), for example under xvfb-run or the one scripts/test starts.

#include "ScreenWatch.h"
#include "playback/MediaFramework.h"
#include "playback/SinkFactory.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

struct SinkResult
{
    std::string sink;
    double playerMs = 0.0;
    double baselineMs = 0.0;
};

// Both processes with the same video sink, interleaved; nothing on a failed run.
std::optional<SinkResult> MeasureSink(const CScreenWatch& screen, const std::string& file, int runs,
                                      const std::string& sink, bool bPlayerChooses)
{
    const std::vector<std::string> player{VESSA_RUNTIME_DIR "/vessa-video-player", file};
    const std::vector<std::string> baseline{"gst-launch-1.0", "-q", "playbin",
                                            "uri=" + FileUri(file), "video-sink=" + sink};
    if (bPlayerChooses) {
        unsetenv("VESSA_VIDEO_SINK");
    } else {
        setenv("VESSA_VIDEO_SINK", sink.c_str(), 1);
    }
    std::vector<double> playerMs;
    std::vector<double> baselineMs;
    for (int run = 0; run < runs; ++run) {
        // Alternate who goes first so that neither profits from the other's warm caches.
        for (int turn = 0; turn < 2; ++turn) {
            const bool bPlayer = (run + turn) % 2 == 0;
            const auto frame = TimeToFirstFrame(screen, bPlayer ? player : baseline);
            if (!frame) {
                return std::nullopt;
            }
            (bPlayer ? playerMs : baselineMs).push_back(frame->ms);
        }
    }
    return SinkResult{sink, Median(playerMs), Median(baselineMs)};
}

} // namespace

int main(int argc, char** argv)
{
    int runs = 15;
    std::string file;
    std::string demo = VESSA_RUNTIME_DIR "/demo.avi";
    std::string onlySink;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--sink" && i + 1 < argc) {
            onlySink = argv[++i];
        } else if (arg == "--demo" && i + 1 < argc) {
            demo = argv[++i];
        } else {
            file = arg;
        }
    }
    if (file.empty()) {
        std::fprintf(stderr, "usage: startup_bench [--runs N] [--sink NAME] [--demo CLIP] FILE\n"
                             "FILE and CLIP must show GStreamer's SMPTE test pattern.\n");
        return 2;
    }
    file = AbsolutePath(file);
    const CScreenWatch screen(1024, 768);
    if (!screen.IsOpen() || !MediaFrameworkStartup()) {
        std::fprintf(stderr, "no X server: set DISPLAY (for example run under xvfb-run)\n");
        return 2;
    }

    // The player's own choice first, then every other sink it could have taken here.
    unsetenv("VESSA_VIDEO_SINK");
    const VideoSinkKind chosen = ProcessVideoSinkKind();
    std::vector<std::pair<std::string, bool>> sinks;
    if (!onlySink.empty()) {
        sinks.emplace_back(onlySink, false);
    } else {
        sinks.emplace_back(VideoSinkName(chosen), true);
        const bool bXVideo = ProbeVideoOutput().bXVideo;
        for (const VideoSinkKind kind :
             {VideoSinkKind::XVideo, VideoSinkKind::Gl, VideoSinkKind::XImage}) {
            const bool bOffered = kind != VideoSinkKind::XVideo || bXVideo;
            if (kind != chosen && bOffered && MakeVideoSink(kind) != nullptr) {
                sinks.emplace_back(VideoSinkName(kind), false);
            }
        }
    }
    std::vector<SinkResult> results;
    for (const auto& [sink, bPlayerChooses] : sinks) {
        const auto result = MeasureSink(screen, file, runs, sink, bPlayerChooses);
        if (!result) {
            return 1;
        }
        results.push_back(*result);
    }
    unsetenv("VESSA_VIDEO_SINK");

    // Peak memory: the player on the demo clip, a few seconds into playback.
    long peakKiB = -1;
    if (const auto playing = TimeToFirstFrame(
            screen, {VESSA_RUNTIME_DIR "/vessa-video-player", AbsolutePath(demo)}, true)) {
        std::this_thread::sleep_for(3s);
        peakKiB = PeakResidentKiB(playing->pid);
        Stop(playing->pid);
    }

    std::printf("file: %s, %d runs each, screen polled every %lld ms\n", file.c_str(), runs,
                static_cast<long long>(CScreenWatch::kPollStep.count()));
    std::printf("player peak resident memory playing the demo clip: %.1f MiB\n",
                peakKiB >= 0 ? peakKiB / 1024.0 : -1.0);
    std::printf(
        "process start to first frame on screen, medians, both with the same video sink:\n");
    for (auto it = results.rbegin(); it != results.rend(); ++it) {
        const bool bDefault = it + 1 == results.rend() && onlySink.empty();
        std::printf("%s %s: player %.1f ms, bare playbin %.1f ms, ratio player / playbin: %.2f\n",
                    bDefault ? "default sink" : "sink", it->sink.c_str(), it->playerMs,
                    it->baselineMs, it->playerMs / it->baselineMs);
    }
    return 0;
}
