#include "ChooseDialogs.h"

#include "FontChooser.h"
#include "forms/NestedLoopGuard.h"
#include "graphics/Colors.h"

#include <QColorDialog>
#include <QPointer>

namespace comdlg {
namespace {

ColorHandler& colorHandler()
{
    static ColorHandler handler;
    return handler;
}

FontHandler& fontHandler()
{
    static FontHandler handler;
    return handler;
}

// Runs the dialog modal to its owner's window only: the tray menu and the text on
// the desktop keep working while it is open. The owner's form is not deleted before
// the dialog has returned.
int runModalToOwner(QDialog* dialog, QWidget* owner)
{
    const NestedLoopGuard guard(owner);
    dialog->setWindowModality(owner != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
    return dialog->exec();
}

void setCustomColors(const std::array<uint32_t, 16>& colors)
{
    for (int i = 0; i < static_cast<int>(colors.size()); ++i) {
        QColorDialog::setCustomColor(i, colorFromBgr(colors[static_cast<size_t>(i)]));
    }
}

std::optional<uint32_t> runColorDialog(QWidget* owner, const ColorRequest& request)
{
    setCustomColors(request.customColors);
    // The owner may go away while the dialog runs (the program ends), and takes its
    // children with it.
    QPointer<QColorDialog> dialog = new QColorDialog(colorFromBgr(request.initial), owner);
    dialog->setOption(QColorDialog::DontUseNativeDialog);
    const int code = runModalToOwner(dialog, owner);
    std::optional<uint32_t> chosen;
    if (dialog != nullptr && code == QDialog::Accepted) {
        chosen = bgrFromColor(dialog->selectedColor());
    }
    delete dialog.data();
    setCustomColors(request.customColors);
    return chosen;
}

std::optional<LogFont> runFontDialog(QWidget* owner, const FontRequest& request)
{
    QPointer<FontChooser> dialog = new FontChooser(request, owner);
    const int code = runModalToOwner(dialog, owner);
    std::optional<LogFont> chosen;
    if (dialog != nullptr && code == QDialog::Accepted) {
        chosen = dialog->chosenFont();
    }
    delete dialog.data();
    return chosen;
}

} // namespace

std::optional<uint32_t> ChooseColor(QWidget* owner, const ColorRequest& request)
{
    if (colorHandler()) {
        return colorHandler()(owner, request);
    }
    return runColorDialog(owner, request);
}

std::optional<LogFont> ChooseFont(QWidget* owner, const FontRequest& request)
{
    if (fontHandler()) {
        return fontHandler()(owner, request);
    }
    return runFontDialog(owner, request);
}

void setColorHandler(ColorHandler handler)
{
    colorHandler() = std::move(handler);
}

void setFontHandler(FontHandler handler)
{
    fontHandler() = std::move(handler);
}

} // namespace comdlg
