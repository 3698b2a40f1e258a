#include "settings/ScreenChoice.h"

#include "settings/UserDefaults.h"

#include <QStringDecoder>

ScreenChoice::ScreenChoice(UserDefaults &store, QObject *parent)
    : QObject(parent)
    , m_store(store)
{
    if (const auto bytes = m_store.data(key)) {
        QStringDecoder decode(QStringDecoder::Utf8);
        const QString name = decode(*bytes);
        // Whatever else is in the file (binary, an endless line) means "no choice".
        if (!decode.hasError() && name.size() <= maxNameLength && !name.contains(u'\n'))
            m_name = name.trimmed();
    }
}

ScreenChoice &ScreenChoice::shared()
{
    static ScreenChoice *const instance = new ScreenChoice(UserDefaults::standard());
    return *instance;
}

void ScreenChoice::setScreenName(const QString &name)
{
    QString trimmed = name.trimmed().left(maxNameLength);
    trimmed.remove(u'\n');
    if (trimmed == m_name)
        return;
    m_name = trimmed;
    // The choice holds for this run even when the file cannot be written.
    if (m_name.isEmpty())
        m_store.remove(key);
    else
        m_store.set(key, m_name.toUtf8());
    emit screenNameChanged(m_name);
}

void ScreenChoice::setScreens(const QList<Screen> &screens)
{
    if (screens == m_screens)
        return;
    m_screens = screens;
    emit screensChanged();
}
