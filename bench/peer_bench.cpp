// peer_bench [--runs N] [--seconds S] [--clips DIR] [--clip FILE-NAME] [--player PROGRAM]
//            [--earlier PROGRAM]
//
// The player against the programs people already play video with, on 720p clips of five common
// kinds made first (into DIR, /tmp/peer_bench-clips unless given; kept for later runs):
//   - process start to the first frame on the screen (see ScreenWatch.h),
//   - the CPU time (user + system, all threads) of the S seconds (10 unless given) after it,
//   - the peak resident memory at the end of those seconds.
// Every program plays with null audio and the same kind of video output: the bare playbin
// (gst-launch-1.0) gets the video sink element the player chooses here, VLC and mpv their output
// of the same kind. Null audio is each program's own: GStreamer's fakeaudiosink for the bare
// playbin, VLC's and mpv's null outputs, and the output the player chooses by itself on a machine
// without sound (where it has one, the player is given fakeaudiosink, so that nothing is heard).
// VLC and mpv are measured where they are installed. PROGRAM (the player just built unless given)
// is any build of the player; --earlier measures another build beside it (one from before a change)
// as one more peer. Each round runs every program once on every clip, in an order that turns from
// round to round, so that the noise of a shared machine and warm caches fall on all of them alike;
// the medians are printed, then the player's ratio to each of the others. Exits with 1 when a
// program showed no picture in any run of a clip.
//
// Needs an X server (DISPLAY) of at least 1280x768 without a window manager, or one that puts new
// windows at the top left.

#include "ClipEncoder.h"
#include "ScreenWatch.h"
#include "playback/MediaFramework.h"
#include "playback/SinkFactory.h"

#include <QDir>
#include <QFileInfo>
#include <QString>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;

struct Clip
{
    const char* name;
    const char* file;
    const char* video; // the encoder after the raw I420 720p pictures
    const char* mux;
    const char* audio; // the encoder after the raw stereo 44.1 kHz sound
};

// Twelve seconds, so that every program still plays when the measured seconds end.
const Clip kClips[] = {
    {"MJPEG + PCM (AVI)", "mjpeg-pcm.avi", "jpegenc", "avimux",
     "audioconvert ! audio/x-raw,format=S16LE"},
    {"MJPEG + MP3 (AVI)", "mjpeg-mp3.avi", "jpegenc", "avimux", "audioconvert ! lamemp3enc"},
    {"MPEG-2 + MP2 (PS)", "mpeg2-mp2.mpg", "mpeg2enc format=3 bitrate=8000 constraints=false",
     "mpegpsmux", "audioconvert ! twolamemp2enc"},
    {"H.264 + AAC (MP4)", "h264-aac.mp4",
     "x264enc speed-preset=superfast key-int-max=50 bitrate=4000 ! h264parse", "mp4mux",
     "audioconvert ! avenc_aac ! aacparse"},
    {"VP8 + Vorbis (WebM)", "vp8-vorbis.webm",
     "vp8enc deadline=1 cpu-used=8 target-bitrate=4000000 keyframe-max-dist=50", "webmmux",
     "audioconvert ! vorbisenc"},
};

bool MakeClip(const Clip& clip, const QString& path)
{
    const QString description =
        QStringLiteral("videotestsrc pattern=smpte horizontal-speed=4 num-buffers=300 ! "
                       "video/x-raw,format=I420,width=1280,height=720,framerate=25/1 ! %1 ! "
                       "%2 name=mux ! filesink name=out "
                       "audiotestsrc num-buffers=517 samplesperbuffer=1024 ! "
                       "audio/x-raw,rate=44100,channels=2 ! %3 ! mux.")
            .arg(QString::fromLatin1(clip.video), QString::fromLatin1(clip.mux),
                 QString::fromLatin1(clip.audio));
    QString error;
    // MPEG-2's encoder manages a few pictures a second on a busy machine.
    if (!EncodeClip(description, path, std::chrono::seconds(600), &error)) {
        std::fprintf(stderr, "cannot make %s: %s\n", clip.file, qPrintable(error));
        return false;
    }
    return true;
}

struct Program
{
    std::string name;
    // The command line for a file: the arguments before it, and the file as path or URI.
    std::vector<std::string> argv;
    bool bUri = false;
    SpawnOptions options;

    std::vector<std::string> CommandFor(const std::string& file) const
    {
        std::vector<std::string> command = argv;
        if (bUri) {
            command.back() += FileUri(file);
        } else {
            command.push_back(file);
        }
        return command;
    }
};

bool InPath(const char* name)
{
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/bin:/bin";
    std::size_t begin = 0;
    while (begin <= folders.size()) {
        const std::size_t end = std::min(folders.find(':', begin), folders.size());
        if (access((folders.substr(begin, end - begin) + "/" + name).c_str(), X_OK) == 0) {
            return true;
        }
        begin = end + 1;
    }
    return false;
}

