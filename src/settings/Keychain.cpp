#include "settings/Keychain.h"
#include "settings/SettingsLog.h"

#include <QEventLoop>
#include <QStringDecoder>
#include <QTimer>

#include <qt6keychain/keychain.h>

namespace {

std::chrono::milliseconds s_timeout{4000};
// Jobs that timed out and are still pending. QtKeychain runs one job at a time, so while
// one is stuck every later job would only wait out its own time-out behind it.
int s_pending = 0;

// Runs `job` and waits for it, but never longer than the time-out: a write to a locked
// keyring can open a password prompt that nobody answers. A job that outlives its wait is
// left to finish on its own and deletes itself then; deleting it earlier would pull the
// state out from under its pending D-Bus call. Takes ownership of `job`; `done` sees a job
// that succeeded in time, before it is deleted. A job that did not finish in time counts as
// OtherError.
template<typename Job, typename Done>
QKeychain::Error run(Job *job, Done done)
{
    if (s_pending > 0) {
        qCWarning(lcSettings, "keyring: still busy with a job that timed out; %s of \"%s\" skipped",
                  job->metaObject()->className(), qPrintable(job->key()));
        delete job; // never started
        return QKeychain::OtherError;
    }
    job->setAutoDelete(false);
    job->setInsecureFallback(false);

    bool finished = false;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(job, &QKeychain::Job::finished, &loop, [&finished, &loop] {
        finished = true;
        loop.quit();
    });
    timer.start(s_timeout);
    job->start();
    // Some back ends fail at once, before the loop runs.
    if (!finished)
        loop.exec(QEventLoop::ExcludeUserInputEvents);

    if (!finished) {
        qCWarning(lcSettings, "keyring: %s of \"%s\" gave no answer in %lld ms", job->metaObject()->className(),
                  qPrintable(job->key()), qlonglong(s_timeout.count()));
        QObject::disconnect(job, nullptr, &loop, nullptr);
        ++s_pending;
        QObject::connect(job, &QKeychain::Job::finished, [] { --s_pending; });
        job->setAutoDelete(true);
        return QKeychain::OtherError;
    }
    // The job has returned from its own code by now (the loop ran the whole emission).
    const QKeychain::Error error = job->error();
    // No entry is the normal state of a key never given; the message names the account only.
    if (error != QKeychain::NoError && error != QKeychain::EntryNotFound)
        qCWarning(lcSettings, "keyring: %s of \"%s\" failed: %s", job->metaObject()->className(),
                  qPrintable(job->key()), qPrintable(job->errorString()));
    if (error == QKeychain::NoError)
        done(*job);
    delete job;
    return error;
}

QString decodeUtf8(const QByteArray &bytes)
{
    // Keep a leading byte-order mark: the stored text is returned exactly as it was written.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return {};
    return text;
}

} // namespace

namespace Keychain {

QString get(const QString &account)
{
    auto *job = new QKeychain::ReadPasswordJob(QString::fromLatin1(serviceName));
    job->setKey(account);
    QString text;
    run(job, [&text](const QKeychain::ReadPasswordJob &finished) { text = decodeUtf8(finished.binaryData()); });
    return text;
}

bool set(const QString &account, const QString &value)
{
    // Delete first so no stale item of another type survives beside the new one. Nothing
    // to delete is fine; a keyring that cannot be reached fails here already.
    auto *remove = new QKeychain::DeletePasswordJob(QString::fromLatin1(serviceName));
    remove->setKey(account);
    const QKeychain::Error removed = run(remove, [](const QKeychain::Job &) {});
    if (removed != QKeychain::NoError && removed != QKeychain::EntryNotFound)
        return false;
    if (value.isEmpty())
        return true;
    auto *write = new QKeychain::WritePasswordJob(QString::fromLatin1(serviceName));
    write->setKey(account);
    write->setTextData(value);
    return run(write, [](const QKeychain::Job &) {}) == QKeychain::NoError;
}

QString account(KeyService service)
{
    switch (service) {
    case KeyService::twelveData:
        return QStringLiteral("stockKey");
    case KeyService::weather:
        return QStringLiteral("weatherKey");
    case KeyService::metals:
        return QStringLiteral("metalsKey");
    }
    return {};
}

void setTimeout(std::chrono::milliseconds timeout)
{
    s_timeout = timeout;
}

std::chrono::milliseconds timeout()
{
    return s_timeout;
}

} // namespace Keychain
