#pragma once

#include <QString>

/**
 * Where the API keys are kept between runs, one text per account ("stockKey", …). The
 * program uses the user's keyring (KeychainKeyStore); tests use an in-memory store.
 * Both calls may block briefly and are made on the main thread.
 */
class KeyStore
{
public:
    virtual ~KeyStore() = default;

    /** The stored text, or "" when there is none or it cannot be read. */
    virtual QString read(const QString &account) = 0;
    /** Replaces the entry (an empty value deletes it). False when it could not be stored. */
    virtual bool write(const QString &account, const QString &value) = 0;

    /** The keyring store of the running process. */
    static KeyStore &system();
};
