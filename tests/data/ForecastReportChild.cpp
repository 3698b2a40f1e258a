// Runs the forecast report the way the application does: arguments are the weather key,
// then one "symbol" or "symbol=ref" per weather item.
#include "SettingsFixture.h"
#include "data/ForecastReport.h"
#include "net/HttpClient.h"
#include "settings/Settings.h"

#include <QCoreApplication>
#include <QUuid>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    SettingsFixture fixture;
    Settings &settings = fixture.settings;
    QList<WatchItem> items;
    for (const QString &arg : args.mid(1)) {
        const qsizetype equals = arg.indexOf('=');
        items.append(WatchItem{QUuid::createUuid(), ItemKind::weather, arg.left(equals), arg.left(equals),
                               equals < 0 ? std::nullopt : std::optional<QString>(arg.mid(equals + 1))});
    }
    settings.setItems(items);
    settings.setWeatherKey(args.value(0));
    ForecastReport::start(settings, HttpClient::shared());
    return app.exec();
}
