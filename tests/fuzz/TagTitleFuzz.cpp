// The ID3v1 title reader on any last 128 bytes of a file: the input is written as a file's tail
// and read back through the real reader.

#include "playlist/TagTitle.h"
#include "playlist/TrackList.h"

#include <QTemporaryFile>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    // The decoder alone, on every input; the whole reader on a file now and then (files are slow).
    const QString text = DecodeTagText(bytes);
    if (bytes.size() <= 30 && text.size() > bytes.size()) {
        std::abort();
    }
    if (size % 64 == 0) {
        static QTemporaryFile file;
        if (!file.isOpen() && !file.open()) {
            std::abort();
        }
        file.resize(0);
        file.write(QByteArray(16, 'x') + bytes);
        file.flush();
        TrackList tracks;
        AddTrack(tracks, file.fileName(), QStringLiteral("stored"), -1.0);
        if (ReadTagTitle(tracks, 0).size() > 30) {
            std::abort();
        }
    }
    return 0;
}
