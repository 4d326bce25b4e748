#include "AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
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

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isAsciiCapital(QChar c)
{
    return c >= u'A' && c <= u'Z';
}

bool isAsciiLetterOrDigit(QChar c)
{
    return isAsciiLetter(c) || (c >= u'0' && c <= u'9');
}

// A temporary file of an interrupted write of the file `name`:
// "<name>.tmp-" and six letters or digits: earlier versions' temporary files.
// "<name>." and six letters: QSaveFile's, where the file system has no unnamed
// files or the process ended just as the new file got its name. Six letters of
// the user's own ("<name>.backup") are not taken for one: QSaveFile's are drawn
// from both cases, and one with no capital (1 in 64) is left alone.
bool isLeftover(QStringView candidate, QStringView name)
{
    if (!candidate.startsWith(name) || candidate.size() <= name.size() ||
        candidate[name.size()] != u'.') {
        return false;
    }
    const QStringView rest = candidate.mid(name.size() + 1);
    const QStringView tmp = u"tmp-";
    if (rest.size() == tmp.size() + 6 && rest.startsWith(tmp)) {
        const QStringView tail = rest.mid(tmp.size());
        return std::all_of(tail.begin(), tail.end(), isAsciiLetterOrDigit);
    }
    return rest.size() == 6 && std::all_of(rest.begin(), rest.end(), isAsciiLetter) &&
           std::any_of(rest.begin(), rest.end(), isAsciiCapital);
}

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// The file a replacement writes: a link is followed to the file it names (as
// QSaveFile does), so that file is replaced and the link stays.
QFileInfo finalFile(const QString& path)
{
    QFileInfo info(path);
    for (int depth = 0; depth < 128 && info.isSymLink(); ++depth) {
        info.setFile(info.symLinkTarget());
    }
    return info;
}

// Makes the new file's place in the folder durable; a failure here loses nothing
// already in place.
void syncFolder(const QString& folder)
{
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

bool AtomicFile::replace(const QString& path, const QByteArray& bytes, QString* reason)
{
    auto fail = [reason](const QString& why) {
        if (reason != nullptr) {
            *reason = why;
        }
        return false;
    };

    const QFileInfo target = finalFile(path);
    const QByteArray nativeTarget = QFile::encodeName(target.filePath());
    struct stat existing = {};
    const bool exists = ::stat(nativeTarget.constData(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        return fail(systemReason(S_ISDIR(existing.st_mode) ? EISDIR : EINVAL));
    }
    // A file the user made read-only stays as it is, even where the folder would
    // let a new file take its place.
    if (exists && ::access(nativeTarget.constData(), W_OK) != 0) {
        return fail(systemReason(errno));
    }

    // Whatever the failure, the temporary file goes with `file`; the old file is only
    // ever replaced by a commit that succeeds.
    QSaveFile file(target.filePath());
    file.setDirectWriteFallback(false);
    if (const int error = injected(Step::Open); error != 0) {
        return fail(systemReason(error));
    }
    // Unbuffered: a failed write shows at once, not at the commit.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return fail(file.errorString());
    }
    // QSaveFile gives the new file the old one's permissions; the owner is kept too
    // where that is allowed (a file of another user's, written by root).
    if (exists) {
        [[maybe_unused]] const int owned =
            ::fchown(file.handle(), existing.st_uid, existing.st_gid);
    }

    if (const int error = injected(Step::Write); error != 0) {
        return fail(systemReason(error));
    }
    if (file.write(bytes) != bytes.size()) {
        return fail(file.errorString());
    }
    // QSaveFile does not report a failed sync: it is done here, and checked.
    if (const int error = injected(Step::Sync); error != 0) {
        return fail(systemReason(error));
    }
    if (!file.flush() || ::fsync(file.handle()) != 0) {
        return fail(systemReason(errno));
    }
    if (const int error = injected(Step::Commit); error != 0) {
        return fail(systemReason(error));
    }
    if (!file.commit()) {
        return fail(file.errorString());
    }
    syncFolder(target.absolutePath());
    return true;
}

int AtomicFile::removeLeftovers(const QString& path)
{
    const QFileInfo target = finalFile(path);
    const QString name = target.fileName();
    const QDir folder = target.absoluteDir();
    int removed = 0;
    for (const QFileInfo& candidate :
         folder.entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks)) {
        if (isLeftover(candidate.fileName(), name) && QFile::remove(candidate.absoluteFilePath())) {
            ++removed;
        }
    }
    return removed;
}

void AtomicFile::setFailureForTesting(FailureInjector failure)
{
    injector() = std::move(failure);
}
