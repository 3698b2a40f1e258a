#include "band/BandLines.h"

#include "band/Renderer.h"
#include "util/Clock.h"

#include <QImage>
#include <QPainter>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

double BandLines::now()
{
    return static_cast<double>(Clock::current().monotonicMs()) / 1000.0;
}

bool BandLines::layout(double width, double scale, double now, bool wholePixelLeds)
{
    m_width = width;
    m_scale = scale;
    m_shownPitch = pitch;
    if (wholePixelLeds && scale > 0 && pitch > 0)
        m_shownPitch = std::max(1.0, std::floor(pitch * scale + 1e-9)) / scale;
    const double shown = m_shownPitch;
    const double quotesTop = 0;
    const ScrollLine::Change first =
        m_lines[quotes].update(bitmap, quotesTop, width, shown, theme, speed, scale, now, rendered[quotes]);
    const double newsTop = quotesTop + (bitmap ? static_cast<double>(bitmap->h) * shown : 0);
    const ScrollLine::Change second =
        m_lines[news].update(newsBitmap, newsTop, width, shown, theme, speed, scale, now, rendered[news]);
    bool stepsChanged = false;
    for (int i = 0; i < lineCount; ++i)
        stepsChanged |= mutableLine(i).setSteps(stepsOf(i), now);
    return first != ScrollLine::Change::none || second != ScrollLine::Change::none || stepsChanged;
}

LineSteps BandLines::stepsOf(int index) const
{
    const std::optional<LedBitmap> &shown = index == quotes ? bitmap : newsBitmap;
    const double shownPitch = m_shownPitch > 0 ? m_shownPitch : pitch;
    if (!steps || !shown || !(shownPitch > 0) || !std::isfinite(m_width))
        return {};
    // At most half the band's width at a time, so a long headline is read in a few stills.
    const double half = m_width / shownPitch / 2;
    const std::int64_t maxStep = half >= 1 ? static_cast<std::int64_t>(std::min(half, 1e6)) : 1;
    return LineSteps::fromSpans(spans[static_cast<std::size_t>(index)], shown->w, maxStep);
}

bool BandLines::isMoving() const
{
    return m_lines[quotes].isMoving() || m_lines[news].isMoving();
}

bool BandLines::pause(int index, double now)
{
    if (index < 0 || index >= lineCount)
        return false;
    return mutableLine(index).pause(now);
}

bool BandLines::resume(int index, double now)
{
    if (index < 0 || index >= lineCount)
        return false;
    return mutableLine(index).resume(now);
}

bool BandLines::isPaused(int index) const
{
    return index >= 0 && index < lineCount && line(index).isPaused();
}

int BandLines::lineAt(double y) const
{
    for (int i = 0; i < lineCount; ++i) {
        const ScrollLine &l = line(i);
        if (l.isRunning() && l.placement() && y >= l.placement()->y && y < l.placement()->y + l.height())
            return i;
    }
    return -1;
}

bool BandLines::writePNG(const QString &path, int width, int height) const
{
    if (width <= 0 || height <= 0)
        return false;
    QImage picture(2 * width, 2 * height, QImage::Format_ARGB32_Premultiplied);
    if (picture.isNull())
        return false;
    picture.fill(QColor::fromRgba(Renderer::background));
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        for (const ScrollLine &l : m_lines) {
            if (!l.isRunning())
                continue;
            const double scale = l.content()->scale;
            painter.setWorldTransform(QTransform::fromScale(2 / scale, 2 / scale));
            l.paint(painter, 0, static_cast<int>(std::ceil(width * scale)));
        }
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!picture.save(&file, "PNG")) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
