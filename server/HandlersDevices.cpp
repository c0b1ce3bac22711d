// The device registry: registration, activation, type, deployment, owner data and deletion of
// meters, and the lists of registered meters and of a unit's meters.

#include "Dates.h"
#include "Handlers.h"
#include "ServerTexts.h"

namespace nemora::handlers {

namespace {

void requirePeriod(const std::string& from, const std::string& to)
{
    if (!from.empty() && !to.empty() && from > to)
        throw Refusal(ServerTexts::kDateOrder);
}

std::string upperBound(const std::string& to)
{
    return to.empty() ? std::string("9999/99/99") : to;
}

}  // namespace

Envelope get_all_register_device(const Request& req, Connection& db)
{
    const std::string from = solarBoundOrEmpty(req.text("from_date"));
    const std::string to = solarBoundOrEmpty(req.text("to_Date"));
    requirePeriod(from, to);
    auto q = db.prepare("SELECT d.create_date, d.serial, d.file_number, COALESCE(o.name, ''), d.activated, d.transferred,"
                        " d.transfer_date, d.latitude, d.longitude, d.organisation_id, d.connection_type,"
                        " d.customer_name, d.customer_phone, d.description, d.address, d.sim_card, d.contract_no,"
                        " d.part_no, d.company, d.national_no, d.private_code, d.mobile, d.is_auto_valve"
                        " FROM devices d LEFT JOIN organisations o ON o.id = d.organisation_id"
                        " WHERE d.create_date >= ? AND d.create_date <= ?"
                        " ORDER BY d.create_date DESC, d.serial");
    q.bindAll(from, upperBound(to));
    Row rows = Row::array();
    while (q.step()) {
        rows.push_back(Row{{"CreateDate", q.text(0)},
                           {"SerialNumber", q.text(1)},
                           {"FileNumber", q.text(2)},
                           {"OrganName", q.text(3)},
                           {"Activated", q.integer(4) != 0},
                           {"Transferred", q.integer(5) != 0},
                           {"TransferDate", q.text(6)},
                           {"Latitude", q.text(7)},
                           {"Longitude", q.text(8)},
                           {"OrganizationCategoryID", q.text(9)},
                           {"ConnectionType", q.integer(10)},
                           {"CustomerName", q.text(11)},
                           {"CustomerPhone", q.text(12)},
                           {"Description", q.text(13)},
                           {"Address", q.text(14)},
                           {"SimCard", q.text(15)},
                           {"ContractNo", q.text(16)},
                           {"PartNo", q.text(17)},
                           {"Company", q.text(18)},
                           {"NationalNo", q.text(19)},
                           {"PrivateCode", q.text(20)},
                           {"Mobile", q.text(21)},
                           {"IsAutoValveSetting", q.integer(22) != 0}});
    }
    return listReply(std::move(rows), ServerTexts::kNoDevices);
}

Envelope set_activated_device(const Request& req, Connection& db)
{
    const std::string serial = req.text("serial");
    const bool activated = req.boolean("activated");
    Transaction tx(db);
    requireDevice(db, serial);
    db.prepare("UPDATE devices SET activated = ? WHERE serial = ?").bindAll(activated, serial).run();
    tx.commit();
    return Envelope::ok(ServerTexts::kDone);
}

Envelope delete_device(const Request& req, Connection& db)
{
    const std::string serial = req.text("serial");
    Transaction tx(db);
    requireDevice(db, serial);
    for (const char* sql : {"DELETE FROM reports WHERE serial = ?", "DELETE FROM settings WHERE serial = ?",
                            "DELETE FROM auto_settings WHERE serial = ?", "DELETE FROM devices WHERE serial = ?"})
        db.prepare(sql).bindAll(serial).run();
    tx.commit();
    return Envelope::ok(ServerTexts::kDone);
}

Envelope set_new_device(const Request& req, Connection& db)
{
    const std::string serial = req.text("serial");
    const std::string dateText = req.text("create_date_eng");
    const bool autoValve = req.boolean("is_auto_valve_setting");
    requireSerial(serial);
    const auto produced = dates::gregorianDate(dateText);
    if (!produced)
        throw Refusal(fill(ServerTexts::kGregorianInvalid, dateText));
    if (*produced > dates::today())
        throw Refusal(ServerTexts::kFutureProductionDate);

    Transaction tx(db);
    auto exists = db.prepare("SELECT 1 FROM devices WHERE serial = ?");
    exists.bindAll(serial);
    if (exists.step())
        throw Refusal(ServerTexts::kDeviceExists);
    db.prepare("INSERT INTO devices (serial, create_date, create_date_eng, activated, is_auto_valve)"
               " VALUES (?, ?, ?, 1, ?)")
        .bindAll(serial, dates::solarText(*produced), produced->toString("yyyy-MM-dd").toStdString(), autoValve)
        .run();
    tx.commit();
    return Envelope::ok(ServerTexts::kDone);
}

Envelope set_device_type(const Request& req, Connection& db)
{
    const std::string serial = req.text("serial");
    const bool autoValve = req.boolean("is_auto_valve_setting");
    Transaction tx(db);
    requireDevice(db, serial);
    db.prepare("UPDATE devices SET is_auto_valve = ? WHERE serial = ?").bindAll(autoValve, serial).run();
    tx.commit();
    return Envelope::ok(ServerTexts::kDone);
}

Envelope set_transfer_device(const Request& req, Connection& db)
{
    const std::string serial = req.text("serial");
    const std::string dateText = req.text("transfer_date_eng");
    const std::string organisationId = req.text("organization_id");
    const std::string fileNumber = req.text("file_number");
    const int64_t connectionType = req.integer("connection_type");
    const std::string customerName = req.text("customer_name");
    const std::string customerPhone = req.text("customer_phone");
    const std::string address = req.text("customer_address");
    const std::string simCard = req.text("sim_card");
    const std::string description = req.text("description");
    const std::string latitude = req.text("latitude");
    const std::string longitude = req.text("longitude");
    const std::string contractNo = req.text("contract_no");
    const std::string partNo = req.text("part_no");
    const std::string nationalNo = req.text("national_no");
    const std::string mobile = req.text("mobile");
    const std::string privateCode = req.text("private_code");
    const std::string company = req.text("company");

    Transaction tx(db);
    requireDevice(db, serial);
    if (dateText.empty())
        throw Refusal(ServerTexts::kDateMissing);
    const auto deployed = dates::gregorianDate(dateText);
    if (!deployed)
        throw Refusal(fill(ServerTexts::kGregorianInvalid, dateText));
    // A deployed meter without a unit would be visible to no one but the registry.
    if (organisationId.empty())
        throw Refusal(ServerTexts::kOrganNotChosen);
    auto unit = db.prepare("SELECT 1 FROM organisations WHERE id = ?");
    unit.bindAll(organisationId);
    if (!unit.step())
        throw Refusal(ServerTexts::kOrganNotFound);
    if (connectionType < 0 || connectionType > 3)
        throw Refusal(ServerTexts::kConnectionType);

    db.prepare("UPDATE devices SET transferred = 1, transfer_date = ?, transfer_date_eng = ?, organisation_id = ?,"
               " file_number = ?, connection_type = ?, customer_name = ?, customer_phone = ?, address = ?,"
               " sim_card = ?, description = ?, latitude = ?, longitude = ?, contract_no = ?, part_no = ?,"
               " national_no = ?, mobile = ?, private_code = ?, company = ? WHERE serial = ?")
        .bindAll(dates::solarText(*deployed), deployed->toString("yyyy-MM-dd").toStdString(), organisationId,
                 fileNumber, connectionType, customerName, customerPhone, address, simCard, description, latitude,
                 longitude, contractNo, partNo, nationalNo, mobile, privateCode, company, serial)
        .run();
    tx.commit();
    return Envelope::ok(ServerTexts::kDone);
}

Envelope get_all_my_device_list(const Request& req, Connection& db)
{
    const std::string organId = req.text("organ_id");
    // The meter picker sends no period at all.
    const std::string from = solarBoundOrEmpty(req.optionalText("from_date").value_or(""));
    const std::string to = solarBoundOrEmpty(req.optionalText("to_Date").value_or(""));
    requirePeriod(from, to);
    if (organId.empty())
        throw Refusal(ServerTexts::kOrganNotChosen);
    auto unit = db.prepare("SELECT code FROM organisations WHERE id = ?");
    unit.bindAll(organId);
    if (!unit.step())
        throw Refusal(ServerTexts::kOrganNotFound);
    const std::string code = unit.text(0);

    auto q = db.prepare("SELECT d.serial, d.file_number, o.name, d.activated, d.transferred, d.transfer_date,"
                        " d.latitude, d.longitude, d.contract_no, d.company, d.part_no, d.private_code,"
                        " d.national_no, d.mobile, d.tell, d.address"
                        " FROM devices d JOIN organisations o ON o.id = d.organisation_id"
                        " WHERE substr(o.code, 1, length(?1)) = ?1"
                        " AND (?4 = 0 OR (d.transferred = 1 AND d.transfer_date >= ?2 AND d.transfer_date <= ?3))"
                        " ORDER BY o.code, d.serial");
    const bool period = !from.empty() || !to.empty();
    q.bindAll(code, from, upperBound(to), period);
    Row rows = Row::array();
    while (q.step()) {
        rows.push_back(Row{{"SerialNumber", q.text(0)},
                           {"FileNumber", q.text(1)},
                           {"OrganName", q.text(2)},
                           {"Activated", q.integer(3) != 0},
                           {"Transferred", q.integer(4) != 0},
                           {"TransferDate", q.text(5)},
                           {"Latitude", q.text(6)},
                           {"Longitude", q.text(7)},
                           {"ContractNo", q.text(8)},
                           {"Company", q.text(9)},
                           {"PartNo", q.text(10)},
                           {"PrivateCode", q.text(11)},
                           {"NationalNo", q.text(12)},
                           {"Mobile", q.text(13)},
                           {"Tell", q.text(14)},
                           {"Address", q.text(15)}});
    }
    return listReply(std::move(rows), ServerTexts::kNoDevices);
}

Envelope edit_contractno(const Request& req, Connection& db)
{
    const std::string serial = req.text("serial");
    const std::string contractNo = req.text("contract_no");
    const std::string company = req.text("company");
    const std::string partNo = req.text("part_no");
    const std::string nationalNo = req.text("national_no");
    const std::string mobile = req.text("mobile");
    const std::string privateCode = req.text("private_code");
    const std::string tell = req.text("tell");
    const std::string address = req.text("address");
    Transaction tx(db);
    requireDevice(db, serial);
    db.prepare("UPDATE devices SET contract_no = ?, company = ?, part_no = ?, national_no = ?, mobile = ?,"
               " private_code = ?, tell = ?, address = ? WHERE serial = ?")
        .bindAll(contractNo, company, partNo, nationalNo, mobile, privateCode, tell, address, serial)
        .run();
    tx.commit();
    return Envelope::ok(ServerTexts::kDone);
}

}  // namespace nemora::handlers
