#include "playlist/PlayListFile.h"

#include "common/PathCodec.h"
#include "common/PathParts.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kM3uHeader = QStringLiteral("#EXTM3U");
const QString kExtInf = QStringLiteral("#EXTINF:");
const QString kPlsHeader = QStringLiteral("[playlist]");
const QString kFileKey = QStringLiteral("File");
const QString kTitleKey = QStringLiteral("Title");
const QString kLengthKey = QStringLiteral("Length");
const QString kFileUrl = QStringLiteral("file://");
constexpr char kLineEnd[] = "\r\n";

QString DecodeLine(const char* begin, qsizetype size)
{
    bool ascii = true;
    for (qsizetype i = 0; i < size && ascii; ++i) {
        ascii = static_cast<unsigned char>(begin[i]) < 0x80;
    }
    if (ascii) {
        return QString::fromLatin1(begin, size);
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(QByteArrayView(begin, size));
    return utf8.hasError() ? QString::fromLatin1(begin, size) : text;
}

// For a line "KeyN=value": the number N (the text between the key and the first "=", which must
// not be empty) and the value after the "=".
bool KeyNumberAndValue(const QString& line, const QString& key, QString* number, QString* value)
{
    if (!line.startsWith(key)) {
        return false;
    }
    const qsizetype equals = line.indexOf(QLatin1Char('='), key.size());
    if (equals <= key.size()) {
        return false;
    }
    *number = line.mid(key.size(), equals - key.size()).trimmed();
    *value = line.mid(equals + 1);
    return !number->isEmpty();
}

// The lines of a list, read and decoded one at a time (a list of millions of empty lines must
// not become millions of strings at once). A UTF-8 byte-order mark at the start is dropped, so
// a header behind it is still seen.
class LineReader
{
public:
    explicit LineReader(const QByteArray& bytes)
        : m_bytes(bytes), m_next(bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0)
    {}
    bool AtEnd() const { return m_next >= m_bytes.size(); }
    // The next line without its line end, or the empty text past the end. CR LF, LF and a lone
    // CR all end a line: lists come from every kind of system.
    QString Next()
    {
        if (AtEnd()) {
            return {};
        }
        const qsizetype start = m_next;
        qsizetype end = start;
        while (end < m_bytes.size() && m_bytes[end] != '\n' && m_bytes[end] != '\r') {
            ++end;
        }
        m_next = end + 1;
        if (end + 1 < m_bytes.size() && m_bytes[end] == '\r' && m_bytes[end + 1] == '\n') {
            ++m_next;
        }
        return DecodeLine(m_bytes.constData() + start, end - start);
    }

private:
    const QByteArray& m_bytes;
    qsizetype m_next;
};

void AddItem(std::vector<PlayListItem>* items, const QString& pathText, const QString& folder,
             QString title, int length)
{
    QString path = ResolvePlayListPath(pathText.trimmed(), folder);
    if (!path.isEmpty()) {
        items->push_back({std::move(path), std::move(title), length});
    }
}

// A path as a list line that reads back as the same path: a full path that a reader would take
// as it stands is written so; one it would change (line breaks, white space at either end, bytes
// that are no text) is written as a file URL.
QString PathLine(const QString& path)
{
    const bool plain = !path.contains(QLatin1Char('\n')) && !path.contains(QLatin1Char('\r')) &&
                       path.trimmed() == path && PathDisplayText(path) == path;
    if (plain || !path.startsWith(QLatin1Char('/'))) {
        return path;
    }
    return QString::fromLatin1(PathToFileUri(path));
}

// A title on one line: a line break inside it would split the entry.
QString TitleLine(QString title)
{
    title.replace(QLatin1Char('\r'), QLatin1Char(' '));
    title.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return title;
}

} // namespace

bool IsPlayListExtension(const QString& ext)
{
    const QString lower = ext.toLower();
    return lower == QStringLiteral(".cue") || lower == QStringLiteral(".qxz") ||
           lower == QStringLiteral(".m3u") || lower == QStringLiteral(".pls");
}

