// startup_bench FILE: process start to the first video frame on screen, for the player given FILE
// on its command line, against a bare GStreamer playbin process (gst-launch-1.0 playbin) showing
// the same file, in the same run, interleaved. Then the player's peak resident memory while it
// plays the demo clip.
//
// "First frame shown" is watched from outside, on the X server both processes draw to: the
// benchmark polls the screen and takes the first moment at which the test pattern's bars (the
// generated clips show GStreamer's SMPTE pattern) are on it. That measures what a person sees,
// the same way for both processes, with no hook inside either. The polling step (a few ms) is
// the resolution of each sample.
//
// Measured once with the sink the player chooses on this machine, the baseline given the same
// sink, and then once per fallback sink the machine offers (VESSA_VIDEO_SINK for the player,
// playbin's video-sink for the baseline). --sink NAME measures that one sink only.
//
// Needs an X server (DISPLAY), for example under xvfb-run or the one scripts/test starts.

#include "playback/MediaFramework.h"
#include "playback/SinkFactory.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto kFrameTimeout = 15s;
constexpr auto kPollStep = 2ms;
constexpr int kSampleStep = 4; // every 4th pixel in both directions

// The screen area watched: the top-left part, where both programs put their windows.
struct ScreenArea
{
    Display* display = nullptr;
    Window root = 0;
    int width = 0;
    int height = 0;
    // Read through shared memory where the server offers it: a copy of the screen through the
    // socket costs the server and both processes measured several milliseconds per look.
    XImage* shared = nullptr;
    XShmSegmentInfo segment{};
};

void AttachSharedImage(ScreenArea& screen)
{
    if (XShmQueryExtension(screen.display) == False) {
        return;
    }
    const int number = DefaultScreen(screen.display);
    XImage* image = XShmCreateImage(
        screen.display, DefaultVisual(screen.display, number),
        static_cast<unsigned>(DefaultDepth(screen.display, number)), ZPixmap, nullptr,
        &screen.segment, static_cast<unsigned>(screen.width), static_cast<unsigned>(screen.height));
    if (image == nullptr) {
        return;
    }
    screen.segment.shmid =
        shmget(IPC_PRIVATE, static_cast<std::size_t>(image->bytes_per_line) * image->height,
               IPC_CREAT | 0600);
    if (screen.segment.shmid < 0) {
        XDestroyImage(image);
        return;
    }
    screen.segment.shmaddr = image->data =
        static_cast<char*>(shmat(screen.segment.shmid, nullptr, 0));
    screen.segment.readOnly = False;
    // Removed now, freed when both sides have let go, also if this process dies.
    shmctl(screen.segment.shmid, IPC_RMID, nullptr);
    if (screen.segment.shmaddr == reinterpret_cast<char*>(-1) ||
        XShmAttach(screen.display, &screen.segment) == False) {
        image->data = nullptr;
        XDestroyImage(image);
        return;
    }
    XSync(screen.display, False);
    screen.shared = image;
}

void DetachSharedImage(ScreenArea& screen)
{
    if (screen.shared == nullptr) {
        return;
    }
    XShmDetach(screen.display, &screen.segment);
    shmdt(screen.segment.shmaddr);
    screen.shared->data = nullptr;
    XDestroyImage(screen.shared);
    screen.shared = nullptr;
}

// Which of the seven upper bars of the pattern a pixel shows (lit primaries), or -1.
int BarOf(unsigned long pixel)
{
    const int channels[] = {static_cast<int>((pixel >> 16) & 0xff),
                            static_cast<int>((pixel >> 8) & 0xff), static_cast<int>(pixel & 0xff)};
    int lit = 0;
    for (const int value : channels) {
        if (value > 150) {
            lit = lit * 2 + 1;
        } else if (value < 70) {
            lit = lit * 2;
        } else {
            return -1;
        }
    }
    // white, yellow, cyan, green, magenta, red, blue: every non-black combination.
    return lit == 0 ? -1 : lit - 1;
}

bool PatternOnScreen(const ScreenArea& screen)
{
    XImage* image = screen.shared;
    if (image != nullptr) {
        if (XShmGetImage(screen.display, screen.root, image, 0, 0, AllPlanes) == False) {
            return false;
        }
    } else {
        image = XGetImage(screen.display, screen.root, 0, 0, static_cast<unsigned>(screen.width),
                          static_cast<unsigned>(screen.height), AllPlanes, ZPixmap);
    }
    if (image == nullptr) {
        return false;
    }
    std::array<int, 7> counts{};
    for (int y = 0; y < screen.height; y += kSampleStep) {
        for (int x = 0; x < screen.width; x += kSampleStep) {
            if (const int bar = BarOf(XGetPixel(image, x, y)); bar >= 0) {
                ++counts[bar];
            }
        }
    }
    if (image != screen.shared) {
        XDestroyImage(image);
    }
    return std::all_of(counts.begin(), counts.end(), [](int n) { return n >= 60; });
}

