// The seam every question to the user goes through: classic filters become case-blind Qt
// filters, and queued answers stand in for a person.

#include "controls/UserDialogs.h"

#include <gtest/gtest.h>

TEST(UserDialogsTest, ClassicFiltersBecomeCaseBlindQtFilters)
{
    const struct
    {
        const char* classic;
        const char* qt; // the filters joined by ";;"
    } cases[] = {
        {"Files (*.avi;*.mpg)|*.avi;*.mpg|All Files (*.*)|*.*||",
         "Files (*.avi;*.mpg) (*.[aA][vV][iI] *.[mM][pP][gG]);;All Files (*.*) (*)"},
        {"Media|*.avi; *.mp4|Lists|*.m3u||",
         "Media (*.[aA][vV][iI] *.[mM][pP]4);;Lists (*.[mM]3[uU])"},
    };
    for (const auto& c : cases) {
        const QStringList filters = CUserDialogs::QtFilters(QLatin1String(c.classic));
        EXPECT_EQ(filters.join(QStringLiteral(";;")).toStdString(), c.qt);
    }
}

TEST(UserDialogsTest, QueuedAnswersAreTakenInOrderAndQuestionsRecorded)
{
    CUserDialogs::Reset();
    CUserDialogs::SetNextAnswer(QMessageBox::Cancel);
    CUserDialogs::SetNextAnswer(QMessageBox::Ok);
    const auto buttons = QMessageBox::Ok | QMessageBox::Cancel;
    EXPECT_EQ(CUserDialogs::MessageBox(nullptr, QStringLiteral("Sure?"), QStringLiteral("Delete"),
                                       buttons),
              QMessageBox::Cancel);
    EXPECT_EQ(
        CUserDialogs::MessageBox(nullptr, QStringLiteral("Again?"), QStringLiteral("Q"), buttons),
        QMessageBox::Ok);
    EXPECT_EQ(CUserDialogs::TakeAskedTexts().join(QLatin1Char('|')).toStdString(),
              "Delete: Sure?|Q: Again?");

    CUserDialogs::SetNextFileName(QStringLiteral("/a.avi\n/b.avi"));
    CUserDialogs::SetNextFileName(QStringLiteral("/list.pls"), 1);
    EXPECT_EQ(CUserDialogs::GetOpenFileNames(nullptr, QStringLiteral("A|*.avi||")),
              (QStringList{QStringLiteral("/a.avi"), QStringLiteral("/b.avi")}));
    int chosen = -1;
    EXPECT_EQ(CUserDialogs::GetSaveFileName(nullptr, QStringLiteral("A|*.m3u|B|*.pls||"), &chosen)
                  .toStdString(),
              "/list.pls");
    EXPECT_EQ(chosen, 1);
}
