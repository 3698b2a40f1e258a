#include "app/SingleInstance.h"

#include "app/AppLog.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QRegularExpression>
#include <QStandardPaths>

#include <unistd.h>

namespace {

// Unix socket paths are limited to 108 bytes; keep a margin.
constexpr qsizetype maxSocketPath = 100;

QString displayName()
{
    QString display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty())
        display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty())
        display = QStringLiteral("none");
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9._:-]"));
    return display.replace(unsafe, QStringLiteral("_"));
}

} // namespace

SingleInstance::SingleInstance(const QString &name, QObject *parent)
    : QObject(parent)
    , m_name(name)
{
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultName()
{
    const QString base = QStringLiteral("dotbanner-%1-%2").arg(::getuid()).arg(displayName());
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir()) {
        const QString path = QDir(runtime).filePath(base);
        if (path.toLocal8Bit().size() <= maxSocketPath)
            return path;
    }
    // A bare name lives in the temporary folder; the user id in it keeps users apart.
    return base;
}

SingleInstance::Outcome SingleInstance::claim(const QStringList &commands)
{
    const QString socketPath = QDir::isAbsolutePath(m_name) ? m_name : QDir(QDir::tempPath()).filePath(m_name);
    QLockFile lock(socketPath + QStringLiteral(".lock"));
    lock.setStaleLockTime(std::chrono::seconds(10));
    // Without the lock (an unwritable folder) the check still runs, only without the guard
    // against two launches in the same instant.
    const bool locked = lock.tryLock(std::chrono::milliseconds(m_timeout.count() * 2));

    if (forward(commands))
        return Outcome::forwarded;
    const bool listening = listen();
    if (locked)
        lock.unlock();
    return listening ? Outcome::primary : Outcome::alone;
}

bool SingleInstance::forward(const QStringList &commands)
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(int(m_timeout.count())))
        return false;
    for (const QString &command : commands)
        socket.write(command.toUtf8() + '\n');
    socket.flush();
    if (!socket.waitForBytesWritten(int(m_timeout.count())) && socket.bytesToWrite() > 0)
        return false;
    // Wait until the running instance confirms every command, so the request is in its hands
    // before this process ends; a silent instance is still a running one.
    QByteArray answers;
    while (answers.count('\n') < commands.size() && socket.waitForReadyRead(int(m_timeout.count())))
        answers += socket.readAll();
    return true;
}

bool SingleInstance::listen()
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // Nobody answered, so a socket file there is left over from a process that ended badly.
    QLocalServer::removeServer(m_name);
    if (!m_server->listen(m_name)) {
        qCWarning(lcApp, "cannot listen on %s (%s): a second launch will not find this one", qPrintable(m_name),
                  qPrintable(m_server->errorString()));
        delete m_server;
        m_server = nullptr;
        return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
    return true;
}

void SingleInstance::onNewConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        m_buffers.insert(socket, {});
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            m_buffers.remove(socket);
            socket->deleteLater();
        });
        if (socket->bytesAvailable() > 0)
            onReadyRead(socket);
    }
}

void SingleInstance::onReadyRead(QLocalSocket *socket)
{
    auto it = m_buffers.find(socket);
    if (it == m_buffers.end())
        return;
    QByteArray &buffer = it.value();
    buffer += socket->readAll();
    QStringList commands;
    qsizetype end;
    while ((end = buffer.indexOf('\n')) >= 0) {
        const QByteArray line = buffer.left(end).trimmed();
        buffer.remove(0, end + 1);
        if (line.size() <= maxLineLength)
            commands.append(QString::fromUtf8(line));
        socket->write("ok\n");
    }
    if (buffer.size() > maxLineLength) {
        m_buffers.erase(it);
        socket->abort();
        socket->deleteLater();
        return;
    }
    socket->flush();
    for (const QString &command : commands)
        emit commandReceived(command);
}
