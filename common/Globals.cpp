#include "common/Globals.h"

QObject* g_hMainWnd = nullptr;
bool g_bCompact = false;
std::atomic<std::int32_t> g_nControlBarHeight{64};
const QString g_strMediaPatterns = QStringLiteral("*.avi; *.mpg; *.mpeg; *.divx");
CAutoResetEvent* g_hTrackLengthEvent = nullptr;
QString g_strLengthPath;
std::atomic<std::int32_t> g_bLoaderBusy{0};
double g_dTrackLength = 0.0;
