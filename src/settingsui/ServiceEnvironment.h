#pragma once

// Header-only on purpose: the settings window library stays free of the data, news and
// avoider libraries; the application, which links them all, includes this file.

#include "avoider/WindowAvoider.h"
#include "data/DataService.h"
#include "news/NewsService.h"
#include "settingsui/SettingsEnvironment.h"

#include <QPointer>

/**
 * Wires `environment` to the program's services: refreshes go to `data` and `news`,
 * the feed status follows `news`, and the permission is read from `avoider` (none:
 * never trusted).
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
    environment.accessibilityTrusted = [windowAvoider] { return windowAvoider && windowAvoider->isTrusted(); };
    environment.openAccessibilitySettings = [windowAvoider] {
        if (windowAvoider)
            windowAvoider->openAccessibilityPane();
    };
    environment.setNewsStatus(news.status());
    QObject::connect(&news, &NewsService::statusChanged, &environment, &SettingsEnvironment::setNewsStatus);
}
