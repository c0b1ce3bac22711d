#pragma once
// The HTTP shell around Server::handle: POST /ws/<method> for every method, GET /ws/<method> for
// the two read-only lists; any other verb, path or an over-size body gets an envelope with
// success "0" as well. One line per request goes to standard error.

#include "Server.h"

#include <memory>
#include <string>

namespace httplib {
class Server;
}

namespace nemora {

class HttpServer {
public:
    // Bodies above this many bytes are refused unread.
    static constexpr size_t kMaxBody = 1024 * 1024;
    // Requests served at the same time (each kept-alive connection takes one while it lasts).
    static constexpr size_t kWorkers = 32;
    // Seconds a kept-alive connection may idle before the server closes it. stop() waits for idle
    // connections to close, so this is also about how long stopping takes while a client idles.
    static constexpr int kKeepAliveSeconds = 1;

    explicit HttpServer(Server& server);
    ~HttpServer();

    // Binds host:port (port 0 picks a free one). Returns the port, or -1 when binding failed.
    int bind(const std::string& host, int port);
    // Serves until stop(); returns false when the socket failed.
    bool run();
    // Safe from any thread; run() returns soon after (within about kKeepAliveSeconds).
    void stop();
    // Whether the one log line per request is written (tests switch it off).
    void setLogging(bool on) { m_logging = on; }

private:
    void log(const std::string& verb, const std::string& what, const char* outcome, double ms,
             const std::string& message) const;

    Server& m_server;
    std::unique_ptr<httplib::Server> m_http;
    bool m_logging = true;
};

}  // namespace nemora
