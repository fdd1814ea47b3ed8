#include "app/CTavCommandLineInfo.h"

void CTavCommandLineInfo::ParseParam(const QString& param)
{
    if (param.startsWith(QLatin1Char('-'))) {
        m_listFiles.append(param.mid(1));
    } else {
        m_listFiles.append(param);
    }
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
