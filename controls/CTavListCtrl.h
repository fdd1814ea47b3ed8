#pragma once

#include <QPersistentModelIndex>
#include <QPixmap>
#include <QStringList>
#include <QTreeView>

#include <cstdint>

// The playlist view: a report-style list of rows, each with a text per column, an image from a
// small-image list and an item data value, addressed by row index. It keeps the user from
// resizing the columns (only the two widths the owner stored may be set) and passes files dropped
// on it to the owner with WM_FILES_DROPPED. The "selection mark" is the row last clicked (or
// reached with the arrow keys), or the one the owner set; -1 until then.
//
// The rows live in a model of our own with constant-time index access and uniform row heights,
// so a list of 100,000 rows stays quick to fill and to scroll.
class CTavListCtrl : public QTreeView
{
    Q_OBJECT

public:
    explicit CTavListCtrl(QWidget* parent = nullptr);
    ~CTavListCtrl() override;

    // The widths the two columns may take; the owner stores each before it sets the width.
    int m_nColumnWidth0 = 0;
    int m_nColumnWidth1 = 0;
    // Told about dropped files with a posted WM_FILES_DROPPED.
    QObject* m_hNotifyWnd = nullptr;
    // The local file paths of the most recent drop, in drop order, for the notified window.
    QStringList m_hDrop;

    void DragAcceptFiles(bool bAccept);

    int InsertColumn(int nColumn, const QString& heading);
    // Refused (false) unless the width is one of the two stored widths.
    bool SetColumnWidth(int nColumn, int nWidth);
    // The small images; a row's image is an index into this list.
    void SetImageList(const QList<QPixmap>& images);

    int GetItemCount() const;
    // Inserts a row with its first column's text and no image; an index beyond the end appends.
    // Returns the index of the new row, -1 when the index is negative.
    int InsertItem(int nItem, const QString& text);
    bool DeleteItem(int nItem);
    bool DeleteAllItems();
    QString GetItemText(int nItem, int nSubItem) const;
    bool SetItemText(int nItem, int nSubItem, const QString& text);
    qintptr GetItemData(int nItem) const;
    bool SetItemData(int nItem, qintptr data);
    // -1 for a row without image or a row that does not exist.
    int GetItemImage(int nItem) const;
    bool SetItemImage(int nItem, int nImage);

    // -1 when no row holds the mark.
    int GetSelectionMark() const;
    void SetSelectionMark(int nItem);
    // Scrolls the row fully into view. Requests made while the window is busy are gathered and
    // done once when control returns to the event loop: a scroll lays out the whole view, and
    // doing it for every row added in a batch would make filling a long list quadratic.
    void EnsureVisible(int nItem);

Q_SIGNALS:
    // The left button was released after a click on the list (on a row or on empty space).
    void Click();
    // The left button was double-clicked on the list (on a row or on empty space).
    void DoubleClick();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    class CRowModel;

    void ScrollToPendingRow();
    void OnRowsInserted(int nFirst, int nLast);
    void OnRowsRemoved(int nFirst, int nLast);

    CRowModel* m_pRows;
    // Kept apart from the view's current index: the view moves that to the first row whenever it
    // gets the focus without one, and up a row when the current row is removed, and neither
    // is a choice the user made.
    int m_nSelectionMark = -1;
    QPersistentModelIndex m_pendingScroll;
    bool m_bScrollQueued = false;
};
