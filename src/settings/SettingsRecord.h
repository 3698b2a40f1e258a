#pragma once

#include "types/NewsSource.h"
#include "types/SettingsEnums.h"
#include "types/WatchItem.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

/**
 * The persisted form of the settings: one compact JSON object. A record built without
 * arguments holds the defaults of a first start. Decoding is strict and all-or-nothing (any
 * fault rejects the whole record); members that may be missing take their defaults. The API
 * keys are never part of it.
 */
struct SettingsRecord
{
    WindowLevelMode levelMode = WindowLevelMode::front;
    DockPosition position = DockPosition::top;
    BarVariant variant = BarVariant::thin;
    FontStyle fontStyle = FontStyle::pixelBold;
    ColorTheme theme = ColorTheme::greenRed;
    double ledSize = 5.0;
    double speed = 3.0;
    QList<WatchItem> items = defaultItems();

    // These six may be missing (or null) in a stored record.
    StockProvider stockProvider = StockProvider::yahoo;
    QString metalCurrency = QStringLiteral("EUR");
    QString metalUnit = QStringLiteral("toz");
    bool showInDock = false;
    QList<NewsSource> newsSources = NewsSource::defaults();
    bool pushWindows = true;

    /** The watch list of a first start, built once per process. */
    static const QList<WatchItem> &defaultItems();
    /** The same watch list for an English interface: "GOLD" for "OR"; the places keep their names. */
    static const QList<WatchItem> &englishDefaultItems();
    /** The record of a first start: the defaults above, with the lists of English when `english`. */
    static SettingsRecord firstStart(bool english);

    /** The record in `bytes`, or nothing when they are not a valid record. Never throws. */
    static std::optional<SettingsRecord> decode(const QByteArray &bytes);
    /** Compact JSON with every member, or nothing when a number cannot be written in JSON. */
    std::optional<QByteArray> encode() const;

    /** Canonical upper-case form, 36 characters, no braces. */
    static QString uuidText(const QUuid &id);
    /** Accepts exactly the canonical hyphenated form, in either case. */
    static std::optional<QUuid> parseUuid(const QString &text);

    friend bool operator==(const SettingsRecord &, const SettingsRecord &) = default;
};
