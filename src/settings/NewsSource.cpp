#include "settings/NewsSource.h"

const QList<NewsSource> &NewsSource::defaults()
{
    static const QList<NewsSource> sources = [] {
        const auto make = [](const char *name, const char *url) {
            return NewsSource{QUuid::createUuid(), QString::fromUtf8(name), QString::fromUtf8(url), true};
        };
        return QList<NewsSource>{
            make("franceinfo", "https://www.francetvinfo.fr/titres.rss"),
            make("Le Monde", "https://www.lemonde.fr/rss/une.xml"),
            make("Le Figaro", "https://www.lefigaro.fr/rss/figaro_actualites.xml"),
            make("Ouest-France", "https://www.ouest-france.fr/rss/une"),
        };
    }();
    return sources;
}
