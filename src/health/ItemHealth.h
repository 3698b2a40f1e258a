#pragma once

#include "types/KeyService.h"
#include "types/SettingsEnums.h"
#include "types/SourceId.h"
#include "types/WatchItem.h"

#include <QCoreApplication>
#include <QString>
#include <QUrl>

#include <optional>

class SourceHealth;

/**
 * Why one watch item of the band has no fresh value, in the words the band shows, and which
 * key the user can fix about it. The band's tooltip and its click read this, so both agree.
 */
class ItemHealth
{
    Q_DECLARE_TR_FUNCTIONS(ItemHealth)
public:
    /** What the band tells about an item without a fresh value. */
    struct Why
    {
        QString text;                  ///< one sentence: "Metals.Dev a refusé la clé (HTTP 401)"...
        std::optional<KeyService> key; ///< the key whose field a click opens: missing or refused
    };

    /** The source that answers for items of `kind`: the stock provider chosen for stocks. */
    static SourceId sourceOf(ItemKind kind, StockProvider provider);
    /** The key `source` is asked with; none for Yahoo and the feeds. */
    static std::optional<KeyService> keyOf(const SourceId &source);

    /**
     * Why `item` has no fresh value according to `health`, or nothing while its source and the
     * item are well or unheard of. A missing or refused key invites a click that opens its field.
     */
    static std::optional<Why> why(const SourceHealth &health, const WatchItem &item, StockProvider provider);

    /** The address a band item opens to reach the field of `service` in the keys tab. */
    static QUrl keyFieldLink(KeyService service);
    /** The service of an address made by keyFieldLink(); none for every other address. */
    static std::optional<KeyService> keyFieldOf(const QUrl &url);
};
