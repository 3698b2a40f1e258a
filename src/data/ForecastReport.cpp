#include "data/ForecastReport.h"

#include "data/JsonMappings.h"
#include "data/MetalsWeather.h"
#include "net/HttpClient.h"
#include "net/ServiceRequest.h"
#include "settings/Settings.h"

#include <QCoreApplication>

#include <cstdio>
#include <memory>

namespace ForecastReport {

QCoro::Task<int> run(QList<WatchItem> items, QString key, HttpClient &http, QTextStream &out)
{
    for (const WatchItem &item : items) {
        if (item.kind != ItemKind::weather)
            continue;
        const QString q = MetalsWeather::weatherQuery(item);
        std::optional<QByteArray> body;
        ServiceRequest request = MetalsWeather::forecastRequest(key, q);
        request.sendUserAgent = false;
        request.timeout = requestTimeout;
        if (request.url()) {
            const ServiceRequest::Answer answer = co_await ServiceRequest::send(http, std::move(request), nullptr);
            if (!answer.response.failed())
                body = answer.response.body;
        }
        for (const QString &line : JsonMappings::forecastReport(item.symbol, q, body))
            out << line << '\n';
        out.flush();
    }
    co_return 0;
}

void start(Settings &settings, HttpClient &http)
{
    // Started from the event loop, so that ending the loop works even when there is
    // nothing to ask and the report is over at once.
    const QList<WatchItem> items = settings.items();
    const QString key = settings.effectiveWeatherKey();
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [items, key, &http] {
            auto out = std::make_shared<QTextStream>(stdout);
            QCoro::connect(run(items, key, http, *out), QCoreApplication::instance(), [out](int status) {
                out->flush();
                std::fflush(stdout);
                QCoreApplication::exit(status);
            });
        },
        Qt::QueuedConnection);
}

} // namespace ForecastReport
