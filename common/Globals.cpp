#include "common/Globals.h"

QObject* g_hMainWnd = nullptr;
bool g_bCompact = false;
std::atomic<std::int32_t> g_nControlBarHeight{64};
const QString g_strMediaPatterns = QStringLiteral("*.avi; *.mpg; *.mpeg; *.divx");
