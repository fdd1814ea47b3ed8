#pragma once

#include "capture/CTavVideoSourceChooser.h"
#include "resources/SourceChooserDialog.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

// Answers the next chooser that opens modally, as a person at the screen would: once it shows,
// `answer` looks at it and presses its buttons. A chooser still open after that is cancelled, so
// a test never hangs on it.
inline void WhenChooserShows(std::function<void(CTavVideoSourceChooser&)> answer)
{
    auto* poll = new QTimer();
    QObject::connect(poll, &QTimer::timeout, [poll, answer = std::move(answer)] {
        auto* dlg = qobject_cast<CTavVideoSourceChooser*>(QApplication::activeModalWidget());
        if (dlg == nullptr || !dlg->isVisible()) {
            return;
        }
        poll->deleteLater();
        poll->stop();
        answer(*dlg);
        if (dlg->isVisible()) {
            dlg->reject();
        }
    });
    poll->start(10);
}

inline QPushButton* ChooserButton(const CTavVideoSourceChooser& dlg, int nId)
{
    return res::FindControl<QPushButton>(&dlg, nId);
}

// Presses "Video In" and answers the chooser with OK. The button has no size, so no mouse can
// reach it: Space on it is how a person presses it.
inline void PressVideoIn(QAbstractButton* videoIn)
{
    WhenChooserShows([](CTavVideoSourceChooser& dlg) { ChooserButton(dlg, IDOK)->click(); });
    QTest::keyClick(videoIn, Qt::Key_Space);
}
