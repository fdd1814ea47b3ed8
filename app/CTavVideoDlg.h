#pragma once

#include "app/CMprisService.h"
#include "app/CScreenSaverInhibitor.h"
#include "common/AppMessage.h"
#include "controls/CCachedGroupBox.h"
#include "controls/CTavButtonCtrl.h"
#include "controls/CTavSliderCtrl.h"
#include "controls/CVideoPanel.h"
#include "playback/TrackLengthLoader.h"

#include <QBasicTimer>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QMargins>
#include <QRect>
#include <QSlider>
#include <QString>

class CFirstFileRender;
class CPlayList;
class CTavCommandLineInfo;
class QMenu;

// The buttons of the strip are skinned image buttons.
using CTavButton = CTavButtonCtrl;

// The main player window: the video panel above a strip of controls, the media session of the
// file being played, the three forms of the window (normal, compact, full-screen) and the
// application messages the controls, the media layer and the playlist send it.
//
// Its code is split by concern: CTavVideoDlg.cpp (construction, the message map, start-up,
// keys and the window menu), CTavVideoDlgLayout.cpp (layout and the window forms),
// CTavVideoDlgSession.cpp (the media session), CTavVideoDlgCommands.cpp (Open, delete and the
// playlist steps), CTavVideoDlgPlayList.cpp (making, docking and showing the playlist window),
// CTavVideoDlgCapture.cpp (the capture preview) and CTavVideoDlgDesktop.cpp (the screen saver and
// the desktop's media controls).
class CTavVideoDlg : public QDialog, public IMprisPlayer
{
    Q_OBJECT

public:
    // The command-line files are opened at the end of the initialisation; null: none.
    explicit CTavVideoDlg(CTavCommandLineInfo* pCmdInfo = nullptr, QWidget* parent = nullptr);
    ~CTavVideoDlg() override;

    // Where the first command-line file may already have been rendered at start-up.
    void SetFirstFileRender(CFirstFileRender* pFirstRender) { m_pFirstRender = pFirstRender; }

    // Initialises the window and runs it modally; the result of the modal run.
    int DoModal();
    // The window's initialisation, run by DoModal before the window shows.
    void OnInitDialog();

    // The media session.
    bool OpenMedia(const QString& strPath, bool bPlay);
    void ReleaseSession();
    void OnPlay();
    void OnStop();
    double GetDurationSeconds() const;
    double GetPositionSeconds() const;

    void LayoutControls();

    // State, for the tests that drive the window.
    const QString& CurrentFile() const { return m_strCurrentFile; }
    double Duration() const { return m_dDuration; }
    bool IsSeeking() const { return m_bSeeking; }

protected:
    bool event(QEvent* event) override;
    void reject() override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    // Construction and the message map.
    void DoDataExchange();
    void BindMessageMap();
    void AddAboutEntry();
    void OnSysCommand(int nId);
    void OnCancel();
    void OpenCommandLineFiles();

    // Layout and forms.
    void OnSizing();
    void OnMoving(const QRect& rcWindow);
    void OnDblClkVideoPanel();
    void OnCompact();
    void SetCompactButtonForm(bool bCompact);
    void SetFrameless(bool bFrameless);
    bool IsFrameless() const;
    QMargins CurrentFrameMargins() const;
    QMargins KnownFrameMargins() const;
    QRect OuterRect() const;
    void SetOuterGeometry(const QRect& rcWindow);

    // The session.
    void SetTimer(int nIdEvent, int nElapseMs);
    void OnTimer(int nIdEvent);
    void OnPositionSliderDraw();
    void OnVolumeSliderDraw();
    void SeekToSliderPosition();
    void EnablePlayButton();
    LResult OnGraphNotify(WParam wParam, LParam lParam);
    LResult OnSeekBegin(WParam wParam, LParam lParam);
    LResult OnSeekEnd(WParam wParam, LParam lParam);

    // The desktop around the player (CTavVideoDlgDesktop.cpp).
    void StartDesktopServices();
    void OnSessionChanged();
    CMprisState MprisState() const override;
    void MprisRaise() override;
    void MprisQuit() override;
    void MprisPlay() override;
    void MprisPause() override;
    void MprisNext() override;
    void MprisPrevious() override;
    void MprisSeekTo(double dSeconds) override;
    void MprisSetVolume(double dVolume) override;
    void MprisOpen(const QString& strPath) override;

    // The capture preview (CTavVideoDlgCapture.cpp).
    void OnVideoIn();
    void EndCapturePreview();
    static bool IsCaptureEndEvent(long lEventCode);

    // Commands.
    void OnOpen();
    void OnDeleteFile();
    void OnPlayListCheck();
    LResult OnPlayNext(WParam wParam, LParam lParam);
    LResult OnPlayCurrent(WParam wParam, LParam lParam);
    LResult OnPlayPrevious(WParam wParam, LParam lParam);
    LResult OnTrackLengthLoaded(WParam wParam, LParam lParam);

    // The playlist window (CTavVideoDlgPlayList.cpp): made by OnInitDialog; the other three do
    // nothing before that.
    void CreatePlayList();
    void DockPlayList();
    void MovePlayListTo(const QPoint& ptTopLeft);
    void ShowPlayList(bool bShow);

    CTavCommandLineInfo* m_pCmdInfo;
    CFirstFileRender* m_pFirstRender = nullptr;
    CAppMessageMap m_messageMap;

    // The fourteen controls, bound to their IDs by DoDataExchange.
    CCachedGroupBox m_grpControls;
    QCheckBox m_chkPlayList;
    CTavButton m_btnOpen;
    CTavButton m_btnPrev;
    CTavButton m_btnPlay;
    CTavButton m_btnNext;
    CTavButton m_btnVideoIn;
    CTavButton m_btnStop;
    CTavButton m_btnDeleteFile;
    CTavButton m_btnCompact;
    CTavSliderCtrl m_sliderPosition;
    QLabel m_staticTime;
    QSlider m_sliderVolume;
    CVideoPanel m_videoPanel;

    QMenu* m_pSystemMenu = nullptr; // the window menu (right click), owned by the window
    // A child of this window, made by OnInitDialog.
    CPlayList* m_pPlayList = nullptr;
    QBasicTimer m_timerPosition; // timer 1
    CTrackLengthLoader m_loader;

    QString m_strCurrentFile;
    double m_dDuration = 0.0;
    bool m_bSeeking = false;
    // The position slider was taken hold of on the session that is still current. A seek of
    // that gesture never lands on a session opened while the slider is held (the end of the
    // file, reached by the drag, opens the next entry).
    bool m_bSeekOnCurrentSession = false;
    // The current session's file has played to its end; Play then starts it again.
    bool m_bAtEnd = false;
    bool m_bFullScreen = false;
    // The full-screen form is the window manager's full-screen state (else the screen's
    // geometry, where no window manager runs); decided when the form is entered.
    bool m_bManagedFullScreen = false;
    bool m_bInitialized = false;
    QRect m_rcNormal; // the outer window rectangle before full-screen form
    // The frame the window manager draws around the framed forms (frameless forms have none);
    // the outer rectangle is kept across form changes with it. Null until known.
    mutable QMargins m_marginsFrame;

    // Counts the files opened: the media controls tell one session's file from the next.
    int m_nSession = 0;
    // Both start once the first picture is on screen: start-up never waits for the bus.
    bool m_bDesktopStarted = false;
    bool m_bDesktopUpdatePending = false;
    CScreenSaverInhibitor m_inhibitor;
    CMprisService m_mpris{*this};
};
