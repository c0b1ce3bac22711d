#pragma once
// A test suite that shares one running server: started before the suite's first test, stopped
// with SIGTERM after its last one (a server that does not end cleanly fails the suite).

#include "LiveServer.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <memory>

class ServerSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_server = std::make_unique<LiveServer>();
        s_startError.clear();
        if (!s_server->start(s_startError) && s_startError.isEmpty())
            s_startError = QStringLiteral("the server did not start");
    }

    static void TearDownTestSuite()
    {
        QString why;
        if (s_startError.isEmpty() && !s_server->stop(why))
            ADD_FAILURE() << why.toStdString();
        s_server.reset();
    }

    // Every test of the suite needs the server; none runs without it.
    void SetUp() override { ASSERT_TRUE(s_startError.isEmpty()) << s_startError.toStdString(); }

    // The server's base address for the gateway, and its request log so far.
    static QString baseUrl() { return s_server->baseUrl(); }
    static QString requestLog() { return s_server->requestLog(); }

private:
    inline static std::unique_ptr<LiveServer> s_server;
    inline static QString s_startError;
};
