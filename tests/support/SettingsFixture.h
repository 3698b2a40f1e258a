#pragma once

#include "MemoryKeyStore.h"
#include "settings/KeyStore.h"
#include "settings/Settings.h"
#include "settings/UserDefaults.h"

#include <QTemporaryDir>
#include <QtGlobal>

/**
 * A settings model over a throw-away folder, its keys in memory: nothing of the user's is
 * touched. Tests of the keyring itself hand KeyStore::system() instead. Another Settings over
 * `store` and `keys` is what a restart would read.
 */
struct SettingsFixture
{
    SettingsFixture()
        : SettingsFixture(nullptr)
    {}
    /** The keys in `keyStore` (not owned) instead of `keys`. */
    explicit SettingsFixture(KeyStore &keyStore)
        : SettingsFixture(&keyStore)
    {}

    QTemporaryDir dir;
    UserDefaults store;
    MemoryKeyStore keys;
    Settings settings;

private:
    explicit SettingsFixture(KeyStore *keyStore)
        : store(validPath(dir))
        , settings(store, keyStore ? *keyStore : keys)
    {}

    // An empty path would mean the user's own folder: no test may run on it.
    static QString validPath(const QTemporaryDir &dir)
    {
        if (!dir.isValid())
            qFatal("no temporary folder for the settings: %s", qPrintable(dir.errorString()));
        return dir.path();
    }
};
