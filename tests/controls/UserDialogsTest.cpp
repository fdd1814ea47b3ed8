#include "controls/UserDialogs.h"

#include <gtest/gtest.h>

namespace {

TEST(UserDialogsTest, ClassicFiltersBecomeCaseBlindQtFilters)
{
    const QStringList filters = CUserDialogs::QtFilters(
        QStringLiteral("Files (*.avi;*.mpg;*.wmv)|*.avi;*.mpg;*.wmv|All Files (*.*)|*.*||"));
    ASSERT_EQ(filters.size(), 2);
    EXPECT_EQ(filters[0].toStdString(),
              "Files (*.avi;*.mpg;*.wmv) (*.[aA][vV][iI] *.[mM][pP][gG] *.[wW][mM][vV])");
    EXPECT_EQ(filters[1].toStdString(), "All Files (*.*) (*)");
}

TEST(UserDialogsTest, FilterWithSpacesAroundPatternsAndDigits)
{
    const QStringList filters =
        CUserDialogs::QtFilters(QStringLiteral("Media|*.avi; *.mp4|Lists|*.m3u||"));
    ASSERT_EQ(filters.size(), 2);
    EXPECT_EQ(filters[0].toStdString(), "Media (*.[aA][vV][iI] *.[mM][pP]4)");
    EXPECT_EQ(filters[1].toStdString(), "Lists (*.[mM]3[uU])");
}

TEST(UserDialogsTest, QueuedAnswersAreTakenInOrderAndQuestionsRecorded)
{
    CUserDialogs::Reset();
    CUserDialogs::SetNextAnswer(QMessageBox::Cancel);
    CUserDialogs::SetNextAnswer(QMessageBox::Ok);
    EXPECT_EQ(CUserDialogs::MessageBox(nullptr, QStringLiteral("Are you sure?"),
                                       QStringLiteral("Delete File"),
                                       QMessageBox::Ok | QMessageBox::Cancel),
              QMessageBox::Cancel);
    EXPECT_EQ(CUserDialogs::MessageBox(nullptr, QStringLiteral("Again?"), QStringLiteral("Q"),
                                       QMessageBox::Ok | QMessageBox::Cancel),
              QMessageBox::Ok);
    EXPECT_EQ(
        CUserDialogs::TakeAskedTexts(),
        (QStringList{QStringLiteral("Delete File: Are you sure?"), QStringLiteral("Q: Again?")}));
    EXPECT_TRUE(CUserDialogs::TakeAskedTexts().isEmpty());

    CUserDialogs::SetNextFileName(QStringLiteral("/a.avi\n/b.avi"));
    CUserDialogs::SetNextFileName(QString(), 0);
    CUserDialogs::SetNextFileName(QStringLiteral("/list.pls"), 1);
    EXPECT_EQ(CUserDialogs::GetOpenFileNames(nullptr, QStringLiteral("A|*.avi||")),
              (QStringList{QStringLiteral("/a.avi"), QStringLiteral("/b.avi")}));
    EXPECT_TRUE(CUserDialogs::GetOpenFileName(nullptr, QStringLiteral("A|*.avi||")).isEmpty());
    int chosen = -1;
    EXPECT_EQ(CUserDialogs::GetSaveFileName(nullptr, QStringLiteral("A|*.m3u|B|*.pls||"), &chosen),
              QStringLiteral("/list.pls"));
    EXPECT_EQ(chosen, 1);
}

} // namespace
