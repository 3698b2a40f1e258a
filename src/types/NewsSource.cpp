#include "types/NewsSource.h"

#include <algorithm>

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

const QList<NewsSource> &NewsSource::englishDefaults()
{
    // Long-lived feeds of large newsrooms: world news and business news, two of each.
    static const QList<NewsSource> sources = [] {
        const auto make = [](const char *name, const char *url) {
            return NewsSource{QUuid::createUuid(), QString::fromUtf8(name), QString::fromUtf8(url), true};
        };
        return QList<NewsSource>{
            make("BBC News", "https://feeds.bbci.co.uk/news/world/rss.xml"),
            make("NPR", "https://feeds.npr.org/1001/rss.xml"),
            make("BBC Business", "https://feeds.bbci.co.uk/news/business/rss.xml"),
            make("The Guardian", "https://www.theguardian.com/uk/business/rss"),
        };
    }();
    return sources;
}

bool NewsSource::areDefaults(const QList<NewsSource> &sources, bool english)
{
    const QList<NewsSource> &reference = defaultsFor(english);
    return std::equal(sources.begin(), sources.end(), reference.begin(), reference.end(),
                      [](const NewsSource &a, const NewsSource &b) {
                          return a.name == b.name && a.url == b.url && a.enabled == b.enabled;
                      });
}
