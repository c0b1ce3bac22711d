#pragma once
// The built reference server as a child process on a throw-away database with demo data,
// listening on 127.0.0.1 on a port the system picks.

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

class LiveServer {
public:
    LiveServer() = default;
    ~LiveServer();   // stops the process when it still runs
    LiveServer(const LiveServer&) = delete;
    LiveServer& operator=(const LiveServer&) = delete;

    // Starts the server and waits until it prints the address it listens on. False with the
    // reason in `why` when it cannot be started or does not come up in time.
    bool start(QString& why);

    // Sends SIGTERM and waits for the exit; false with the reason when it did not end cleanly.
    bool stop(QString& why);

    // "http://127.0.0.1:<port>/ws/"; empty before a successful start.
    QString baseUrl() const { return m_baseUrl; }

    // What the server wrote on standard error so far (one line per request).
    QString requestLog() const;

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_baseUrl;
};
