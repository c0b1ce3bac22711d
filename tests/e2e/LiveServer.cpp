#include "LiveServer.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QRegularExpression>

namespace {
constexpr int StartTimeoutMs = 30000;
constexpr int StopTimeoutMs = 10000;
}  // namespace

LiveServer::~LiveServer()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(StopTimeoutMs)) {
            m_process.kill();
            m_process.waitForFinished(StopTimeoutMs);
        }
    }
}

bool LiveServer::start(QString& why)
{
    if (!m_dir.isValid()) {
        why = QStringLiteral("no temporary folder: %1").arg(m_dir.errorString());
        return false;
    }
    // Standard error gets a line per request; a file keeps a long run from filling a pipe.
    m_process.setStandardErrorFile(m_dir.filePath(QStringLiteral("server.log")));
    m_process.setProgram(QStringLiteral(NEMORA_SERVER_BINARY));
    m_process.setArguments({QStringLiteral("--host"), QStringLiteral("127.0.0.1"), QStringLiteral("--port"),
                            QStringLiteral("0"), QStringLiteral("--db"), m_dir.filePath(QStringLiteral("s.db")),
                            QStringLiteral("--demo")});
    m_process.start();
    if (!m_process.waitForStarted(StartTimeoutMs)) {
        why = QStringLiteral("cannot start %1: %2").arg(m_process.program(), m_process.errorString());
        return false;
    }

    static const QRegularExpression listening(QStringLiteral("^listening on 127\\.0\\.0\\.1:([0-9]+)$"));
    const QDeadlineTimer deadline(StartTimeoutMs);
    QString seen;
    while (!deadline.hasExpired()) {
        while (m_process.canReadLine()) {
            const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
            seen += line + QLatin1Char('\n');
            const QRegularExpressionMatch match = listening.match(line);
            if (match.hasMatch()) {
                m_baseUrl = QStringLiteral("http://127.0.0.1:%1/ws/").arg(match.captured(1));
                return true;
            }
        }
        if (m_process.state() == QProcess::NotRunning)
            break;
        m_process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
    }
    why = QStringLiteral("the server did not report its address; it printed:\n%1%2").arg(seen, requestLog());
    return false;
}

bool LiveServer::stop(QString& why)
{
    if (m_process.state() == QProcess::NotRunning) {
        why = QStringLiteral("the server was no longer running");
        return false;
    }
    m_process.terminate();
    if (!m_process.waitForFinished(StopTimeoutMs)) {
        m_process.kill();
        m_process.waitForFinished(StopTimeoutMs);
        why = QStringLiteral("the server did not stop on SIGTERM");
        return false;
    }
    if (m_process.exitStatus() != QProcess::NormalExit || m_process.exitCode() != 0) {
        why = QStringLiteral("the server ended with status %1 (%2)")
                  .arg(m_process.exitCode())
                  .arg(m_process.exitStatus() == QProcess::NormalExit ? "exit" : "crash");
        return false;
    }
    return true;
}

QString LiveServer::requestLog() const
{
    QFile log(m_dir.filePath(QStringLiteral("server.log")));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(log.readAll());
}
