// Choosing the picture: the Picture button and its file dialog, a picture file
// dropped on the editor, and the preview's context menu with "No picture".
#include "Form3.h"
#include "app/DesktopPicture.h"
#include "dialogs/PictureDialog.h"
#include "graphics/PictureFile.h"
#include "shape/ShapeBuilder.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QUrl>

void Form3::createPictureControls()
{
    PictureMenu = new QMenu(this);
    mPicture = PictureMenu->addAction(tr("画像..."));
    mNoPicture = PictureMenu->addAction(tr("画像なし"));
    connect(mPicture, &QAction::triggered, this, &Form3::Command4_Click);
    connect(mNoPicture, &QAction::triggered, this, &Form3::mNoPicture_Click);
    connect(Command4, &QPushButton::clicked, this, &Form3::Command4_Click);

    // The menu opens when the right button is released over the preview, so that a
    // right-button press, move and release elsewhere (a drag with the wrong button)
    // does nothing, as before.
    Picture1->setContextMenuPolicy(Qt::PreventContextMenu);
    Picture1->installEventFilter(this);
    // From the keyboard: the preview takes the focus (Tab from the text box, or a
    // click), and the context-menu key or Shift+F10 opens the same menu.
    Picture1->setFocusPolicy(Qt::StrongFocus);

    // The edit boxes take drops of text themselves; a picture file is the editor's.
    setAcceptDrops(true);
    for (QPlainTextEdit* box : {Text1, Text2}) {
        box->installEventFilter(this);
        box->viewport()->installEventFilter(this);
    }
}

void Form3::Command4_Click()
{
    if (deferWhileExecuting(Command::Picture)) {
        return;
    }
    const QPointer<Form3> self(this);
    const std::optional<QString> chosen =
        comdlg::ChoosePictureFile(this, DesktopPicture::startFolder());
    if (self == nullptr || !isLoaded() || !chosen) {
        return; // closed meanwhile, or cancelled: nothing changes
    }
    choosePicture(*chosen);
}

void Form3::choosePicture(const QString& path)
{
    // A file dropped while Execute draws on the scratch surface is not taken.
    if (!executing() && DesktopPicture::choose(path)) {
        showChosenPicture();
    }
}

void Form3::mNoPicture_Click()
{
    if (deferWhileExecuting(Command::NoPicture)) {
        return;
    }
    DesktopPicture::clear();
    showChosenPicture();
}

void Form3::showChosenPicture()
{
    placePicture();
    if (PictureRegionNumber > 0) {
        Picture1->show();
        movePic(); // at the offset from the text as it is scrolled now
    }
}

void Form3::showPictureMenu(const QPoint& position)
{
    // The context-menu key may arrive both as a key and as a context-menu event.
    if (!PictureMenu->isVisible()) {
        PictureMenu->popup(Picture1->mapToGlobal(position));
    }
}

bool Form3::opensPictureMenu(const QEvent* event)
{
    if (event->type() == QEvent::ContextMenu) {
        return static_cast<const QContextMenuEvent*>(event)->reason() ==
               QContextMenuEvent::Keyboard;
    }
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const auto* key = static_cast<const QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers =
        key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    return (key->key() == Qt::Key_Menu && modifiers == Qt::NoModifier) ||
           (key->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier);
}

QString Form3::droppedPicture(const QMimeData* data)
{
    if (data == nullptr || !data->hasUrls()) {
        return QString();
    }
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.constFirst().isLocalFile()) {
        return QString();
    }
    const QString path = urls.constFirst().toLocalFile();
    return PictureFile::looksReadable(path) ? path : QString();
}

void Form3::dragEnterEvent(QDragEnterEvent* event)
{
    if (!droppedPicture(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void Form3::dragMoveEvent(QDragMoveEvent* event)
{
    if (!droppedPicture(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void Form3::dropEvent(QDropEvent* event)
{
    const QString path = droppedPicture(event->mimeData());
    if (path.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    choosePicture(path);
}

bool Form3::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Text1 && event->type() == QEvent::KeyPress && m_held) {
        releaseHeldText(static_cast<QKeyEvent*>(event));
        return Form::eventFilter(watched, event); // Text1 takes the key
    }
    if (watched == Picture1 && opensPictureMenu(event)) {
        // Over the preview's centre: the mouse may be anywhere.
        showPictureMenu(Picture1->rect().center());
        return true;
    }
    switch (event->type()) {
    case QEvent::MouseButtonRelease: {
        const auto* release = static_cast<QMouseEvent*>(event);
        if (watched == Picture1 && release->button() == Qt::RightButton &&
            Picture1->rect().contains(release->position().toPoint())) {
            showPictureMenu(release->position().toPoint());
        }
        break;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: {
        const auto* drop = static_cast<QDropEvent*>(event);
        if (droppedPicture(drop->mimeData()).isEmpty()) {
            break; // text and other drops go to the edit box
        }
        if (event->type() == QEvent::Drop) {
            dropEvent(static_cast<QDropEvent*>(event));
        } else {
            static_cast<QDropEvent*>(event)->acceptProposedAction();
        }
        return true;
    }
    default:
        break;
    }
    return Form::eventFilter(watched, event);
}
