// playback_cpu_bench [--runs N] [--seconds S] [FILE]
//
// CPU time (user + system) of playing a 720p clip for 10 s into a 640x360 window on the X server:
// the player's media layer (the graph it builds, the sink it chooses, the picture scaled into the
// window) against a bare GStreamer playbin given the same sink, each in a process of its own,
// interleaved. Without FILE, a 720p H.264 clip of moving colour bars is made first. Prints the
// medians and their ratio last.
//
// Needs an X server (DISPLAY), for example under xvfb-run or the one scripts/test starts.

#include "playback/GstHandle.h"
#include "playback/MediaFramework.h"
#include "playback/ParkingWindow.h"
#include "playback/SinkFactory.h"

#include <QFileInfo>
#include <QString>
#include <QUrl>
#include <gst/video/videooverlay.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 360;

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

// A mapped top-level window of the given size, as the player's panel is to the sink.
xcb_window_t MakeWindow(xcb_connection_t* connection)
{
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_window_t window = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, kWidth, kHeight,
                      0, XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_map_window(connection, window);
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    return window;
}

// The player's way: a graph from the media layer drawing into the window, scaled to it.
int PlayWithLayer(const QString& path, int seconds)
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const xcb_window_t window = MakeWindow(connection);
    auto graph = IGraphBuilder::Create();
    if (!graph || graph->RenderFile(path) != S_OK) {
        return 1;
    }
    const auto video = graph->QueryVideoWindow();
    video->put_Owner(window);
    video->SetWindowPosition(0, 0, kWidth, kHeight);
    video->put_Visible(OATRUE);
    graph->QueryMediaControl()->Run();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    graph->QueryMediaControl()->Stop();
    return 0;
}

// The baseline: a bare playbin with the same sink element in the same kind of window.
int PlayBare(const QString& path, int seconds)
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const xcb_window_t window = MakeWindow(connection);
    const QByteArray uri = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded();
    GstElementHandle playbin = AdoptElement(gst_element_factory_make("playbin", nullptr));
    GstElement* sink = gst_element_factory_make(VideoSinkName(ProcessVideoSinkKind()), nullptr);
    g_object_set(playbin.get(), "uri", uri.constData(), "video-sink", sink, nullptr);
    if (const GstElementHandle audio = CreateAudioSink()) {
        g_object_set(playbin.get(), "audio-sink", audio.get(), nullptr);
    }
    gst_video_overlay_set_window_handle(GST_VIDEO_OVERLAY(sink), window);
    gst_element_set_state(playbin.get(), GST_STATE_PLAYING);
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    gst_element_set_state(playbin.get(), GST_STATE_NULL);
    return 0;
}

// Runs this program in the given mode in a child process; its CPU seconds, or -1.
double ChildCpuSeconds(const char* self, const char* mode, const std::string& file, int seconds)
{
    const pid_t pid = fork();
    if (pid == 0) {
        const std::string secondsText = std::to_string(seconds);
        execl(self, self, mode, file.c_str(), secondsText.c_str(), nullptr);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        return -1.0;
    }
    const auto seconds_of = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds_of(usage.ru_utime) + seconds_of(usage.ru_stime);
}

bool MakeClip(const std::string& path)
{
    const std::string description =
        "videotestsrc pattern=smpte horizontal-speed=4 num-buffers=300 ! "
        "video/x-raw,width=1280,height=720,framerate=25/1 ! x264enc speed-preset=ultrafast "
        "key-int-max=50 ! h264parse ! matroskamux ! filesink location=\"" +
        path + "\"";
    GError* error = nullptr;
    GstElementHandle pipeline = AdoptElement(gst_parse_launch(description.c_str(), &error));
    const GErrorHandle errorHandle(error);
    if (pipeline == nullptr || error != nullptr) {
        return false;
    }
    gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
    const GstBusHandle bus(gst_element_get_bus(pipeline.get()));
    const GstMessageHandle message(gst_bus_timed_pop_filtered(
        bus.get(), 120 * GST_SECOND,
        static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
    const bool ok = message != nullptr && GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_EOS;
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (!MediaFrameworkStartup()) {
        std::fprintf(stderr, "playback_cpu_bench: GStreamer does not start\n");
        return 1;
    }
    if (argc == 4 && (std::string(argv[1]) == "--layer" || std::string(argv[1]) == "--bare")) {
        const QString path = QString::fromLocal8Bit(argv[2]);
        const int seconds = std::atoi(argv[3]);
        return std::string(argv[1]) == "--layer" ? PlayWithLayer(path, seconds)
                                                 : PlayBare(path, seconds);
    }
    int runs = 5;
    int seconds = 10;
    std::string file;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--seconds" && i + 1 < argc) {
            seconds = std::max(1, std::atoi(argv[++i]));
        } else {
            file = arg;
        }
    }
    if (!HasX11Display()) {
        std::fprintf(stderr, "no X server: set DISPLAY (for example run under xvfb-run)\n");
        return 2;
    }
    if (file.empty()) {
        file = "/tmp/playback_cpu_bench-720p.mkv";
        if (!QFileInfo::exists(QString::fromStdString(file)) && !MakeClip(file)) {
            std::fprintf(stderr, "cannot make the 720p clip (x264enc missing?); give a FILE\n");
            return 1;
        }
    }
    std::vector<double> layer;
    std::vector<double> bare;
    for (int run = 0; run < runs; ++run) {
        // Alternating which goes first, so neither always finds the other's leftovers.
        for (int turn = 0; turn < 2; ++turn) {
            const bool bLayer = (run + turn) % 2 == 0;
            const double cpu =
                ChildCpuSeconds(argv[0], bLayer ? "--layer" : "--bare", file, seconds);
            if (cpu < 0) {
                std::fprintf(stderr, "playback_cpu_bench: a %s run failed\n",
                             bLayer ? "player" : "playbin");
                return 1;
            }
            (bLayer ? layer : bare).push_back(cpu);
        }
    }
    std::printf("file: %s, %d s into a %dx%d window, %d runs each, video sink: %s\n", file.c_str(),
                seconds, kWidth, kHeight, runs, CurrentVideoSinkDescription().c_str());
    std::printf("CPU user+sys, medians: player %.2f s, bare playbin %.2f s\n", Median(layer),
                Median(bare));
    std::printf("ratio player / playbin: %.2f (goal <= 1.10)\n", Median(layer) / Median(bare));
    return 0;
}
