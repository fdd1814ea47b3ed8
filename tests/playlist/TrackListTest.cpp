#include "playlist/TrackList.h"

#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <map>
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

// The name is the file-name part of the path's split; PathPartsTest has the splitting's cases.
TEST(TrackListTest, NamesAreFileNamesWithoutFolderAndExtension)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/Video/My.Clip.mpg", "My.Clip"}, {"/a/.hidden", ""}, {"/dotted.dir/noext", "noext"}};
    for (const auto& [path, name] : cases) {
        TrackList tracks = ListOf({path});
        EXPECT_EQ(GetTrackName(tracks, 0).toStdString(), name) << path;
        // An index beyond either end gives the empty text, not a crash.
        EXPECT_EQ(GetTrackName(tracks, 1) + GetTrackName(tracks, -1), QString());
    }
}

// The positions of every path, found by walking the whole list.
std::map<std::string, std::vector<std::int32_t>> ScannedPositions(const TrackList& tracks)
{
    std::map<std::string, std::vector<std::int32_t>> positions;
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        positions[tracks[i]->strPath.toStdString()].push_back(static_cast<std::int32_t>(i));
    }
    return positions;
}

// After every kind of change, duplicates included, the index finds exactly the entries a walk
// over the list finds; a path that left the list is found nowhere.
TEST(TrackListTest, PathIndexFollowsEveryChange)
{
    using Change = std::function<void(TrackList&)>;
    const std::pair<const char*, Change> changes[] = {
        {"append", [](TrackList& t) { AddTrack(t, "b", {}, -1.0); }},
        {"append a duplicate", [](TrackList& t) { AddTrack(t, "a", {}, -1.0); }},
        {"insert at the front", [](TrackList& t) { InsertTrack(t, "c", {}, -1.0, 0); }},
        {"insert in the middle", [](TrackList& t) { InsertTrack(t, "a", {}, -1.0, 2); }},
        {"insert sorted", [](TrackList& t) { InsertTrackSorted(t, "aa", {}, -1.0, 0); }},
        {"insert sorted from a start", [](TrackList& t) { InsertTrackSorted(t, "0", {}, 1, 3); }},
        {"move down", [](TrackList& t) { MoveTrack(t, 0, 4); }},
        {"move up", [](TrackList& t) { MoveTrack(t, 5, 1); }},
        {"move to a neighbour", [](TrackList& t) { MoveTrack(t, 2, 3); }},
        {"move out of range", [](TrackList& t) { MoveTrack(t, 2, 99); }},
        {"remove a duplicate", [](TrackList& t) { RemoveTrack(t, 1); }},
        {"remove the last", [](TrackList& t) { RemoveTrack(t, static_cast<int>(t.size()) - 1); }},
        {"remove out of range", [](TrackList& t) { RemoveTrack(t, -1); }},
        {"remove the first", [](TrackList& t) { RemoveTrack(t, 0); }},
        {"remove all", [](TrackList& t) { RemoveAllTracks(t); }},
        {"append after clearing", [](TrackList& t) { AddTrack(t, "a", {}, -1.0); }},
    };
    TrackList tracks = ListOf({"a", "x", "a"});
    const std::vector<QString> paths = {"a", "aa", "b", "c", "x", "0", "gone"};
    for (const auto& [what, change] : changes) {
        change(tracks);
        const auto scanned = ScannedPositions(tracks);
        for (const QString& path : paths) {
            const auto found = scanned.find(path.toStdString());
            EXPECT_EQ(tracks.IndicesOf(path),
                      found == scanned.end() ? std::vector<std::int32_t>{} : found->second)
                << what << ": " << path.toStdString();
        }
    }
}

} // namespace
