#include "PlayListFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    std::vector<PlayListItem> items;
    if (!ReadPlsEntries(bytes, kFuzzFolder, &items)) {
        return 0;
    }
    CheckEntries(items);
    const QByteArray text = WritePlayListText(PlayListFormat::Pls, Numbered(items));
    std::vector<PlayListItem> again;
    if (!ReadPlsEntries(text, kFuzzFolder, &again) || again != AsWritten(items)) {
        std::abort();
    }
    return 0;
}
