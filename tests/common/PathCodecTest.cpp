#include "common/PathCodec.h"

#include <gtest/gtest.h>

namespace {

// Any bytes come back unchanged; valid UTF-8 reads as its text, and only the bytes that are no
// part of valid UTF-8 show as U+FFFD.
TEST(PathCodecTest, EveryNameRoundTripsAndOnlyInvalidBytesShowAsReplacements)
{
    const struct
    {
        const char* name;
        QByteArray bytes;
        QString shown;
    } cases[] = {
        {"ASCII", "/v/clip.avi", QStringLiteral("/v/clip.avi")},
        {"UTF-8 of every length, the lowest two-byte lead",
         "/\xC2\xA3\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80",
         QStringLiteral("/\u00a3\u00e9\u4e2d\U0001F600")},
        {"byte-order mark",
         "/\xEF\xBB\xBF"
         "a",
         QStringLiteral("/\uFEFFa")},
        {"Latin-1", "/bad\xFF\xFE.avi", QStringLiteral("/bad\uFFFD\uFFFD.avi")},
        {"overlong slash", "/\xC0\xAF", QStringLiteral("/\uFFFD\uFFFD")},
        {"encoded surrogate", "/\xED\xB3\xBF", QStringLiteral("/\uFFFD\uFFFD\uFFFD")},
        {"cut-off sequence at the end", "/\xF0\x9F\x98", QStringLiteral("/\uFFFD\uFFFD\uFFFD")},
        {"past U+10FFFF", "/\xF4\x90\x80\x80", QStringLiteral("/\uFFFD\uFFFD\uFFFD\uFFFD")},
    };
    for (const auto& c : cases) {
        const QString path = PathFromBytes(c.bytes);
        EXPECT_EQ(PathToBytes(path), c.bytes) << c.name;
        EXPECT_EQ(PathDisplayText(path), c.shown) << c.name;
    }
    EXPECT_EQ(PathToFileUri(PathFromBytes("/a b/%\xFF.avi")), "file:///a%20b/%25%FF.avi");
    EXPECT_EQ(PathToBytes(PathFromPercentEncoding("/a%20b/%25%FF.avi")), "/a b/%\xFF.avi");
}

} // namespace
