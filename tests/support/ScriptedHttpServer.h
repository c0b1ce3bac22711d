#pragma once
// A scripted HTTP server on 127.0.0.1 with an ephemeral port, for gateway and screen tests.
// It answers each request with the next reply of its queue (or 404 with an empty body when the
// queue is empty) and records every request. It runs on the calling thread: the gateway's local
// event loop serves its sockets while a call waits.

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QMap>
#include <QPair>
#include <memory>

class QTcpServer;

struct ScriptedReply {
    int status = 200;
    QByteArray reason = "OK";
    QByteArray body;
    QByteArray contentType = "application/json; charset=utf-8";
    int delayMs = 0;          // answer only after this many milliseconds
    bool dropConnection = false;   // close the socket without answering
    QList<QPair<QByteArray, QByteArray>> extraHeaders;   // e.g. {"Location", "/ws/other"} for a redirect
};

struct RecordedRequest {
    QByteArray verb;          // "GET", "POST"
    QByteArray path;          // "/ws/user_login"
    QMap<QByteArray, QByteArray> headers;   // names in lower case
    QByteArray body;
};

class ScriptedHttpServer : public QObject {
    Q_OBJECT
public:
    ScriptedHttpServer();
    ~ScriptedHttpServer() override;

    quint16 port() const;
    QString baseUrl() const;          // "http://127.0.0.1:<port>/ws/"

    void enqueue(const ScriptedReply& reply);
    // The usual reply: 200 with the envelope {"settings":{"success":..,"message":..},"data":data}.
    void enqueueEnvelope(const QString& success, const QString& message, const QByteArray& dataJson = "[]");
    // The envelope text enqueueEnvelope sends, for replies with another status.
    static QByteArray envelope(const QString& success, const QString& message, const QByteArray& dataJson = "[]");

    const QList<RecordedRequest>& requests() const;
    int pendingReplies() const;       // replies still queued
    void clear();                     // forget the queue and the record

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
