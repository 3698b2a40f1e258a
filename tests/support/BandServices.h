#pragma once

#include "data/DataService.h"
#include "net/HttpClient.h"
#include "news/NewsService.h"
#include "settings/Settings.h"
#include "settings/UserDefaults.h"

#include <QTemporaryDir>

/**
 * The services a band reads, over a throw-away settings folder: nothing of the user's is
 * touched, and nothing is fetched until a test asks for it.
 */
struct BandServices
{
    QTemporaryDir dir;
    UserDefaults store{dir.path()};
    Settings settings{store};
    HttpClient http;
    DataService data{settings, store, http};
    NewsService news{settings, http};
};
