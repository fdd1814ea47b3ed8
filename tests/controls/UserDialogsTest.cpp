// The file dialogs every file question goes through: classic filters shown as written, matching
// names whatever their letter case, and the filter the user chose reported back.

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

namespace {

// Runs the dialog call; once its file dialog is up, hands it to the look (which ends it).
void WithFileDialog(const std::function<void()>& call,
                    const std::function<void(QFileDialog*)>& look)
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

// The filters shown, and the names listed once the folder has been read through the filter.
std::string Shown(QFileDialog* dialog, int nFilter, int nNames)
{
    auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    combo->setCurrentIndex(nFilter);
    dialog->selectNameFilter(dialog->nameFilters().at(nFilter));
    const auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return view->model()->rowCount(view->rootIndex()) == nNames; }, 20000));
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i) {
        texts.append(combo->itemText(i));
    }
    texts.append(QStringLiteral("--"));
    for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
        texts.append(view->model()->index(row, 0, view->rootIndex()).data().toString());
    }
    return texts.join(QLatin1Char('|')).toStdString();
}

} // namespace

TEST(UserDialogsTest, FileDialogsShowFiltersAsWrittenMatchAnyCaseAndReportTheChosenOne)
{
    CUserDialogs::Reset();
    QTemporaryDir folder;
    for (const char* name : {"CLIP.AVI", "list.m3u", "notes.txt"}) {
        QFile file(folder.filePath(QLatin1String(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const QString strOldDir = QDir::currentPath();
    QDir::setCurrent(folder.path());
    const QString filter = QStringLiteral("Media (*.avi; *.M3U)|*.avi; *.M3U|All (*.*)|*.*||");
    WithFileDialog([&] { CUserDialogs::GetOpenFileNames(nullptr, filter); },
                   [](QFileDialog* dialog) {
                       EXPECT_EQ(Shown(dialog, 0, 2),
                                 "Media (*.avi; *.M3U)|All (*.*)|--|CLIP.AVI|list.m3u");
                   });
    int nChosen = -1;
    QString strSaved;
    WithFileDialog([&] { strSaved = CUserDialogs::GetSaveFileName(nullptr, filter, &nChosen); },
                   [](QFileDialog* dialog) {
                       EXPECT_EQ(Shown(dialog, 0, 2),
                                 "Media (*.avi; *.M3U)|All (*.*)|--|CLIP.AVI|list.m3u");
                       EXPECT_EQ(Shown(dialog, 1, 3),
                                 "Media (*.avi; *.M3U)|All (*.*)|--|CLIP.AVI|list.m3u|notes.txt");
                       dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
                           ->setText(QStringLiteral("saved"));
                       static_cast<QDialog*>(dialog)->accept(); // as the Save button
                   });
    QDir::setCurrent(strOldDir);
    EXPECT_EQ(QFileInfo(strSaved).fileName().toStdString(), "saved");
    EXPECT_EQ(nChosen, 1);
}
