#include "band/ScrollLine.h"

#include "band/Renderer.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

std::int64_t ScrollLine::loopColumnsFor(std::int64_t w)
{
    if (w <= 0)
        return 64;
    return w * std::max<std::int64_t>((w + 63) / w, 1);
}

int ScrollLine::cellFor(double pitch, double scale)
{
    const double px = std::round(pitch * scale);
    if (!(px >= 1))
        return 1;
    return px > std::numeric_limits<int>::max() / 2 ? std::numeric_limits<int>::max() / 2 : static_cast<int>(px);
}

std::int64_t ScrollLine::tileColumnsFor(int cell)
{
    return cell <= maxTilePixels ? maxTilePixels / std::max(cell, 1) : 1;
}

double ScrollLine::height() const
{
    return m_content ? m_content->pitch * static_cast<double>(m_content->bitmap.h) : 0;
}

double ScrollLine::scrolledAt(double t) const
{
    if (!m_content)
        return 0;
    if (m_pausedAt)
        t = m_anchorTime;
    double c = std::fmod(m_anchorColumn + (t - m_anchorTime) * m_columnsPerSecond, static_cast<double>(m_loopColumns));
    if (!(c >= 0)) // a clock read before the anchor, or NaN
        c = c < 0 ? c + static_cast<double>(m_loopColumns) : 0;
    return c;
}

double ScrollLine::columnAt(double t) const
{
    const double c = scrolledAt(t);
    // A paused line stands at the column it showed, a stop already.
    if (!m_content || m_pausedAt || m_steps.period() != m_content->bitmap.w)
        return c;
    return m_steps.snap(c, static_cast<double>(m_loopColumns));
}

bool ScrollLine::setSteps(const LineSteps &steps, double now)
{
    if (steps == m_steps)
        return false;
    if (steps.isEmpty() && m_content && !m_pausedAt) {
        // Scrolling again from the stop shown, not from where the column had gone meanwhile.
        m_anchorColumn = columnAt(now);
        m_anchorTime = now;
    }
    m_steps = steps;
    return true;
}

ScrollLine::Change ScrollLine::update(const std::optional<LedBitmap> &bitmap, double y, double width, double pitch,
                                      ColorTheme theme, double speed, double scale, double now)
{
    return update(bitmap, y, width, pitch, theme, speed, scale, now, {});
}

ScrollLine::Change ScrollLine::update(const std::optional<LedBitmap> &bitmap, double y, double width, double pitch,
                                      ColorTheme theme, double speed, double scale, double now,
                                      const std::shared_ptr<const Rendered> &rendered)
{
    // A line without cells or without a usable pitch has nothing to show: treat it like no bitmap.
    if (!bitmap || width <= 0 || bitmap->w <= 0 || bitmap->h <= 0 || !(pitch > 0) || !(scale > 0) ||
        !std::isfinite(pitch) || !std::isfinite(width)) {
        const bool wasRunning = m_content.has_value() || !m_tiles.isEmpty();
        m_content.reset();
        m_placement.reset();
        m_tiles.clear();
        m_anchorColumn = 0;
        m_columnsPerSecond = 0;
        m_copies = 0;
        return wasRunning ? Change::cleared : Change::none;
    }

    Content content{*bitmap, pitch, theme, scale};
    const Placement placement{y, width, speed};
    const bool contentChanged = !(m_content && *m_content == content);
    if (!contentChanged && m_placement && *m_placement == placement)
        return Change::none;

    m_placement = placement;
    const std::int64_t loop = loopColumnsFor(bitmap->w);
    // The column reached so far, with the old motion (0 on the first update and after clearing).
    const double reached = m_anchorColumn + (m_pausedAt ? 0 : (now - m_anchorTime) * m_columnsPerSecond);
    m_loopColumns = loop;

    if (contentChanged) {
        if (rendered && rendered->content == content)
            adopt(*rendered);
        else
            adopt(*render(content));
    }
    m_content = std::move(content);

    const double loopWidthPoints = pitch * static_cast<double>(loop);
    const double copies = std::ceil(width / loopWidthPoints) + 1;
    m_copies = copies > 1e6 ? 1000000 : static_cast<int>(copies);

    double anchor = std::fmod(reached, static_cast<double>(loop));
    if (!(anchor >= 0))
        anchor = 0;
    m_anchorColumn = anchor;
    m_anchorTime = now;
    if (m_pausedAt)
        m_pausedAt = now;
    m_columnsPerSecond = std::isfinite(speed) ? speed * 7 : 0;
    return contentChanged ? Change::content : Change::placement;
}

