#include "playback/MediaFileCheck.h"

#include "common/PathCodec.h"

#include <cerrno>
#include <sys/stat.h>

HRESULT CheckMediaFile(const QString& path)
{
    if (path.isEmpty()) {
        return VFW_E_NOT_FOUND;
    }
    struct stat info = {};
    if (::stat(PathToBytes(path).constData(), &info) != 0) {
        return (errno == ENOENT || errno == ENOTDIR) ? VFW_E_NOT_FOUND : E_FAIL;
    }
    if (!S_ISREG(info.st_mode)) {
        return E_FAIL;
    }
    if (info.st_size == 0) {
        return VFW_E_UNSUPPORTED_STREAM;
    }
    return S_OK;
}
