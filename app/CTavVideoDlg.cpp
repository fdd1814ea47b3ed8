#include "app/CTavVideoDlg.h"

#include "app/CAboutDlg.h"
#include "app/CFirstFileRender.h"
#include "app/CTavCommandLineInfo.h"
#include "common/AppMessages.h"
#include "common/Globals.h"
#include "playback/MediaFramework.h"
#include "playlist/CPlayList.h"
#include "resources/AppIcon.h"
#include "resources/MainDialog.h"
#include "resources/StringTable.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QTimer>
#include <QWindow>

#include <unistd.h>

CTavVideoDlg::CTavVideoDlg(CTavCommandLineInfo* pCmdInfo, QWidget* parent)
    : QDialog(parent), m_pCmdInfo(pCmdInfo), m_grpControls(this), m_chkPlayList(this),
      m_btnOpen(this), m_btnPrev(this), m_btnPlay(this), m_btnNext(this), m_btnVideoIn(this),
      m_btnStop(this), m_btnDeleteFile(this), m_btnCompact(this), m_sliderPosition(this),
      m_staticTime(this), m_sliderVolume(Qt::Horizontal, this), m_videoPanel(this)
{
    // A resizable top-level window with caption, window menu, minimise and maximise boxes, shown
    // in the taskbar.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(false);
    const res::DialogTemplate& dialog = MainDialogTemplate();
    setFont(res::DialogFont(dialog));
    setWindowTitle(QString::fromUtf8(dialog.pszTitle));
    resize(res::DialogUnitsToPixels(dialog.cx, dialog.cy, font()));
    DoDataExchange();
    BindMessageMap();
}

CTavVideoDlg::~CTavVideoDlg()
{
    // The OK path ends here, before the application closes the loader's event. The loader reports
    // to this window: stopping is prompt even in the middle of a measurement.
    m_loader.Stop();
    // The video sink draws into the panel's native window, which goes with this object: the
    // session must not outlive it. Posted messages must not reach a destroyed window either.
    ReleaseSession();
    if (g_hMainWnd == this) {
        g_hMainWnd = nullptr;
    }
}

