#include "controls/CTavListCtrl.h"

#include "common/AppMessage.h"
#include "common/AppMessages.h"
#include "common/PathCodec.h"

#include <QAbstractTableModel>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>

#include <vector>

namespace {

QStringList LocalFiles(const QMimeData* data)
{
    QStringList paths;
    if (data == nullptr || !data->hasUrls()) {
        return paths;
    }
    for (const QUrl& url : data->urls()) {
        // The name's bytes as the URL carries them: a name that is no UTF-8 text stays the
        // file's own name.
        if (url.isLocalFile()) {
            paths.append(PathFromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
        }
    }
    return paths;
}

// Files dropped here are only named in the list, never taken from where they are: the drop is
// accepted as a copy whatever the source proposes (a move would have the source delete them).
bool AcceptAsCopy(QDropEvent* event)
{
    if (LocalFiles(event->mimeData()).isEmpty() || !(event->possibleActions() & Qt::CopyAction)) {
        event->ignore();
        return false;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return true;
}

} // namespace

// The rows of the view, in a vector for constant-time access by index.
class CTavListCtrl::CRowModel final : public QAbstractTableModel
{
public:
    struct Row
    {
        std::vector<QString> texts;
        qintptr data = 0;
        int nImage = -1;
    };

    explicit CRowModel(QObject* parent) : QAbstractTableModel(parent) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
    }

    int columnCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_headings.size());
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        const Row* row = RowAt(index.row());
        if (row == nullptr) {
            return {};
        }
        if (role == Qt::DisplayRole) {
            return Text(*row, index.column());
        }
        if (role == Qt::DecorationRole && index.column() == 0 && row->nImage >= 0 &&
            row->nImage < m_images.size()) {
            return m_images[row->nImage];
        }
        return {};
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
            section < m_headings.size()) {
            return m_headings[section];
        }
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

    int InsertColumn(int column, const QString& heading)
    {
        column = std::clamp(column, 0, static_cast<int>(m_headings.size()));
        beginInsertColumns(QModelIndex(), column, column);
        m_headings.insert(column, heading);
        for (Row& row : m_rows) {
            if (static_cast<std::size_t>(column) < row.texts.size()) {
                row.texts.insert(row.texts.begin() + column, QString());
            }
        }
        endInsertColumns();
        return column;
    }

    int InsertRow(int item, const QString& text)
    {
        if (item < 0) {
            return -1;
        }
        item = std::min(item, rowCount());
        beginInsertRows(QModelIndex(), item, item);
        Row row;
        row.texts.push_back(text);
        m_rows.insert(m_rows.begin() + item, std::move(row));
        endInsertRows();
        return item;
    }

    bool RemoveRow(int item)
    {
        if (RowAt(item) == nullptr) {
            return false;
        }
        beginRemoveRows(QModelIndex(), item, item);
        m_rows.erase(m_rows.begin() + item);
        endRemoveRows();
        return true;
    }

    void RemoveAll()
    {
        beginResetModel();
        m_rows.clear();
        endResetModel();
    }

    const Row* RowAt(int item) const
    {
        return item >= 0 && static_cast<std::size_t>(item) < m_rows.size()
                   ? &m_rows[static_cast<std::size_t>(item)]
                   : nullptr;
    }

    static QString Text(const Row& row, int column)
    {
        return column >= 0 && static_cast<std::size_t>(column) < row.texts.size()
                   ? row.texts[static_cast<std::size_t>(column)]
                   : QString();
    }

    bool SetText(int item, int column, const QString& text)
    {
        if (RowAt(item) == nullptr || column < 0 || column >= columnCount()) {
            return false;
        }
        Row& row = m_rows[static_cast<std::size_t>(item)];
        if (static_cast<std::size_t>(column) >= row.texts.size()) {
            row.texts.resize(static_cast<std::size_t>(column) + 1);
        }
        row.texts[static_cast<std::size_t>(column)] = text;
        Q_EMIT dataChanged(index(item, column), index(item, column), {Qt::DisplayRole});
        return true;
    }

    bool SetData(int item, qintptr value)
    {
        if (RowAt(item) == nullptr) {
            return false;
        }
        m_rows[static_cast<std::size_t>(item)].data = value;
        return true;
    }

    bool SetImage(int item, int image)
    {
        if (RowAt(item) == nullptr) {
            return false;
        }
        m_rows[static_cast<std::size_t>(item)].nImage = image;
        Q_EMIT dataChanged(index(item, 0), index(item, 0), {Qt::DecorationRole});
        return true;
    }

    void SetImages(const QList<QPixmap>& images)
    {
        m_images = images;
        if (!m_rows.empty()) {
            Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::DecorationRole});
        }
    }

