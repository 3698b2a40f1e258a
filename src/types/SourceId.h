#pragma once

#include <QHashFunctions>
#include <QUuid>

/**
 * One source of values whose health is followed: one of the four web services, or one news
 * feed by the id of its settings entry.
 */
struct SourceId
{
    enum class Service { yahoo, twelveData, metalsDev, weatherApi, feed };

    Service service = Service::yahoo;
    QUuid feed{}; ///< the feed's id; null for the services

    static SourceId yahoo() { return {Service::yahoo, {}}; }
    static SourceId twelveData() { return {Service::twelveData, {}}; }
    static SourceId metalsDev() { return {Service::metalsDev, {}}; }
    static SourceId weatherApi() { return {Service::weatherApi, {}}; }
    static SourceId feedWith(const QUuid &id) { return {Service::feed, id}; }

    bool isFeed() const { return service == Service::feed; }
    /** True for the services that are asked with one of the user's API keys. */
    bool takesKey() const
    {
        return service == Service::twelveData || service == Service::metalsDev || service == Service::weatherApi;
    }

    friend bool operator==(const SourceId &, const SourceId &) = default;
    friend size_t qHash(const SourceId &id, size_t seed = 0) noexcept
    {
        return qHashMulti(seed, static_cast<int>(id.service), id.feed);
    }
};
