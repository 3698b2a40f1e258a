#include "app/TickerController.h"
#include "avoider/WindowAvoider.h"
#include "avoider/WindowSystem.h"
#include "data/DataService.h"
#include "news/NewsService.h"
#include "settings/Settings.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);

    Settings &settings = Settings::shared();
    if (app.arguments().contains(QStringLiteral("--two-lines")))
        settings.setVariant(BarVariant::thick);
    DataService::shared().start();
    NewsService::shared().start();
    TickerController controller(settings, DataService::shared(), NewsService::shared(),
                                new WindowAvoider(WindowSystem::forPlatform()));
    return app.exec();
}
