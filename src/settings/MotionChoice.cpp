#include "settings/MotionChoice.h"

#include "settings/UserDefaults.h"

MotionChoice::MotionChoice(UserDefaults &store, QObject *parent)
    : QObject(parent)
    , m_store(store)
{
    // Only a plain "true" turns the steps on; anything else read is the default.
    if (const auto bytes = m_store.data(key))
        m_reduced = bytes->size() <= 16 && bytes->trimmed() == "true";
}

MotionChoice &MotionChoice::shared()
{
    static MotionChoice *const instance = new MotionChoice(UserDefaults::standard());
    return *instance;
}

void MotionChoice::setReducedMotion(bool reduced)
{
    if (reduced == m_reduced)
        return;
    m_reduced = reduced;
    // The choice holds for this run even when the file cannot be written.
    if (m_reduced)
        m_store.set(key, QByteArrayLiteral("true"));
    else
        m_store.remove(key);
    emit reducedMotionChanged(m_reduced);
}
