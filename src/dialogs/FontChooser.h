#pragma once

#include "ChooseDialogs.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QSpinBox;

// The font chooser: a family from the fonts installed for the screen, one of its
// styles (weight and slant), a size in points within the request's limits, and a
// sample. It opens on the request's font; underline and strikeout are shown in the
// sample and handed back unchanged.
class FontChooser : public QDialog
{
    Q_OBJECT

public:
    explicit FontChooser(const comdlg::FontRequest& request, QWidget* parent = nullptr);

    // The font as chosen so far, with the character height (negative) in pixels.
    comdlg::LogFont chosenFont() const;

    QListWidget* familyList() const { return m_families; }
    QListWidget* styleList() const { return m_styles; }
    QSpinBox* sizeBox() const { return m_size; }
    QLabel* sample() const { return m_sample; }

private:
    void fillStyles(int wantedWeight, bool wantedItalic);
    void updateSample();
    QString family() const;
    int weight() const;
    bool italic() const;

    comdlg::FontRequest m_request;
    QListWidget* m_families = nullptr;
    QListWidget* m_styles = nullptr;
    QSpinBox* m_size = nullptr;
    QLabel* m_sample = nullptr;
};
