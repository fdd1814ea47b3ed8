#pragma once

#include <QString>
#include <QStringList>

#include <deque>

// The extensions (lower case, dot included) of the media-file patterns, "*.avi; *.mpg" giving
// ".avi" and ".mpg".
QStringList MediaExtensions(const QString& patterns);

// True when the file name's extension is one of the extensions, in any letter case. A name
// without an extension is no media file.
bool HasMediaExtension(const QString& name, const QStringList& extensions);

// Appends the full path of every media file in the folder and all its subfolders to the queue,
// depth first: a subfolder's files come where the subfolder was met, in the order the file
// system lists names. Hidden files and folders count like any other. Links to folders are not
// followed (so a link loop ends), a folder reached twice (a bind mount of its parent) is walked
// once, and a folder that cannot be listed adds nothing while the walk goes on.
void ScanFolder(const QString& folder, const QStringList& extensions, std::deque<QString>* queue);
