#include "playlist/CPlayList.h"

#include "common/AppMessage.h"
#include "common/AppMessages.h"
#include "common/Globals.h"
#include "controls/CTavEdit.h"
#include "controls/CTavListCtrl.h"
#include "playlist/PlayListTemplate.h"
#include "playlist/RowImages.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTimerEvent>

namespace {

// The "Time" column's width, and the room column 0 leaves beside it and the scroll bar.
constexpr int kTimeColumnWidth = 46;
constexpr int kFilesColumnSlack = 50;

QWidget* CreateControl(const ControlTemplate& control, QWidget* window)
{
    const QString text = QString::fromLatin1(control.text);
    switch (control.kind) {
    case ControlClass::ListView:
        return new CTavListCtrl(window);
    case ControlClass::SkinnedButton:
    case ControlClass::PushButton: {
        // No push button of this window is ever the default button.
        auto* button = new QPushButton(text, window);
        button->setAutoDefault(false);
        button->setDefault(false);
        return button;
    }
    case ControlClass::ProgressBar:
        return new QProgressBar(window);
    case ControlClass::Edit:
        return new CTavEdit(window);
    case ControlClass::GroupBox: {
        // A frame drawn over its neighbours, as the classic group box is: clicks go through it.
        auto* group = new QGroupBox(text, window);
        group->setAttribute(Qt::WA_TransparentForMouseEvents);
        return group;
    }
    case ControlClass::RadioButton:
        return new QRadioButton(text, window);
    }
    return nullptr;
}

} // namespace

CPlayList::CPlayList(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    CreateControls();
    BindControls();
    OnInitDialog();
}

CPlayList::~CPlayList() = default;

// Builds the controls of template 129 in template order and binds the members to them by ID.
void CPlayList::CreateControls()
{
    const DialogTemplate& dialog = PlayListTemplate();
    setWindowTitle(QString::fromLatin1(dialog.caption));
    setFont(DialogFont(dialog));
    const CDialogUnits units(font());
    for (const ControlTemplate& control : dialog.controls) {
        QWidget* widget = CreateControl(control, this);
        SetControlId(widget, control.nId);
        widget->setGeometry(units.ToPixels(control.rcUnits));
        if (!control.bVisible) {
            widget->hide();
        }
    }
    setFixedSize(units.ToPixels(dialog.sizeUnits));

    m_list = FindControl<CTavListCtrl>(this, IDC_PLAYLIST);
    m_btnUp = FindControl<Button>(this, IDC_MOVEUP);
    m_btnAddFile = FindControl<Button>(this, IDC_ADDFILE);
    m_btnAddFolder = FindControl<Button>(this, IDC_ADDFOLDER);
    m_btnDelete = FindControl<Button>(this, IDC_DELETE);
    m_btnDown = FindControl<Button>(this, IDC_MOVEDOWN);
    m_editFind = FindControl<CTavEdit>(this, IDC_FINDTEXT);
    m_btnSave = FindControl<Button>(this, IDC_SAVE);
    m_progress = FindControl<QProgressBar>(this, IDC_SCANPROGRESS);
    m_btnDeleteAll = FindControl<Button>(this, IDC_DELETEALL);
}

// The window's map: which notification of which control runs which handler. Adding files,
// saving and Find bind their own buttons.
void CPlayList::BindControls()
{
    connect(m_list, &CTavListCtrl::DoubleClick, this, &CPlayList::OnListDblClk);
    connect(m_list, &CTavListCtrl::Click, this, &CPlayList::OnListClick);
    connect(m_btnUp, &QPushButton::clicked, this, &CPlayList::OnMoveUp);
    connect(m_btnDown, &QPushButton::clicked, this, &CPlayList::OnMoveDown);
    connect(m_btnDelete, &QPushButton::clicked, this, &CPlayList::OnDelete);
    connect(m_btnDeleteAll, &QPushButton::clicked, this, &CPlayList::OnDeleteAll);
    connect(FindControl<QRadioButton>(this, IDC_SHOWFILENAME), &QRadioButton::clicked, this,
            &CPlayList::OnShowFileName);
    connect(FindControl<QRadioButton>(this, IDC_SHOWPATH), &QRadioButton::clicked, this,
            &CPlayList::OnShowPath);
    connect(FindControl<QRadioButton>(this, IDC_SHOWTAG), &QRadioButton::clicked, this,
            &CPlayList::OnShowTag);
}

void CPlayList::OnInitDialog()
{
    setWindowTitle(QStringLiteral("Play List"));
    // The buttons' skin roles are those the template names; they take effect with the skinned
    // button control.

    m_list->m_hNotifyWnd = this;
    m_list->DragAcceptFiles(true);

    m_imageList = CreateRowImages();
    m_list->SetImageList(m_imageList);

    m_list->InsertColumn(0, QStringLiteral("Files"));
    m_list->InsertColumn(1, QStringLiteral("Time"));
    m_list->m_nColumnWidth0 = m_list->width() -
                              style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_list) -
                              kFilesColumnSlack;
    m_list->SetColumnWidth(0, m_list->m_nColumnWidth0);
    m_list->m_nColumnWidth1 = kTimeColumnWidth;
    m_list->SetColumnWidth(1, m_list->m_nColumnWidth1);

    m_btnAddFile->setToolTip(QStringLiteral("Add File"));
    m_btnAddFolder->setToolTip(QStringLiteral("Add Folder"));
    m_btnDelete->setToolTip(QStringLiteral("Remove From Playlist"));
    m_btnDeleteAll->setToolTip(QStringLiteral("Clear Playlist"));
    m_btnSave->setToolTip(QStringLiteral("Save"));
    m_btnDown->setToolTip(QStringLiteral("Move Down"));
    m_btnUp->setToolTip(QStringLiteral("Move Up"));

    SetTimer(kLengthRequestTimer, kLengthRequestInterval);

    FindControl<QRadioButton>(this, IDC_SHOWFILENAME)->setChecked(true);
}

void CPlayList::SetTimer(int nId, int nMilliseconds)
{
    m_timers.at(static_cast<std::size_t>(nId)).start(nMilliseconds, this);
}

void CPlayList::KillTimer(int nId)
{
    m_timers.at(static_cast<std::size_t>(nId)).stop();
}

void CPlayList::timerEvent(QTimerEvent* event)
{
    for (std::size_t id = 0; id < m_timers.size(); ++id) {
        if (m_timers[id].timerId() == event->timerId()) {
            OnTimer(static_cast<int>(id));
            return;
        }
    }
    QDialog::timerEvent(event);
}

void CPlayList::OnTimer(int nId)
{
    switch (nId) {
    case kRefillTimer:
        OnRefillTimer();
        break;
    case kLengthRequestTimer:
        OnLengthRequestTimer();
        break;
    default:
        break;
    }
}

// The close box tells the main window, then hides the window like Escape does; the main
// window's "Play List" box is left as it is.
void CPlayList::closeEvent(QCloseEvent* event)
{
    SendAppMessage(g_hMainWnd, WM_PLAYLIST_CLOSED, 0, IDD_PLAYLIST);
    QDialog::closeEvent(event);
}

void CPlayList::accept() {}

void CPlayList::NotifyPlayListChanged()
{
    SendAppMessage(g_hMainWnd, WM_PLAYLIST_CHANGED);
}

QPoint CPlayList::DockPosition(const QRect& ownerFrame)
{
    return QPoint(ownerFrame.left(), ownerFrame.top() + ownerFrame.height());
}

void CPlayList::DockUnder(const QRect& ownerFrame)
{
    move(DockPosition(ownerFrame));
}
