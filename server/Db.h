#pragma once
// A thin layer over the SQLite C API: connections, prepared statements with bound values,
// transactions that roll back unless committed, and a pool that lends one connection to each
// request thread. Every value reaches SQL through a bound parameter.

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

namespace nemora {

// Raised for every SQLite failure; carries SQLite's own message.
class DbError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Marker for binding SQL NULL.
struct DbNull {};

// One prepared statement; finalised on destruction.
class Statement {
public:
    Statement(sqlite3* db, const char* sql);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Binds parameter idx (1-based).
    Statement& bind(int idx, const std::string& value);
    Statement& bind(int idx, const char* value);
    Statement& bind(int idx, int64_t value);
    Statement& bind(int idx, int value) { return bind(idx, static_cast<int64_t>(value)); }
    Statement& bind(int idx, bool value) { return bind(idx, static_cast<int64_t>(value ? 1 : 0)); }
    Statement& bind(int idx, double value);
    Statement& bind(int idx, DbNull);

    // Binds every argument in order, starting at parameter 1.
    template <class... A>
    Statement& bindAll(const A&... values)
    {
        int idx = 1;
        (bind(idx++, values), ...);
        return *this;
    }

    // Advances; true while a row is available.
    bool step();
    // Runs to completion (for statements without rows).
    void run();
    // Makes the statement ready to run again with new values.
    Statement& reset();

    std::string text(int col) const;   // NULL reads as an empty text
    int64_t integer(int col) const;    // NULL reads as 0
    double real(int col) const;
    bool isNull(int col) const;
    int columnCount() const { return sqlite3_column_count(m_stmt); }

private:
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_stmt = nullptr;
};

// One database connection with the pragmas every connection of the server needs.
class Connection {
public:
    explicit Connection(const std::string& path);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Runs SQL text without parameters (schema, pragmas, transaction control).
    void exec(const char* sql);
    Statement prepare(const char* sql);
    // Rows changed by the last INSERT, UPDATE or DELETE.
    int64_t changes() const;
    int64_t lastInsertId() const;

private:
    sqlite3* m_db = nullptr;
};

// BEGIN IMMEDIATE on construction, so that a writer waits for the write lock up front instead
// of failing half-way; ROLLBACK on destruction unless commit() ran.
class Transaction {
public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    void commit();

private:
    Connection& m_connection;
    bool m_done = false;
};

// Lends connections to threads; a connection goes back to the pool when its lease ends, so a
// pool holds at most as many connections as requests ever ran at once.
class ConnectionPool {
public:
    explicit ConnectionPool(std::string path);

    class Lease {
    public:
        Lease(ConnectionPool& pool, std::unique_ptr<Connection> connection);
        ~Lease();
        Lease(Lease&&) noexcept = default;
        Connection& operator*() const { return *m_connection; }
        Connection* operator->() const { return m_connection.get(); }

    private:
        ConnectionPool* m_pool;
        std::unique_ptr<Connection> m_connection;
    };

    Lease acquire();
    const std::string& path() const { return m_path; }

private:
    void giveBack(std::unique_ptr<Connection> connection);

    std::string m_path;
    std::mutex m_mutex;
    std::vector<std::unique_ptr<Connection>> m_free;
};

}  // namespace nemora
