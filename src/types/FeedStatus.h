#pragma once

/** The outcome of the last fetch of one feed: ok with its title count, or failed. */
struct FeedStatus
{
    enum class Case { ok, failed };

    Case kind = Case::failed;
    int count = 0; ///< titles the feed held (before the per-feed limit); 0 when failed

    static FeedStatus ok(int count) { return {Case::ok, count}; }
    static FeedStatus failed() { return {Case::failed, 0}; }
    bool isOk() const { return kind == Case::ok; }

    friend bool operator==(const FeedStatus &, const FeedStatus &) = default;
};
