#pragma once

#include "types/WatchItem.h"

#include <QList>
#include <QString>
#include <QTextStream>

#include <qcoro/qcorotask.h>

#include <chrono>

class HttpClient;
class Settings;

/**
 * The "--debug-weather" diagnostic: for each weather item of the watch list, one
 * request to the forecast service and a few lines on standard output describing
 * what came back, or the failure.
 */
namespace ForecastReport {

/** Unlike the band's requests, the report sends no user agent and waits up to a minute. */
constexpr std::chrono::milliseconds requestTimeout{60000};

/** Prints the report for `items` (other kinds are ignored) and gives the exit status, 0. */
QCoro::Task<int> run(QList<WatchItem> items, QString key, HttpClient &http, QTextStream &out);

/**
 * Runs the report on the current settings, printing to standard output, then ends the
 * application's event loop with that status. The rest of the program keeps running
 * while the requests are under way.
 */
void start(Settings &settings, HttpClient &http);

} // namespace ForecastReport
