#pragma once

#include <QString>

// Names of the files a running program keeps in the user's runtime folder (its lock,
// its socket), one set per key: the key's file name without extension, then a hash
// of the key's path, then the suffix. The temporary folder serves where there is no
// runtime folder.
class RuntimeFile
{
public:
    static QString path(const QString& key, const QString& suffix);
    // Marks a file the program keeps while it runs so that a periodic clean-up of the
    // runtime folder spares it (the sticky bit, which such clean-ups respect).
    static void keep(const QString& path);
};
