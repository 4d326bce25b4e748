#pragma once

#include <QString>
#include <functional>
#include <optional>

class QWidget;

// The picture chooser: Qt's own file dialog, modal to its owner only, showing the
// picture files of every format that can be read here.
namespace comdlg {

// nullopt = cancelled.
using PictureHandler =
    std::function<std::optional<QString>(QWidget* owner, const QString& startFolder)>;

// Runs the picture chooser, opened in startFolder, and returns the chosen file.
std::optional<QString> ChoosePictureFile(QWidget* owner, const QString& startFolder);

// Replace the chooser (tests answer it without a modal loop); an empty handler
// restores the real dialog.
void setPictureHandler(PictureHandler handler);

} // namespace comdlg
