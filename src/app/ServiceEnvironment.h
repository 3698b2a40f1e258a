#pragma once

// Header-only on purpose: the settings window library stays free of the data, news and
// avoider libraries; the application, which links them all, includes this file.

#include "avoider/WindowAvoider.h"
#include "data/DataService.h"
#include "news/NewsService.h"
#include "settingsui/SettingsEnvironment.h"

#include <QGuiApplication>
#include <QPointer>

/**
 * Wires `environment` to the program's services: refreshes go to `data` and `news`,
 * the feed status follows `news`, and the window handling is read from the platform and
 * `avoider` (none: windows are not pushed).
 */
inline void connectServices(SettingsEnvironment &environment, DataService &data, NewsService &news,
                            WindowAvoider *avoider)
{
    QPointer<DataService> dataService(&data);
    QPointer<NewsService> newsService(&news);
    QPointer<WindowAvoider> windowAvoider(avoider);
    environment.refreshData = [dataService](bool force) {
        if (dataService)
            dataService->refresh(force);
    };
    environment.refreshNews = [newsService] {
        if (newsService)
            newsService->refresh();
    };
    environment.bandMode = [windowAvoider] {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            return BandMode::unsupported;
        // The avoider can move windows once an EWMH window manager tells where they are.
        return windowAvoider && windowAvoider->canMoveWindows() ? BandMode::x11Ewmh : BandMode::x11WithoutEwmh;
    };
    environment.setNewsStatus(news.status());
    QObject::connect(&news, &NewsService::statusChanged, &environment, &SettingsEnvironment::setNewsStatus);
}
