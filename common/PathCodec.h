#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// File names on Linux are bytes, not text: a name from an old archive or a removable disk may
// hold Latin-1 bytes that are no valid UTF-8. Qt's own conversions turn such bytes into U+FFFD,
// after which the file can no longer be found. Every path that crosses between the program and
// the system goes through here instead, so that no name is ever changed on the way.
//
// A byte that is not part of valid UTF-8 becomes the lone low surrogate U+DC00 + byte (the
// scheme Python calls "surrogateescape"). Valid UTF-8 never yields a lone surrogate, so the
// mapping is reversible: PathToBytes(PathFromBytes(b)) == b for any bytes b without NUL.

// A path from the bytes the system gave (argv, a directory entry, the working folder).
QString PathFromBytes(QByteArrayView bytes);
// The bytes to hand to the system (open, stat, unlink, a GStreamer URI) for a path.
QByteArray PathToBytes(const QString& path);
// A path to show in a text: the bytes kept by PathFromBytes become U+FFFD.
QString PathDisplayText(const QString& path);
// A local "file://" URI that names exactly the path's bytes.
QByteArray PathToFileUri(const QString& path);
// The path a percent-encoded "file://" URI's path part names, bytes and all.
QString PathFromPercentEncoding(QByteArrayView encoded);
// A relative path made absolute against the working folder, with "." and ".." and doubled '/'
// folded away; an absolute path and the empty path stay as they are.
QString AbsolutePath(const QString& path);
