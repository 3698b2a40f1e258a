#pragma once

#include "band/BandSurface.h"

#include <QWidget>

#include <functional>
#include <memory>

/**
 * A Qt widget that shows the band's lines: the common part of the widget-based surfaces.
 * It turns the widget's mouse events into band pointer events and lays the lines out again
 * when its size or pixel density changes. Subclasses draw the frames.
 */
class BandWidget : public QWidget
{
    Q_OBJECT
public:
    /** Shows `lines` (not owned; must outlive the widget), or lines of its own when null. */
    explicit BandWidget(BandLines *lines, QWidget *parent = nullptr);
    ~BandWidget() override;

    BandLines &lines() const { return *m_lines; }

    /** Where the widget's pointer events go; none by default. */
    BandPointerHandler pointerHandler;

    /** Lays the lines out in the widget's bounds again and shows what changed. */
    virtual void refresh() = 0;

    /** Device pixels per point for the lines: the window's, else the primary screen's, else 2. */
    double backingScale() const;
    /** Nanoseconds between two frames, from the screen's refresh rate (60 Hz when unknown). */
    int frameIntervalNs() const;
    /** True while frames are being shown. */
    virtual bool isAnimating() const = 0;

protected:
    /** Lays the lines out with the widget's width and scale; returns whether anything changed. */
    bool layoutLines();

    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool event(QEvent *event) override;

private:
    void deliver(BandPointerEvent::Type type, QPointF position, Qt::MouseButton button);

    std::unique_ptr<BandLines> m_ownLines;
    BandLines *m_lines;
};