private:
    QStringList m_headings;
    QList<QPixmap> m_images;
    std::vector<Row> m_rows;
};

CTavListCtrl::CTavListCtrl(QWidget* parent) : QTreeView(parent), m_pRows(new CRowModel(this))
{
    setModel(m_pRows);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setIconSize(QSize(16, 16));
    setTextElideMode(Qt::ElideRight);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    header()->setSectionResizeMode(QHeaderView::Fixed);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    // The selection shows only while the list has the focus.
    QPalette colours = palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight,
                     colours.color(QPalette::Inactive, QPalette::Base));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Inactive, QPalette::Text));
    setPalette(colours);

    connect(m_pRows, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int nFirst, int nLast) { OnRowsInserted(nFirst, nLast); });
    connect(m_pRows, &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex&, int nFirst, int nLast) { OnRowsRemoved(nFirst, nLast); });
    connect(m_pRows, &QAbstractItemModel::modelReset, this, [this] { m_nSelectionMark = -1; });
}

CTavListCtrl::~CTavListCtrl() = default;

void CTavListCtrl::DragAcceptFiles(bool bAccept)
{
    setAcceptDrops(bAccept);
    viewport()->setAcceptDrops(bAccept);
}

int CTavListCtrl::InsertColumn(int nColumn, const QString& heading)
{
    return m_pRows->InsertColumn(nColumn, heading);
}

bool CTavListCtrl::SetColumnWidth(int nColumn, int nWidth)
{
    if (nColumn < 0 || nColumn >= m_pRows->columnCount() ||
        (nWidth != m_nColumnWidth0 && nWidth != m_nColumnWidth1)) {
        return false;
    }
    header()->resizeSection(nColumn, nWidth);
    return true;
}

void CTavListCtrl::SetImageList(const QList<QPixmap>& images)
{
    m_pRows->SetImages(images);
}

int CTavListCtrl::GetItemCount() const
{
    return m_pRows->rowCount();
}

int CTavListCtrl::InsertItem(int nItem, const QString& text)
{
    return m_pRows->InsertRow(nItem, text);
}

bool CTavListCtrl::DeleteItem(int nItem)
{
    return m_pRows->RemoveRow(nItem);
}

bool CTavListCtrl::DeleteAllItems()
{
    m_pRows->RemoveAll();
    return true;
}

QString CTavListCtrl::GetItemText(int nItem, int nSubItem) const
{
    const CRowModel::Row* row = m_pRows->RowAt(nItem);
    return row != nullptr ? CRowModel::Text(*row, nSubItem) : QString();
}

bool CTavListCtrl::SetItemText(int nItem, int nSubItem, const QString& text)
{
    return m_pRows->SetText(nItem, nSubItem, text);
}

qintptr CTavListCtrl::GetItemData(int nItem) const
{
    const CRowModel::Row* row = m_pRows->RowAt(nItem);
    return row != nullptr ? row->data : 0;
}

bool CTavListCtrl::SetItemData(int nItem, qintptr data)
{
    return m_pRows->SetData(nItem, data);
}

int CTavListCtrl::GetItemImage(int nItem) const
{
    const CRowModel::Row* row = m_pRows->RowAt(nItem);
    return row != nullptr ? row->nImage : -1;
}

