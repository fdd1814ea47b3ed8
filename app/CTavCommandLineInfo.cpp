#include "app/CTavCommandLineInfo.h"

#include "common/PathCodec.h"

void CTavCommandLineInfo::ParseParam(const QString& param)
{
    // Made absolute now, against the folder the player was started in: the playlist shows and
    // saves full paths, and a relative one would later be taken relative to a list's folder.
    m_listFiles.append(AbsolutePath(param));
}

void CTavCommandLineInfo::ParseCommandLine(const QStringList& arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        ParseParam(arguments[i]);
    }
}

void CTavCommandLineInfo::GetNextCommandLineFile(QString& strPath, bool& bLast)
{
    if (m_listFiles.isEmpty()) {
        strPath.clear();
        bLast = true;
        return;
    }
    // Past the end (a caller that ignored bLast) hands out nothing rather than reading past the
    // list.
    if (m_nNextFile >= m_listFiles.size()) {
        strPath.clear();
        bLast = true;
        return;
    }
    strPath = m_listFiles[m_nNextFile];
    ++m_nNextFile;
    if (m_nNextFile == m_listFiles.size()) {
        bLast = true;
    }
}
