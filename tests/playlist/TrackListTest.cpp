#include "playlist/TrackList.h"

#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace {

std::vector<std::string> Paths(const TrackList& tracks)
{
    std::vector<std::string> paths;
    for (const auto& entry : tracks) {
        paths.push_back(entry->strPath.toStdString());
    }
    return paths;
}

TrackList ListOf(const std::vector<QString>& paths)
{
    TrackList tracks;
    for (const QString& path : paths) {
        AddTrack(tracks, path, QString(), -1.0);
    }
    return tracks;
}

struct LengthCase
{
    double length;
    const char* text;
};

class LengthTextTest : public testing::TestWithParam<LengthCase>
{};

TEST_P(LengthTextTest, MinutesAndTwoDigitSecondsTruncated)
{
    TrackList tracks;
    AddTrack(tracks, QStringLiteral("/v/a.avi"), QString(), GetParam().length);
    EXPECT_EQ(GetLengthText(tracks, 0).toStdString(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, LengthTextTest,
    testing::Values(LengthCase{-1.0, ""}, LengthCase{0.0, "0:00"}, LengthCase{0.4, "0:00"},
                    LengthCase{5.9, "0:05"}, LengthCase{59.99, "0:59"}, LengthCase{60.0, "1:00"},
                    LengthCase{65.0, "1:05"}, LengthCase{600.0, "10:00"},
                    LengthCase{7384.0, "123:04"},
                    // Not lengths: shown as unknown rather than "0:0-2" or garbage.
                    LengthCase{-2.0, ""}, LengthCase{-0.5, ""},
                    LengthCase{std::numeric_limits<double>::quiet_NaN(), ""},
                    // Beyond the 32-bit range the text still counts up correctly.
                    LengthCase{3e9, "50000000:00"}));

struct SortedCase
{
    std::vector<QString> before;
    QString path;
    int start;
    std::vector<std::string> after;
};

class InsertSortedTest : public testing::TestWithParam<SortedCase>
{};

TEST_P(InsertSortedTest, InsertsBeforeTheFirstGreaterPathFromTheStart)
{
    const SortedCase& c = GetParam();
    TrackList tracks = ListOf(c.before);
    InsertTrackSorted(tracks, c.path, QStringLiteral("t"), 12.0, c.start);
    EXPECT_EQ(Paths(tracks), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InsertSortedTest,
    testing::Values(SortedCase{{"b", "d"}, "c", 0, {"b", "c", "d"}},
                    SortedCase{{"b", "d"}, "a", 0, {"a", "b", "d"}},
                    SortedCase{{"b", "d"}, "e", 0, {"b", "d", "e"}},
                    // Entries before the start index are never compared.
                    SortedCase{{"x", "b", "d"}, "a", 1, {"x", "a", "b", "d"}},
                    SortedCase{{}, "a", 0, {"a"}}, SortedCase{{"b", "d"}, "a", 2, {"b", "d", "a"}},
                    SortedCase{{"b", "d"}, "a", 7, {"b", "d", "a"}},
                    SortedCase{{"b", "d"}, "a", -5, {"a", "b", "d"}},
                    // Ordinal: upper case before lower case, whatever the letters.
                    SortedCase{{"a.avi", "b.avi"}, "Z.avi", 0, {"Z.avi", "a.avi", "b.avi"}},
                    SortedCase{{"/v/A.MPG", "/v/b.avi"},
                               "/v/sub/c.divx",
                               0,
                               {"/v/A.MPG", "/v/b.avi", "/v/sub/c.divx"}},
                    // UTF-16 code units, not code points: a surrogate pair (D83D ...) sorts before
                    // U+FF5E, and a letter with an accent after every plain ASCII letter.
                    SortedCase{{QStringLiteral("/v/\uFF5E")},
                               QString::fromUtf8("/v/\xF0\x9F\x98\x80"),
                               0,
                               {"/v/\xF0\x9F\x98\x80", "/v/\xEF\xBD\x9E"}},
                    SortedCase{
                        {"/v/z"}, QString::fromUtf8("/v/\xC3\xA9"), 0, {"/v/z", "/v/\xC3\xA9"}}));

TEST(InsertSortedTest, AnEqualPathGoesAfterTheExistingOneAndGetsTheGivenValues)
{
    TrackList tracks = ListOf({QStringLiteral("b"), QStringLiteral("d")});
    tracks[0]->strTitle = QStringLiteral("old");
    InsertTrackSorted(tracks, QStringLiteral("b"), QStringLiteral("new"), 42.0, 0);
    ASSERT_EQ(Paths(tracks), (std::vector<std::string>{"b", "b", "d"}));
    EXPECT_EQ(tracks[0]->strTitle.toStdString(), "old");
    const TrackEntry& added = *tracks[1];
    EXPECT_EQ(added.strTitle.toStdString(), "new");
    EXPECT_EQ(added.dLength, 42.0);
    EXPECT_EQ(added.nTrack, -1);
    EXPECT_EQ(added.nDeck, 0);
    EXPECT_EQ(added.nKind, 2);
    EXPECT_FALSE(added.bCurrent || added.bMarked || added.bNoLength);
}

TEST(TrackListTest, InsertTrackPlacesBeforeTheIndexOrAppends)
{
    TrackList tracks = ListOf({QStringLiteral("a"), QStringLiteral("c")});
    InsertTrack(tracks, QStringLiteral("b"), QString(), -1.0, 1);
    InsertTrack(tracks, QStringLiteral("z"), QString(), -1.0, -1);
    InsertTrack(tracks, QStringLiteral("0"), QString(), -1.0, 0);
    // An index beyond the end cannot be a place before an entry: it appends.
    InsertTrack(tracks, QStringLiteral("end"), QString(), -1.0, 99);
    EXPECT_EQ(Paths(tracks), (std::vector<std::string>{"0", "a", "b", "c", "z", "end"}));
}

TEST(TrackListTest, MoveKeepsTheEntryItselfAndRemoveFreesOne)
{
    TrackList tracks = ListOf({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    tracks[2]->bCurrent = true;
    const TrackEntry* moved = tracks[2].get();
    MoveTrack(tracks, 2, 1);
    EXPECT_EQ(Paths(tracks), (std::vector<std::string>{"a", "c", "b"}));
    EXPECT_EQ(tracks[1].get(), moved);
    EXPECT_TRUE(tracks[1]->bCurrent);
    MoveTrack(tracks, 0, 2);
    EXPECT_EQ(Paths(tracks), (std::vector<std::string>{"c", "b", "a"}));
    MoveTrack(tracks, 0, 3); // out of range: no change
    MoveTrack(tracks, -1, 0);
    EXPECT_EQ(Paths(tracks), (std::vector<std::string>{"c", "b", "a"}));

    RemoveTrack(tracks, 1);
    RemoveTrack(tracks, 5);
    RemoveTrack(tracks, -1);
    EXPECT_EQ(Paths(tracks), (std::vector<std::string>{"c", "a"}));
    RemoveAllTracks(tracks);
    EXPECT_TRUE(tracks.empty());
}

TEST(TrackListTest, IndexOutOfRangeGivesEmptyTextFalseOrNoChange)
{
    TrackList tracks = ListOf({QStringLiteral("/v/a.avi")});
    tracks[0]->bCurrent = true;
    tracks[0]->bMarked = true;
    tracks[0]->strTitle = QStringLiteral("title");
    for (const int index : {-1, 1, 1000, std::numeric_limits<int>::min()}) {
        EXPECT_TRUE(GetTrackPath(tracks, index).isEmpty()) << index;
        EXPECT_TRUE(GetTrackTitle(tracks, index).isEmpty()) << index;
        EXPECT_TRUE(GetTrackName(tracks, index).isEmpty()) << index;
        EXPECT_TRUE(GetLengthText(tracks, index).isEmpty()) << index;
        EXPECT_FALSE(IsTrackCurrent(tracks, index)) << index;
        EXPECT_FALSE(IsTrackMarked(tracks, index)) << index;
        SetTrackTitle(tracks, index, QStringLiteral("x"));
    }
    EXPECT_EQ(GetTrackTitle(tracks, 0).toStdString(), "title");
    EXPECT_EQ(GetTrackPath(tracks, 0).toStdString(), "/v/a.avi");
    EXPECT_TRUE(IsTrackCurrent(tracks, 0));
    EXPECT_TRUE(IsTrackMarked(tracks, 0));
    SetTrackTitle(tracks, 0, QString());
    EXPECT_TRUE(GetTrackTitle(tracks, 0).isEmpty());
}

struct NameCase
{
    const char* path;
    const char* name;
};

class TrackNameTest : public testing::TestWithParam<NameCase>
{};

TEST_P(TrackNameTest, FileNameWithoutFolderAndExtension)
{
    TrackList tracks;
    AddTrack(tracks, QString::fromUtf8(GetParam().path), QString(), -1.0);
    EXPECT_EQ(GetTrackName(tracks, 0).toStdString(), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    OddPaths, TrackNameTest,
    testing::Values(NameCase{"/Video/clip.avi", "clip"}, NameCase{"/Video/My.Clip.mpg", "My.Clip"},
                    NameCase{"/a/archive.tar.gz", "archive.tar"}, NameCase{"/a/folder/", ""},
                    NameCase{"/a/.hidden", ""}, NameCase{"/dotted.dir/noext", "noext"},
                    NameCase{"/v/trailing.", "trailing"}, NameCase{"relative.avi", "relative"},
                    NameCase{"", ""}, NameCase{"/v/a b #1 100% Ünïcødé.avi", "a b #1 100% Ünïcødé"},
                    NameCase{"/v/back\\slash.avi", "back\\slash"}));

TEST(TrackNameTest, CdTracksAreNamedByDeckAndNumber)
{
    TrackList tracks =
        ListOf({QStringLiteral("/cd"), QStringLiteral("/cd"), QStringLiteral("/cd")});
    const int decks[] = {0, 1, 7};
    for (int i = 0; i < 3; ++i) {
        tracks[static_cast<std::size_t>(i)]->nKind = 0;
        tracks[static_cast<std::size_t>(i)]->nDeck = decks[i];
        tracks[static_cast<std::size_t>(i)]->nTrack = 3 + i;
    }
    EXPECT_EQ(GetTrackName(tracks, 0).toStdString(), "Deck A CD Track 3");
    EXPECT_EQ(GetTrackName(tracks, 1).toStdString(), "Deck B CD Track 4");
    EXPECT_EQ(GetTrackName(tracks, 2).toStdString(), "Deck  CD Track 5");
}

} // namespace