bool CTavListCtrl::SetItemImage(int nItem, int nImage)
{
    return m_pRows->SetImage(nItem, nImage);
}

int CTavListCtrl::GetSelectionMark() const
{
    return m_nSelectionMark;
}

void CTavListCtrl::SetSelectionMark(int nItem)
{
    m_nSelectionMark = nItem;
    // The keyboard goes on from the mark.
    selectionModel()->setCurrentIndex(m_pRows->index(nItem, 0), QItemSelectionModel::NoUpdate);
}

// Rows inserted at or above the mark push it down with its row.
void CTavListCtrl::OnRowsInserted(int nFirst, int nLast)
{
    if (m_nSelectionMark >= nFirst) {
        m_nSelectionMark += nLast - nFirst + 1;
    }
}

// Rows removed above the mark pull it up with its row. When its own row goes, the mark stays at
// the index, on the row that followed, so repeated deletes work down the list; with no row
// following there is no mark.
void CTavListCtrl::OnRowsRemoved(int nFirst, int nLast)
{
    if (m_nSelectionMark > nLast) {
        m_nSelectionMark -= nLast - nFirst + 1;
    } else if (m_nSelectionMark >= nFirst) {
        m_nSelectionMark = nFirst < GetItemCount() ? nFirst : -1;
    }
}

void CTavListCtrl::EnsureVisible(int nItem)
{
    if (m_pRows->RowAt(nItem) == nullptr) {
        return;
    }
    m_pendingScroll = m_pRows->index(nItem, 0);
    if (!m_bScrollQueued) {
        m_bScrollQueued = true;
        QTimer::singleShot(0, this, &CTavListCtrl::ScrollToPendingRow);
    }
}

void CTavListCtrl::ScrollToPendingRow()
{
    m_bScrollQueued = false;
    if (m_pendingScroll.isValid()) {
        scrollTo(m_pendingScroll, QAbstractItemView::EnsureVisible);
    }
    m_pendingScroll = QPersistentModelIndex();
}

void CTavListCtrl::mousePressEvent(QMouseEvent* event)
{
    // A press on a row marks it; a press on empty space, or one that extends the selection with
    // Shift, leaves the mark where it was.
    const QModelIndex pressed = indexAt(event->position().toPoint());
    QTreeView::mousePressEvent(event);
    if (pressed.isValid() && !event->modifiers().testFlag(Qt::ShiftModifier)) {
        m_nSelectionMark = pressed.row();
    }
}

void CTavListCtrl::focusInEvent(QFocusEvent* event)
{
    // The view makes the first row current when it gets the focus without one; without a mark no
    // row is current, so the first arrow key goes to the first row rather than past it.
    QTreeView::focusInEvent(event);
    if (m_nSelectionMark == -1 && currentIndex().isValid()) {
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    }
}

void CTavListCtrl::keyPressEvent(QKeyEvent* event)
{
    // Moving with the keys (without Shift) marks the row moved to, as a click would.
    const QModelIndex before = currentIndex();
    QTreeView::keyPressEvent(event);
    const QModelIndex after = currentIndex();
    if (after.isValid() && after != before && !event->modifiers().testFlag(Qt::ShiftModifier)) {
        m_nSelectionMark = after.row();
    }
}

void CTavListCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    QTreeView::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) {
        Q_EMIT Click();
    }
}

void CTavListCtrl::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) {
        Q_EMIT DoubleClick();
    }
}

void CTavListCtrl::dragEnterEvent(QDragEnterEvent* event)
{
    AcceptAsCopy(event);
}

void CTavListCtrl::dragMoveEvent(QDragMoveEvent* event)
{
    AcceptAsCopy(event);
}

void CTavListCtrl::dropEvent(QDropEvent* event)
{
    QStringList paths = LocalFiles(event->mimeData());
    if (paths.isEmpty()) {
        event->ignore();
        return;
    }
    if (!AcceptAsCopy(event)) {
        return;
    }
    m_hDrop = std::move(paths);
    PostAppMessage(m_hNotifyWnd, WM_FILES_DROPPED);
}