bool ScrollLine::pause(double now)
{
    if (m_pausedAt)
        return false;
    m_anchorColumn = columnAt(now);
    m_anchorTime = now;
    m_pausedAt = now;
    return true;
}

bool ScrollLine::resume(double now)
{
    if (!m_pausedAt)
        return false;
    // The column shown while paused is the anchor; time starts counting again from now.
    m_anchorTime = now;
    m_pausedAt.reset();
    return true;
}

std::shared_ptr<const ScrollLine::Rendered> ScrollLine::render(Content content)
{
    auto result = std::make_shared<Rendered>();
    const LedBitmap &bitmap = content.bitmap;
    const std::int64_t loopColumns = loopColumnsFor(bitmap.w);
    const int cell = cellFor(content.pitch, content.scale);
    const Renderer::Stamps stamps = Renderer::stamps(cell, content.theme);
    const std::int64_t tileColumns = tileColumnsFor(cell);
    const double devicePitch = content.pitch * content.scale;
    // When an LED is not a whole number of device pixels, tiles are resampled once here so
    // every frame can still place them unscaled at whole-pixel positions.
    // (Within rounding: a pitch made to fit whole pixels, as cell ÷ scale, comes back a hair off.)
    const bool exact = std::abs(devicePitch - static_cast<double>(cell)) < 1e-9;
    const auto deviceAt = [&](std::int64_t column) {
        return static_cast<int>(std::llround(devicePitch * static_cast<double>(column)));
    };

    result->loopColumns = loopColumns;
    result->loopPixels = deviceAt(loopColumns);
    result->heightPixels = static_cast<int>(std::llround(devicePitch * static_cast<double>(bitmap.h)));
    for (std::int64_t start = 0; start < loopColumns; start += tileColumns) {
        const std::int64_t n = std::min(loopColumns - start, tileColumns);
        ++result->expectedTiles;
        QImage image = Renderer::image(bitmap, start, n, cell, stamps);
        if (image.isNull())
            continue;
        const int deviceX = deviceAt(start);
        const int deviceWidth = deviceAt(start + n) - deviceX;
        if (!exact) {
            if (deviceWidth <= 0 || result->heightPixels <= 0)
                continue;
            image = image.scaled(deviceWidth, result->heightPixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            if (image.format() != Renderer::format)
                image = image.convertToFormat(Renderer::format);
        }
        // Every pixel is opaque; saying so lets each frame copy the tile instead of blending it.
        image.reinterpretAsFormat(QImage::Format_RGB32);
        result->tiles.append(Tile{content.pitch * static_cast<double>(start), content.pitch * static_cast<double>(n),
                                  deviceX, std::move(image)});
    }
    result->content = std::move(content);
    return result;
}

void ScrollLine::adopt(const Rendered &rendered)
{
    m_tiles = rendered.tiles;
    m_loopPixels = rendered.loopPixels;
    m_heightPixels = rendered.heightPixels;
    m_expectedTiles = rendered.expectedTiles;
}

QRect ScrollLine::deviceRect(int deviceWidth) const
{
    if (!m_content || !m_placement)
        return {};
    const int top = static_cast<int>(std::llround(m_placement->y * m_content->scale));
    return QRect(0, top, deviceWidth, m_heightPixels);
}

int ScrollLine::offsetPixels(double column) const
{
    if (!m_content || m_loopPixels <= 0)
        return 0;
    const int offset = static_cast<int>(std::llround(column * m_content->pitch * m_content->scale) % m_loopPixels);
    return offset < 0 ? offset + m_loopPixels : offset;
}

bool ScrollLine::paint(QPainter &painter, double column, int deviceWidth) const
{
    if (!m_content || !m_placement || m_loopPixels <= 0)
        return m_tiles.isEmpty() && !m_content;
    const int offset = offsetPixels(column);
    const int top = static_cast<int>(std::llround(m_placement->y * m_content->scale));
    // Only the copies that reach the visible width are drawn; whole loops beyond it are skipped.
    for (int i = 0; i < m_copies; ++i) {
        const long long base = static_cast<long long>(i) * m_loopPixels - offset;
        if (base >= deviceWidth)
            break;
        if (base + m_loopPixels <= 0)
            continue;
        for (const Tile &tile : m_tiles) {
            const long long x = base + tile.deviceX;
            if (x >= deviceWidth)
                break;
            if (x + tile.image.width() <= 0)
                continue;
            painter.drawImage(QPoint(static_cast<int>(x), top), tile.image);
        }
    }
    return m_tiles.size() == m_expectedTiles;
}