PlayListFormat PlayListFormatOf(const QString& path)
{
    const QString ext = PathParts::Split(path).ext.toLower();
    if (ext == QStringLiteral(".m3u")) {
        return PlayListFormat::M3u;
    }
    if (ext == QStringLiteral(".pls")) {
        return PlayListFormat::Pls;
    }
    return PlayListFormat::None;
}

int ParsePlayListLength(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace()) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    constexpr long long kLimit = static_cast<long long>(std::numeric_limits<int>::max()) + 1;
    long long value = 0;
    for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
        value = std::min(kLimit, value * 10 + (text[i].unicode() - u'0'));
    }
    value = negative ? -value : value;
    return static_cast<int>(std::clamp<long long>(value, std::numeric_limits<int>::min(),
                                                  std::numeric_limits<int>::max()));
}

QString ResolvePlayListPath(const QString& text, const QString& folder)
{
    QString path;
    if (text.startsWith(kFileUrl)) {
        // Only local URLs, "file:///path": a host name would name another machine.
        const QString rest = text.mid(kFileUrl.size());
        if (rest.startsWith(QLatin1Char('/'))) {
            path = PathFromPercentEncoding(rest.toUtf8());
        }
    } else if (text.startsWith(QLatin1Char('/'))) {
        path = text;
    } else if (!text.isEmpty()) {
        QString relative = text;
        relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
        path = QDir::cleanPath(folder + QLatin1Char('/') + relative);
    }
    // No file can have such a name; it is noise, however it got into the list.
    if (path.contains(QChar(0)) || path.size() >= PATH_MAX ||
        PathToBytes(path).size() >= PATH_MAX) {
        return {};
    }
    return path;
}

std::vector<PlayListItem> ReadM3uEntries(const QByteArray& bytes, const QString& folder)
{
    std::vector<PlayListItem> items;
    LineReader reader(bytes);
    bool haveLine = !reader.AtEnd();
    QString line = reader.Next();
    if (line.startsWith(kM3uHeader)) {
        haveLine = !reader.AtEnd();
        line = reader.Next();
    }
    while (haveLine && items.size() < kMaxPlayListEntries) {
        int length = -1;
        QString title;
        if (line.startsWith(kExtInf)) {
            const qsizetype comma = line.indexOf(QLatin1Char(','), kExtInf.size());
            if (comma > kExtInf.size()) {
                length = ParsePlayListLength(
                    QStringView(line).mid(kExtInf.size(), comma - kExtInf.size()));
                title = line.mid(comma + 1);
            }
            // An "#EXTINF:" line as the very last line has no path line to go with it.
            if (reader.AtEnd()) {
                break;
            }
            line = reader.Next();
        }
        // Empty lines name nothing and are passed over.
        AddItem(&items, line, folder, std::move(title), length);
        haveLine = !reader.AtEnd();
        line = reader.Next();
    }
    return items;
}

