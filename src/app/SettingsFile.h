#pragma once

#include "IniDocument.h"

#include <QList>
#include <QString>

// Reading and writing the settings file as a whole (see SettingsLocation for where it
// is). Only a regular file of at most MaximumSize bytes is read; anything else
// (a pipe, a device, a folder, a huge file) reads as an empty file, without waiting,
// and the user is told. A write reads the file afresh, so a hand edit between two
// actions is kept, changes its keys and replaces the file in one step (AtomicFile);
// a write that fails leaves the file as it was and tells the user once, naming the
// file and the system's reason.
class SettingsFile
{
public:
    static constexpr qint64 MaximumSize = 16 * 1024 * 1024;

    struct Change
    {
        QString section;
        QString key;
        QString value;
    };

    // The settings as they are now: the start-up's copy while a ReadOnce lives,
    // otherwise read from the file.
    static IniDocument document();

    // Writes the changes as one replacement of the file; while a Batch lives they are
    // kept until it ends.
    static void write(const QList<Change>& changes);

    // Removes what writes interrupted by the end of an earlier process left beside
    // the file (their temporary files). Only for the running instance, once it holds
    // the instance lock: no other process writes the file then.
    static void removeInterruptedWrites();

    // How often the file was read and written since the program started.
    struct Counts
    {
        int reads = 0;
        int writes = 0;
    };
    static Counts counts();

    // While one lives, every read is served from one reading of the file (start-up).
    class ReadOnce
    {
    public:
        ReadOnce();
        ~ReadOnce();
        ReadOnce(const ReadOnce&) = delete;
        ReadOnce& operator=(const ReadOnce&) = delete;
    };

    // While one lives, the writes of one user action are collected; when the
    // outermost ends, or at flush(), they are written as one.
    class Batch
    {
    public:
        Batch();
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;
        // Writes what has been collected so far, for an end that does not return.
        static void flush();
    };
};