void CTavVideoDlg::DoDataExchange()
{
    const res::DialogTemplate& dialog = MainDialogTemplate();
    const std::pair<QWidget*, int> bindings[] = {
        {&m_grpControls, IDC_GROUP_CONTROLS},
        {&m_chkPlayList, IDC_CHECK_PLAYLIST},
        {&m_btnOpen, IDC_OPEN},
        {&m_btnPrev, IDC_PREV},
        {&m_btnPlay, IDC_PLAY},
        {&m_btnNext, IDC_NEXT},
        {&m_btnVideoIn, IDC_VIDEO_IN},
        {&m_btnStop, IDC_STOP},
        {&m_btnDeleteFile, IDC_DELETE_FILE},
        {&m_btnCompact, IDC_COMPACT},
        {&m_sliderPosition, IDC_SLIDER_POSITION},
        {&m_staticTime, IDC_STATIC_TIME},
        {&m_sliderVolume, IDC_SLIDER_VOLUME},
        {&m_videoPanel, IDC_VIDEO_PANEL},
    };
    for (const auto& [widget, nId] : bindings) {
        res::BindControl(widget, *res::FindTemplate(dialog, nId));
    }
    MakeTrackbar(&m_sliderVolume);
    // No push button of this window is ever the dialog's default button: Enter is the OK
    // command whatever has the focus.
    for (CTavButton* button : {&m_btnOpen, &m_btnPrev, &m_btnPlay, &m_btnNext, &m_btnVideoIn,
                               &m_btnStop, &m_btnDeleteFile, &m_btnCompact}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
}

void CTavVideoDlg::BindMessageMap()
{
    m_messageMap.On(WM_GRAPH_NOTIFY, this, &CTavVideoDlg::OnGraphNotify);
    m_messageMap.On(WM_PLAY_NEXT, this, &CTavVideoDlg::OnPlayNext);
    m_messageMap.On(WM_PLAY_CURRENT, this, &CTavVideoDlg::OnPlayCurrent);
    m_messageMap.On(WM_PLAY_PREVIOUS, this, &CTavVideoDlg::OnPlayPrevious);
    m_messageMap.On(WM_TRACK_LENGTH_LOADED, this, &CTavVideoDlg::OnTrackLengthLoaded);
    m_messageMap.On(WM_SEEK_BEGIN, this, &CTavVideoDlg::OnSeekBegin);
    m_messageMap.On(WM_SEEK_END, this, &CTavVideoDlg::OnSeekEnd);
    // The window menu is contextMenuEvent; sizing and moving are resizeEvent and moveEvent.
    connect(&m_btnOpen, &QAbstractButton::clicked, this, &CTavVideoDlg::OnOpen);
    connect(&m_btnPlay, &QAbstractButton::clicked, this, &CTavVideoDlg::OnPlay);
    connect(&m_btnStop, &QAbstractButton::clicked, this, &CTavVideoDlg::OnStop);
    connect(&m_videoPanel, &CVideoPanel::doubleClicked, this, &CTavVideoDlg::OnDblClkVideoPanel);
    connect(&m_btnVideoIn, &QAbstractButton::clicked, this, &CTavVideoDlg::OnVideoIn);
    // Timer 1 is timerEvent.
    // A trackbar's custom-draw notification is its value change: during a drag and on page
    // clicks, and also when the program moves it.
    connect(&m_sliderPosition, &QSlider::valueChanged, this, &CTavVideoDlg::OnPositionSliderDraw);
    connect(&m_sliderVolume, &QSlider::valueChanged, this, &CTavVideoDlg::OnVolumeSliderDraw);
    connect(&m_btnCompact, &QAbstractButton::clicked, this, &CTavVideoDlg::OnCompact);
    connect(&m_chkPlayList, &QAbstractButton::clicked, this, &CTavVideoDlg::OnPlayListCheck);
    connect(&m_btnDeleteFile, &QAbstractButton::clicked, this, &CTavVideoDlg::OnDeleteFile);
    // Next (1018) and Prev (1019) have no click entry: they act on button-down through
    // WM_PLAY_NEXT and WM_PLAY_PREVIOUS, which the skinned button posts for their roles.
}

int CTavVideoDlg::DoModal()
{
    OnInitDialog();
    return exec();
}

void CTavVideoDlg::OnInitDialog()
{
    AddAboutEntry();
    setWindowIcon(LoadAppIcon());
    g_hMainWnd = this;

    // Each button's role picks its images; Play stays disabled until the first file opens.
    m_btnCompact.SetRole(TavButtonRole::Compact);
    m_btnCompact.SetRole(TavButtonRole::Uncompact, false);
    m_btnCompact.EnableButton(true);
    m_btnDeleteFile.SetRole(TavButtonRole::Remove);
    m_btnOpen.SetRole(TavButtonRole::Open);
    m_btnOpen.EnableButton(true);
    m_btnNext.SetRole(TavButtonRole::NextTrack);
    m_btnPlay.SetRole(TavButtonRole::Play);
    m_btnPlay.EnableButton(false);
    m_btnPrev.SetRole(TavButtonRole::PreviousTrack);
    m_btnVideoIn.SetRole(TavButtonRole::Capture);
    m_btnVideoIn.EnableButton(true);
    m_btnStop.SetRole(TavButtonRole::Stop);
    m_btnStop.EnableButton(true);
    LayoutControls();

    m_btnCompact.setToolTip(QStringLiteral("Compact / Uncompact"));
    m_btnDeleteFile.setToolTip(QStringLiteral("Delete File"));
    m_btnOpen.setToolTip(QStringLiteral("Open Video File"));
    m_btnPlay.setToolTip(QStringLiteral("Play Video"));
    m_btnStop.setToolTip(QStringLiteral("Stop Video"));
    m_btnNext.setToolTip(QStringLiteral("Next Video"));
    m_btnVideoIn.setToolTip(QStringLiteral("View Capture Device"));
    m_btnPrev.setToolTip(QStringLiteral("Previous Video"));
    // The tips show also while the playlist window, not this one, is the active window.
    setAttribute(Qt::WA_AlwaysShowToolTips);

    m_sliderPosition.setRange(0, 1000);
    m_sliderVolume.setRange(-5000, 0);
    m_sliderVolume.setValue(-2000);

    // The window is laid out and shown before the command line's files open. The first file is
    // being prepared on a thread of its own meanwhile (see CFirstFileRender): it is told the video
    // panel first, so that its picture is drawn there the moment it is ready.
    m_chkPlayList.setChecked(true);
    SetOuterGeometry(QRect(16, 16, 640, 480));
    LayoutControls();
    const QSize panelSize = m_videoPanel.NativeSize();
    SetExpectedVideoWindowSize(panelSize.width(), panelSize.height());
    if (m_pFirstRender != nullptr) {
        m_pFirstRender->ShowVideoIn(static_cast<OAHWND>(m_videoPanel.VideoOwnerHandle()),
                                    panelSize.width(), panelSize.height());
    }
    setAttribute(Qt::WA_ShowModal, true);
    show();
    // On a screen with another scale factor the panel keeps its size in Qt's pixels but not in the
    // X server's, which the picture is placed in: it is placed again.
    connect(windowHandle(), &QWindow::screenChanged, this, [this] { LayoutControls(); });
    CreatePlayList();
    DockPlayList();
    OpenCommandLineFiles();
    m_loader.Start();
    m_bInitialized = true;
    // The first file's picture is on screen by now (its render was taken above, and the video
    // sink draws it on a thread of its own): the desktop services come after it, once the
    // window's modal loop runs.
    QTimer::singleShot(0, this, &CTavVideoDlg::StartDesktopServices);
}

void CTavVideoDlg::AddAboutEntry()
{
    // This platform's window menu is the window's context menu.
    const QString strAboutMenu = LoadResourceString(IDS_ABOUTBOX);
    if (m_pSystemMenu != nullptr || strAboutMenu.isEmpty()) {
        return;
    }
    m_pSystemMenu = new QMenu(this);
    m_pSystemMenu->addSeparator();
    QAction* about = m_pSystemMenu->addAction(strAboutMenu);
    connect(about, &QAction::triggered, this, [this] { OnSysCommand(IDM_ABOUTBOX); });
}

void CTavVideoDlg::contextMenuEvent(QContextMenuEvent* event)
{
    if (m_pSystemMenu == nullptr) {
        QDialog::contextMenuEvent(event);
        return;
    }
    m_pSystemMenu->popup(event->globalPos());
}

void CTavVideoDlg::OnSysCommand(int nId)
{
    if ((nId & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout(this);
        dlgAbout.exec();
    }
}

void CTavVideoDlg::OpenCommandLineFiles()
{
    if (m_pCmdInfo == nullptr) {
        return;
    }
    bool bLast = false;
    QString strPath;
    do {
        m_pCmdInfo->GetNextCommandLineFile(strPath, bLast);
        if (OpenMedia(strPath, true)) {
            // The entry just added is the file now playing: the end of the file and Next and
            // Prev step on from it, not from the first file named.
            m_pPlayList->SetCurrentEntry(
                m_pPlayList->AddFileEntry(strPath, QString(), m_dDuration));
        }
    } while (!bLast);
}

bool CTavVideoDlg::event(QEvent* event)
{
    if (m_messageMap.Dispatch(event)) {
        return true;
    }
    return QDialog::event(event);
}

void CTavVideoDlg::keyPressEvent(QKeyEvent* event)
{
    // Enter is the dialog's OK command: the modal run ends and the application shuts down in
    // order. Escape (QDialog's own handling) is the cancel command.
    const bool bEnter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (bEnter && modifiers == Qt::NoModifier) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CTavVideoDlg::reject()
{
    // Escape, the close box and the window manager's close all end up here.
    OnCancel();
}

void CTavVideoDlg::OnCancel()
{
    OnStop();
    // Ends the process at once, as the user asked: no shutdown code, no waiting for threads.
    ::_exit(0);
}
