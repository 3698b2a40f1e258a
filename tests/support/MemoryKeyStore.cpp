#include "MemoryKeyStore.h"

QString MemoryKeyStore::read(const QString &account)
{
    return m_available ? m_entries.value(account) : QString();
}

bool MemoryKeyStore::write(const QString &account, const QString &value)
{
    ++m_writes;
    if (!m_available)
        return false;
    if (value.isEmpty())
        m_entries.remove(account);
    else
        m_entries.insert(account, value);
    return true;
}
