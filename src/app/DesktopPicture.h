#pragma once

#include <QString>

// The picture that joins the text on the desktop. The user chooses it in the editor;
// the setting "PICTUREFILE" keeps its absolute path. An empty "PICTUREFILE" means that
// the user chose no picture; without the key, the file picture.bmp (else picture.gif)
// beside the program is the picture, as it always was. These operations set
// PictureRegionNumber and the host's PictureFileName; the desktop shows a change at
// its next composition.
namespace DesktopPicture {

// Start-up: builds the picture "PICTUREFILE" names. True when the setting decided the
// picture: the file gave a shape, or the user chose no picture. False when the key is
// absent, or when its file is gone or cannot be used (a message names it): then the
// picture files beside the program are looked for.
bool buildFromSetting();

// Makes the file the picture and stores its absolute path at once. False, with a
// message and nothing changed, when the file gives no shape.
bool choose(const QString& path);

// No picture, until one is chosen again (also across restarts).
void clear();

// Where the picture dialog opens: the current picture's folder, else the user's
// Pictures folder.
QString startFolder();

} // namespace DesktopPicture
