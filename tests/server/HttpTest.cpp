// The HTTP shell on an ephemeral port of 127.0.0.1: paths, verbs, the envelope on every answer,
// malformed and over-size bodies; and the nemora-server program itself.

#include "ServerFixture.h"
#include "server/HttpServer.h"
#include "server/ServerTexts.h"

#include <httplib.h>

#include <csignal>
#include <chrono>
#include <future>
#include <cstdio>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace nemora::test {
namespace {

class HttpTest : public ServerFixture {
protected:
    void SetUp() override
    {
        ServerFixture::SetUp();
        m_http = std::make_unique<HttpServer>(*m_server);
        m_http->setLogging(false);
        m_port = m_http->bind("127.0.0.1", 0);
        ASSERT_GT(m_port, 0);
        m_stopped = m_ran.get_future();
        m_thread = std::thread([this] {
            m_http->run();
            m_ran.set_value();
        });
        m_client = std::make_unique<httplib::Client>("127.0.0.1", m_port);
        m_client->set_read_timeout(10, 0);
    }
    void TearDown() override
    {
        m_client.reset();
        m_http->stop();
        m_thread.join();
        m_http.reset();
        ServerFixture::TearDown();
    }
    // Status and parsed envelope of a reply; fails the test when the body is no envelope.
    std::pair<int, Json> envelope(const httplib::Result& result)
    {
        EXPECT_TRUE(result) << "no reply";
        if (!result)
            return {0, Json()};
        const Json body = Json::parse(result->body, nullptr, false);
        EXPECT_TRUE(body.is_object() && body["settings"]["success"].is_string() && body["settings"]["message"].is_string()
                    && body["data"].is_array())
            << result->body;
        EXPECT_NE(result->get_header_value("Content-Type").find("application/json"), std::string::npos);
        return {result->status, body};
    }

