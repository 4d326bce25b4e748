#include "AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

AtomicFile::FailureInjector& injector()
{
    static AtomicFile::FailureInjector failure;
    return failure;
}

// The error number a test injects for this step, else 0.
int injected(AtomicFile::Step step)
{
    return injector() ? injector()(step) : 0;
}

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

bool writeWhole(int fd, const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (written == 0) {
            errno = EIO;
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

// Makes the rename itself durable; a failure here loses nothing already in place.
void syncFolder(const QByteArray& folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

bool AtomicFile::replace(const QString& path, const QByteArray& bytes, QString* reason)
{
    // A link is followed, so the file it names is replaced and the link stays.
    const QFileInfo info(path);
    const QString target = info.isSymLink() && info.exists() ? info.canonicalFilePath() : path;
    const QByteArray nativeTarget = QFile::encodeName(target);
    const QByteArray folder = QFile::encodeName(QFileInfo(target).absolutePath());

    auto fail = [reason](int error) {
        if (reason != nullptr) {
            *reason = systemReason(error);
        }
        return false;
    };

    struct stat existing = {};
    const bool exists = ::stat(nativeTarget.constData(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        return fail(S_ISDIR(existing.st_mode) ? EISDIR : EINVAL);
    }
    // A file the user made read-only stays as it is, even where the folder would
    // let a rename replace it.
    if (exists && ::access(nativeTarget.constData(), W_OK) != 0) {
        return fail(errno);
    }

    QByteArray temporary = nativeTarget + ".tmp-XXXXXX";
    int error = injected(Step::Open);
    const int fd = error != 0 ? -1 : ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        return fail(error != 0 ? error : errno);
    }
    auto discard = [&](int failure) {
        ::close(fd);
        ::unlink(temporary.constData());
        return fail(failure);
    };

    // The new file gets the old one's permissions (and owner, where that is allowed),
    // or those a new file gets here.
    mode_t mode = existing.st_mode & 07777;
    if (exists) {
        [[maybe_unused]] const int owned = ::fchown(fd, existing.st_uid, existing.st_gid);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd, mode);

    error = injected(Step::Write);
    if (error != 0 || !writeWhole(fd, bytes)) {
        return discard(error != 0 ? error : errno);
    }
    error = injected(Step::Sync);
    if (error != 0 || ::fsync(fd) != 0) {
        return discard(error != 0 ? error : errno);
    }
    error = injected(Step::Close);
    const int closed = ::close(fd);
    if (error != 0 || closed != 0) {
        error = error != 0 ? error : errno;
        ::unlink(temporary.constData());
        return fail(error);
    }
    error = injected(Step::Rename);
    if (error != 0 || ::rename(temporary.constData(), nativeTarget.constData()) != 0) {
        error = error != 0 ? error : errno;
        ::unlink(temporary.constData());
        return fail(error);
    }
    syncFolder(folder);
    return true;
}

void AtomicFile::setFailureForTesting(FailureInjector failure)
{
    injector() = std::move(failure);
}
