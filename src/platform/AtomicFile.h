#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// Replaces a file's whole content so that, whatever happens (a full disk, a
// read-only file, the process killed at any moment), the file holds either its old
// bytes or the new ones, never less: the new content goes to a temporary file in the
// same folder (QSaveFile; on Linux a file without a name until it is complete), is
// written completely and synced to disk, and only then takes the file's place.
class AtomicFile
{
public:
    // The steps of a replacement, in order.
    enum class Step
    {
        Open,
        Write,
        Sync,
        Commit // close the temporary file and put it in the file's place
    };

    // Writes `bytes` as the whole content of `path`, creating the file when it is
    // missing. An existing file keeps its permissions (and owner, where that is
    // allowed); a file that is not writable is not replaced. On failure the file is as
    // it was, the temporary file is gone, and `reason` (when given) holds the system's
    // description of what failed.
    static bool replace(const QString& path, const QByteArray& bytes, QString* reason = nullptr);

    // Removes the temporary files that replacements of `path` interrupted by the
    // end of the process left beside the file (a link is followed, as replace does).
    // Only for the one process that writes the file: a replacement running at the
    // same time would lose its temporary file. Returns how many were removed.
    static int removeLeftovers(const QString& path);

    // Makes a step fail with the returned error number (0: the step runs as usual),
    // so tests can reproduce failures that need a broken disk. An empty function
    // restores normal operation.
    using FailureInjector = std::function<int(Step step)>;
    static void setFailureForTesting(FailureInjector injector);
};
