#include "PictureDialog.h"

#include "forms/NestedLoopGuard.h"
#include "graphics/PictureFile.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QPointer>

namespace comdlg {
namespace {

PictureHandler& pictureHandler()
{
    static PictureHandler handler;
    return handler;
}

std::optional<QString> runPictureDialog(QWidget* owner, const QString& startFolder)
{
    // The owner's form is not deleted before the dialog has returned; should the owner
    // go away all the same, it takes its children with it.
    const NestedLoopGuard guard(owner);
    QPointer<QFileDialog> dialog = new QFileDialog(owner);
    dialog->setWindowTitle(QCoreApplication::translate("PictureDialog", "画像を選ぶ"));
    dialog->setObjectName(QStringLiteral("PictureDialog"));
    // Qt's own dialog: the same on every desktop, and modal to the editor only.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setWindowModality(owner != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setDirectory(startFolder);
    dialog->setNameFilters(
        {QCoreApplication::translate("PictureDialog", "画像ファイル") + QStringLiteral(" (") +
             PictureFile::nameFilters().join(QLatin1Char(' ')) + QLatin1Char(')'),
         QCoreApplication::translate("PictureDialog", "すべてのファイル") +
             QStringLiteral(" (*)")});
    const int code = dialog->exec();
    std::optional<QString> chosen;
    if (dialog != nullptr && code == QDialog::Accepted && !dialog->selectedFiles().isEmpty()) {
        chosen = dialog->selectedFiles().constFirst();
    }
    delete dialog.data();
    return chosen;
}

} // namespace

std::optional<QString> ChoosePictureFile(QWidget* owner, const QString& startFolder)
{
    if (pictureHandler()) {
        return pictureHandler()(owner, startFolder);
    }
    return runPictureDialog(owner, startFolder);
}

void setPictureHandler(PictureHandler handler)
{
    pictureHandler() = std::move(handler);
}

} // namespace comdlg
