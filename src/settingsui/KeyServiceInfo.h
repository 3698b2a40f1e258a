#pragma once

#include "settings/Keychain.h"
#include "settingsui/Icons.h"

#include <QColor>
#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QUrl>

class Settings;

/** How the keys tab and the tutorial sheet present one service that takes a key. */
struct KeyServiceInfo
{
    Q_DECLARE_TR_FUNCTIONS(KeyServiceInfo)

public:
    struct Step
    {
        QString title;
        QString text;
    };

    KeyService service;
    QString displayName;
    Icons::Symbol icon;
    QColor color;
    QString placeholder;
    QString subtitle;
    QList<Step> steps;
    QString note;
    QUrl site;      ///< the service's home page, opened from the sheet
    QString domain; ///< its web domain in lower case, named in the first step

    /** The service's presentation, in the interface's language of the moment. */
    static KeyServiceInfo of(KeyService service);
    /** The three services in the order the keys tab names them. */
    static QList<KeyService> all();

    /** The key of this service in `settings`, and the assignment that stores it. */
    QString key(const Settings &settings) const;
    void setKey(Settings &settings, const QString &value) const;

private:
    static KeyServiceInfo twelveData();
    static KeyServiceInfo weather();
    static KeyServiceInfo metals();
};
