#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>
#include <mutex>
#include <vector>

/**
 * Frame timestamps for measuring the motion, enabled by DOTBANNER_FRAME_STATS=path: one line
 * per frame shown, nanoseconds since the stats began. Kept in memory and appended to the file
 * once a second, so recording a frame only stores a number.
 */
class FrameStats : public QObject
{
public:
    /** Stats for the file named by DOTBANNER_FRAME_STATS; null when it is not set. */
    static std::unique_ptr<FrameStats> fromEnvironment();

    explicit FrameStats(QString path);
    ~FrameStats() override;

    /** A frame shown now; from any thread. */
    void record() { recordAt(m_clock.nsecsElapsed()); }
    /** A frame shown at `ns` on the same clock (elapsedNs() of the stats' own start). */
    void recordAt(qint64 ns)
    {
        std::lock_guard lock(m_mutex);
        m_times.push_back(ns);
    }
    /** Nanoseconds since the stats began. */
    qint64 elapsedNs() const { return m_clock.nsecsElapsed(); }
    /** The clock the stats count from, for converting times reported by others. */
    const QElapsedTimer &clock() const { return m_clock; }

    void flush();

private:
    QString m_file;
    QElapsedTimer m_clock;
    std::mutex m_mutex; // frames may be recorded on a drawing thread
    std::vector<qint64> m_times;
    QTimer m_flushTimer;
};
