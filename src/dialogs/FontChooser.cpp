#include "FontChooser.h"

#include "graphics/Rounding.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <tuple>

namespace {

constexpr int WeightRole = Qt::UserRole;
constexpr int ItalicRole = Qt::UserRole + 1;
constexpr int NormalWeight = 400;
constexpr int BoldWeight = 700;

struct StyleChoice
{
    QString name;
    int weight;
    bool italic;
};

// The styles of a family that a face name, a weight and a slant can ask for: one per
// weight and slant (the plainest name of each, so "Book" rather than "Condensed"),
// upright before slanted, lighter before heavier.
QList<StyleChoice> stylesOf(const QString& family)
{
    QList<StyleChoice> styles;
    for (const QString& style : QFontDatabase::styles(family)) {
        const bool slanted = QFontDatabase::font(family, style, 12).style() != QFont::StyleNormal;
        const StyleChoice choice{style, QFontDatabase::weight(family, style), slanted};
        auto same = std::find_if(styles.begin(), styles.end(), [&](const StyleChoice& known) {
            return known.weight == choice.weight && known.italic == choice.italic;
        });
        if (same == styles.end()) {
            styles.append(choice);
        } else if (choice.name.size() < same->name.size()) {
            *same = choice;
        }
    }
    if (styles.isEmpty()) {
        // A face that is not installed: the styles every face can be drawn in.
        styles = {{QStringLiteral("Regular"), NormalWeight, false},
                  {QStringLiteral("Bold"), BoldWeight, false},
                  {QStringLiteral("Italic"), NormalWeight, true},
                  {QStringLiteral("Bold Italic"), BoldWeight, true}};
    }
    std::stable_sort(styles.begin(), styles.end(), [](const StyleChoice& a, const StyleChoice& b) {
        return std::tie(a.italic, a.weight) < std::tie(b.italic, b.weight);
    });
    return styles;
}

} // namespace

FontChooser::FontChooser(const comdlg::FontRequest& request, QWidget* parent)
    : QDialog(parent), m_request(request)
{
    setWindowTitle(tr("フォント"));

    m_families = new QListWidget(this);
    for (const QString& name : QFontDatabase::families()) {
        if (!QFontDatabase::isPrivateFamily(name)) {
            m_families->addItem(name);
        }
    }
    m_styles = new QListWidget(this);
    m_size = new QSpinBox(this);
    m_size->setRange(request.sizeMin, std::max(request.sizeMin, request.sizeMax));
    m_size->setSuffix(QStringLiteral(" pt"));
    m_sample = new QLabel(QStringLiteral("AaBbYyZz あア亜"), this);
    m_sample->setAlignment(Qt::AlignCenter);
    m_sample->setMinimumSize(240, 80);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(tr("フォント名"), this), 0, 0);
    grid->addWidget(new QLabel(tr("スタイル"), this), 0, 1);
    grid->addWidget(new QLabel(tr("サイズ"), this), 0, 2);
    grid->addWidget(m_families, 1, 0);
    grid->addWidget(m_styles, 1, 1);
    grid->addWidget(m_size, 1, 2, Qt::AlignTop);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);

    auto* sampleBox = new QGroupBox(tr("サンプル"), this);
    auto* sampleLayout = new QVBoxLayout(sampleBox);
    sampleLayout->addWidget(m_sample);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(sampleBox);
    layout->addWidget(buttons);

    // Start from the requested font.
    const comdlg::LogFont& start = request.logFont;
    const QList<QListWidgetItem*> found =
        m_families->findItems(start.faceName, Qt::MatchFixedString);
    if (!found.isEmpty()) {
        m_families->setCurrentItem(found.first());
        m_families->scrollToItem(found.first());
    }
    fillStyles(start.weight == 0 ? NormalWeight : start.weight, start.italic);
    m_size->setValue(roundHalfEven(std::abs(double(start.height)) * comdlg::PointsPerPixel));

    connect(m_families, &QListWidget::currentItemChanged, this,
            [this] { fillStyles(weight(), italic()); });
    connect(m_styles, &QListWidget::currentItemChanged, this, &FontChooser::updateSample);
    connect(m_size, &QSpinBox::valueChanged, this, &FontChooser::updateSample);
    updateSample();
}

QString FontChooser::family() const
{
    const QListWidgetItem* item = m_families->currentItem();
    return item != nullptr ? item->text() : m_request.logFont.faceName;
}

int FontChooser::weight() const
{
    const QListWidgetItem* item = m_styles->currentItem();
    return item != nullptr ? item->data(WeightRole).toInt() : NormalWeight;
}

bool FontChooser::italic() const
{
    const QListWidgetItem* item = m_styles->currentItem();
    return item != nullptr && item->data(ItalicRole).toBool();
}

void FontChooser::fillStyles(int wantedWeight, bool wantedItalic)
{
    const QSignalBlocker blocker(m_styles);
    m_styles->clear();
    int best = -1;
    int bestDistance = 0;
    const QList<StyleChoice> styles = stylesOf(family());
    for (int i = 0; i < styles.size(); ++i) {
        const StyleChoice& style = styles[i];
        auto* item = new QListWidgetItem(style.name, m_styles);
        item->setData(WeightRole, style.weight);
        item->setData(ItalicRole, style.italic);
        // The slant counts more than any difference in weight.
        const int distance =
            std::abs(style.weight - wantedWeight) + (style.italic != wantedItalic ? 1000 : 0);
        if (best < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    m_styles->setCurrentRow(best);
    updateSample();
}

void FontChooser::updateSample()
{
    QFont font(family());
    font.setWeight(static_cast<QFont::Weight>(weight()));
    font.setItalic(italic());
    font.setPointSize(m_size->value());
    font.setUnderline(m_request.logFont.underline);
    font.setStrikeOut(m_request.logFont.strikeOut);
    m_sample->setFont(font);
}

comdlg::LogFont FontChooser::chosenFont() const
{
    comdlg::LogFont chosen = m_request.logFont;
    chosen.faceName = family();
    chosen.weight = weight();
    chosen.italic = italic();
    chosen.height = -roundHalfEven(m_size->value() / comdlg::PointsPerPixel);
    return chosen;
}
