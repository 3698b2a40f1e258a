#pragma once

#include "types/WatchItem.h"

#include <QCoreApplication>
#include <QTest>
#include <QUuid>

#include <qcoro/qcorotask.h>

#include <optional>

namespace DataTest {

/** Runs `task` to its end on the event loop of the test. */
template<typename T>
T await(QCoro::Task<T> task)
{
    std::optional<T> result;
    QCoro::connect(std::move(task), QCoreApplication::instance(), [&result](T value) { result = std::move(value); });
    if (!QTest::qWaitFor([&] { return result.has_value(); }, 20000))
        qFatal("coroutine did not finish");
    return std::move(*result);
}

/** Equal element by element within floating-point rounding. */
inline bool nearlyEqual(const QList<double> &a, const QList<double> &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (!qFuzzyCompare(1 + a.at(i), 1 + b.at(i)))
            return false;
    }
    return true;
}

inline bool nearlyEqual(const std::optional<double> &a, const std::optional<double> &b)
{
    return a.has_value() == b.has_value() && (!a || qFuzzyCompare(1 + *a, 1 + *b));
}

inline WatchItem item(ItemKind kind, const QString &symbol, const QString &label,
                      std::optional<QString> ref = std::nullopt)
{
    return WatchItem{QUuid::createUuid(), kind, symbol, label, std::move(ref)};
}

} // namespace DataTest
