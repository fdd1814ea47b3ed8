#include "app/CTavCommandLineInfo.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace {

struct CommandLineCase
{
    const char* pszName;
    QStringList arguments;      // after the program name
    std::vector<QString> files; // what GetNextCommandLineFile hands out until last
};

const CommandLineCase kCases[] = {
    {"no arguments: one empty path, last at once", {}, {QString()}},
    {"one file", {QStringLiteral("/media/a.avi")}, {QStringLiteral("/media/a.avi")}},
    {"files in argument order",
     {QStringLiteral("a.avi"), QStringLiteral("b c.mpg"), QStringLiteral("/d.avi")},
     {QStringLiteral("a.avi"), QStringLiteral("b c.mpg"), QStringLiteral("/d.avi")}},
    {"a flag marker is dropped and the rest is a file",
     {QStringLiteral("-x"), QStringLiteral("--y"), QStringLiteral("/x")},
     {QStringLiteral("x"), QStringLiteral("-y"), QStringLiteral("/x")}},
    {"commands of other programs are files too",
     {QStringLiteral("/p"), QStringLiteral("-dde"), QStringLiteral("print")},
     {QStringLiteral("/p"), QStringLiteral("dde"), QStringLiteral("print")}},
};

} // namespace

TEST(CommandLineInfo, HandsOutTheFilesInOrderWithLastOnTheFinalOne)
{
    for (const CommandLineCase& c : kCases) {
        SCOPED_TRACE(c.pszName);
        CTavCommandLineInfo info;
        info.ParseCommandLine(QStringList{QStringLiteral("vessa-video-player")} + c.arguments);
        std::vector<QString> handedOut;
        bool bLast = false;
        for (int guard = 0; !bLast && guard < 100; ++guard) {
            QString strPath = QStringLiteral("unchanged");
            info.GetNextCommandLineFile(strPath, bLast);
            handedOut.push_back(strPath);
        }
        EXPECT_TRUE(bLast);
        EXPECT_EQ(handedOut, c.files);
    }
}

TEST(CommandLineInfo, LeavesTheCallersLastFlagAloneBeforeTheFinalFile)
{
    CTavCommandLineInfo info;
    info.ParseParam(QStringLiteral("a"));
    info.ParseParam(QStringLiteral("b"));
    QString strPath;
    bool bLast = false;
    info.GetNextCommandLineFile(strPath, bLast);
    EXPECT_FALSE(bLast);
    bLast = true; // a caller that set it stays told
    info.GetNextCommandLineFile(strPath, bLast);
    EXPECT_EQ(strPath, QStringLiteral("b"));
    EXPECT_TRUE(bLast);
    // Asked past the end, it hands out nothing rather than reading past the list.
    bLast = false;
    info.GetNextCommandLineFile(strPath, bLast);
    EXPECT_TRUE(strPath.isEmpty());
    EXPECT_TRUE(bLast);
}
