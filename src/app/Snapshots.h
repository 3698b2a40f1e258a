#pragma once

#include "types/Quote.h"
#include "types/SettingsEnums.h"

#include <QList>
#include <QString>

#include <functional>

/**
 * The reference pictures of "--snapshot-ui": the band in three configurations with nine
 * sample weather values, then the settings window's views.
 */
namespace Snapshots {

/** One band configuration and the file-name suffix of its picture. */
struct BandSample
{
    QString suffix;
    FontStyle style;
    BarVariant variant;
    double pitch; ///< points per LED
};

/** Width in points of the sample bands. */
constexpr int bandWidth = 2300;

/** "T1" … "T9" at 12 °C … 20 °C, each with one weather icon in declaration order. */
QList<Quote> sampleQuotes();

/** "thin", "thick" and "hd", in writing order. */
QList<BandSample> bandSamples();

/**
 * Writes PREFIX-w-thin.png, PREFIX-w-thick.png and PREFIX-w-hd.png. A picture that cannot be
 * written is skipped; returns how many were written.
 */
int writeBandSamples(const QString &prefix);

} // namespace Snapshots