bool ReadPlsEntries(const QByteArray& bytes, const QString& folder,
                    std::vector<PlayListItem>* items)
{
    items->clear();
    LineReader reader(bytes);
    if (!reader.Next().startsWith(kPlsHeader)) {
        return false;
    }
    // Lists from elsewhere leave out titles and lengths or give the keys in any order, so each
    // line is taken by its key and number: "FileN" makes entry N, "TitleN" and "LengthN" fill it
    // wherever they stand. Entries come in the order their "File" lines do; NumberOfEntries is
    // not trusted.
    struct Entry
    {
        QString pathText;
        QString title;
        int nLength = -1;
    };
    std::vector<Entry> entries;
    QHash<QString, std::size_t> byNumber; // the entry of each FileN
    QHash<QString, Entry> early;          // TitleN / LengthN before their FileN
    const auto fill = [](Entry* entry, bool bTitle, const QString& value) {
        if (bTitle) {
            entry->title = value;
        } else {
            entry->nLength = value.isEmpty() ? -1 : ParsePlayListLength(value);
        }
    };
    while (!reader.AtEnd() && entries.size() < kMaxPlayListEntries) {
        const QString line = reader.Next();
        QString number;
        QString value;
        if (KeyNumberAndValue(line, kFileKey, &number, &value)) {
            if (byNumber.contains(number)) {
                continue; // a second FileN names no new entry
            }
            Entry entry = early.take(number);
            entry.pathText = value;
            byNumber.emplace(number, entries.size());
            entries.push_back(std::move(entry));
        } else if (const bool bTitle = KeyNumberAndValue(line, kTitleKey, &number, &value);
                   bTitle || KeyNumberAndValue(line, kLengthKey, &number, &value)) {
            const auto found = byNumber.constFind(number);
            if (found != byNumber.cend()) {
                fill(&entries[*found], bTitle, value);
            } else if (static_cast<std::size_t>(early.size()) < kMaxPlayListEntries) {
                fill(&early[number], bTitle, value);
            }
        }
    }
    for (Entry& entry : entries) {
        AddItem(items, entry.pathText, folder, std::move(entry.title), entry.nLength);
    }
    return true;
}

QByteArray WritePlayListText(PlayListFormat format, const std::vector<NumberedItem>& items)
{
    QString text;
    const auto line = [&text](const QString& content) {
        text += content;
        text += QLatin1String(kLineEnd);
    };
    if (format == PlayListFormat::M3u) {
        line(kM3uHeader);
        for (const NumberedItem& numbered : items) {
            line(kExtInf + QString::number(numbered.item.nLength) + QLatin1Char(',') +
                 TitleLine(numbered.item.title));
            line(PathLine(numbered.item.path));
        }
    } else if (format == PlayListFormat::Pls) {
        line(kPlsHeader);
        for (const NumberedItem& numbered : items) {
            const QString n = QString::number(numbered.nNumber);
            line(kFileKey + n + QLatin1Char('=') + PathLine(numbered.item.path));
            line(kTitleKey + n + QLatin1Char('=') + TitleLine(numbered.item.title));
            line(kLengthKey + n + QLatin1Char('=') + QString::number(numbered.item.nLength));
        }
        line(QStringLiteral("NumberOfEntries=") + QString::number(items.size()));
        line(QStringLiteral("Version=2"));
    }
    return text.toUtf8();
}

bool ReadPlayListBytes(const QString& path, QByteArray* bytes)
{
    const QByteArray name = PathToBytes(path);
    if (name.isEmpty()) {
        return false;
    }
    // O_NONBLOCK: opening a FIFO must not wait for a writer. The type is checked on the opened
    // descriptor, so a name swapped in between cannot slip through.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return false;
    }
    struct stat info = {};
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= kMaxPlayListBytes;
    if (ok) {
        bytes->resize(static_cast<qsizetype>(info.st_size));
        qsizetype got = 0;
        while (got < bytes->size()) {
            const ssize_t n =
                ::read(fd, bytes->data() + got, static_cast<size_t>(bytes->size() - got));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                break; // the file shrank meanwhile: take what is there
            }
            got += n;
        }
        bytes->truncate(got);
        ok = got > 0 || info.st_size == 0;
    }
    ::close(fd);
    return ok;
}

SaveResult WritePlayListFile(const QString& path, const std::function<QByteArray()>& makeText,
                             QString* error)
{
    // The text goes to a temporary file beside the list, which replaces the list only once all
    // of it is on disk: a failed write leaves the old list as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return SaveResult::NotCreated;
    }
    const QByteArray text = makeText();
    if (file.write(text) != text.size() || !file.commit()) {
        *error = file.errorString();
        file.cancelWriting();
        return SaveResult::WriteFailed;
    }
    return SaveResult::Written;
}
