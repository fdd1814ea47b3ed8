// The seam every question to the user goes through: classic filters become case-blind Qt
// filters, the real file dialogs show them as written, and queued answers stand in for a person.

#include "controls/UserDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
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

namespace {

// Runs the dialog call; once its file dialog is up, hands it to the look (which ends it).
template <class Call>
void WithFileDialog(Call call, const std::function<void(QFileDialog*)>& look)
{
    bool bLooked = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || bLooked) {
            return;
        }
        bLooked = true;
        look(dialog);
        if (dialog->isVisible()) {
            dialog->reject();
        }
    });
    poll.start(20);
    call();
    EXPECT_TRUE(bLooked) << "no file dialog came up";
}

QStringList ShownFilters(QFileDialog* dialog)
{
    QStringList texts;
    const auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    for (int i = 0; combo != nullptr && i < combo->count(); ++i) {
        texts.append(combo->itemText(i));
    }
    return texts;
}

// The names the dialog lists in its folder, once it has read them.
QStringList ListedNames(QFileDialog* dialog)
{
    const auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
    QStringList names;
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return view->model()->rowCount(view->rootIndex()) >= 1; }, 5000))
        << "the folder was not read";
    for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
        names.append(view->model()->index(row, 0, view->rootIndex()).data().toString());
    }
    return names;
}

} // namespace

TEST(UserDialogsTest, FileDialogsShowFiltersAsWrittenMatchAnyCaseAndReportTheChosenOne)
{
    CUserDialogs::Reset();
    QTemporaryDir folder;
    for (const char* name : {"CLIP.AVI", "notes.txt"}) {
        QFile file(folder.filePath(QLatin1String(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const QString strOldDir = QDir::currentPath();
    QDir::setCurrent(folder.path());
    const QString open =
        QStringLiteral("Files (*.avi;*.mpg;*.wmv)|*.avi;*.mpg;*.wmv|All Files (*.*)|*.*||");
    const QStringList shownOpen{QStringLiteral("Files (*.avi;*.mpg;*.wmv)"),
                                QStringLiteral("All Files (*.*)")};
    WithFileDialog([&] { CUserDialogs::GetOpenFileName(nullptr, open); },
                   [&](QFileDialog* dialog) {
                       EXPECT_EQ(ShownFilters(dialog), shownOpen);
                       EXPECT_EQ(ListedNames(dialog), QStringList{QStringLiteral("CLIP.AVI")});
                   });
    WithFileDialog([&] { CUserDialogs::GetOpenFileNames(nullptr, open); },
                   [&](QFileDialog* dialog) { EXPECT_EQ(ShownFilters(dialog), shownOpen); });

    const QString save = QStringLiteral("Files (*.m3u; *.pls)|*.m3u; *.pls|All Files (*.*)|*.*||");
    int nChosen = -1;
    QString strSaved;
    WithFileDialog(
        [&] { strSaved = CUserDialogs::GetSaveFileName(nullptr, save, &nChosen); },
        [&](QFileDialog* dialog) {
            EXPECT_EQ(ShownFilters(dialog), (QStringList{QStringLiteral("Files (*.m3u; *.pls)"),
                                                         QStringLiteral("All Files (*.*)")}));
            dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))->setCurrentIndex(1);
            dialog->selectNameFilter(dialog->nameFilters().at(1));
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
                ->setText(QStringLiteral("list"));
            static_cast<QDialog*>(dialog)->accept(); // as the Save button
        });
    QDir::setCurrent(strOldDir);
    EXPECT_EQ(QFileInfo(strSaved).fileName(), QStringLiteral("list"));
    EXPECT_EQ(nChosen, 1);
}
