#include "BackBuffer.h"

#include <QPainter>

namespace {

// Beyond this many steps since the last clear, the steps are composed into one
// picture, so that drawing again and again without a clear cannot pile up steps.
// A composition draws a few pieces after a clear, far below it.
constexpr qsizetype MaxSteps = 32;

} // namespace

void BackBuffer::clear(QSize size, const QColor& background)
{
    m_size = size;
    m_background = background;
    m_steps.clear();
}

void BackBuffer::grow(QSize size, const QColor& background)
{
    if (m_size.isEmpty()) {
        clear(size, background);
        return;
    }
    const QRect old = bounds();
    m_size = m_size.expandedTo(size);
    if (background != m_background) {
        fill(QRegion(bounds()) - old, background);
    }
}

void BackBuffer::crop(QSize size)
{
    m_size = m_size.boundedTo(size);
    const QRect kept = bounds();
    for (Step& step : m_steps) {
        step.area &= kept;
    }
    m_steps.removeIf([](const Step& step) { return step.area.isEmpty(); });
}

void BackBuffer::drawPicture(const QImage& picture, QPoint at, const QRegion& area)
{
    if (!picture.isNull()) {
        add({picture, at, area, QColor()});
    }
}

void BackBuffer::fill(const QRegion& area, const QColor& colour)
{
    add({QImage(), QPoint(), area, colour});
}

void BackBuffer::add(Step step)
{
    step.area &= bounds();
    if (step.area.isEmpty()) {
        return;
    }
    if (m_steps.size() >= MaxSteps) {
        const QImage composed = toImage();
        m_steps = {Step{composed, QPoint(0, 0), QRegion(bounds()), QColor()}};
    }
    m_steps.append(std::move(step));
}

void BackBuffer::paint(QPainter& painter, const QRegion& part) const
{
    const QRegion inside = part & bounds();
    if (inside.isEmpty()) {
        return;
    }
    painter.save();
    painter.setClipRegion(inside);
    painter.fillRect(inside.boundingRect(), m_background);
    for (const Step& step : m_steps) {
        const QRegion drawn = step.area & inside;
        if (drawn.isEmpty()) {
            continue;
        }
        painter.setClipRegion(drawn);
        if (step.picture.isNull()) {
            painter.fillRect(drawn.boundingRect(), step.colour);
        } else {
            painter.drawImage(step.at, step.picture);
        }
    }
    painter.restore();
}

QImage BackBuffer::toImage() const
{
    if (m_size.isEmpty()) {
        return QImage();
    }
    QImage image(m_size, QImage::Format_RGB32);
    QPainter painter(&image);
    paint(painter, QRegion(bounds()));
    return image;
}
