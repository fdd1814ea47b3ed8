#include "playlist/CPlayList.h"

#include "common/AppMessage.h"
#include "common/AppMessages.h"
#include "common/Globals.h"
#include "controls/CTavButtonCtrl.h"
#include "controls/CTavEdit.h"
#include "controls/CTavListCtrl.h"
#include "controls/WindowFrame.h"
#include "playlist/RowImages.h"
#include "resources/PlayListDialog.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTimerEvent>

#include <utility>

namespace {

// The "Time" column's width, and the room column 0 leaves beside it and the scroll bar.
constexpr int kTimeColumnWidth = 46;
constexpr int kFilesColumnSlack = 50;

// The widget for one row of the window's table; null for a class the table does not use.
QWidget* CreateControl(const res::ControlTemplate& control, QWidget* window)
{
    switch (control.kind) {
    case res::ControlClass::ListView:
        return new CTavListCtrl(window);
    case res::ControlClass::SkinnedButton:
        return new CTavButtonCtrl(window);
    case res::ControlClass::PushButton: {
        // No push button of this window is ever the default button.
        auto* button = new QPushButton(window);
        button->setAutoDefault(false);
        button->setDefault(false);
        return button;
    }
    case res::ControlClass::ProgressBar:
        return new QProgressBar(window);
    case res::ControlClass::Edit:
        return new CTavEdit(window);
    case res::ControlClass::GroupBox: {
        // A frame drawn over its neighbours, as the classic group box is: clicks go through it.
        auto* group = new QGroupBox(window);
        group->setAttribute(Qt::WA_TransparentForMouseEvents);
        return group;
    }
    case res::ControlClass::RadioButton:
        return new QRadioButton(window);
    default:
        return nullptr;
    }
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

// Builds the controls of the window's table in table order and binds the members to them by ID.
void CPlayList::CreateControls()
{
    const res::DialogTemplate& dialog = PlayListDialogTemplate();
    setWindowTitle(QString::fromUtf8(dialog.pszTitle));
    // The children inherit the dialog font, which their dialog units are measured in.
    setFont(res::DialogFont(dialog));
    for (const res::ControlTemplate& control : dialog.controls) {
        if (QWidget* widget = CreateControl(control, this)) {
            res::BindControl(widget, control);
        }
    }
    setFixedSize(res::DialogUnitsToPixels(dialog.cx, dialog.cy, font()));

    m_list = res::FindControl<CTavListCtrl>(this, IDC_PLAYLIST);
    m_btnUp = res::FindControl<CTavButtonCtrl>(this, IDC_MOVEUP);
    m_btnAddFile = res::FindControl<CTavButtonCtrl>(this, IDC_ADDFILE);
    m_btnAddFolder = res::FindControl<CTavButtonCtrl>(this, IDC_ADDFOLDER);
    m_btnDelete = res::FindControl<CTavButtonCtrl>(this, IDC_DELETE);
    m_btnDown = res::FindControl<CTavButtonCtrl>(this, IDC_MOVEDOWN);
    m_editFind = res::FindControl<CTavEdit>(this, IDC_FINDTEXT);
    m_btnSave = res::FindControl<CTavButtonCtrl>(this, IDC_SAVE);
    m_progress = res::FindControl<QProgressBar>(this, IDC_SCANPROGRESS);
    m_btnDeleteAll = res::FindControl<CTavButtonCtrl>(this, IDC_DELETEALL);
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
    connect(res::FindControl<QRadioButton>(this, IDC_SHOWFILENAME), &QRadioButton::clicked, this,
            &CPlayList::OnShowFileName);
    connect(res::FindControl<QRadioButton>(this, IDC_SHOWPATH), &QRadioButton::clicked, this,
            &CPlayList::OnShowPath);
    connect(res::FindControl<QRadioButton>(this, IDC_SHOWTAG), &QRadioButton::clicked, this,
            &CPlayList::OnShowTag);
    BindFileControls();
}

void CPlayList::OnInitDialog()
{
    setWindowTitle(QStringLiteral("Play List"));
    SetButtonRoles();

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

    res::FindControl<QRadioButton>(this, IDC_SHOWFILENAME)->setChecked(true);
}

// The image each button of the row draws. None of these roles has a disabled picture, but every
// button starts enabled and its own copy of that state is set to match.
void CPlayList::SetButtonRoles()
{
    const std::pair<CTavButtonCtrl*, TavButtonRole> roles[] = {
        {m_btnUp, TavButtonRole::MoveUp},           {m_btnAddFile, TavButtonRole::AddFile},
        {m_btnAddFolder, TavButtonRole::AddFolder}, {m_btnDelete, TavButtonRole::Delete},
        {m_btnDown, TavButtonRole::MoveDown},       {m_btnSave, TavButtonRole::Save},
        {m_btnDeleteAll, TavButtonRole::DeleteAll},
    };
    for (const auto& [button, role] : roles) {
        button->SetRole(role);
        button->EnableButton(true);
    }
}

void CPlayList::SetTimer(int nId, int nMilliseconds)
{
    m_timers.at(static_cast<std::size_t>(nId)).start(nMilliseconds, this);
}

void CPlayList::KillTimer(int nId)
{
    m_timers.at(static_cast<std::size_t>(nId)).stop();
}

bool CPlayList::event(QEvent* event)
{
    return m_messages.Dispatch(event) || QDialog::event(event);
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
    case kScanProgressTimer:
        OnScanProgressTimer();
        break;
    case kScanInsertTimer:
        OnScanInsertTimer();
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
    MoveFrameTo(DockPosition(ownerFrame));
}

void CPlayList::MoveFrameTo(const QPoint& ptTopLeft)
{
    // The window's geometry is its client area; the frame the window manager draws goes around
    // it. QWidget::move would take the frame into account only once Qt has learnt it, which is
    // some time after the window is first shown: the first docking would put the client area
    // where the frame belongs, and the title bar under the main window.
    if (m_marginsFrame.isNull()) {
        m_marginsFrame =
            isVisible() ? WindowFrame::Extents(this) : WindowFrame::RequestExtents(this);
    }
    setGeometry(QRect(ptTopLeft + QPoint(m_marginsFrame.left(), m_marginsFrame.top()), size()));
}
