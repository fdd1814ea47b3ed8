#include "common/PathParts.h"

#include <gtest/gtest.h>

TEST(PathPartsTest, SplitsAtTheLastSlashAndTheLastDotOfTheName)
{
    const struct
    {
        const char* path;
        const char* dir;
        const char* fname;
        const char* ext;
    } cases[] = {
        {"/dotted.dir/noext", "/dotted.dir/", "noext", ""},
        {"clip.avi", "", "clip", ".avi"},
        {"/v/trailing.", "/v/", "trailing", "."},
        {"/v/.hidden", "/v/", "", ".hidden"},
        {"/v/-name #1 100% Ünïcødé.avi", "/v/", "-name #1 100% Ünïcødé", ".avi"},
    };
    for (const auto& c : cases) {
        const PathParts parts = PathParts::Split(QString::fromUtf8(c.path));
        EXPECT_TRUE(parts.drive.isEmpty()) << c.path;
        EXPECT_EQ(parts.dir.toStdString(), c.dir) << c.path;
        EXPECT_EQ(parts.fname.toStdString(), c.fname) << c.path;
        EXPECT_EQ(parts.ext.toStdString(), c.ext) << c.path;
    }
}
