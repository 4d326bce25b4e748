#include "Form3.h"

#include "ControlGeometry.h"
#include "EditStyle.h"
#include "Module1.h"
#include "app/Form1.h"
#include "app/frm_Version.h"
#include "graphics/Colors.h"
#include "graphics/Screen.h"
#include "graphics/Units.h"
#include "platform/FreeMemory.h"
#include "region/frm_RGN_Picture.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPixmapCache>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>

namespace {

// Client area of the window as it opens, in twips: wide enough for the row of four
// buttons.
constexpr int DesignClientWidth = 6015;
constexpr int DesignClientHeight = 3090;

// The layout needs this much room: the text box's scroll bars and border, and the
// row of buttons.
constexpr int LeastTextPixels = 20;
constexpr int ButtonGapPixels = 4;
// The buttons of the row stay at least this far apart, whatever their captions, and
// the window opens with this margin right of the last one.
constexpr int ButtonSpacingPixels = 4;
constexpr int ButtonRowMarginTwips = 120;

QPlainTextEdit* makeEditBox(QWidget* parent, const QString& name)
{
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(name);
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setTabChangesFocus(true);
    return box;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

} // namespace

Form3::Form3() : Form(QStringLiteral("Form3"))
{
    setWindowTitle(QStringLiteral("Deskword"));
    setWindowIcon(frm_Version::programIcon());
    setBackColor(bgrFromColor(palette().color(QPalette::Window)));
    createControls();
    // Wider than the design where longer captions need it.
    resize(std::max(TwipToNearestPixelX(DesignClientWidth),
                    Command4->geometry().right() + 1 + TwipToNearestPixelX(ButtonRowMarginTwips)),
           TwipToNearestPixelY(DesignClientHeight));
}

Form3::~Form3()
{
    if (ScrollSyncText1() == Text1) {
        StopScrollSync();
    }
    // The style keeps the pictures it draws scroll bars with in the application's
    // picture cache, under the palette they were drawn in; the edit boxes' palettes
    // (with the text colour) are new at every opening, so every opening would add
    // pictures that nothing draws again. The cache is only a cache: what is still
    // shown is drawn anew.
    QPixmapCache::clear();
    // Once the editor's widgets are gone, the memory they held goes back to the
    // system, so that opening and closing the editor does not add up.
    QTimer::singleShot(0, qApp, &ReturnFreeMemory);
}

void Form3::createControls()
{
    Text2 = makeEditBox(this, QStringLiteral("Text2"));
    Text2->setReadOnly(true);
    setTwipGeometry(Text2, 0, 0, 975, 1815);

    // Created after Text2, so it lies over Text2's text area.
    Frame1 = new Window(this);
    Frame1->setName(QStringLiteral("Frame1"));
    Frame1->setBackColor(bgrFromColor(palette().color(QPalette::Base)));
    setTwipGeometry(Frame1, 1080, 240, 2295, 1935);

    Text1 = makeEditBox(Frame1, QStringLiteral("Text1"));
    setTwipGeometry(Text1, 240, 240, 1575, 1335);

    // Created after Text1, so it lies over the text.
    Picture1 = new Window(Frame1);
    Picture1->setName(QStringLiteral("Picture1"));
    setTwipGeometry(Picture1, 600, 480, 615, 615);

    Command2 = makeButton(this, QStringLiteral("Command2"), tr("実行"));
    setTwipGeometry(Command2, 120, 2640, 1335, 375);
    Command1 = makeButton(this, QStringLiteral("Command1"), tr("フォント設定"));
    setTwipGeometry(Command1, 1560, 2640, 1455, 375);
    Command3 = makeButton(this, QStringLiteral("Command3"), tr("色設定"));
    setTwipGeometry(Command3, 3120, 2640, 1455, 375);
    Command4 = makeButton(this, QStringLiteral("Command4"), tr("画像..."));
    setTwipGeometry(Command4, 4680, 2640, 1215, 375);
    keepRowApart({Command2, Command1, Command3, Command4}, ButtonSpacingPixels);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setMargin(2);
    Label1->hide();

    createPictureControls();

    setTabOrder(Command1, Command2);
    setTabOrder(Command2, Command3);
    setTabOrder(Command3, Command4);
    setTabOrder(Command4, Text2);
    setTabOrder(Text2, Text1);
    setTabOrder(Text1, Picture1);

    // The mirror shows Text1's own document: it holds the same text at every moment
    // without a copy of its own, however long the text, and its scroll bars get the
    // ranges of Text1's text from the same layout. Text2 is created first, so it is
    // destroyed before Text1 and its document.
    Text2->setDocument(Text1->document());
    connect(Text1, &QPlainTextEdit::textChanged, this, &Form3::Text1_Change);
    connect(Command1, &QPushButton::clicked, this, &Form3::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form3::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form3::Command3_Click);
    connect(Picture1, &Window::mouseDown, this, &Form3::Picture1_MouseDown);
}

Form3* Form3::open()
{
    Form3* editor = Find<Form3>();
    if (editor == nullptr) {
        editor = Load<Form3>();
    } else if (editor->isMinimized()) {
        editor->showNormal();
    }
    editor->show();
    editor->raise();
    editor->activateWindow();
    return editor;
}

void Form3::Form_Load()
{
    StartScrollSync(Text1, Text2, [this] { movePic(); });

    // Centred on the screen, at the design size.
    setLeft((Screen::Width() - Width()) / 2);
    setTop((Screen::Height() - Height()) / 2);

    const PictureSurface& surface = frm_RGN_Picture::instance().pWPicture;
    applyStyle(Text1, styleOf(surface));
    setTextColor(Text1, surface.ForeColor());
    const Form1* host = Form1::instance();
    showText(host != nullptr ? host->RGNText : QString());

    applyStyle(Text2, styleOf(Text1));
    setTextColor(Text2, textColor(Text1));

    Command1->setFocus();
}

void Form3::Form_Resize()
{
    if (layOutControls()) {
        placePicture();
    }
}

bool Form3::layOutControls()
{
    if (isMinimized()) {
        return false;
    }
    const int outerWidth = Width();
    const int outerHeight = Height();
    const int clientWidth = ScaleWidth();
    const int clientHeight = ScaleHeight();
    const int buttonHeight = twipHeight(Command1);
    const int gap = PixelToTwipY(ButtonGapPixels);
    const int note = noteHeight(clientWidth);
    if (clientWidth < PixelToTwipX(LeastTextPixels) ||
        clientHeight < buttonHeight + gap + note + PixelToTwipY(LeastTextPixels)) {
        return false; // too small to lay out: wait until the window is large enough again
    }

    const int text2Left = twipLeft(Text2);
    const int text2Top = twipTop(Text2);
    const int text2Width = outerWidth - (outerWidth - clientWidth);
    const int text2Height =
        (outerHeight - text2Top) - (outerHeight - clientHeight) - buttonHeight - gap - note;
    setTwipGeometry(Text2, text2Left, text2Top, text2Width, text2Height);

    setTwipGeometry(Frame1, twipLeft(Text2) + PixelToTwipX(2), twipTop(Text2) + PixelToTwipY(2),
                    twipWidth(Text2) - PixelToTwipX(2) - PixelToTwipX(18),
                    twipHeight(Text2) - PixelToTwipY(2) - PixelToTwipY(18));

    setTwipGeometry(Text1, -PixelToTwipX(3), -PixelToTwipY(3), twipWidth(Text2), twipHeight(Text2));

    if (note > 0) {
        setTwipGeometry(Label1, text2Left, text2Top + text2Height, text2Width, note);
    }
    const int buttonTop = twipTop(Text1) + twipHeight(Text1) + gap + note;
    setTwipTop(Command1, buttonTop);
    setTwipTop(Command2, buttonTop);
    setTwipTop(Command3, buttonTop);
    setTwipTop(Command4, buttonTop);
    return true;
}

bool Form3::Form_QueryUnload()
{
    if (deferWhileExecuting(Command::Close)) {
        return true; // closes once the running Execute has finished
    }
    StopScrollSync();
    Command2_Click();
    return false;
}

void Form3::resizeEvent(QResizeEvent* event)
{
    Form::resizeEvent(event);
    Form_Resize();
}

void Form3::changeEvent(QEvent* event)
{
    Form::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && !isMinimized()) {
        Form_Resize();
    }
}
