// User accounts, login and the tree of operating units.

#include "Dates.h"
#include "Handlers.h"
#include "ServerTexts.h"

namespace nemora::handlers {

namespace {

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

// "0102%" as the tree screen sends it, or a plain code: the code without the wildcard.
std::string unitCode(const Request& req)
{
    std::string code = req.text("organ_code");
    if (!code.empty() && code.back() == '%')
        code.pop_back();
    if (code.empty())
        throw Refusal(ServerTexts::kOrganCodeEmpty);
    return code;
}

struct Unit {
    std::string id;
    std::string parentId;
    std::string name;
    std::string code;
};

std::optional<Unit> unitById(Connection& db, const std::string& id)
{
    auto q = db.prepare("SELECT id, parent_id, name, code FROM organisations WHERE id = ?");
    q.bindAll(id);
    if (!q.step())
        return std::nullopt;
    return Unit{q.text(0), q.text(1), q.text(2), q.text(3)};
}

std::optional<Unit> unitByCode(Connection& db, const std::string& code)
{
    auto q = db.prepare("SELECT id, parent_id, name, code FROM organisations WHERE code = ?");
    q.bindAll(code);
    if (!q.step())
        return std::nullopt;
    return Unit{q.text(0), q.text(1), q.text(2), q.text(3)};
}

Row unitRows(Statement& q)
{
    Row rows = Row::array();
    while (q.step())
        rows.push_back(Row{{"ID", q.text(0)}, {"ParentID", q.text(1)}, {"OrganName", q.text(2)}, {"Code", q.text(3)}});
    return rows;
}

bool nameTaken(Connection& db, const std::string& name, const std::string& exceptId)
{
    auto q = db.prepare("SELECT 1 FROM users WHERE user_name = ? AND id <> ?");
    q.bindAll(name, exceptId);
    return q.step();
}

// The rules of the account dialogs, in their order, repeated here because the server is the
// last line: a unit that exists, a name and a password of at least 6 characters, a unique name.
Unit validateAccount(Connection& db, const std::string& name, const std::string& password,
                     const std::string& organisationId, const std::string& exceptId)
{
    if (organisationId.empty())
        throw Refusal(ServerTexts::kOrganNotChosen);
    const auto unit = unitById(db, organisationId);
    if (!unit)
        throw Refusal(ServerTexts::kOrganNotFound);
    if (characters(name) < 6)
        throw Refusal(ServerTexts::kUserNameShort);
    if (characters(password) < 6)
        throw Refusal(ServerTexts::kPasswordShort);
    if (nameTaken(db, name, exceptId))
        throw Refusal(ServerTexts::kUserExists);
    return *unit;
}

}  // namespace

Envelope user_login(const Request& req, Connection& db)
{
    const std::string name = req.text("user_name");
    const std::string password = req.text("password");
    if (name.empty())
        throw Refusal(ServerTexts::kLoginEmpty);

    Transaction tx(db);
    auto q = db.prepare("SELECT u.id, u.user_name, u.password, u.activated, u.organisation_id,"
                        " COALESCE(o.code, ''), COALESCE(o.name, '')"
                        " FROM users u LEFT JOIN organisations o ON o.id = u.organisation_id"
                        " WHERE u.user_name = ? COLLATE BINARY");
    q.bindAll(name);
    if (!q.step() || q.text(2) != password)
        throw Refusal(ServerTexts::kLoginWrong);
    if (q.integer(3) == 0)
        throw Refusal(ServerTexts::kLoginInactive);
    const std::string id = q.text(0);
    Row row{{"UserID", id}, {"UserName", q.text(1)}, {"loginCount", ""}, {"Code", q.text(5)},
            {"OrganName", q.text(6)}, {"OrganID", q.text(4)}};

    const QDateTime now = dates::now();
    db.prepare("UPDATE users SET login_count = login_count + 1, last_login_date = ?, last_login_time = ? WHERE id = ?")
        .bindAll(dates::solarText(now.date()), dates::timeText(now.time()), id)
        .run();
    auto count = db.prepare("SELECT login_count FROM users WHERE id = ?");
    count.bindAll(id);
    count.step();
    row["loginCount"] = std::to_string(count.integer(0));
    tx.commit();
    return Envelope::ok(ServerTexts::kDone, Row::array({row}));
}

Envelope get_all_users(const Request&, Connection& db)
{
    auto q = db.prepare("SELECT u.id, u.user_name, u.password, u.organisation_id, u.activated, u.create_date,"
                        " u.create_time, u.last_login_date, u.last_login_time, u.login_count, COALESCE(o.name, '')"
                        " FROM users u LEFT JOIN organisations o ON o.id = u.organisation_id"
                        " ORDER BY COALESCE(o.code, ''), u.user_name");
    Row rows = Row::array();
    while (q.step()) {
        rows.push_back(Row{{"UserID", q.text(0)}, {"UserName", q.text(1)}, {"Password", q.text(2)},
                           {"OrganisationID", q.text(3)}, {"Activated", q.integer(4) != 0},
                           {"CreateDate", q.text(5)}, {"CreateTime", q.text(6)}, {"LastLoginDate", q.text(7)},
                           {"LastLoginTime", q.text(8)}, {"LoginCount", std::to_string(q.integer(9))},
                           {"OrganName", q.text(10)}});
    }
    return listReply(std::move(rows), ServerTexts::kNoUsers);
}

Envelope delete_user(const Request& req, Connection& db)
{
    const std::string id = req.text("user_id");
    if (id == Server::kMainUserId)
        throw Refusal(ServerTexts::kMainUserDelete);
    Transaction tx(db);
    db.prepare("DELETE FROM users WHERE id = ?").bindAll(id).run();
    if (db.changes() == 0)
        throw Refusal(ServerTexts::kUserNotFound);
    tx.commit();
    return Envelope::ok(ServerTexts::kDone);
}

Envelope set_new_user(const Request& req, Connection& db)
{
    const std::string name = req.text("user_name");
    const std::string password = req.text("password");
    const std::string organisationId = req.text("organisation_id");
    Transaction tx(db);
    validateAccount(db, name, password, organisationId, "");
    const QDateTime now = dates::now();
    const std::string id = Store::newId();
    db.prepare("INSERT INTO users (id, user_name, password, organisation_id, activated, create_date, create_time)"
               " VALUES (?, ?, ?, ?, 1, ?, ?)")
        .bindAll(id, name, password, organisationId, dates::solarText(now.date()), dates::timeText(now.time()))
        .run();
    tx.commit();
    return Envelope::ok(ServerTexts::kDone, Row::array({Row{{"UserID", id}, {"UserName", name}}}));
}

Envelope edit_user(const Request& req, Connection& db)
{
    const std::string name = req.text("user_name");
    const std::string password = req.text("password");
    const std::string organisationId = req.text("organisation_id");
    const bool activated = req.boolean("activated");
    const std::string id = req.text("user_id");
    Transaction tx(db);
    auto exists = db.prepare("SELECT 1 FROM users WHERE id = ?");
    exists.bindAll(id);
    if (!exists.step())
        throw Refusal(ServerTexts::kUserNotFound);
    const Unit unit = validateAccount(db, name, password, organisationId, id);
    if (id == Server::kMainUserId && (!activated || !unit.parentId.empty()))
        throw Refusal(ServerTexts::kMainUserKeep);
    db.prepare("UPDATE users SET user_name = ?, password = ?, organisation_id = ?, activated = ? WHERE id = ?")
        .bindAll(name, password, organisationId, activated, id)
        .run();
    tx.commit();
    return Envelope::ok(ServerTexts::kDone);
}

Envelope get_all_organisation(const Request&, Connection& db)
{
    auto q = db.prepare("SELECT id, parent_id, name, code FROM organisations ORDER BY code");
    return listReply(unitRows(q), ServerTexts::kNoUnits);
}

Envelope delete_organisation(const Request& req, Connection& db)
{
    const std::string code = unitCode(req);
    Transaction tx(db);
    const auto unit = unitByCode(db, code);
    if (!unit)
        throw Refusal(ServerTexts::kOrganNotFound);
    if (unit->parentId.empty())
        throw Refusal(ServerTexts::kMainUnitDelete);
    // Meters and accounts of a deleted unit would belong to nobody, so they block the delete
    // here as well as in the tree screen's own checks.
    auto devices = db.prepare("SELECT 1 FROM devices d JOIN organisations o ON o.id = d.organisation_id"
                              " WHERE substr(o.code, 1, length(?1)) = ?1 LIMIT 1");
    devices.bindAll(code);
    if (devices.step())
        throw Refusal(ServerTexts::kOrganUsedByDevice);
    auto users = db.prepare("SELECT 1 FROM users u JOIN organisations o ON o.id = u.organisation_id"
                            " WHERE substr(o.code, 1, length(?1)) = ?1 LIMIT 1");
    users.bindAll(code);
    if (users.step())
        throw Refusal(ServerTexts::kOrganUsedByUser);
    db.prepare("DELETE FROM organisations WHERE substr(code, 1, length(?1)) = ?1").bindAll(code).run();
    tx.commit();
    return Envelope::ok(ServerTexts::kDone);
}

Envelope used_in_device_from_organ(const Request& req, Connection& db)
{
    const std::string code = unitCode(req);
    auto q = db.prepare("SELECT d.serial, o.code FROM devices d JOIN organisations o ON o.id = d.organisation_id"
                        " WHERE substr(o.code, 1, length(?1)) = ?1 ORDER BY o.code, d.serial");
    q.bindAll(code);
    Row rows = Row::array();
    while (q.step())
        rows.push_back(Row{{"SerialNumber", q.text(0)}, {"OrganCode", q.text(1)}});
    return listReply(std::move(rows), ServerTexts::kNotUsed);
}

Envelope used_in_user_from_organ(const Request& req, Connection& db)
{
    const std::string code = unitCode(req);
    auto q = db.prepare("SELECT u.user_name, u.id, o.code FROM users u JOIN organisations o ON o.id = u.organisation_id"
                        " WHERE substr(o.code, 1, length(?1)) = ?1 ORDER BY o.code, u.user_name");
    q.bindAll(code);
    Row rows = Row::array();
    while (q.step())
        rows.push_back(Row{{"UserName", q.text(0)}, {"UserID", q.text(1)}, {"OrganCode", q.text(2)}});
    return listReply(std::move(rows), ServerTexts::kNotUsed);
}

Envelope set_new_organisation(const Request& req, Connection& db)
{
    const std::string parentId = req.text("parent_id");
    const std::string code = req.text("code");
    const std::string name = trimmed(req.text("organ_name"));
    if (code.empty())
        throw Refusal(ServerTexts::kOrganCodeEmpty);
    if (name.empty())
        throw Refusal(ServerTexts::kOrganNameEmpty);

    Transaction tx(db);
    if (parentId.empty()) {
        // Only the main unit stands without a parent, and the administrator is recognised by its code.
        auto any = db.prepare("SELECT 1 FROM organisations LIMIT 1");
        if (any.step())
            throw Refusal(ServerTexts::kRootExists);
        if (code != "01")
            throw Refusal(ServerTexts::kCodeInvalid);
    } else {
        const auto parent = unitById(db, parentId);
        if (!parent)
            throw Refusal(ServerTexts::kParentNotFound);
        const size_t extra = code.size() - parent->code.size();
        if (!dates::allDigits(code) || code.size() <= parent->code.size() || code.compare(0, parent->code.size(), parent->code) != 0
            || (extra != 2 && extra != 3))
            throw Refusal(ServerTexts::kCodeInvalid);
        if (unitByCode(db, code))
            throw Refusal(ServerTexts::kCodeExists);
        // Every filter reads a code as the prefix of its unit's subtree; a code that begins
        // with a non-ancestor's code, or that another code begins with, would mix two subtrees.
        auto overlap = db.prepare("SELECT 1 FROM organisations WHERE (length(code) > ?2 AND substr(?1, 1, length(code)) = code)"
                                  " OR substr(code, 1, length(?1)) = ?1 LIMIT 1");
        overlap.bindAll(code, static_cast<int64_t>(parent->code.size()));
        if (overlap.step())
            throw Refusal(ServerTexts::kCodeOverlaps);
    }
    const std::string id = Store::newId();
    db.prepare("INSERT INTO organisations (id, parent_id, name, code) VALUES (?, ?, ?, ?)")
        .bindAll(id, parentId, name, code)
        .run();
    tx.commit();
    return Envelope::ok(ServerTexts::kDone,
                        Row::array({Row{{"ID", id}, {"ParentID", parentId}, {"OrganName", name}, {"Code", code}}}));
}

Envelope edit_organisation(const Request& req, Connection& db)
{
    const std::string id = req.text("organ_id");
    const std::string parentId = req.text("parent_id");
    const std::string code = req.text("code");
    const std::string name = trimmed(req.text("organ_name"));
    Transaction tx(db);
    const auto unit = unitById(db, id);
    if (!unit)
        throw Refusal(ServerTexts::kOrganNotFound);
    if (unit->parentId != parentId || unit->code != code)
        throw Refusal(ServerTexts::kCodeChange);
    if (name.empty())
        throw Refusal(ServerTexts::kOrganNameEmpty);
    db.prepare("UPDATE organisations SET name = ? WHERE id = ?").bindAll(name, id).run();
    tx.commit();
    return Envelope::ok(ServerTexts::kDone);
}

Envelope get_organisation_by_user(const Request& req, Connection& db)
{
    const UserScope scope = requireUserScope(db, req.text("user_id"));
    auto q = db.prepare("SELECT id, parent_id, name, code FROM organisations"
                        " WHERE substr(code, 1, length(?1)) = ?1 ORDER BY code");
    q.bindAll(scope.code);
    return listReply(unitRows(q), ServerTexts::kNoUnits);
}

}  // namespace nemora::handlers
