#include "common/PathParts.h"

#include <gtest/gtest.h>

namespace {

struct SplitCase
{
    const char* path;
    const char* dir;
    const char* fname;
    const char* ext;
};

class PathPartsTest : public testing::TestWithParam<SplitCase>
{};

TEST_P(PathPartsTest, SplitsAtTheLastSlashAndTheLastDotOfTheName)
{
    const SplitCase& c = GetParam();
    const PathParts parts = PathParts::Split(QString::fromUtf8(c.path));
    EXPECT_TRUE(parts.drive.isEmpty());
    EXPECT_EQ(parts.dir.toStdString(), c.dir);
    EXPECT_EQ(parts.fname.toStdString(), c.fname);
    EXPECT_EQ(parts.ext.toStdString(), c.ext);
    // Folder and file name put back together give the path again.
    EXPECT_EQ((parts.drive + parts.dir + parts.fname + parts.ext).toStdString(), c.path);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, PathPartsTest,
    testing::Values(SplitCase{"/video/clip.avi", "/video/", "clip", ".avi"},
                    SplitCase{"/a/archive.tar.gz", "/a/", "archive.tar", ".gz"},
                    SplitCase{"/video/My.Clip.mpg", "/video/", "My.Clip", ".mpg"},
                    SplitCase{"/video/", "/video/", "", ""},
                    SplitCase{"/dotted.dir/noext", "/dotted.dir/", "noext", ""},
                    SplitCase{"clip.avi", "", "clip", ".avi"}, SplitCase{"/", "/", "", ""},
                    SplitCase{"", "", "", ""}, SplitCase{"/v/trailing.", "/v/", "trailing", "."},
                    SplitCase{"/v/.hidden", "/v/", "", ".hidden"},
                    SplitCase{"/v/a b #1 100% Ünïcødé.avi", "/v/", "a b #1 100% Ünïcødé", ".avi"}));

TEST(PathPartsLongTest, KeepsLongPathsWhole)
{
    const QString dir = QLatin1Char('/') + QString(300, QLatin1Char('d')) + QLatin1Char('/');
    const QString name = QString(300, QLatin1Char('n'));
    const PathParts parts = PathParts::Split(dir + name + QStringLiteral(".avi"));
    EXPECT_EQ(parts.dir, dir);
    EXPECT_EQ(parts.fname, name);
    EXPECT_EQ(parts.ext, QStringLiteral(".avi"));
}

} // namespace
