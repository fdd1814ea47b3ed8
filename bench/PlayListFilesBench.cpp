#include "PlayListFilesBench.h"

#include "controls/CTavEdit.h"
#include "controls/UserDialogs.h"
#include "playlist/CPlayList.h"
#include "playlist/PlayListIO.h"
#include "resources/PlayListDialog.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr qint64 kLimitNs = 600'000'000'000;

QString ClipPath(const QString& root, int index)
{
    return QStringLiteral("%1/folder %2/clip %3.avi").arg(root).arg(index % 97).arg(index);
}

double PerEntry(const QElapsedTimer& clock, int entries)
{
    return static_cast<double>(clock.nsecsElapsed()) / entries;
}

// Saves the window's list to path and loads it into a fresh window: time per entry of each.
void SaveAndLoad(CPlayList& full, const QString& path, int entries, double* save, double* load)
{
    QElapsedTimer clock;
    CUserDialogs::SetNextFileName(path);
    clock.start();
    SavePlayList(full);
    *save = PerEntry(clock, entries);

    CPlayList empty;
    clock.restart();
    LoadPlayListFile(empty, path);
    *load = PerEntry(clock, entries);
    if (empty.GetRowCount() != entries) {
        std::fprintf(stderr, "%s read back %d of %d entries\n", qPrintable(path),
                     empty.GetRowCount(), entries);
    }
}

} // namespace

std::array<double, kFileOperationCount> MeasureFileOperations(int entries)
{
    std::array<double, kFileOperationCount> perEntry{};
    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("tree"));
    for (int i = 0; i < entries; ++i) {
        const QString path = ClipPath(root, i);
        if (i < 97) {
            QDir().mkpath(QFileInfo(path).absolutePath());
        }
        const int fd = ::open(QFile::encodeName(path).constData(), O_CREAT | O_WRONLY, 0644);
        if (fd >= 0) {
            ::close(fd);
        }
    }

    CPlayList window;
    window.show();
    QElapsedTimer clock;
    CUserDialogs::SetNextFileName(root);
    clock.start();
    res::FindControl<QPushButton>(&window, IDC_ADDFOLDER)->click();
    const auto* progress = res::FindControl<QProgressBar>(&window, IDC_SCANPROGRESS);
    while (progress->isVisible() && clock.nsecsElapsed() < kLimitNs) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    perEntry[kScan] = PerEntry(clock, entries);
    if (static_cast<int>(window.Tracks().size()) != entries) {
        std::fprintf(stderr, "scan found %zu of %d files\n", window.Tracks().size(), entries);
    }
    while (window.GetRowCount() < entries && clock.nsecsElapsed() < kLimitNs) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }

    SaveAndLoad(window, dir.filePath(QStringLiteral("list.m3u")), entries, &perEntry[kSaveM3u],
                &perEntry[kLoadM3u]);
    SaveAndLoad(window, dir.filePath(QStringLiteral("list.pls")), entries, &perEntry[kSavePls],
                &perEntry[kLoadPls]);

    res::FindControl<CTavEdit>(&window, IDC_FINDTEXT)->setText(QStringLiteral("no such name"));
    window.MarkEntry(-1);
    clock.restart();
    res::FindControl<QPushButton>(&window, IDC_FINDNEXT)->click();
    perEntry[kFind] = PerEntry(clock, entries);
    return perEntry;
}
