#include "PlayListFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::vector<PlayListItem> items = ReadM3uEntries(bytes, kFuzzFolder);
    CheckEntries(items);
    const QByteArray text = WritePlayListText(PlayListFormat::M3u, Numbered(items));
    if (ReadM3uEntries(text, kFuzzFolder) != AsWritten(items)) {
        std::abort();
    }
    return 0;
}
