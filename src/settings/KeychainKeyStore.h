#pragma once

#include "settings/KeyStore.h"

/** The keys in the user's keyring through the Secret Service (see Keychain.h). */
class KeychainKeyStore final : public KeyStore
{
public:
    QString read(const QString &account) override;
    bool write(const QString &account, const QString &value) override;
};
