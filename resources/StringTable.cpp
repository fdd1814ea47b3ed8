#include "resources/StringTable.h"

#include "resources/Resource.h"

QString LoadResourceString(int nId)
{
    switch (nId) {
    case IDS_ABOUTBOX:
        return QStringLiteral("&About TavVideo...");
    default:
        return {};
    }
}
