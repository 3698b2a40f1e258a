#pragma once

#include "types/HealthRecord.h"
#include "types/SourceFailure.h"
#include "types/SourceId.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QString>

/**
 * The words for the health of sources: what the interface shows (French in the code, translated
 * like every interface text) and what the log says (English, never translated, never a key or
 * an address). Kept in one place so that the tooltips, the keys tab and the log agree.
 */
class SourceHealthText
{
    Q_DECLARE_TR_FUNCTIONS(SourceHealthText)
public:
    /** "Yahoo", "Twelve Data", "Metals.Dev", "WeatherAPI"; for a feed `feedName`, or "Flux" without one. */
    static QString sourceName(const SourceId &source, const QString &feedName = {});
    /** A network failure in a few words: "hôte introuvable", "connexion refusée"... */
    static QString networkProblemName(NetworkProblem problem);
    /**
     * One sentence on `failure` of `source`, with the HTTP status or the service's code where
     * there is one: "Metals.Dev a refusé la clé (HTTP 401)", "Yahoo : symbole introuvable
     * (HTTP 404)", "Clé WeatherAPI manquante", "Pas de réseau (hôte introuvable)". With a valid
     * `nextTry`, followed by ", prochain essai à 14:10" (the day too when it is not today).
     */
    static QString failureText(const SourceId &source, const SourceFailure &failure, const QDateTime &nextTry = {},
                               const QString &feedName = {});

    /**
     * How a key fares with `source`, for the line under its field: "Pas encore utilisée",
     * "Acceptée — dernière réponse à 14:02", "Refusée par Metals.Dev (HTTP 401) : vérifie la clé",
     * "Pas de réponse de Metals.Dev (délai dépassé) à 14:05 ; prochain essai à 14:10".
     */
    static QString keyStatus(const SourceId &source, const HealthRecord &record);
    /**
     * How a feed fares, for its row: empty while it answers or was never asked; else the HTTP
     * status or the network error in a few words, "HTTP 404 — introuvable", "hôte introuvable".
     */
    static QString feedStatus(const HealthRecord &record);
    /** A time as these texts give it: "14:10" today, with the date on another day. */
    static QString timeText(const QDateTime &time);

    /** The source's name in the log: "Yahoo Finance", "Twelve Data", "Metals.Dev", "WeatherAPI", "feed \"name\"". */
    static QString logName(const SourceId &source, const QString &feedName = {});
    /** `failure` for the log, in English: "key rejected (HTTP 401)", "network error (host not found)". */
    static QString logReason(const SourceFailure &failure);
};
