#include "playlist/TagTitle.h"

#include "common/PathCodec.h"
#include "playlist/TrackList.h"

#include <QStringDecoder>

#include <array>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qsizetype kTagSize = 128;
constexpr qsizetype kTitleOffset = 3;
constexpr qsizetype kTitleSize = 30;

bool DecodeUtf8(const QByteArray& bytes, QString* text)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = decoder.decode(bytes);
    if (decoder.hasError()) {
        return false;
    }
    *text = std::move(decoded);
    return true;
}

// Length of an incomplete UTF-8 sequence at the end of bytes (0 when the last character is
// complete or the tail is not the start of a multi-byte character).
qsizetype IncompleteUtf8Tail(const QByteArray& bytes)
{
    for (qsizetype back = 1; back <= 3 && back <= bytes.size(); ++back) {
        const auto c = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if ((c & 0xC0) == 0x80) {
            continue; // a continuation byte: look further back for the lead byte
        }
        const qsizetype needed = (c & 0xE0) == 0xC0   ? 2
                                 : (c & 0xF0) == 0xE0 ? 3
                                 : (c & 0xF8) == 0xF0 ? 4
                                                      : 0;
        return needed > back ? back : 0;
    }
    return 0;
}

// The tag bytes of a regular file, or nothing. The mode is checked before opening, and again on
// the opened descriptor, since the name may have been replaced in between.
bool ReadLastBytes(const QString& path, std::array<char, kTagSize>* buffer)
{
    const QByteArray name = PathToBytes(path);
    struct stat info = {};
    if (name.isEmpty() || ::stat(name.constData(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return false;
    }
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    buffer->fill(0);
    if (ok && info.st_size > kTagSize) {
        const ssize_t got = ::pread(fd, buffer->data(), kTagSize, info.st_size - kTagSize);
        ok = got == kTagSize;
    }
    ::close(fd);
    return ok;
}

} // namespace

QString DecodeTagText(const QByteArray& bytes)
{
    QString text;
    if (DecodeUtf8(bytes, &text)) {
        return text;
    }
    // Tag writers cut a long UTF-8 title at the field's end, often inside a character. Only a
    // field that already holds UTF-8 characters before the cut counts as such: an ASCII title
    // ending in one Latin-1 letter keeps that letter.
    const qsizetype cut = bytes.size() == kTitleSize ? IncompleteUtf8Tail(bytes) : 0;
    if (cut > 0 && DecodeUtf8(bytes.left(bytes.size() - cut), &text) &&
        text.size() < bytes.size() - cut) {
        return text;
    }
    return QString::fromLatin1(bytes);
}

QString ReadTagTitle(TrackList& tracks, std::int32_t index)
{
    if (!IsValidTrackIndex(tracks, index)) {
        return {};
    }
    TrackEntry& entry = *tracks[static_cast<std::size_t>(index)];
    std::array<char, kTagSize> tag{};
    if (!ReadLastBytes(entry.strPath, &tag)) {
        return entry.strTitle;
    }
    // A file of 128 bytes or less leaves the buffer zero, so it holds no tag.
    if (std::memcmp(tag.data(), "TAG", kTitleOffset) == 0) {
        const char* field = tag.data() + kTitleOffset;
        const auto length = static_cast<qsizetype>(::strnlen(field, kTitleSize));
        entry.strTitle = DecodeTagText(QByteArray(field, length));
    }
    return entry.strTitle;
}
