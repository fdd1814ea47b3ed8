// The file dialogs every file question goes through: classic filters shown as written, and names
// matching them whatever their letter case.

#include "controls/UserDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

TEST(UserDialogsTest, FileDialogsShowFiltersAsWrittenAndMatchAnyCase)
{
    CUserDialogs::Reset();
    QTemporaryDir folder;
    for (const char* name : {"CLIP.AVI", "list.m3u", "notes.txt"}) {
        QFile file(folder.filePath(QLatin1String(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const QString strOldDir = QDir::currentPath();
    QDir::setCurrent(folder.path());
    // Once the dialog is up: the filters shown, and the names listed once the folder has been
    // read through each filter.
    QStringList shown;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !shown.isEmpty()) {
            return;
        }
        auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        const auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
        for (int filter = 0; filter < combo->count(); ++filter) {
            combo->setCurrentIndex(filter);
            dialog->selectNameFilter(dialog->nameFilters().at(filter));
            EXPECT_TRUE(QTest::qWaitFor(
                [&] { return view->model()->rowCount(view->rootIndex()) == 2 + filter; }, 20000));
            shown.append(combo->itemText(filter) + QLatin1Char(':'));
            for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
                shown.append(view->model()->index(row, 0, view->rootIndex()).data().toString());
            }
        }
        dialog->reject();
    });
    poll.start(20);
    CUserDialogs::GetOpenFileNames(
        nullptr, QStringLiteral("Media (*.avi; *.M3U)|*.avi; *.M3U|All (*.*)|*.*||"));
    QDir::setCurrent(strOldDir);
    EXPECT_EQ(shown.join(QLatin1Char(' ')).toStdString(),
              "Media (*.avi; *.M3U): CLIP.AVI list.m3u All (*.*): CLIP.AVI list.m3u notes.txt");
}