pid_t Spawn(const std::vector<std::string>& argv)
{
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    pid_t pid = 0;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // Both programs complain about the missing sound card; keep the report readable.
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const int error = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? pid : -1;
}

void Stop(pid_t pid)
{
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

// Waits until the pattern has left the screen (the last window is gone).
bool WaitForCleanScreen(const ScreenArea& screen)
{
    const auto deadline = Clock::now() + 5s;
    while (Clock::now() < deadline) {
        if (!PatternOnScreen(screen)) {
            return true;
        }
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

// Milliseconds from process start to the pattern on screen; nothing on a time-out.
std::optional<double> TimeToFirstFrame(const ScreenArea& screen,
                                       const std::vector<std::string>& argv,
                                       pid_t* keepRunning = nullptr)
{
    if (!WaitForCleanScreen(screen)) {
        std::fprintf(stderr, "the screen still shows the pattern before a run\n");
        return std::nullopt;
    }
    const auto start = Clock::now();
    const pid_t pid = Spawn(argv);
    if (pid < 0) {
        std::fprintf(stderr, "cannot start %s\n", argv[0].c_str());
        return std::nullopt;
    }
    std::optional<double> result;
    while (Clock::now() - start < kFrameTimeout) {
        if (PatternOnScreen(screen)) {
            result = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            break;
        }
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            std::fprintf(stderr, "%s ended before showing a frame\n", argv[0].c_str());
            return std::nullopt;
        }
        std::this_thread::sleep_for(kPollStep);
    }
    if (!result) {
        std::fprintf(stderr, "%s showed no frame within %lld s\n", argv[0].c_str(),
                     static_cast<long long>(kFrameTimeout.count()));
    }
    if (keepRunning != nullptr && result) {
        *keepRunning = pid;
    } else {
        Stop(pid);
    }
    return result;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

long PeakResidentKiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return -1;
}

std::string AbsolutePath(const std::string& path)
{
    char* resolved = realpath(path.c_str(), nullptr);
    std::string result = resolved != nullptr ? resolved : path;
    std::free(resolved);
    return result;
}

// file:// URI of an absolute path, with the characters a URI cannot carry escaped.
std::string FileUri(const std::string& path)
{
    std::string uri = "file://";
    for (const unsigned char c : path) {
        if (std::isalnum(c) != 0 || std::strchr("/-._~", c) != nullptr) {
            uri += static_cast<char>(c);
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            uri += escaped;
        }
    }
    return uri;
}

struct SinkResult
{
    std::string sink;
    double playerMs = 0.0;
    double baselineMs = 0.0;
};

// Both processes with the same video sink, interleaved; nothing on a failed run.
std::optional<SinkResult> MeasureSink(const ScreenArea& screen, const std::string& file, int runs,
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
            const auto ms = TimeToFirstFrame(screen, bPlayer ? player : baseline);
            if (!ms) {
                return std::nullopt;
            }
            (bPlayer ? playerMs : baselineMs).push_back(*ms);
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
    ScreenArea screen;
    screen.display = XOpenDisplay(nullptr);
    if (screen.display == nullptr || !MediaFrameworkStartup()) {
        std::fprintf(stderr, "no X server: set DISPLAY (for example run under xvfb-run)\n");
        return 2;
    }
    screen.root = DefaultRootWindow(screen.display);
    screen.width = std::min(DisplayWidth(screen.display, DefaultScreen(screen.display)), 1024);
    screen.height = std::min(DisplayHeight(screen.display, DefaultScreen(screen.display)), 768);
    AttachSharedImage(screen);

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
    pid_t playing = 0;
    if (TimeToFirstFrame(screen, {VESSA_RUNTIME_DIR "/vessa-video-player", AbsolutePath(demo)},
                         &playing)) {
        std::this_thread::sleep_for(3s);
        peakKiB = PeakResidentKiB(playing);
        Stop(playing);
    }
    DetachSharedImage(screen);
    XCloseDisplay(screen.display);

    std::printf("file: %s, %d runs each, screen polled every %lld ms\n", file.c_str(), runs,
                static_cast<long long>(kPollStep.count()));
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
