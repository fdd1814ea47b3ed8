#include "playlist/FolderScan.h"

#include "common/PathCodec.h"
#include "common/PathParts.h"

#include <cstring>
#include <dirent.h>
#include <memory>
#include <set>
#include <sys/stat.h>
#include <utility>

namespace {

struct DirCloser
{
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

using FolderId = std::pair<dev_t, ino_t>;

QString Join(const QString& folder, const QString& name)
{
    // A root folder already ends in '/': no doubled separator, so the paths equal the ones a
    // dialog or a list gives for the same files.
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

void Walk(const QString& folder, const QStringList& extensions, std::set<FolderId>* seen,
          std::deque<QString>* queue)
{
    const QByteArray name = PathToBytes(folder);
    DirHandle dir(::opendir(name.constData()));
    if (!dir) {
        return;
    }
    struct stat info = {};
    if (::fstat(::dirfd(dir.get()), &info) != 0 ||
        !seen->insert({info.st_dev, info.st_ino}).second) {
        return;
    }
    while (const dirent* entry = ::readdir(dir.get())) {
        const char* raw = entry->d_name;
        if (raw[0] == '\0' || std::strcmp(raw, ".") == 0 || std::strcmp(raw, "..") == 0) {
            continue;
        }
        const QString full = Join(folder, PathFromBytes(raw));
        bool isFolder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            // lstat: a link is looked at as a link. A link to a folder is passed over; a link to
            // a file (or a dangling one) is a name like any other.
            struct stat linkInfo = {};
            const QByteArray fullName = PathToBytes(full);
            if (::lstat(fullName.constData(), &linkInfo) == 0) {
                isFolder = S_ISDIR(linkInfo.st_mode);
                struct stat target = {};
                if (S_ISLNK(linkInfo.st_mode) && ::stat(fullName.constData(), &target) == 0 &&
                    S_ISDIR(target.st_mode)) {
                    continue;
                }
            }
        }
        if (isFolder) {
            Walk(full, extensions, seen, queue);
        } else if (HasMediaExtension(full, extensions)) {
            queue->push_back(full);
        }
    }
}

} // namespace

QStringList MediaExtensions(const QString& patterns)
{
    QStringList extensions;
    for (const QString& pattern : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString trimmed = pattern.trimmed().toLower();
        const qsizetype dot = trimmed.lastIndexOf(QLatin1Char('.'));
        if (dot >= 0 && dot + 1 < trimmed.size()) {
            extensions.append(trimmed.mid(dot));
        }
    }
    return extensions;
}

bool HasMediaExtension(const QString& name, const QStringList& extensions)
{
    const QString ext = PathParts::Split(name).ext;
    return !ext.isEmpty() && extensions.contains(ext, Qt::CaseInsensitive);
}

void ScanFolder(const QString& folder, const QStringList& extensions, std::deque<QString>* queue)
{
    std::set<FolderId> seen;
    Walk(folder, extensions, &seen, queue);
}
