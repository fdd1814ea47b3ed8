// The playlist window at 1,000, 10,000 and 100,000 entries: appending entries with their rows,
// a show-mode change until every row is back, MarkEntry on the last row, and a length report
// that matches one path. Each is printed as time per entry; the baseline is the smallest list,
// and the last lines give each operation's growth of time per entry against it (about 1 means
// the total grows linearly with the list).
//
// A length report has to compare every entry's path, and once the list outgrows the processor's
// caches each comparison costs a trip to memory. To tell that apart from the work growing faster
// than the list, the report is also measured against a bare scan comparing the same paths held
// in a plain list of strings, in the same run.

#include "PlayListFilesBench.h"
#include "common/Globals.h"
#include "controls/CTavListCtrl.h"
#include "playlist/CPlayList.h"
#include "resources/PlayListDialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRadioButton>

#include <algorithm>
#include <array>
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
    kBareScan,
    kOperationCount
};
const char* const kNames[kOperationCount] = {"append entry+row", "show-mode refill",
                                             "MarkEntry(last)", "length report", "bare path scan"};

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

// Nanoseconds per entry for each operation at one list size.
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
    perEntry[kReport] = Median(samples) / entries;

    QStringList paths;
    for (int i = 0; i < entries; ++i) {
        paths.append(PathOf(i));
    }
    samples.clear();
    int matches = 0;
    for (int r = 0; r < kRepeats; ++r) {
        const QString wanted = PathOf(entries / 2 + r);
        clock.restart();
        for (const QString& path : std::as_const(paths)) {
            matches += path == wanted ? 1 : 0;
        }
        samples.push_back(clock.nsecsElapsed());
    }
    perEntry[kBareScan] = Median(samples) / entries;
    if (matches != kRepeats) {
        std::fprintf(stderr, "bare scan found %d paths\n", matches);
    }
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
    std::printf("   (ns per entry)\n");
    for (const int size : kSizes) {
        results.push_back(Measure(size));
        std::printf("%10d", size);
        for (const double value : results.back()) {
            std::printf("  %18.1f", value);
        }
        std::printf("\n");
        std::fflush(stdout);
    }

    std::printf("\ngrowth of time per entry against %d entries (1.0 = linear):\n", kSizes[0]);
    for (int op = 0; op < kOperationCount; ++op) {
        std::printf("  %-18s", kNames[op]);
        for (std::size_t s = 1; s < kSizes.size(); ++s) {
            std::printf("  x%-7d %6.2f", kSizes[s] / kSizes[0], results[s][op] / results[0][op]);
        }
        std::printf("\n");
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
    std::printf("\nlength report against the bare path scan of the same list:\n");
    for (std::size_t s = 0; s < kSizes.size(); ++s) {
        std::printf("  %8d entries  %6.2f\n", kSizes[s],
                    results[s][kReport] / results[s][kBareScan]);
    }
    return 0;
}
