#pragma once

#include "LoopbackHttpServer.h"
#include "SettingsFixture.h"
#include "data/DataService.h"
#include "net/HttpClient.h"
#include "news/NewsService.h"

/**
 * The services a band reads over a SettingsFixture, and a loopback server for the tests that
 * answer their requests. Nothing is fetched until a test asks for it; the server listens only
 * once a test starts it (and takes every service request once it calls serveAllServices()).
 */
struct ServiceFixture : SettingsFixture
{
    using SettingsFixture::SettingsFixture;

    LoopbackHttpServer server;
    HttpClient http;
    DataService data{settings, store, http};
    NewsService news{settings, http};
};
