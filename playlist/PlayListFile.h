#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <functional>
#include <vector>

// The two playlist file formats, extended M3U and PLS, as text: reading a list's bytes into
// entries and writing entries as a list's bytes. Nothing here touches a window, so the readers can
// be run on any bytes at all.
//
// On disk a list is UTF-8 text with CR LF line ends. Reading takes LF or CR LF, and each line as
// UTF-8 where it is valid and as Latin-1 where it is not, so lists written elsewhere still load.

// One entry of a list: a path, a title (may be empty) and a length in whole seconds (-1: none).
struct PlayListItem
{
    QString path;
    QString title;
    int nLength = -1;

    bool operator==(const PlayListItem&) const = default;
};

enum class PlayListFormat
{
    None,
    M3u,
    Pls,
};

// True for the extensions (dot included) of files that are lists rather than media, in any letter
// case: ".m3u" and ".pls", and ".cue" and ".qxz", which are recognised but hold nothing we read.
bool IsPlayListExtension(const QString& ext);

// The format the path's extension names, in any letter case.
PlayListFormat PlayListFormatOf(const QString& path);

// Lists larger than this are not read: no real list comes near it, and reading a huge file (or
// turning millions of lines into rows) would stall the window.
inline constexpr qint64 kMaxPlayListBytes = 64 * 1024 * 1024;
// A reader stops after this many entries: within the size limit a hostile list of one-letter
// lines would otherwise add tens of millions of rows.
inline constexpr std::size_t kMaxPlayListEntries = 500'000;

// A length as the list gives it: optional white space and sign, then decimal digits up to the
// first other character; no digits give 0. Values beyond the integer range are clamped.
int ParsePlayListLength(QStringView text);

// The entry path a (trimmed) path text of a list names. "file:///" URLs are decoded; a text that
// starts at '/' is kept as it stands; any other text is relative to the list's folder, with '\'
// read as '/', and "." and ".." resolved. Empty when the text names no usable path (empty, or
// longer than any path can be here).
QString ResolvePlayListPath(const QString& text, const QString& folder);

// The entries of an M3U list, in file order. folder is the list's own folder (absolute).
std::vector<PlayListItem> ReadM3uEntries(const QByteArray& bytes, const QString& folder);

// The entries of a PLS list, in file order; false (and nothing) when the first line does not
// begin with "[playlist]".
bool ReadPlsEntries(const QByteArray& bytes, const QString& folder,
                    std::vector<PlayListItem>* items);

// The whole text of a list. PLS numbers each entry with its given number (the row index + 1).
struct NumberedItem
{
    int nNumber = 0;
    PlayListItem item;
};
QByteArray WritePlayListText(PlayListFormat format, const std::vector<NumberedItem>& items);

// The bytes of a regular file of at most kMaxPlayListBytes. False for anything else: a FIFO (which
// would block until a writer comes), a device, a folder, a missing or unreadable file, a huge one.
bool ReadPlayListBytes(const QString& path, QByteArray* bytes);

enum class SaveResult
{
    Written,
    NotCreated,  // the file could not be created; nothing was written
    WriteFailed, // writing failed part-way; the old file at the path is untouched
};

// Writes the text that makeText gives as the file at path, atomically: the old file stays as it
// was unless the whole text was written. makeText runs only once the file could be created.
// error receives the system's text for a failure.
SaveResult WritePlayListFile(const QString& path, const std::function<QByteArray()>& makeText,
                             QString* error);
