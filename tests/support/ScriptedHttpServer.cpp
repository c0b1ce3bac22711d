#include "ScriptedHttpServer.h"

#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace {
// Bytes of one request still being received on a connection.
struct Pending {
    QByteArray buffer;
    bool answered = false;
};

// Splits "name: value" header lines; returns false when the head is malformed.
bool parseHead(const QByteArray& head, RecordedRequest& request, qsizetype& contentLength)
{
    const QList<QByteArray> lines = head.split('\n');
    if (lines.isEmpty())
        return false;
    const QList<QByteArray> start = lines.first().trimmed().split(' ');
    if (start.size() < 3)
        return false;
    request.verb = start.at(0);
    request.path = start.at(1);
    contentLength = 0;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        if (line.isEmpty())
            continue;
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            return false;
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        request.headers.insert(name, value);
        if (name == "content-length") {
            bool ok = false;
            contentLength = value.toLongLong(&ok);
            if (!ok || contentLength < 0)
                return false;
        }
    }
    return true;
}

QByteArray responseBytes(const ScriptedReply& reply)
{
    QByteArray out = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + reply.reason + "\r\n";
    if (!reply.contentType.isEmpty())
        out += "Content-Type: " + reply.contentType + "\r\n";
    for (const auto& header : reply.extraHeaders)
        out += header.first + ": " + header.second + "\r\n";
    out += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
    out += "Connection: close\r\n\r\n";
    out += reply.body;
    return out;
}
}  // namespace

struct ScriptedHttpServer::Impl {
    QTcpServer server;
    QList<ScriptedReply> queue;
    QList<RecordedRequest> requests;
    QMap<QTcpSocket*, Pending> pending;
};

ScriptedHttpServer::ScriptedHttpServer() : d(std::make_unique<Impl>())
{
    d->server.listen(QHostAddress::LocalHost, 0);
    connect(&d->server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = d->server.nextPendingConnection()) {
            d->pending.insert(socket, Pending{});
            connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                d->pending.remove(socket);
                socket->deleteLater();
            });
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
                auto it = d->pending.find(socket);
                if (it == d->pending.end() || it->answered) {
                    socket->readAll();
                    return;
                }
                it->buffer += socket->readAll();
                const qsizetype headEnd = it->buffer.indexOf("\r\n\r\n");
                if (headEnd < 0)
                    return;
                RecordedRequest request;
                qsizetype length = 0;
                if (!parseHead(it->buffer.left(headEnd), request, length)) {
                    it->answered = true;
                    ScriptedReply bad;
                    bad.status = 400;
                    bad.reason = "Bad Request";
                    bad.contentType.clear();
                    socket->write(responseBytes(bad));
                    socket->disconnectFromHost();
                    return;
                }
                const qsizetype bodyStart = headEnd + 4;
                if (it->buffer.size() - bodyStart < length)
                    return;   // the rest of the body is still on its way
                request.body = it->buffer.mid(bodyStart, length);
                it->answered = true;
                d->requests.append(request);

                ScriptedReply reply;
                if (d->queue.isEmpty()) {
                    reply.status = 404;
                    reply.reason = "Not Found";
                    reply.contentType.clear();
                } else {
                    reply = d->queue.takeFirst();
                }
                QPointer<QTcpSocket> guarded(socket);
                auto answer = [guarded, reply] {
                    if (!guarded || guarded->state() != QAbstractSocket::ConnectedState)
                        return;
                    if (reply.dropConnection) {
                        guarded->abort();
                        return;
                    }
                    guarded->write(responseBytes(reply));
                    guarded->disconnectFromHost();
                };
                if (reply.delayMs > 0)
                    QTimer::singleShot(reply.delayMs, socket, answer);
                else
                    answer();
            });
        }
    });
}

ScriptedHttpServer::~ScriptedHttpServer()
{
    d->server.close();
    // Sockets are children of the QTcpServer and go with it; their disconnected handlers
    // reference this object, so cut them first.
    for (QTcpSocket* socket : d->pending.keys())
        socket->disconnect(this);
}

quint16 ScriptedHttpServer::port() const
{
    return d->server.serverPort();
}

QString ScriptedHttpServer::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1/ws/").arg(port());
}

void ScriptedHttpServer::enqueue(const ScriptedReply& reply)
{
    d->queue.append(reply);
}

QByteArray ScriptedHttpServer::envelope(const QString& success, const QString& message, const QByteArray& dataJson)
{
    // Each string through the JSON writer so quotes and Persian text are escaped correctly.
    auto quoted = [](const QString& text) {
        const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
        return array.mid(1, array.size() - 2);
    };
    return "{\"settings\":{\"success\":" + quoted(success) + ",\"message\":" + quoted(message) + "},\"data\":" +
           dataJson + "}";
}

void ScriptedHttpServer::enqueueEnvelope(const QString& success, const QString& message, const QByteArray& dataJson)
{
    ScriptedReply reply;
    reply.body = envelope(success, message, dataJson);
    enqueue(reply);
}

const QList<RecordedRequest>& ScriptedHttpServer::requests() const
{
    return d->requests;
}

int ScriptedHttpServer::pendingReplies() const
{
    return int(d->queue.size());
}

void ScriptedHttpServer::clear()
{
    d->queue.clear();
    d->requests.clear();
}
