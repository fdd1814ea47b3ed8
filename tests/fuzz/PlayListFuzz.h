#pragma once

// What every list reader must hold on any input: it returns (no crash, no hang, no sanitizer
// finding), every entry it gives is a usable full path, and the entries it gives are what the
// writer's text of them reads back to (titles with their line breaks as spaces).

#include "playlist/PlayListFile.h"

#include <cstdlib>

inline const QString kFuzzFolder = QStringLiteral("/lists");

inline void CheckEntries(const std::vector<PlayListItem>& items)
{
    for (const PlayListItem& item : items) {
        if (!item.path.startsWith(QLatin1Char('/'))) {
            std::abort();
        }
    }
}

inline std::vector<PlayListItem> AsWritten(std::vector<PlayListItem> items)
{
    for (PlayListItem& item : items) {
        item.title.replace(QLatin1Char('\r'), QLatin1Char(' '));
        item.title.replace(QLatin1Char('\n'), QLatin1Char(' '));
    }
    return items;
}

inline std::vector<NumberedItem> Numbered(const std::vector<PlayListItem>& items)
{
    std::vector<NumberedItem> numbered;
    for (std::size_t i = 0; i < items.size(); ++i) {
        numbered.push_back({static_cast<int>(i) + 1, items[i]});
    }
    return numbered;
}
