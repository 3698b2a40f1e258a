#pragma once

#include "settings/KeyStore.h"

#include <QHash>

/**
 * Keys held in memory only, for tests. It can be made unavailable to stand for a keyring
 * that cannot store: writes then fail and change nothing.
 */
class MemoryKeyStore final : public KeyStore
{
public:
    QString read(const QString &account) override;
    bool write(const QString &account, const QString &value) override;

    void setAvailable(bool available) { m_available = available; }
    /** Calls of write(), successful or not. */
    int writes() const { return m_writes; }
    QHash<QString, QString> entries() const { return m_entries; }

private:
    QHash<QString, QString> m_entries;
    bool m_available = true;
    int m_writes = 0;
};
