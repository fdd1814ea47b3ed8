#pragma once

#include "common/AppMessage.h"
#include "playlist/TrackList.h"

#include <QBasicTimer>
#include <QDialog>
#include <QList>
#include <QMargins>
#include <QPixmap>

#include <array>
#include <cstdint>
#include <deque>

class CTavButtonCtrl;
class CTavEdit;
class CTavListCtrl;
class QProgressBar;

// The playlist window: a modeless tool window under the main window that shows the track list as
// rows of "Files" and "Time", marks a row on click, plays it on double-click, moves and deletes
// rows, chooses what the "Files" column shows, and feeds the track length loader. Row i of the
// view always stands for entry i of the track list: the rows are a prefix of the entries, which
// may run ahead of them while the refill timer rebuilds the rows or a scan inserts entries.
//
// It talks to the main window only through application messages sent to g_hMainWnd; the main
// window calls the public operations below. UI thread only.
class CPlayList : public QDialog
{
    Q_OBJECT

public:
    // Builds the window from template 129 and initialises it; it stays hidden until shown.
    explicit CPlayList(QWidget* parent = nullptr);
    ~CPlayList() override;

    // Operations of the main window.
    // Appends a file entry; its index.
    int AddFileEntry(const QString& path, const QString& title, double length);
    void SetCurrentEntry(int nIndex);
    // 1 + the index of the current deck-A entry, -1 when there is none.
    int GetCurrentPosition() const;
    // The current deck-A entry's path among the rows shown, empty when there is none.
    QString GetCurrentPath() const;
    void PlayNextEntry();
    void PlayPreviousEntry();
    void RemoveCurrentEntry();
    // Removes one entry with its row.
    void RemoveFileEntry(int nIndex);
    // The deck-A entry of a file: the current entry when it is that file, else the first deck-A
    // entry with its path; -1 when there is none.
    int EntryOfFile(const QString& path) const;
    // Applies the loader's report: g_dTrackLength for every entry whose path is g_strLengthPath.
    void OnTrackLengthLoaded();
    int GetRowCount() const;
    // Puts the window's top-left corner at the owner's bottom-left corner (frame rectangles, in
    // screen coordinates), keeping its size; visible or not.
    void DockUnder(const QRect& ownerFrame);
    static QPoint DockPosition(const QRect& ownerFrame);
    // Puts the window's frame (the outer rectangle) at the point, keeping its size.
    void MoveFrameTo(const QPoint& ptTopLeft);

    // Row operations, also used by adding files and by Find.
    void MarkEntry(int nRow);
    void UpdateRowImage(int nRow);
    QString GetRowText(int nIndex) const;

    // The track list, for the playlist reader and writer and for tests.
    const TrackList& Tracks() const { return m_tracks; }
    TrackList& Tracks() { return m_tracks; }
    int ShowMode() const { return m_nShowMode; }

    // A tick of one of the window's timers.
    void OnTimer(int nId);

    // Timer IDs: 0 rebuilds missing rows, 1 and 2 belong to the folder scan, 3 asks the loader.
    static constexpr int kRefillTimer = 0;
    static constexpr int kScanProgressTimer = 1;
    static constexpr int kScanInsertTimer = 2;
    static constexpr int kLengthRequestTimer = 3;
    static constexpr int kScanProgressInterval = 50;
    static constexpr int kScanInsertInterval = 4;
    static constexpr int kRefillInterval = 10;
    static constexpr int kLengthRequestInterval = 500;
    // Once a report has been handled the next request follows at once: the loader lowers its busy
    // flag just after the report returns, so timer 3 looks again at this short interval, for a
    // bounded number of ticks, before it falls back to its normal poll.
    static constexpr int kLengthFollowUpInterval = 1;
    static constexpr int kLengthFollowUpTicks = 200;
    // Work one refill tick may spend before it lets the window breathe.
    static constexpr std::int64_t kRefillBudgetNs = 4'000'000;

protected:
    bool event(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // The Enter key: the window has no OK command.
    void accept() override;

private:
    void CreateControls();
    void BindControls();
    void SetButtonRoles();
    void OnInitDialog();
    void SetTimer(int nId, int nMilliseconds);
    void KillTimer(int nId);
    void OnRefillTimer();
    void OnLengthRequestTimer();
    void AddMissingRow(int nRow);
    void RemoveEntry(int nIndex);
    bool IsScanning() const;
    void SetLengthRequestPace(bool bFollowUp);

    void OnListClick();
    void OnListDblClk();
    void OnMoveUp();
    void OnMoveDown();
    void OnDelete();
    void OnDeleteAll();
    void OnShowFileName();
    void OnShowPath();
    void OnShowTag();
    void SetShowMode(int nMode);
    void NotifyPlayListChanged();

    // Adding files and folders, dropped files, saving and Find.
    void BindFileControls();
    void OnAddFile();
    void OnAddFolder();
    void ClearScanQueue();
    void ShowScanControls(bool bScanning);
    void OnScanInsertTimer();
    void OnScanProgressTimer();
    LResult OnFilesDropped(WParam wParam, LParam lParam);
    void OnSave();
    void OnFindNext();

    CTavListCtrl* m_list = nullptr;
    TrackList m_tracks;
    CTavButtonCtrl* m_btnUp = nullptr;
    CTavButtonCtrl* m_btnAddFile = nullptr;
    CTavButtonCtrl* m_btnAddFolder = nullptr;
    CTavButtonCtrl* m_btnDelete = nullptr;
    CTavButtonCtrl* m_btnDown = nullptr;
    QList<QPixmap> m_imageList;
    CTavEdit* m_editFind = nullptr;
    CTavButtonCtrl* m_btnSave = nullptr;
    int m_nShowMode = 0;
    QProgressBar* m_progress = nullptr;
    CTavButtonCtrl* m_btnDeleteAll = nullptr;
    std::array<QBasicTimer, 4> m_timers;
    // The frame the window manager draws around this window; null until known.
    QMargins m_marginsFrame;
    // Every entry above this one has its length or has failed, so the length request need not
    // look at them again; entries inserted, removed or moved above it lower it.
    std::size_t m_nFirstEntryWithoutLength = 0;
    // Ticks left at the follow-up pace of timer 3; 0 at the normal pace.
    int m_nFollowUpTicks = 0;
    CAppMessageMap m_messages;

    // The folder scan: found paths in insertion order, the entry count when the scan began, and
    // where the next path may start looking for its place (see OnScanInsertTimer).
    std::deque<QString> m_scanQueue;
    int m_nScanStart = 0;
    int m_nScanCursor = 0;
    std::size_t m_nScanExpectedSize = 0;
};
