#include "Db.h"

namespace nemora {

namespace {
[[noreturn]] void fail(sqlite3* db, const std::string& what)
{
    throw DbError(what + ": " + (db ? sqlite3_errmsg(db) : "no connection"));
}
}  // namespace

Statement::Statement(sqlite3* db, const char* sql) : m_db(db)
{
    if (sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr) != SQLITE_OK)
        fail(db, std::string("prepare ") + sql);
}

Statement::~Statement()
{
    if (m_stmt)
        sqlite3_finalize(m_stmt);
}

Statement::Statement(Statement&& other) noexcept : m_db(other.m_db), m_stmt(other.m_stmt)
{
    other.m_stmt = nullptr;
}

Statement& Statement::bind(int idx, const std::string& value)
{
    if (sqlite3_bind_text(m_stmt, idx, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT) != SQLITE_OK)
        fail(m_db, "bind");
    return *this;
}

Statement& Statement::bind(int idx, const char* value)
{
    return bind(idx, std::string(value));
}

Statement& Statement::bind(int idx, int64_t value)
{
    if (sqlite3_bind_int64(m_stmt, idx, value) != SQLITE_OK)
        fail(m_db, "bind");
    return *this;
}

Statement& Statement::bind(int idx, double value)
{
    if (sqlite3_bind_double(m_stmt, idx, value) != SQLITE_OK)
        fail(m_db, "bind");
    return *this;
}

Statement& Statement::bind(int idx, DbNull)
{
    if (sqlite3_bind_null(m_stmt, idx) != SQLITE_OK)
        fail(m_db, "bind");
    return *this;
}

bool Statement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    fail(m_db, "step");
}

void Statement::run()
{
    while (step()) {
    }
}

Statement& Statement::reset()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
    return *this;
}

std::string Statement::text(int col) const
{
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, col));
    if (!p)
        return {};
    return std::string(p, static_cast<size_t>(sqlite3_column_bytes(m_stmt, col)));
}

int64_t Statement::integer(int col) const
{
    return sqlite3_column_int64(m_stmt, col);
}

double Statement::real(int col) const
{
    return sqlite3_column_double(m_stmt, col);
}

bool Statement::isNull(int col) const
{
    return sqlite3_column_type(m_stmt, col) == SQLITE_NULL;
}

Connection::Connection(const std::string& path)
{
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(path.c_str(), &m_db, flags, nullptr) != SQLITE_OK) {
        std::string message = "open " + path + ": " + (m_db ? sqlite3_errmsg(m_db) : "out of memory");
        sqlite3_close(m_db);
        m_db = nullptr;
        throw DbError(message);
    }
    // A writer holds the lock for milliseconds; waiting this long only matters under heavy load.
    sqlite3_busy_timeout(m_db, 15000);
    exec("PRAGMA foreign_keys = ON");
    exec("PRAGMA synchronous = NORMAL");
}

Connection::~Connection()
{
    sqlite3_close(m_db);
}

void Connection::exec(const char* sql)
{
    char* error = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        std::string message = std::string(sql) + ": " + (error ? error : "failed");
        sqlite3_free(error);
        throw DbError(message);
    }
}

Statement Connection::prepare(const char* sql)
{
    return Statement(m_db, sql);
}

int64_t Connection::changes() const
{
    return sqlite3_changes(m_db);
}

int64_t Connection::lastInsertId() const
{
    return sqlite3_last_insert_rowid(m_db);
}

Transaction::Transaction(Connection& connection) : m_connection(connection)
{
    m_connection.exec("BEGIN IMMEDIATE");
}

Transaction::~Transaction()
{
    if (!m_done) {
        try {
            m_connection.exec("ROLLBACK");
        } catch (const DbError&) {
            // The transaction is gone already (SQLite rolled it back itself).
        }
    }
}

void Transaction::commit()
{
    m_connection.exec("COMMIT");
    m_done = true;
}

ConnectionPool::ConnectionPool(std::string path) : m_path(std::move(path)) {}

ConnectionPool::Lease::Lease(ConnectionPool& pool, std::unique_ptr<Connection> connection)
    : m_pool(&pool), m_connection(std::move(connection))
{
}

ConnectionPool::Lease::~Lease()
{
    if (m_connection)
        m_pool->giveBack(std::move(m_connection));
}

ConnectionPool::Lease ConnectionPool::acquire()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_free.empty()) {
            auto connection = std::move(m_free.back());
            m_free.pop_back();
            return Lease(*this, std::move(connection));
        }
    }
    return Lease(*this, std::make_unique<Connection>(m_path));
}

void ConnectionPool::giveBack(std::unique_ptr<Connection> connection)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_free.push_back(std::move(connection));
}

}  // namespace nemora
