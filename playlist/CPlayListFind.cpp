// Find: "Next" marks the next row below the selection mark whose "Files" text contains the find
// text, whatever the letter case; Save runs the list writer.

#include "controls/CTavEdit.h"
#include "controls/CTavListCtrl.h"
#include "playlist/CPlayList.h"
#include "playlist/PlayListIO.h"

namespace {

// Full case folding: Qt's own folding maps one character to one, so "ß" would never meet "SS".
// Its upper-casing applies the one-to-many mappings ("ß" to "SS", "ﬁ" to "FI"); folding that
// result makes every spelling of a letter meet ("ς", "σ" and "Σ" alike).
QString FoldCase(const QString& text)
{
    return text.toUpper().toCaseFolded();
}

} // namespace

// Both texts are case-folded over all of Unicode, so "ÉTÉ" finds "été" and "STRASSE" finds
// "Straße". No wrap-around: a miss leaves everything as it was.
void CPlayList::OnFindNext()
{
    const QString text = FoldCase(m_editFind->text());
    const int rows = m_list->GetItemCount();
    for (int row = m_list->GetSelectionMark() + 1; row < rows; ++row) {
        if (FoldCase(m_list->GetItemText(row, 0)).contains(text)) {
            MarkEntry(row);
            return;
        }
    }
}

void CPlayList::OnSave()
{
    SavePlayList(*this);
}