    std::unique_ptr<HttpServer> m_http;
    std::unique_ptr<httplib::Client> m_client;
    std::thread m_thread;
    std::promise<void> m_ran;
    std::future<void> m_stopped;   // ready once run() has returned
    int m_port = 0;
};

TEST_F(HttpTest, MethodsAnswerOnTheirVerbs)
{
    auto [status, login] = envelope(m_client->Post("/ws/user_login", R"({"user_name":"admin01","password":"secret01"})",
                                                   "application/json"));
    EXPECT_EQ(status, 200);
    EXPECT_EQ(login["settings"]["success"], "1");
    EXPECT_EQ(login["data"][0]["Code"], "01");

    auto [usersStatus, users] = envelope(m_client->Get("/ws/get_all_users"));
    EXPECT_EQ(usersStatus, 200);
    EXPECT_EQ(users["settings"]["success"], "1");
    EXPECT_EQ(users["data"].size(), 3u);
    EXPECT_EQ(envelope(m_client->Get("/ws/get_all_organisation")).second["data"].size(), 4u);

    const auto refused = [&](const httplib::Result& result, int expectedStatus) {
        auto [s, body] = envelope(result);
        EXPECT_EQ(s, expectedStatus);
        EXPECT_EQ(body["settings"]["success"], "0");
        EXPECT_FALSE(body["settings"]["message"].get<std::string>().empty());
    };
    refused(m_client->Post("/ws/get_all_users", "{}", "application/json"), 405);
    refused(m_client->Get("/ws/user_login"), 405);
    refused(m_client->Put("/ws/user_login", "{}", "application/json"), 405);
    refused(m_client->Delete("/ws/delete_user"), 405);
    refused(m_client->Post("/ws/no_such_method", "{}", "application/json"), 404);
    refused(m_client->Post("/ws/", "{}", "application/json"), 404);
    refused(m_client->Get("/elsewhere"), 404);
    refused(m_client->Post("/user_login", "{}", "application/json"), 404);
}

TEST_F(HttpTest, MalformedAndOverSizeBodies)
{
    auto [status, body] = envelope(m_client->Post("/ws/user_login", "{\"user_name\": ", "application/json"));
    EXPECT_EQ(status, 200);
    EXPECT_EQ(body["settings"]["message"], ServerTexts::kNotJson);
    auto [typeStatus, typed] = envelope(m_client->Post("/ws/user_login", R"({"user_name": 5, "password": "x"})", "application/json"));
    EXPECT_EQ(typed["settings"]["success"], "0");
    EXPECT_NE(typed["settings"]["message"].get<std::string>().find("user_name"), std::string::npos);

    // Over the limit: refused without being read, and the server keeps serving.
    const std::string big(HttpServer::kMaxBody + 1, 'a');
    auto [bigStatus, tooLarge] = envelope(m_client->Post("/ws/user_login", big, "application/json"));
    EXPECT_EQ(bigStatus, 413);
    EXPECT_EQ(tooLarge["settings"]["message"], ServerTexts::kTooLarge);
    httplib::Client again("127.0.0.1", m_port);
    EXPECT_EQ(envelope(again.Post("/ws/user_login", R"({"user_name":"admin01","password":"secret01"})", "application/json"))
                  .second["settings"]["success"],
              "1");
}

// A client that keeps its connection open after a call (as the client's automatic refresh does)
// must not hold up stopping until the connection times out by itself.
TEST_F(HttpTest, StopsPromptlyWhileAClientKeepsItsConnection)
{
    m_client->set_keep_alive(true);
    for (int i = 0; i < 2; ++i) {
        auto result = m_client->Post("/ws/user_login", R"({"user_name":"admin01","password":"secret01"})", "application/json");
        ASSERT_TRUE(result);
        EXPECT_NE(result->get_header_value("Connection"), "close");
    }
    m_http->stop();
    EXPECT_EQ(m_stopped.wait_for(std::chrono::seconds(3)), std::future_status::ready)
        << "the server waited for the idle connection";
}

TEST_F(HttpTest, ParallelClients)
{
    std::vector<std::thread> threads;
    std::atomic<int> good{0};
    for (int t = 0; t < 6; ++t) {
        threads.emplace_back([&] {
            httplib::Client client("127.0.0.1", m_port);
            for (int i = 0; i < 20; ++i) {
                auto result = client.Post("/ws/user_login", R"({"user_name":"admin01","password":"secret01"})", "application/json");
                if (result && result->status == 200 && Json::parse(result->body)["settings"]["success"] == "1")
                    ++good;
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(good.load(), 120);
    EXPECT_EQ(count("SELECT login_count FROM users WHERE user_name = 'admin01'"), 120);
}

// The program: --port 0 prints the port it took, the demo accounts with --demo, and SIGTERM
// ends it cleanly.
TEST(ServerProgram, StartsOnAFreePortAndStopsOnSigterm)
{
    const auto dir = std::filesystem::temp_directory_path() / ("nemora-server-program-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string db = (dir / "server.db").string();

    int out[2];
    ASSERT_EQ(pipe(out), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    const std::string binary = NEMORA_SERVER_BINARY;
    std::vector<std::string> args = {binary, "--host", "127.0.0.1", "--port", "0", "--db", db, "--demo"};
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, binary.c_str(), &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);

    std::FILE* stream = fdopen(out[0], "r");
    std::string printed;
    int port = 0;
    char line[512];
    while (port == 0 && std::fgets(line, sizeof line, stream)) {
        printed += line;
        std::sscanf(line, "listening on 127.0.0.1:%d", &port);
    }
    ASSERT_GT(port, 0) << printed;
    EXPECT_NE(printed.find("admin01"), std::string::npos) << printed;

    httplib::Client client("127.0.0.1", port);
    auto result = client.Post("/ws/user_login", R"({"user_name":"admin01","password":"nemora01"})", "application/json");
    ASSERT_TRUE(result);
    EXPECT_EQ(Json::parse(result->body)["data"][0]["Code"], "01");

    kill(pid, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    std::fclose(stream);
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}

}  // namespace
}  // namespace nemora::test
