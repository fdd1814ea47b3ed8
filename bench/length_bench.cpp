// length_bench DIR          every media file under DIR (the folder scan's patterns)
// length_bench --make N DIR first writes N one-second clips into DIR, then measures them
//
// Files per second measured through the track length loader's whole protocol: the playlist
// window asks, the loader thread measures and reports, the window applies the report and asks
// for the next. The baseline is gst-discoverer-1.0 on the same files, run at the loader's
// priority. The two take turns over batches of the files in one run (which one goes first
// alternates), so the machine's load falls on both alike. Prints both rates, the ratio last.

#include "common/AutoResetEvent.h"
#include "common/Globals.h"
#include "controls/CTavListCtrl.h"
#include "playback/GstHandle.h"
#include "playback/MediaFramework.h"
#include "playback/TrackLengthHandOver.h"
#include "playback/TrackLengthLoader.h"
#include "playlist/CPlayList.h"
#include "resources/ControlTable.h"
#include "resources/PlayListDialog.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <cstdio>
#include <memory>

namespace {

constexpr int kBatch = 100;
constexpr qint64 kBatchLimitMs = 600'000;

QStringList MediaFiles(const QString& dir)
{
    QStringList patterns;
    for (const QString& pattern : g_strMediaPatterns.split(u';')) {
        patterns.append(pattern.trimmed());
    }
    QStringList files;
    QDirIterator it(dir, patterns, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        files.append(it.next());
    }
    files.sort();
    return files;
}

bool MakeClips(int count, const QString& dir)
{
    if (!MediaFrameworkStartup() || !QDir().mkpath(dir)) {
        return false;
    }
    const QString first = QDir(dir).filePath(QStringLiteral("clip0000.avi"));
    if (!QFile::exists(first)) {
        // One second: 25 frames at 25 fps, 25 buffers of 1764 samples at 44100 Hz.
        const QByteArray description =
            "videotestsrc num-buffers=25 ! video/x-raw,width=320,height=240,framerate=25/1 ! "
            "jpegenc ! avimux name=mux ! filesink location=\"" +
            QFile::encodeName(first) +
            "\" audiotestsrc num-buffers=25 samplesperbuffer=1764 ! "
            "audio/x-raw,format=S16LE,rate=44100,channels=2 ! mux.";
        GError* error = nullptr;
        const GstElementHandle pipeline =
            AdoptElement(gst_parse_launch(description.constData(), &error));
        const GErrorHandle errorHandle(error);
        if (pipeline == nullptr) {
            return false;
        }
        gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
        const GstBusHandle bus(gst_element_get_bus(pipeline.get()));
        const GstMessageHandle done(gst_bus_timed_pop_filtered(
            bus.get(), 60 * GST_SECOND,
            static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
        gst_element_set_state(pipeline.get(), GST_STATE_NULL);
        if (done == nullptr || GST_MESSAGE_TYPE(done.get()) != GST_MESSAGE_EOS) {
            return false;
        }
    }
    for (int i = 1; i < count; ++i) {
        const QString copy =
            QDir(dir).filePath(QStringLiteral("clip%1.avi").arg(i, 4, 10, QLatin1Char('0')));
        if (!QFile::exists(copy) && !QFile::copy(first, copy)) {
            return false;
        }
    }
    return true;
}

// Stands in for the main window: hands each report to the playlist window.
class CReportTarget : public QObject
{
public:
    CPlayList* m_pPlayList = nullptr;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() != CAppMessageEvent::EventType()) {
            return QObject::event(event);
        }
        m_pPlayList->OnTrackLengthLoaded();
        return true;
    }
};

// Milliseconds until every file of the batch has its "Time" text; -1 past the limit.
qint64 TimeLoader(const QStringList& files, CReportTarget& target)
{
    CPlayList window;
    target.m_pPlayList = &window;
    auto* list = res::FindControl<CTavListCtrl>(&window, IDC_PLAYLIST);
    for (const QString& file : files) {
        window.AddFileEntry(file, QString(), -1.0);
    }
    // The window asks for its first length on its slow timer, half a second after it was made.
    // That wait is the window's pace, not the loader's (with a batch of a hundred files it was
    // as long as the loader's whole work), so the clock starts when the window asks: the
    // loader's thread, its start-up and its first playbin are all on the clock.
    QElapsedTimer clock;
    clock.start();
    while (g_bLoaderBusy.load() == 0 && clock.elapsed() < kBatchLimitMs) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    clock.start();
    CTrackLengthLoader loader;
    loader.Start();
    int filled = 0;
    while (filled < list->GetItemCount() && clock.elapsed() < kBatchLimitMs) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        while (filled < list->GetItemCount() && !list->GetItemText(filled, 1).isEmpty()) {
            ++filled;
        }
    }
    const qint64 elapsed = clock.elapsed();
    loader.Stop();
    target.m_pPlayList = nullptr;
    return filled == list->GetItemCount() ? elapsed : -1;
}

