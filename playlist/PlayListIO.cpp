#include "playlist/PlayListIO.h"

#include "common/AppMessage.h"
#include "common/AppMessages.h"
#include "common/Globals.h"
#include "controls/UserDialogs.h"
#include "playlist/CPlayList.h"
#include "playlist/PlayListFile.h"
#include "playlist/TagTitle.h"
#include "playlist/TrackList.h"

#include <QFileInfo>
#include <QGuiApplication>

#include <cmath>
#include <limits>

namespace {

// A length as a list holds it: whole seconds, truncated toward zero; -1 stays -1.
int WholeSeconds(double length)
{
    if (std::isnan(length)) {
        return -1;
    }
    return static_cast<int>(std::clamp(std::trunc(length),
                                       static_cast<double>(std::numeric_limits<int>::min()),
                                       static_cast<double>(std::numeric_limits<int>::max())));
}

void ShowError(CPlayList& window, const QString& text)
{
    CUserDialogs::MessageBox(&window, text, QGuiApplication::applicationDisplayName(),
                             QMessageBox::Ok, QMessageBox::Warning);
}

} // namespace

void LoadPlayListFile(CPlayList& window, const QString& path)
{
    const PlayListFormat format = PlayListFormatOf(path);
    if (format != PlayListFormat::None) {
        QByteArray bytes;
        if (!ReadPlayListBytes(path, &bytes)) {
            return;
        }
        const QString folder = QFileInfo(path).absolutePath();
        std::vector<PlayListItem> items;
        if (format == PlayListFormat::M3u) {
            items = ReadM3uEntries(bytes, folder);
        } else if (!ReadPlsEntries(bytes, folder, &items)) {
            return;
        }
        for (const PlayListItem& item : items) {
            window.AddFileEntry(item.path, item.title, item.nLength);
        }
    }
    SendAppMessage(g_hMainWnd, WM_PLAYLIST_CHANGED);
}

void SavePlayList(CPlayList& window)
{
    const QString path = CUserDialogs::GetSaveFileName(
        &window, QStringLiteral("Files (*.m3u; *.pls)|*.m3u; *.pls|All Files (*.*)|*.*||"));
    if (path.isEmpty()) {
        return;
    }
    window.setWindowTitle(path);
    const PlayListFormat format = PlayListFormatOf(path);
    if (format == PlayListFormat::None) {
        return;
    }
    // Every file entry of the list, in list order, whether or not its row has been made yet
    // (the rows are rebuilt over timer ticks after a scan or a change of what they show).
    const auto makeText = [&window, format] {
        TrackList& tracks = window.Tracks();
        std::vector<NumberedItem> items;
        const auto count = static_cast<std::int32_t>(tracks.size());
        for (std::int32_t index = 0; index < count; ++index) {
            if (tracks[static_cast<std::size_t>(index)]->nKind != 2) {
                continue;
            }
            const QString title = ReadTagTitle(tracks, index);
            const TrackEntry& entry = *tracks[static_cast<std::size_t>(index)];
            items.push_back({index + 1, {entry.strPath, title, WholeSeconds(entry.dLength)}});
        }
        return WritePlayListText(format, items);
    };
    QString error;
    switch (WritePlayListFile(path, makeText, &error)) {
    case SaveResult::NotCreated:
        ShowError(window, QStringLiteral("File Write Error"));
        break;
    case SaveResult::WriteFailed:
        ShowError(window, error);
        break;
    case SaveResult::Written:
        break;
    }
}
