#include "common/PathCodec.h"

#include <gtest/gtest.h>

namespace {

// Any bytes come back unchanged; valid UTF-8 reads as its text, and only the bytes that are no
// part of valid UTF-8 (Latin-1, an overlong slash, a surrogate, a cut-off sequence, past U+10FFFF)
// show as U+FFFD.
TEST(PathCodecTest, EveryNameRoundTripsAndOnlyInvalidBytesShowAsReplacements)
{
    const std::pair<QByteArray, QString> cases[] = {
        {"/\xC2\xA3\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80.avi",
         QStringLiteral("/\u00a3\u00e9\u4e2d\U0001F600.avi")},
        {"/bad\xFF\xFE.avi", QStringLiteral("/bad\uFFFD\uFFFD.avi")},
        {"/\xC0\xAF", QStringLiteral("/\uFFFD\uFFFD")},
        {"/\xED\xB3\xBF", QStringLiteral("/\uFFFD\uFFFD\uFFFD")},
        {"/\xF0\x9F\x98", QStringLiteral("/\uFFFD\uFFFD\uFFFD")},
        {"/\xF4\x90\x80\x80", QStringLiteral("/\uFFFD\uFFFD\uFFFD\uFFFD")},
    };
    for (const auto& [bytes, shown] : cases) {
        const QString path = PathFromBytes(bytes);
        EXPECT_EQ(PathToBytes(path), bytes) << bytes.toHex().toStdString();
        EXPECT_EQ(PathDisplayText(path), shown) << bytes.toHex().toStdString();
    }
    EXPECT_EQ(PathToFileUri(PathFromBytes("/a b/%\xFF.avi")), "file:///a%20b/%25%FF.avi");
    EXPECT_EQ(PathToBytes(PathFromPercentEncoding("/a%20b/%25%FF.avi")), "/a b/%\xFF.avi");
}

} // namespace
