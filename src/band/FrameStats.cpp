#include "band/FrameStats.h"

#include <QFile>

std::unique_ptr<FrameStats> FrameStats::fromEnvironment()
{
    const QString path = qEnvironmentVariable("DOTBANNER_FRAME_STATS");
    if (path.isEmpty())
        return nullptr;
    return std::make_unique<FrameStats>(path);
}

FrameStats::FrameStats(QString path)
    : m_file(std::move(path))
{
    m_clock.start();
    m_times.reserve(256);
    QFile out(m_file);
    if (out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        out.close();
    m_flushTimer.setInterval(1000);
    connect(&m_flushTimer, &QTimer::timeout, this, &FrameStats::flush);
    m_flushTimer.start();
}

FrameStats::~FrameStats()
{
    flush();
}

void FrameStats::flush()
{
    std::vector<qint64> times;
    {
        std::lock_guard lock(m_mutex);
        times.swap(m_times);
    }
    if (times.empty())
        return;
    QFile out(m_file);
    if (out.open(QIODevice::WriteOnly | QIODevice::Append)) {
        QByteArray text;
        for (qint64 t : times)
            text += QByteArray::number(t) + '\n';
        out.write(text);
    }
}
