#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// Replaces a file's whole content so that, whatever happens (a full disk, a
// read-only file, the process killed at any moment), the file holds either its old
// bytes or the new ones, never less: the new content goes to a temporary file in the
// same folder, is written completely and synced to disk, and only then renamed over
// the file.
class AtomicFile
{
public:
    // The steps of a replacement, in order.
    enum class Step
    {
        Open,
        Write,
        Sync,
        Close,
        Rename
    };

    // Writes `bytes` as the whole content of `path`, creating the file when it is
    // missing. An existing file keeps its permissions; a file that is not writable is
    // not replaced. On failure the file is as it was, the temporary file is gone, and
    // `reason` (when given) holds the system's description of what failed.
    static bool replace(const QString& path, const QByteArray& bytes, QString* reason = nullptr);

    // Makes a step fail with the returned error number (0: the step runs as usual),
    // so tests can reproduce failures that need a broken disk. An empty function
    // restores normal operation.
    using FailureInjector = std::function<int(Step step)>;
    static void setFailureForTesting(FailureInjector injector);
};