// A home for VLC run as nobody: it refuses to run as root, and writes its settings there.
std::string NobodyHome()
{
    const std::string home = "/tmp/peer_bench-home";
    mkdir(home.c_str(), 0700);
    if (geteuid() == 0 && chown(home.c_str(), 65534, 65534) != 0) {
        std::fprintf(stderr, "cannot hand %s to nobody\n", home.c_str());
    }
    return home;
}

// The peers draw with the same kind of output as the player's sink here: the X video extension
// where the player takes it, plain X images where it takes those (a machine without a GPU, where
// their GL outputs would cost them several times the CPU), and their own choice otherwise.
struct PeerOutputs
{
    std::vector<std::string> vlc;
    std::vector<std::string> mpv;
};

PeerOutputs OutputsLike(VideoSinkKind kind)
{
    switch (kind) {
    case VideoSinkKind::XVideo:
        return {{"--vout=xcb_xv"}, {"--vo=xv"}};
    case VideoSinkKind::XImage:
        return {{"--vout=xcb_x11"}, {"--vo=x11"}};
    default:
        return {};
    }
}

std::vector<Program> Programs(const std::string& player, const std::string& earlier)
{
    std::vector<Program> programs;
    const VideoSinkKind kind = ProcessVideoSinkKind();
    const PeerOutputs outputs = OutputsLike(kind);
    programs.push_back({"player", {player}, false, {}});
    if (!earlier.empty()) {
        programs.push_back({"earlier", {earlier}, false, {}});
    }
    programs.push_back({"playbin",
                        {"gst-launch-1.0", "-q", "playbin", "audio-sink=fakeaudiosink",
                         std::string("video-sink=") + VideoSinkName(kind), "uri="},
                        true,
                        {}});
    if (InPath("vlc")) {
        Program vlc{"VLC",
                    {"vlc", "-I", "dummy", "--aout=adummy", "--no-video-title-show"},
                    false,
                    {true, NobodyHome()}};
        vlc.argv.insert(vlc.argv.end(), outputs.vlc.begin(), outputs.vlc.end());
        programs.push_back(vlc);
    } else {
        std::printf("VLC skipped: not installed\n");
    }
    if (InPath("mpv")) {
        Program mpv{"mpv",
                    {"mpv", "--no-config", "--ao=null", "--no-terminal", "--geometry=+0+0"},
                    false,
                    {}};
        mpv.argv.insert(mpv.argv.end(), outputs.mpv.begin(), outputs.mpv.end());
        programs.push_back(mpv);
    } else {
        std::printf("mpv skipped: not installed\n");
    }
    for (const Program& program : programs) {
        std::printf("%s:", program.name.c_str());
        for (const std::string& arg : program.argv) {
            std::printf(" %s", arg.c_str());
        }
        std::printf("%s\n", program.bUri ? "FILE-URI" : " FILE");
    }
    return programs;
}

struct Samples
{
    std::vector<double> firstFrameMs;
    std::vector<double> cpuSeconds;
    std::vector<double> peakMiB;
    int nFailed = 0;
};

// One run: the first frame, then the seconds after it.
void Measure(const CScreenWatch& screen, const Program& program, const std::string& file,
             int seconds, Samples* samples)
{
    const auto frame = TimeToFirstFrame(screen, program.CommandFor(file), true, program.options);
    if (!frame) {
        ++samples->nFailed;
        return;
    }
    const double cpuAtFrame = CpuSeconds(frame->pid);
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const double cpuAtEnd = CpuSeconds(frame->pid);
    const long peakKiB = PeakResidentKiB(frame->pid);
    Stop(frame->pid);
    if (cpuAtFrame < 0 || cpuAtEnd < 0 || peakKiB < 0) {
        ++samples->nFailed; // it ended on its own while it should have been playing
        return;
    }
    samples->firstFrameMs.push_back(frame->ms);
    samples->cpuSeconds.push_back(cpuAtEnd - cpuAtFrame);
    samples->peakMiB.push_back(static_cast<double>(peakKiB) / 1024.0);
}

