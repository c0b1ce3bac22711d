#include "HttpServer.h"

#include "ServerTexts.h"

#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <mutex>

namespace nemora {

namespace {

std::mutex g_logMutex;

void write(httplib::Response& res, const Envelope& envelope)
{
    res.status = envelope.httpStatus;
    res.set_content(envelope.toJson(), "application/json; charset=utf-8");
}

}  // namespace

HttpServer::HttpServer(Server& server) : m_server(server), m_http(std::make_unique<httplib::Server>())
{
    m_http->set_payload_max_length(kMaxBody);
    // A kept-alive connection holds a worker while it idles, so the pool is wide enough that a
    // few idle clients never make a new one wait. The idle time is short: stopping the server
    // waits until every worker is free, and httplib notices a stop only between two requests of
    // a connection (its default of 5 s made every stop take that long while a client idled).
    m_http->new_task_queue = [] { return new httplib::ThreadPool(kWorkers); };
    m_http->set_keep_alive_max_count(100);
    m_http->set_keep_alive_timeout(kKeepAliveSeconds);

    const auto serve = [this](Verb verb) {
        return [this, verb](const httplib::Request& req, httplib::Response& res) {
            const auto started = std::chrono::steady_clock::now();
            const std::string method = req.matches[1];
            const Envelope envelope = m_server.handle(verb, method, verb == Verb::Post ? req.body : std::string());
            write(res, envelope);
            const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
            log(req.method, method, envelope.success ? "ok" : "refused", ms, envelope.success ? "" : envelope.message);
        };
    };
    const char* pattern = R"(/ws/(.*))";
    m_http->Post(pattern, serve(Verb::Post));
    m_http->Get(pattern, serve(Verb::Get));

    // Other verbs on a method's path: say which verb the method wants.
    const auto wrongVerb = [this](const httplib::Request& req, httplib::Response& res) {
        const std::string method = req.matches[1];
        const Envelope envelope = Server::wrongVerb(method);
        write(res, envelope);
        log(req.method, method, "refused", 0, envelope.message);
    };
    m_http->Put(pattern, wrongVerb);
    m_http->Patch(pattern, wrongVerb);
    m_http->Delete(pattern, wrongVerb);
    m_http->Options(pattern, wrongVerb);

    // Whatever httplib answers by itself (unknown path, over-size body, bad request line) still
    // carries an envelope, so that every reply reads the same way.
    m_http->set_error_handler(httplib::Server::HandlerWithResponse([this](const httplib::Request& req, httplib::Response& res) {
        if (!res.body.empty())
            return httplib::Server::HandlerResponse::Unhandled;
        const char* message = res.status == 413 ? ServerTexts::kTooLarge
                              : res.status == 404 ? ServerTexts::kBadPath
                                                  : ServerTexts::kInternal;
        Envelope envelope = Envelope::refused(message, res.status);
        write(res, envelope);
        log(req.method, req.path, "refused", 0, message);
        return httplib::Server::HandlerResponse::Handled;
    }));
    m_http->set_exception_handler([this](const httplib::Request& req, httplib::Response& res, std::exception_ptr) {
        write(res, Envelope::refused(ServerTexts::kInternal));
        log(req.method, req.path, "failed", 0, ServerTexts::kInternal);
    });
}

HttpServer::~HttpServer() = default;

int HttpServer::bind(const std::string& host, int port)
{
    if (port == 0)
        return m_http->bind_to_any_port(host);
    return m_http->bind_to_port(host, port) ? port : -1;
}

bool HttpServer::run()
{
    return m_http->listen_after_bind();
}

void HttpServer::stop()
{
    m_http->stop();
}

void HttpServer::log(const std::string& verb, const std::string& what, const char* outcome, double ms,
                     const std::string& message) const
{
    if (!m_logging)
        return;
    std::lock_guard<std::mutex> lock(g_logMutex);
    if (message.empty())
        std::fprintf(stderr, "%s %s %s %.1f ms\n", verb.c_str(), what.c_str(), outcome, ms);
    else
        std::fprintf(stderr, "%s %s %s %.1f ms: %s\n", verb.c_str(), what.c_str(), outcome, ms, message.c_str());
}

}  // namespace nemora
