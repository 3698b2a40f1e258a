#include "settings/KeychainKeyStore.h"

#include "settings/Keychain.h"

QString KeychainKeyStore::read(const QString &account)
{
    return Keychain::get(account);
}

bool KeychainKeyStore::write(const QString &account, const QString &value)
{
    return Keychain::set(account, value);
}

KeyStore &KeyStore::system()
{
    // Never destroyed, like the settings that use it.
    static KeychainKeyStore *const store = new KeychainKeyStore;
    return *store;
}
