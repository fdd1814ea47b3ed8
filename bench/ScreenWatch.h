#pragma once

// What the benchmarks that start whole programs share: watching the X screen for the first frame
// of GStreamer's SMPTE test pattern (which every generated clip shows), starting and stopping the
// programs, and reading their CPU time and memory from /proc.
//
// "First frame shown" is watched from outside, on the X server the programs draw to: the screen
// is polled, and the first moment at which all of the pattern's bars are on it counts. That
// measures what a person sees, the same way for every program, with no hook inside any of them.
// The polling step (a few ms) is the resolution of each sample.

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

class CScreenWatch
{
public:
    static constexpr std::chrono::milliseconds kPollStep{2};

    // Watches the top-left of the screen of DISPLAY, at most maxWidth by maxHeight pixels.
    CScreenWatch(int maxWidth, int maxHeight);
    ~CScreenWatch();
    CScreenWatch(const CScreenWatch&) = delete;
    CScreenWatch& operator=(const CScreenWatch&) = delete;

    bool IsOpen() const;
    bool PatternOnScreen() const;
    // Waits until the pattern has left the screen (the last window is gone).
    bool WaitForCleanScreen() const;

private:
    // Xlib's names stay out of this header: they clash with Qt's.
    struct Screen;
    std::unique_ptr<Screen> m_screen;
};

struct SpawnOptions
{
    // Run as nobody when this process is root (programs that refuse to run as root), with this
    // folder as the home, which nobody must be able to write.
    bool bDropRoot = false;
    std::string strHome;
};

// Starts argv[0] (looked up in PATH) with its output thrown away; -1 when it cannot start.
pid_t Spawn(const std::vector<std::string>& argv, const SpawnOptions& options = {});
void Stop(pid_t pid);

struct FirstFrame
{
    pid_t pid = -1;
    double ms = 0.0;
};

// Starts the program and measures the milliseconds from its start to the pattern on the screen.
// The process is stopped unless bKeepRunning; nothing when it shows no frame in time.
std::optional<FirstFrame> TimeToFirstFrame(const CScreenWatch& screen,
                                           const std::vector<std::string>& argv,
                                           bool bKeepRunning = false,
                                           const SpawnOptions& options = {});

// User plus system CPU seconds the process has used so far (all of its threads); -1 if gone.
double CpuSeconds(pid_t pid);
long PeakResidentKiB(pid_t pid);

double Median(std::vector<double> values);
std::string AbsolutePath(const std::string& path);
// file:// URI of an absolute path, with the characters a URI cannot carry escaped.
std::string FileUri(const std::string& path);
