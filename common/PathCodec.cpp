#include "common/PathCodec.h"

#include <QDir>

#include <limits.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

// The length of the valid UTF-8 sequence starting at bytes[i], or 0 when there is none there
// (a stray continuation byte, an overlong form, a surrogate, a value past U+10FFFF, a cut end).
qsizetype Utf8SequenceLength(QByteArrayView bytes, qsizetype i)
{
    const auto at = [&bytes](qsizetype k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = at(i);
    qsizetype length = 0;
    unsigned char low = 0x80; // the range the second byte must fall in
    unsigned char high = 0xBF;
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF; // no encoded surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (i + length > bytes.size()) {
        return 0;
    }
    if (at(i + 1) < low || at(i + 1) > high) {
        return 0;
    }
    for (qsizetype k = 2; k < length; ++k) {
        if (at(i + k) < 0x80 || at(i + k) > 0xBF) {
            return 0;
        }
    }
    return length;
}

bool IsEscapedByte(char16_t unit)
{
    return unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF;
}

} // namespace

QString PathFromBytes(QByteArrayView bytes)
{
    QString path;
    path.reserve(bytes.size());
    qsizetype i = 0;
    while (i < bytes.size()) {
        const qsizetype length = Utf8SequenceLength(bytes, i);
        if (length == 0) {
            path.append(
                QChar(static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(bytes[i]))));
            ++i;
        } else {
            // Decoded here: Qt's decoders drop a byte-order mark at the start of what they are
            // given, and U+FEFF is a character of the name like any other.
            static constexpr unsigned char kLeadMask[] = {0x7F, 0x1F, 0x0F, 0x07};
            char32_t codePoint = static_cast<unsigned char>(bytes[i]) & kLeadMask[length - 1];
            for (qsizetype k = 1; k < length; ++k) {
                codePoint = (codePoint << 6) | (static_cast<unsigned char>(bytes[i + k]) & 0x3F);
            }
            if (QChar::requiresSurrogates(codePoint)) {
                path.append(QChar(QChar::highSurrogate(codePoint)));
                path.append(QChar(QChar::lowSurrogate(codePoint)));
            } else {
                path.append(QChar(static_cast<char16_t>(codePoint)));
            }
            i += length;
        }
    }
    return path;
}

QByteArray PathToBytes(const QString& path)
{
    QByteArray bytes;
    bytes.reserve(path.size());
    const qsizetype size = path.size();
    qsizetype i = 0;
    while (i < size) {
        const char16_t unit = path[i].unicode();
        if (IsEscapedByte(unit)) {
            bytes.append(static_cast<char>(unit - kEscapeBase));
            ++i;
            continue;
        }
        // A valid pair, or one unit of any other kind; QString's UTF-8 encoder turns what is
        // left over (another lone surrogate) into U+FFFD as anywhere else.
        const qsizetype length =
            QChar::isHighSurrogate(unit) && i + 1 < size && path[i + 1].isLowSurrogate() ? 2 : 1;
        bytes.append(QStringView(path).sliced(i, length).toUtf8());
        i += length;
    }
    return bytes;
}

QString PathDisplayText(const QString& path)
{
    QString text = path;
    for (QChar& c : text) {
        if (IsEscapedByte(c.unicode())) {
            c = QChar::ReplacementCharacter;
        }
    }
    return text;
}

QByteArray PathToFileUri(const QString& path)
{
    // Built by hand: a URL made from a path that starts with "//" would take its first folder
    // as a host name, and QUrl would re-encode the bytes as UTF-8 text.
    return QByteArrayLiteral("file://") + PathToBytes(path).toPercentEncoding("/");
}

QString PathFromPercentEncoding(QByteArrayView encoded)
{
    return PathFromBytes(QByteArray::fromPercentEncoding(encoded.toByteArray()));
}

QString AbsolutePath(const QString& path)
{
    if (path.isEmpty()) {
        return path;
    }
    if (path.startsWith(QLatin1Char('/'))) {
        return path;
    }
    std::vector<char> buffer(PATH_MAX);
    if (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        return QDir::cleanPath(path); // no working folder (it was removed): the path as given
    }
    return QDir::cleanPath(PathFromBytes(buffer.data()) + QLatin1Char('/') + path);
}