// The same files through gst-discoverer-1.0, at the loader's lowered priority.
qint64 TimeDiscoverer(const QStringList& files, const QString& discoverer)
{
    QStringList arguments = {QStringLiteral("-n"),
                             QString::number(CTrackLengthLoader::kBelowNormalNice), discoverer};
    arguments.append(files);
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    process.start(QStringLiteral("nice"), arguments);
    if (!process.waitForFinished(static_cast<int>(kBatchLimitMs))) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    return clock.elapsed();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() == 3 && args[0] == QStringLiteral("--make")) {
        if (!MakeClips(args[1].toInt(), args[2])) {
            std::fprintf(stderr, "length_bench: could not write the clips\n");
            return 1;
        }
        args = args.mid(2);
    }
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: length_bench [--make N] DIR\n");
        return 2;
    }
    const QString discoverer = QStandardPaths::findExecutable(QStringLiteral("gst-discoverer-1.0"));
    if (discoverer.isEmpty()) {
        std::fprintf(stderr, "length_bench: gst-discoverer-1.0 is not installed\n");
        return 1;
    }
    const QStringList files = MediaFiles(args[0]);
    if (files.isEmpty()) {
        std::fprintf(stderr, "length_bench: no media files under %s\n", qPrintable(args[0]));
        return 1;
    }
    MediaFrameworkStartup();
    CAutoResetEvent event;
    g_hTrackLengthEvent = &event;
    CReportTarget target;
    g_hMainWnd = &target;

    qint64 loaderMs = 0;
    qint64 discovererMs = 0;
    for (int first = 0, turn = 0; first < files.size(); first += kBatch, ++turn) {
        const QStringList batch = files.mid(first, kBatch);
        qint64 ms[2] = {0, 0};
        for (int step = 0; step < 2; ++step) {
            const bool loaderTurn = (step == 0) == (turn % 2 == 0);
            ms[loaderTurn ? 0 : 1] =
                loaderTurn ? TimeLoader(batch, target) : TimeDiscoverer(batch, discoverer);
        }
        if (ms[0] < 0 || ms[1] < 0) {
            std::fprintf(stderr, "length_bench: a batch did not finish\n");
            return 1;
        }
        loaderMs += ms[0];
        discovererMs += ms[1];
    }
    g_hMainWnd = nullptr;
    g_hTrackLengthEvent = nullptr;

    const double loaderRate =
        files.size() * 1000.0 / static_cast<double>(std::max<qint64>(loaderMs, 1));
    const double discovererRate =
        files.size() * 1000.0 / static_cast<double>(std::max<qint64>(discovererMs, 1));
    std::printf("%lld files\n", static_cast<long long>(files.size()));
    std::printf("track length loader:  %8.1f files/s\n", loaderRate);
    std::printf("gst-discoverer-1.0:   %8.1f files/s\n", discovererRate);
    std::printf("ratio (loader / discoverer): %.2f\n", loaderRate / discovererRate);
    return 0;
}
