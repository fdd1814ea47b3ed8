// A person's round trip through the real file dialogs on the X server: add a folder, save the
// list as M3U, clear it, add the saved list, and the same rows come back. The dialogs are
// answered by typing a path and Enter into them with xdotool, as a person would at the keyboard.

#include "PlayListFixture.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QProcess>
#include <QTemporaryDir>

namespace {

// Waits in the event loop the dialog spins for the next file dialog, then types the text into
// it and presses Enter; presses Enter again (up to twice) if the dialog is still open later, in
// case the first press only closed the name completer's list.
class DialogTypist : public QObject
{
public:
    void Answer(const QString& text)
    {
        m_text = text;
        m_nPresses = 0;
        m_clock.start();
        m_timer.start(200, this);
    }

protected:
    void timerEvent(QTimerEvent*) override
    {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible()) {
            if (m_nPresses > 0 || m_clock.elapsed() > 20000) {
                m_timer.stop();
            }
            return;
        }
        const QString window = QString::number(dialog->winId());
        if (m_nPresses == 0) {
            // xdotool's "type" takes every argument after it as text: one call per step.
            QProcess::startDetached(
                QStringLiteral("sh"),
                {QStringLiteral("-c"),
                 QStringLiteral("xdotool windowfocus --sync \"$1\" && xdotool type --delay 5 "
                                "\"$2\" && xdotool key Return"),
                 QStringLiteral("sh"), window, m_text});
            m_nPresses = 1;
            m_clock.restart();
        } else if (m_nPresses < 3 && m_clock.elapsed() > 3000) {
            QProcess::startDetached(QStringLiteral("xdotool"),
                                    {QStringLiteral("windowfocus"), QStringLiteral("--sync"),
                                     window, QStringLiteral("key"), QStringLiteral("Return")});
            ++m_nPresses;
            m_clock.restart();
        }
    }

private:
    QString m_text;
    int m_nPresses = 0;
    QElapsedTimer m_clock;
    QBasicTimer m_timer;
};

using PlayListFilesEndToEndTest = PlayListTest;

TEST_F(PlayListFilesEndToEndTest, AFolderSavedAsM3uAndAddedBackGivesTheSameRows)
{
    QTemporaryDir dir;
    for (const char* name : {"tree/b.avi", "tree/A.mpg", "tree/sub/c.divx", "tree/notes.txt"}) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    DialogTypist typist;

    typist.Answer(dir.filePath(QStringLiteral("tree")));
    ClickButton(IDC_ADDFOLDER);
    ASSERT_TRUE(QTest::qWaitFor([&] { return List()->GetItemCount() == 3; }, 20000))
        << "rows after the scan: " << List()->GetItemCount();
    const Texts rows = Rows();
    EXPECT_EQ(rows, (Texts{"A||P", "b||P", "c||P"}));

    const QString list = dir.filePath(QStringLiteral("saved.m3u"));
    typist.Answer(list);
    ClickButton(IDC_SAVE);
    EXPECT_EQ(m_window->windowTitle(), list);
    ASSERT_TRUE(QFile::exists(list));

    CUserDialogs::SetNextAnswer(QMessageBox::Ok);
    ClickButton(IDC_DELETEALL);
    ASSERT_EQ(List()->GetItemCount(), 0);

    typist.Answer(list);
    ClickButton(IDC_ADDFILE);
    ASSERT_TRUE(QTest::qWaitFor([&] { return List()->GetItemCount() == 3; }, 5000));
    Texts back = Rows();
    back[0].back() = 'P'; // the first added row carries the mark
    EXPECT_EQ(back, rows);
    EXPECT_EQ(Rows()[0], "A||M");
    EXPECT_EQ(m_window->Tracks()[2]->strPath, dir.filePath(QStringLiteral("tree/sub/c.divx")));
}

} // namespace
