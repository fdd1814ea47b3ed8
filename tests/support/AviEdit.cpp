#include "AviEdit.h"

#include <QtEndian>

#include <cstring>

namespace {

// RIFF chunk: four-character id, 32-bit little-endian size, data padded to an even length.
constexpr qsizetype kChunkHeader = 8;
// Inside 'strh': fccType, then fccHandler. Inside 'strf' of a video stream (BITMAPINFOHEADER):
// biSize, biWidth, biHeight, biPlanes, biBitCount, then biCompression.
constexpr qsizetype kStrhHandlerOffset = 4;
constexpr qsizetype kStrfCompressionOffset = 16;

bool IdIs(const QByteArray& bytes, qsizetype at, const char* id)
{
    return at + 4 <= bytes.size() && std::memcmp(bytes.constData() + at, id, 4) == 0;
}

quint32 SizeAt(const QByteArray& bytes, qsizetype at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

// Walks the chunks in [begin, end) and patches the video stream list it finds.
bool PatchChunks(QByteArray* avi, qsizetype begin, qsizetype end, const char* fourcc)
{
    qsizetype strhData = -1;
    for (qsizetype at = begin; at + kChunkHeader <= end;) {
        const qsizetype size = SizeAt(*avi, at + 4);
        const qsizetype data = at + kChunkHeader;
        if (data + size > end) {
            return false;
        }
        if (IdIs(*avi, at, "LIST") && size >= 4 &&
            (IdIs(*avi, data, "hdrl") || IdIs(*avi, data, "strl"))) {
            if (PatchChunks(avi, data + 4, data + size, fourcc)) {
                return true;
            }
        } else if (IdIs(*avi, at, "strh") && size >= 8 && IdIs(*avi, data, "vids")) {
            strhData = data;
        } else if (IdIs(*avi, at, "strf") && strhData >= 0 && size >= kStrfCompressionOffset + 4) {
            std::memcpy(avi->data() + strhData + kStrhHandlerOffset, fourcc, 4);
            std::memcpy(avi->data() + data + kStrfCompressionOffset, fourcc, 4);
            return true;
        }
        at = data + size + (size % 2);
    }
    return false;
}

} // namespace

bool ReplaceVideoFourcc(QByteArray* avi, const char* fourcc)
{
    constexpr qsizetype kRiffHeader = 12; // 'RIFF', size, 'AVI '
    if (!IdIs(*avi, 0, "RIFF") || !IdIs(*avi, 8, "AVI ")) {
        return false;
    }
    return PatchChunks(avi, kRiffHeader, avi->size(), fourcc);
}
