#pragma once

#include <QString>
#include <QStringList>

// The files named on the command line, handed out in order. Every argument is a file exactly as
// given, whatever its first character ("-x.avi" is the file "-x.avi"; the player has no options),
// made absolute against the working folder. No argument is ever taken as a command of its own.
class CTavCommandLineInfo
{
public:
    // Called once per argument, in order.
    void ParseParam(const QString& param);
    // Every argument after the program name.
    void ParseCommandLine(const QStringList& arguments);

    // Hands out the next file. With no files at all: an empty path and bLast = true. Otherwise
    // bLast becomes true with the last file and is left as the caller set it before that.
    void GetNextCommandLineFile(QString& strPath, bool& bLast);

private:
    int m_nNextFile = 0;
    QStringList m_listFiles;
};
