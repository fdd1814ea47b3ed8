#include "playlist/TrackList.h"

#include <gtest/gtest.h>
#include <limits>
#include <tuple>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

TrackList ListOf(const Texts& paths)
{
    TrackList tracks;
    for (const std::string& path : paths) {
        AddTrack(tracks, QString::fromStdString(path), QString(), -1.0);
    }
    return tracks;
}

TEST(TrackListTest, LengthTextIsMinutesAndTwoDigitSecondsOrEmptyWhileUnknown)
{
    // -2 and NaN are not lengths: unknown rather than "0:0-2"; beyond 32 bits still counted right.
    const std::pair<double, const char*> cases[] = {
        {-1.0, ""},          {0.0, "0:00"},
        {5.9, "0:05"},       {60.0, "1:00"},
        {65.0, "1:05"},      {7384.0, "123:04"},
        {-2.0, ""},          {std::numeric_limits<double>::quiet_NaN(), ""},
        {3e9, "50000000:00"}};
    for (const auto& [length, text] : cases) {
        TrackList tracks;
        AddTrack(tracks, QStringLiteral("/v/a.avi"), QString(), length);
        EXPECT_EQ(GetLengthText(tracks, 0).toStdString(), text) << length;
    }
}

TEST(TrackListTest, SortedInsertionComparesCodeUnitsFromTheStartIndexOn)
{
    // The paths before, the path inserted and the start index, the paths after.
    const std::tuple<Texts, std::string, int, Texts> cases[] = {
        {{"b", "d"}, "c", 0, {"b", "c", "d"}},
        {{"b", "d"}, "a", 0, {"a", "b", "d"}},
        {{"b", "d"}, "e", 0, {"b", "d", "e"}},
        {{"b", "d"}, "b", 0, {"b", "b", "d"}},           // an equal path goes after
        {{"x", "b", "d"}, "a", 1, {"x", "a", "b", "d"}}, // x is never compared
        {{}, "a", 0, {"a"}},
        {{"b", "d"}, "a", 7, {"b", "d", "a"}},
        {{"a.avi", "b.avi"}, "Z.avi", 0, {"Z.avi", "a.avi", "b.avi"}},
        // UTF-16 code units: a surrogate pair (D83D ...) sorts before U+FF5E, é after z.
        {{"/v/\uFF5E"}, "/v/\U0001F600", 0, {"/v/\U0001F600", "/v/\uFF5E"}},
        {{"/v/z"}, "/v/\u00E9", 0, {"/v/z", "/v/\u00E9"}}};
    for (const auto& [before, path, start, after] : cases) {
        TrackList tracks = ListOf(before);
        InsertTrackSorted(tracks, QString::fromStdString(path), QString(), 42.0, start);
        Texts paths;
        for (const auto& entry : tracks) {
            paths.push_back(entry->strPath.toStdString());
        }
        EXPECT_EQ(paths, after) << path << " from " << start;
    }
}

TEST(TrackListTest, NamesAreFileNamesWithoutFolderAndExtension)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/Video/My.Clip.mpg", "My.Clip"},
        {"/a/archive.tar.gz", "archive.tar"},
        {"/a/folder/", ""},
        {"/a/.hidden", ""},
        {"/dotted.dir/noext", "noext"},
        {"relative.avi", "relative"},
        {"/v/a b #1 Ünïcødé.avi", "a b #1 Ünïcødé"}};
    for (const auto& [path, name] : cases) {
        TrackList tracks = ListOf({path});
        EXPECT_EQ(GetTrackName(tracks, 0).toStdString(), name) << path;
        // An index beyond either end gives the empty text, not a crash.
        EXPECT_EQ(GetTrackName(tracks, 1) + GetTrackName(tracks, -1), QString());
    }
}

} // namespace
