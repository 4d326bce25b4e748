#include "frm_Version.h"

#include "graphics/ImageFormats.h"
#include "graphics/Screen.h"
#include "graphics/Units.h"

#include <DeskwordVersion.h>

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace {

QRect twipRect(int left, int top, int width, int height)
{
    return QRect(TwipToNearestPixelX(left), TwipToNearestPixelY(top), TwipToNearestPixelX(width),
                 TwipToNearestPixelY(height));
}

// The application's font, in the size and weight of the line: every line in the
// family the desktop gives the program, none in a fallback for a missing family.
QFont labelFont(double points)
{
    QFont font = QApplication::font();
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

// The etched separator under the name and the version: a white line with a darker
// two-pixel line just below it, across the whole width.
class EtchedLine : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(QRect(0, 1, width(), 2), palette().color(QPalette::Dark));
        p.fillRect(QRect(0, 0, width(), 1), Qt::white);
    }
};

} // namespace

frm_Version::frm_Version() : Form(QStringLiteral("frm_Version"))
{
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(tr("バージョン情報"));
    // Decoded once: the about box shows it, and the tray icon is taken from here.
    const QIcon icon = programIcon();
    setWindowIcon(icon);
    setFixedSize(TwipToNearestPixelX(3945), TwipToNearestPixelY(1125));

    auto* image = new QLabel(this);
    image->setGeometry(twipRect(180, 240, 480, 480));
    image->setPixmap(icon.pixmap(32, 32));

    auto* name = new QLabel(QStringLiteral("Deskword"), this);
    name->setGeometry(twipRect(840, 240, 2175, 285));
    name->setFont(labelFont(11.25));

    auto* version = new QLabel(QStringLiteral("Version ") + QLatin1String(DeskwordVersion), this);
    version->setGeometry(twipRect(1515, 525, 1515, 285));
    version->setFont(labelFont(9.75));

    auto* line = new EtchedLine(this);
    line->setGeometry(0, TwipToNearestPixelY(870), width(), 3);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setGeometry(twipRect(3075, 120, 795, 345));
    ok->setDefault(true);
    ok->setFocus();
    connect(ok, &QPushButton::clicked, this, &frm_Version::Command1_Click);
}

QIcon frm_Version::programIcon()
{
    QIcon icon;
    icon.addPixmap(
        QPixmap::fromImage(imageformats::builtIn(QStringLiteral(":/icon-32.png"), "png")));
    icon.addPixmap(
        QPixmap::fromImage(imageformats::builtIn(QStringLiteral(":/icon-128.png"), "png")));
    return icon;
}

void frm_Version::Form_Load()
{
    // Centred on the screen, above the top-most text window.
    setLeft((Screen::Width() - Width()) / 2);
    setTop((Screen::Height() - Height()) / 2);
}

void frm_Version::Command1_Click()
{
    Unload(this);
}
