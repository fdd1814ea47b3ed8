// The playlist window at 1,000, 10,000 and 100,000 entries: appending entries with their rows,
// a show-mode change until every row is back, MarkEntry on the last row, a length report that
// matches one path, and the length request that follows it. The first three are printed as time
// per entry, the report and the request as time per call; the baseline is the smallest list, and
// the last lines give each operation's growth against it. About 1 means: per entry, the total
// grows linearly with the list; per call, a call costs the same however long the list is.

#include "PlayListFilesBench.h"
#include "common/AutoResetEvent.h"
#include "controls/CTavListCtrl.h"
#include "playback/TrackLengthHandOver.h"
#include "playlist/CPlayList.h"
#include "resources/PlayListDialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRadioButton>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

constexpr std::array<int, 3> kSizes = {1'000, 10'000, 100'000};
constexpr int kRepeats = 5;
constexpr qint64 kRefillLimitNs = 600'000'000'000; // give up after ten minutes

enum Operation
{
    kAppend,
    kShowMode,
    kMarkLast,
    kReport,
    kRequest,
    kOperationCount
};
const char* const kNames[kOperationCount] = {"append entry+row", "show-mode refill",
                                             "MarkEntry(last)", "length report", "length request"};
// The report and the request are timed per call, the others per entry.
constexpr bool kPerCall[kOperationCount] = {false, false, false, true, true};

QString PathOf(int index)
{
    return QStringLiteral("/media/library/folder %1/clip %2.avi").arg(index % 97).arg(index);
}

void SettleEvents()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
}

double Median(std::vector<qint64> samples)
{
    std::sort(samples.begin(), samples.end());
    return static_cast<double>(samples[samples.size() / 2]);
}

// Nanoseconds per entry (or per call) for each operation at one list size.
std::array<double, kOperationCount> Measure(int entries)
{
    CPlayList window;
    window.show();
    SettleEvents();
    std::array<double, kOperationCount> perEntry{};
    QElapsedTimer clock;

    clock.start();
    for (int i = 0; i < entries; ++i) {
        window.AddFileEntry(PathOf(i), QString(), 65.0);
    }
    SettleEvents(); // the view lays itself out and scrolls once
    perEntry[kAppend] = static_cast<double>(clock.nsecsElapsed()) / entries;

    auto* showPath = res::FindControl<QRadioButton>(&window, IDC_SHOWPATH);
    clock.restart();
    showPath->click();
    while (window.GetRowCount() < entries && clock.nsecsElapsed() < kRefillLimitNs) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    perEntry[kShowMode] = static_cast<double>(clock.nsecsElapsed()) / entries;
    if (window.GetRowCount() != entries) {
        std::fprintf(stderr, "refill did not finish: %d of %d rows\n", window.GetRowCount(),
                     entries);
    }

    std::vector<qint64> samples;
    for (int r = 0; r < kRepeats; ++r) {
        clock.restart();
        window.MarkEntry(entries - 1 - r % 2);
        SettleEvents();
        samples.push_back(clock.nsecsElapsed());
    }
    perEntry[kMarkLast] = Median(samples) / entries;

    samples.clear();
    for (int r = 0; r < kRepeats; ++r) {
        g_strLengthPath = PathOf(entries / 2 + r);
        g_dTrackLength = 30.0 + r;
        clock.restart();
        window.OnTrackLengthLoaded();
        samples.push_back(clock.nsecsElapsed());
    }
    perEntry[kReport] = Median(samples);

    // A new entry at the end, the window's request for it, and its report, as the loader
    // would have it. The first round walks the list once; the rounds after it are timed.
    samples.clear();
    CAutoResetEvent event;
    g_hTrackLengthEvent = &event;
    for (int r = 0; r <= kRepeats; ++r) {
        const QString path = PathOf(entries + r);
        window.AddFileEntry(path, QString(), -1.0);
        g_bLoaderBusy = 0;
        clock.restart();
        window.OnTimer(CPlayList::kLengthRequestTimer);
        const qint64 elapsed = clock.nsecsElapsed();
        if (r > 0) {
            samples.push_back(elapsed);
        }
        if (g_strLengthPath != path || !event.WaitFor(std::chrono::milliseconds(0))) {
            std::fprintf(stderr, "the request did not ask for the new entry\n");
        }
        g_dTrackLength = 1.0;
        window.OnTrackLengthLoaded();
    }
    g_bLoaderBusy = 1;
    g_hTrackLengthEvent = nullptr;
    perEntry[kRequest] = Median(samples);
    return perEntry;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    // No loader runs here: keep the length requests from being handed out.
    g_bLoaderBusy = 1;

    std::vector<std::array<double, kOperationCount>> results;
    std::printf("%10s", "entries");
    for (const char* name : kNames) {
        std::printf("  %18s", name);
    }
    std::printf("   (ns per entry; report and request: ns per call)\n");
    for (const int size : kSizes) {
        results.push_back(Measure(size));
        std::printf("%10d", size);
        for (const double value : results.back()) {
            std::printf("  %18.1f", value);
        }
        std::printf("\n");
        std::fflush(stdout);
    }

    std::printf("\ngrowth against %d entries (1.0 = linear per entry, flat per call):\n",
                kSizes[0]);
    for (int op = 0; op < kOperationCount; ++op) {
        std::printf("  %-18s", kNames[op]);
        for (std::size_t s = 1; s < kSizes.size(); ++s) {
            std::printf("  x%-7d %6.2f", kSizes[s] / kSizes[0], results[s][op] / results[0][op]);
        }
        std::printf("  %s\n", kPerCall[op] ? "(per call)" : "(per entry)");
    }
    // The playlist's file work: per entry at each size, the whole at the largest, and the growth
    // of time per entry against the smallest list.
    std::vector<std::array<double, kFileOperationCount>> files;
    for (const int size : kSizes) {
        files.push_back(MeasureFileOperations(size));
    }
    std::printf("\n%-14s", "file work");
    for (const int size : kSizes) {
        std::printf("  %9d", size);
    }
    std::printf("   (ns per entry)  total at %d   growth per entry\n", kSizes.back());
    for (int op = 0; op < kFileOperationCount; ++op) {
        std::printf("%-14s", kFileOperationNames[op]);
        for (std::size_t s = 0; s < kSizes.size(); ++s) {
            std::printf("  %9.1f", files[s][op]);
        }
        std::printf("   %14.1f ms  ", files.back()[op] * kSizes.back() / 1e6);
        for (std::size_t s = 1; s < kSizes.size(); ++s) {
            std::printf("  x%d %.2f", kSizes[s] / kSizes[0], files[s][op] / files[0][op]);
        }
        std::printf("\n");
    }
    std::printf("\nlength report per call, %d against %d entries: %.2f\n", kSizes.back(),
                kSizes.front(), results.back()[kReport] / results.front()[kReport]);
    return 0;
}
