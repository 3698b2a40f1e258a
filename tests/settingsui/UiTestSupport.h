#pragma once

#include "SettingsFixture.h"
#include "settings/MotionChoice.h"
#include "settings/ScreenChoice.h"
#include "settings/Settings.h"
#include "settingsui/SettingsEnvironment.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

/**
 * A settings model on a private store and an environment that counts what the window
 * asks of the services, so tests observe refreshes and opened addresses without network.
 */
struct UiFixture : SettingsFixture
{
    UiFixture() { connectEnvironment(); }
    /** The keys in `keyStore` (the keyring, for the keys tab) instead of memory. */
    explicit UiFixture(KeyStore &keyStore)
        : SettingsFixture(keyStore)
    {
        connectEnvironment();
    }

    void resetCounts()
    {
        forcedRefreshes = plainRefreshes = newsRefreshes = 0;
        opened.clear();
    }

    ScreenChoice screenChoice{store};
    MotionChoice motionChoice{store};
    SettingsEnvironment environment;
    int forcedRefreshes = 0;
    int plainRefreshes = 0;
    int newsRefreshes = 0;
    BandMode bandMode = BandMode::x11Ewmh;
    QList<QUrl> opened;

private:
    void connectEnvironment()
    {
        environment.setScreenChoice(&screenChoice);
        environment.setMotionChoice(&motionChoice);
        environment.refreshData = [this](bool force) { (force ? forcedRefreshes : plainRefreshes)++; };
        environment.refreshNews = [this] { newsRefreshes++; };
        environment.openUrl = [this](const QUrl &url) { opened.append(url); };
        environment.bandMode = [this] { return bandMode; };
    }
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
