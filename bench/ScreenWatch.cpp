#include "ScreenWatch.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <algorithm>
#include <array>
#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <grp.h>
#include <sstream>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto kFrameTimeout = 15s;
constexpr int kSampleStep = 4; // every 4th pixel in both directions
constexpr uid_t kNobody = 65534;

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

} // namespace

struct CScreenWatch::Screen
{
    void AttachSharedImage();

    Display* m_display = nullptr;
    Window m_root = 0;
    int m_width = 0;
    int m_height = 0;
    // Read through shared memory where the server offers it: a copy of the screen through the
    // socket costs the server and the processes measured several milliseconds per look.
    XImage* m_shared = nullptr;
    XShmSegmentInfo m_segment{};
};

CScreenWatch::CScreenWatch(int maxWidth, int maxHeight) : m_screen(std::make_unique<Screen>())
{
    Screen& s = *m_screen;
    s.m_display = XOpenDisplay(nullptr);
    if (s.m_display == nullptr) {
        return;
    }
    s.m_root = DefaultRootWindow(s.m_display);
    s.m_width = std::min(DisplayWidth(s.m_display, DefaultScreen(s.m_display)), maxWidth);
    s.m_height = std::min(DisplayHeight(s.m_display, DefaultScreen(s.m_display)), maxHeight);
    s.AttachSharedImage();
}

CScreenWatch::~CScreenWatch()
{
    Screen& s = *m_screen;
    if (s.m_display == nullptr) {
        return;
    }
    if (s.m_shared != nullptr) {
        XShmDetach(s.m_display, &s.m_segment);
        shmdt(s.m_segment.shmaddr);
        s.m_shared->data = nullptr;
        XDestroyImage(s.m_shared);
    }
    XCloseDisplay(s.m_display);
}

bool CScreenWatch::IsOpen() const
{
    return m_screen->m_display != nullptr;
}

void CScreenWatch::Screen::AttachSharedImage()
{
    if (XShmQueryExtension(m_display) == False) {
        return;
    }
    const int number = DefaultScreen(m_display);
    XImage* image = XShmCreateImage(m_display, DefaultVisual(m_display, number),
                                    static_cast<unsigned>(DefaultDepth(m_display, number)), ZPixmap,
                                    nullptr, &m_segment, static_cast<unsigned>(m_width),
                                    static_cast<unsigned>(m_height));
    if (image == nullptr) {
        return;
    }
    m_segment.shmid =
        shmget(IPC_PRIVATE, static_cast<std::size_t>(image->bytes_per_line) * image->height,
               IPC_CREAT | 0600);
    if (m_segment.shmid < 0) {
        XDestroyImage(image);
        return;
    }
    m_segment.shmaddr = image->data = static_cast<char*>(shmat(m_segment.shmid, nullptr, 0));
    m_segment.readOnly = False;
    // Removed now, freed when both sides have let go, also if this process dies.
    shmctl(m_segment.shmid, IPC_RMID, nullptr);
    if (m_segment.shmaddr == reinterpret_cast<char*>(-1) ||
        XShmAttach(m_display, &m_segment) == False) {
        image->data = nullptr;
        XDestroyImage(image);
        return;
    }
    XSync(m_display, False);
    m_shared = image;
}

bool CScreenWatch::PatternOnScreen() const
{
    const Screen& s = *m_screen;
    XImage* image = s.m_shared;
    if (image != nullptr) {
        if (XShmGetImage(s.m_display, s.m_root, image, 0, 0, AllPlanes) == False) {
            return false;
        }
    } else {
        image = XGetImage(s.m_display, s.m_root, 0, 0, static_cast<unsigned>(s.m_width),
                          static_cast<unsigned>(s.m_height), AllPlanes, ZPixmap);
    }
    if (image == nullptr) {
        return false;
    }
    std::array<int, 7> counts{};
    for (int y = 0; y < s.m_height; y += kSampleStep) {
        for (int x = 0; x < s.m_width; x += kSampleStep) {
            if (const int bar = BarOf(XGetPixel(image, x, y)); bar >= 0) {
                ++counts[bar];
            }
        }
    }
    if (image != s.m_shared) {
        XDestroyImage(image);
    }
    return std::all_of(counts.begin(), counts.end(), [](int n) { return n >= 60; });
}

bool CScreenWatch::WaitForCleanScreen() const
{
    const auto deadline = Clock::now() + 5s;
    while (Clock::now() < deadline) {
        if (!PatternOnScreen()) {
            return true;
        }
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

pid_t Spawn(const std::vector<std::string>& argv, const SpawnOptions& options)
{
    // Everything the child needs is made before the fork: after it, only what is safe in a child
    // of a threaded process (system calls and exec) may run.
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    const bool bDrop = options.bDropRoot && geteuid() == 0;
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (!bDrop || std::strncmp(*entry, "HOME=", 5) != 0) {
            environment.emplace_back(*entry);
        }
    }
    if (bDrop) {
        environment.push_back("HOME=" + options.strHome);
    }
    std::vector<char*> envp;
    for (std::string& entry : environment) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);
    // The programs complain about the missing sound card and more; keep the report readable.
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        if (bDrop && (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)) {
            _exit(126);
        }
        execvpe(args[0], args.data(), envp.data());
        _exit(127);
    }
    close(null);
    return pid;
}

void Stop(pid_t pid)
{
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

std::optional<FirstFrame> TimeToFirstFrame(const CScreenWatch& screen,
                                           const std::vector<std::string>& argv, bool bKeepRunning,
                                           const SpawnOptions& options)
{
    if (!screen.WaitForCleanScreen()) {
        std::fprintf(stderr, "the screen still shows the pattern before a run\n");
        return std::nullopt;
    }
    const auto start = Clock::now();
    const pid_t pid = Spawn(argv, options);
    if (pid < 0) {
        std::fprintf(stderr, "cannot start %s\n", argv[0].c_str());
        return std::nullopt;
    }
    std::optional<FirstFrame> result;
    while (Clock::now() - start < kFrameTimeout) {
        if (screen.PatternOnScreen()) {
            result = FirstFrame{
                pid, std::chrono::duration<double, std::milli>(Clock::now() - start).count()};
            break;
        }
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            std::fprintf(stderr, "%s ended before showing a frame\n", argv[0].c_str());
            return std::nullopt;
        }
        std::this_thread::sleep_for(CScreenWatch::kPollStep);
    }
    if (!result) {
        std::fprintf(stderr, "%s showed no frame within %lld s\n", argv[0].c_str(),
                     static_cast<long long>(kFrameTimeout.count()));
    }
    if (!bKeepRunning || !result) {
        Stop(pid);
    }
    return result;
}

double CpuSeconds(pid_t pid)
{
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string stat;
    if (!std::getline(file, stat)) {
        return -1.0;
    }
    // The command name in parentheses may hold spaces; the fields after it are plain numbers.
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos) {
        return -1.0;
    }
    std::istringstream fields(stat.substr(close + 2));
    std::string field;
    unsigned long long utime = 0;
    unsigned long long stime = 0;
    // state is field 3; utime and stime are fields 14 and 15.
    for (int number = 3; number <= 15 && fields >> field; ++number) {
        if (number == 14) {
            utime = std::strtoull(field.c_str(), nullptr, 10);
        } else if (number == 15) {
            stime = std::strtoull(field.c_str(), nullptr, 10);
        }
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
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

double Median(std::vector<double> values)
{
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

std::string AbsolutePath(const std::string& path)
{
    char* resolved = realpath(path.c_str(), nullptr);
    std::string result = resolved != nullptr ? resolved : path;
    std::free(resolved);
    return result;
}

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