std::string Ratio(const Samples& player, const Samples& peer, std::vector<double> Samples::*measure)
{
    const std::vector<double>& a = player.*measure;
    const std::vector<double>& b = peer.*measure;
    if (a.empty() || b.empty() || Median(b) <= 0.0) {
        return "-";
    }
    char text[16];
    std::snprintf(text, sizeof text, "%.2f", Median(a) / Median(b));
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    int runs = 5;
    int seconds = 10;
    std::string folder = "/tmp/peer_bench-clips";
    std::string only;
    std::string player = VESSA_RUNTIME_DIR "/vessa-video-player";
    std::string earlier;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        if (arg == "--runs") {
            runs = std::max(1, std::atoi(argv[i + 1]));
        } else if (arg == "--seconds") {
            seconds = std::max(1, std::atoi(argv[i + 1]));
        } else if (arg == "--clips") {
            folder = argv[i + 1];
        } else if (arg == "--clip") {
            only = argv[i + 1];
        } else if (arg == "--player") {
            player = argv[i + 1];
        } else if (arg == "--earlier") {
            earlier = argv[i + 1];
        }
    }
    if (argc % 2 == 0) {
        std::fprintf(stderr, "usage: peer_bench [--runs N] [--seconds S] [--clips DIR] "
                             "[--clip FILE-NAME] [--player PROGRAM] [--earlier PROGRAM]\n");
        return 2;
    }
    // The whole width: the peers draw 1280 pixels wide from the left edge, and the pattern's
    // last bar is at the right.
    const CScreenWatch screen(1280, 768);
    if (!screen.IsOpen() || !MediaFrameworkStartup()) {
        std::fprintf(stderr, "no X server: set DISPLAY (for example run under xvfb-run)\n");
        return 2;
    }
    QDir().mkpath(QString::fromStdString(folder));
    std::vector<const Clip*> clips;
    std::vector<std::string> files;
    for (const Clip& clip : kClips) {
        if (!only.empty() && only != clip.file) {
            continue;
        }
        const QString path = QDir(QString::fromStdString(folder)).filePath(clip.file);
        if (!QFileInfo::exists(path) && !MakeClip(clip, path)) {
            continue; // an encoder this machine lacks: measure the other kinds
        }
        clips.push_back(&clip);
        files.push_back(AbsolutePath(path.toStdString()));
    }
    if (clips.empty()) {
        std::fprintf(stderr, "no clip to play\n");
        return 1;
    }
    // Nothing may wait for a sound card that is not there, or play to one that is. Without one,
    // the player measured is the one a person gets there.
    if (ProcessHasSoundOutput()) {
        setenv("VESSA_AUDIO_SINK", "fakeaudiosink", 1);
    } else {
        unsetenv("VESSA_AUDIO_SINK");
    }
    unsetenv("VESSA_VIDEO_SINK");
    const std::vector<Program> programs = Programs(player, earlier);

    std::vector<std::vector<Samples>> samples(clips.size(), std::vector<Samples>(programs.size()));
    for (int run = 0; run < runs; ++run) {
        for (std::size_t c = 0; c < clips.size(); ++c) {
            for (std::size_t turn = 0; turn < programs.size(); ++turn) {
                const std::size_t p = (turn + static_cast<std::size_t>(run) + c) % programs.size();
                Measure(screen, programs[p], files[c], seconds, &samples[c][p]);
            }
        }
        std::fprintf(stderr, "round %d of %d done\n", run + 1, runs);
    }

    std::printf("%d rounds, %d s of playback after the first frame, player's video sink: %s, "
                "null audio everywhere (the player's: %s)\n",
                runs, seconds, CurrentVideoSinkDescription().c_str(),
                ProcessHasSoundOutput() ? "fakeaudiosink" : "its own");
    std::printf("%-20s %-8s %14s %10s %10s\n", "clip", "program", "first frame ms", "CPU s",
                "peak MiB");
    bool bAllMeasured = true;
    for (std::size_t c = 0; c < clips.size(); ++c) {
        for (std::size_t p = 0; p < programs.size(); ++p) {
            const Samples& s = samples[c][p];
            if (s.firstFrameMs.empty()) {
                bAllMeasured = false;
                std::printf("%-20s %-8s failed in every run\n", clips[c]->name,
                            programs[p].name.c_str());
                continue;
            }
            std::printf(
                "%-20s %-8s %14.0f %10.2f %10.1f%s\n", clips[c]->name, programs[p].name.c_str(),
                Median(s.firstFrameMs), Median(s.cpuSeconds), Median(s.peakMiB),
                s.nFailed > 0 ? (" (" + std::to_string(s.nFailed) + " failed)").c_str() : "");
        }
    }
    std::printf("\nratios, player / peer (below 1: the player does better)\n");
    std::printf("%-20s %-8s %12s %8s %8s\n", "clip", "peer", "first frame", "CPU", "memory");
    for (std::size_t c = 0; c < clips.size(); ++c) {
        for (std::size_t p = 1; p < programs.size(); ++p) {
            std::printf("%-20s %-8s %12s %8s %8s\n", clips[c]->name, programs[p].name.c_str(),
                        Ratio(samples[c][0], samples[c][p], &Samples::firstFrameMs).c_str(),
                        Ratio(samples[c][0], samples[c][p], &Samples::cpuSeconds).c_str(),
                        Ratio(samples[c][0], samples[c][p], &Samples::peakMiB).c_str());
        }
    }
    return bAllMeasured ? 0 : 1;
}
