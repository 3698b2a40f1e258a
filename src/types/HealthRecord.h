#pragma once

#include "types/SourceFailure.h"

#include <QDateTime>

#include <optional>

/** What is known of one source, or of one item a source answers for: its last outcomes. */
struct HealthRecord
{
    enum class State { unknown, ok, failing };

    State state = State::unknown;             ///< unknown until the first outcome; then the last outcome's
    QDateTime lastSuccess{};                  ///< invalid until the first success
    std::optional<SourceFailure> lastFailure; ///< kept after a success, for the record
    int failuresInRow = 0;
    QDateTime nextTry{}; ///< when a waiting source is asked again; invalid when it is not waiting

    bool isFailing() const { return state == State::failing; }

    friend bool operator==(const HealthRecord &, const HealthRecord &) = default;
};
