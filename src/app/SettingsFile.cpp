#include "SettingsFile.h"

#include "SettingsLocation.h"
#include "forms/App.h"
#include "platform/AtomicFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <optional>

namespace {

enum class ReadResult
{
    Missing,
    Read,
    Refused
};

struct State
{
    SettingsFile::Counts counts;
    int readOnceDepth = 0;
    std::optional<IniDocument> startupDocument;
    int batchDepth = 0;
    QList<SettingsFile::Change> pending;
};

State& state()
{
    static State instance;
    return instance;
}

QString tooLarge()
{
    return QCoreApplication::translate("SettingsFile", "ファイルが大きすぎます（16 MiB まで）。");
}

ReadResult readFile(const QString& path, QByteArray* bytes, QString* reason)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        return ReadResult::Missing;
    }
    ++state().counts.reads;
    // Checked before opening: opening a pipe would wait for a writer.
    if (!info.isFile()) {
        *reason = QCoreApplication::translate("SettingsFile", "通常のファイルではありません。");
        return ReadResult::Refused;
    }
    if (info.size() > SettingsFile::MaximumSize) {
        *reason = tooLarge();
        return ReadResult::Refused;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *reason = file.errorString();
        return ReadResult::Refused;
    }
    // Read in pieces into a buffer of the file's size: asking Qt for the largest size at
    // once would set aside 16 MiB for a file of a few hundred bytes. One byte more than
    // the limit tells a file that grew meanwhile.
    bytes->clear();
    bytes->reserve(qsizetype(info.size()) + 1);
    char piece[16384];
    while (bytes->size() <= SettingsFile::MaximumSize) {
        const qint64 wanted =
            std::min<qint64>(qint64(sizeof(piece)), SettingsFile::MaximumSize + 1 - bytes->size());
        const qint64 count = file.read(piece, wanted);
        if (count <= 0) {
            break;
        }
        bytes->append(piece, qsizetype(count));
    }
    if (file.error() != QFileDevice::NoError) {
        *reason = file.errorString();
        return ReadResult::Refused;
    }
    if (bytes->size() > SettingsFile::MaximumSize) {
        *reason = tooLarge();
        return ReadResult::Refused;
    }
    return ReadResult::Read;
}

IniDocument readDocument()
{
    const QString path = SettingsLocation::readPath();
    QByteArray bytes;
    QString reason;
    if (readFile(path, &bytes, &reason) == ReadResult::Refused) {
        App::MsgBox(
            QCoreApplication::translate("SettingsFile", "設定ファイルを読み込めませんでした。") +
            u'\n' + path + u'\n' + reason);
        return IniDocument();
    }
    return IniDocument::fromBytes(bytes);
}

void reportFailedWrite(const QString& path, const QString& reason)
{
    App::MsgBox(
        QCoreApplication::translate("SettingsFile", "設定ファイルを保存できませんでした。") +
        u'\n' + path + u'\n' + reason);
}

void commit(const QList<SettingsFile::Change>& changes)
{
    const QString target = SettingsLocation::filePath();
    const QString source = SettingsLocation::readPath();
    QByteArray before;
    QString reason;
    const ReadResult read = readFile(source, &before, &reason);
    // A file that could not be read is never replaced: its other keys would be lost.
    if (read == ReadResult::Refused) {
        reportFailedWrite(target, reason);
        return;
    }
    IniDocument document = IniDocument::fromBytes(before);
    bool changed = false;
    for (const SettingsFile::Change& change : changes) {
        changed = document.setValue(change.section, change.key, change.value) || changed;
    }
    const QByteArray after = document.toBytes();
    const bool relocated = read == ReadResult::Read && source != target;
    if (!changed || (read == ReadResult::Read && !relocated && after == before)) {
        return;
    }
    QDir().mkpath(QFileInfo(target).absolutePath());
    ++state().counts.writes;
    if (!AtomicFile::replace(target, after, &reason)) {
        reportFailedWrite(target, reason);
        return;
    }
    if (relocated) {
        // Said once: from now on the copy is the file that is read.
        App::MsgBox(
            QCoreApplication::translate(
                "SettingsFile",
                "プログラムのフォルダーに書き込めないため、設定は次のファイルに保存されます。") +
            u'\n' + target);
    }
}

} // namespace

IniDocument SettingsFile::document()
{
    if (state().startupDocument) {
        return *state().startupDocument;
    }
    return readDocument();
}

void SettingsFile::write(const QList<Change>& changes)
{
    if (state().batchDepth > 0) {
        state().pending += changes;
        return;
    }
    commit(changes);
}

void SettingsFile::removeInterruptedWrites()
{
    AtomicFile::removeLeftovers(SettingsLocation::filePath());
}

SettingsFile::Counts SettingsFile::counts()
{
    return state().counts;
}

SettingsFile::ReadOnce::ReadOnce()
{
    if (state().readOnceDepth++ == 0) {
        state().startupDocument = readDocument();
    }
}

SettingsFile::ReadOnce::~ReadOnce()
{
    if (--state().readOnceDepth == 0) {
        state().startupDocument.reset();
    }
}

SettingsFile::Batch::Batch()
{
    ++state().batchDepth;
}

SettingsFile::Batch::~Batch()
{
    if (--state().batchDepth == 0) {
        flush();
    }
}

void SettingsFile::Batch::flush()
{
    const QList<Change> changes = std::exchange(state().pending, {});
    if (!changes.isEmpty()) {
        commit(changes);
    }
}
