#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include <chrono>

class QLocalServer;
class QLocalSocket;

/**
 * Keeps one running Dotbanner per user and display. The first process listens on a local
 * socket; a later one finds it there, hands over its commands (one line each) and ends. A
 * socket left behind by a process that died is taken over. Checking and listening happen
 * under a lock file, so two launches at the same moment still give one running instance.
 */
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    /** What a second launch asks of the running instance. */
    static inline const QString openSettingsCommand = QStringLiteral("open-settings");
    static inline const QString twoLinesCommand = QStringLiteral("two-lines");

    enum class Outcome {
        primary,   ///< this process is the running instance now and listens for later launches
        forwarded, ///< another instance runs and has the commands: this process should end
        alone,     ///< no socket could be set up; this process runs without the guard
    };

    /** Listens on, or connects to, `name` (a socket path or a bare name). */
    explicit SingleInstance(const QString &name = defaultName(), QObject *parent = nullptr);
    ~SingleInstance() override;

    /**
     * The socket of this user and display: under $XDG_RUNTIME_DIR when there is one, else in
     * the temporary folder, named "dotbanner-<uid>-<display>".
     */
    static QString defaultName();

    QString name() const { return m_name; }

    /** Becomes the running instance, or hands `commands` to the one already running. */
    Outcome claim(const QStringList &commands);

    /** How long a second launch waits for the running one to connect and to answer. */
    void setTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }

    /** Longest command line accepted; a client that sends more without a line end is dropped. */
    static constexpr int maxLineLength = 256;

signals:
    /** A later launch asked for `command` (one of the commands above, or anything it sent). */
    void commandReceived(const QString &command);

private:
    bool forward(const QStringList &commands);
    bool listen();
    void onNewConnection();
    void onReadyRead(QLocalSocket *socket);

    QString m_name;
    QLocalServer *m_server = nullptr;
    QHash<QLocalSocket *, QByteArray> m_buffers;
    std::chrono::milliseconds m_timeout{2000};
};
