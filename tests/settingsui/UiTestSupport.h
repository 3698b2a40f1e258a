#pragma once

#include "settings/ScreenChoice.h"
#include "settings/Settings.h"
#include "settings/UserDefaults.h"
#include "settingsui/SettingsEnvironment.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <memory>

/**
 * A settings model on a private store and an environment that counts what the window
 * asks of the services, so tests observe refreshes and opened addresses without network.
 */
struct UiFixture
{
    UiFixture()
        : store(directory.path())
        , settings(std::make_unique<Settings>(store))
        , screenChoice(store)
    {
        environment.setScreenChoice(&screenChoice);
        environment.refreshData = [this](bool force) { (force ? forcedRefreshes : plainRefreshes)++; };
        environment.refreshNews = [this] { newsRefreshes++; };
        environment.openUrl = [this](const QUrl &url) { opened.append(url); };
        environment.bandMode = [this] { return bandMode; };
    }

    void resetCounts()
    {
        forcedRefreshes = plainRefreshes = newsRefreshes = 0;
        opened.clear();
    }

    QTemporaryDir directory;
    UserDefaults store;
    std::unique_ptr<Settings> settings;
    ScreenChoice screenChoice;
    SettingsEnvironment environment;
    int forcedRefreshes = 0;
    int plainRefreshes = 0;
    int newsRefreshes = 0;
    BandMode bandMode = BandMode::x11Ewmh;
    QList<QUrl> opened;
};

/** Shows `widget` off screen (laid out as on screen) and lets it settle. */
inline void showOffscreen(QWidget *widget)
{
    widget->setAttribute(Qt::WA_DontShowOnScreen);
    widget->show();
    QApplication::processEvents();
}

/** Whether `widget` would be visible if its window were shown. */
inline bool shown(const QWidget *widget)
{
    return widget && widget->isVisibleTo(widget->window());
}
