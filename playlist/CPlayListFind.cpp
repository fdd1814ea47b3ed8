// Find: "Next" marks the next row below the selection mark whose "Files" text contains the find
// text, whatever the letter case; Save runs the list writer.

#include "controls/CTavEdit.h"
#include "controls/CTavListCtrl.h"
#include "playlist/CPlayList.h"
#include "playlist/PlayListIO.h"

// Both texts are case-folded over all of Unicode, so "ÉTÉ" finds "été" and "STRASSE" finds
// "Straße". No wrap-around: a miss leaves everything as it was.
void CPlayList::OnFindNext()
{
    const QString text = m_editFind->text().toCaseFolded();
    const int rows = m_list->GetItemCount();
    for (int row = m_list->GetSelectionMark() + 1; row < rows; ++row) {
        if (m_list->GetItemText(row, 0).toCaseFolded().contains(text)) {
            MarkEntry(row);
            return;
        }
    }
}

void CPlayList::OnSave()
{
    SavePlayList(*this);
}
