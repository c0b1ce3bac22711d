#include "DemoData.h"

#include "Dates.h"
#include "Server.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <random>

namespace nemora {

namespace {

constexpr int kMeterCount = 60;
constexpr int64_t kSerialBase = 140312000000100;   // serials run on from here, 15 digits each

struct UnitPlan {
    const char* code;
    const char* name;
};

// Four levels under the main unit; the operator works in "0102".
const UnitPlan kUnits[] = {
    {"01", "شرکت آب و فاضلاب استان"},
    {"0101", "منطقه یک"},
    {"010101", "ناحیه شمال"},
    {"010102", "ناحیه جنوب"},
    {"0102", "منطقه دو"},
    {"010201", "ناحیه مرکزی"},
    {"01020101", "مجتمع کشاورزی دشت"},
    {"010202", "ناحیه غرب"},
    {"0103", "منطقه سه"},
};

// Units that meters are deployed to, taken in turn.
const char* const kMeterUnits[] = {"010101", "010102", "010201", "01020101", "010202", "0103", "0101"};

const char* const kFirstNames[] = {"علی", "محمد", "زهرا", "فاطمه", "حسین", "مریم", "رضا", "سارا", "مهدی", "نرگس", "امیر", "لیلا"};
const char* const kLastNames[] = {"احمدی", "محمدی", "حسینی", "رضایی", "کریمی", "موسوی", "جعفری", "صادقی", "رحیمی", "نوری", "کاظمی", "هاشمی", "اکبری"};
const char* const kStreets[] = {"خیابان آزادی", "خیابان انقلاب", "بلوار کشاورز", "خیابان ولیعصر", "کوچه نسترن", "بلوار امام رضا", "خیابان بهار", "میدان فردوسی"};
const char* const kCities[] = {"شهرک مهر", "شهر جدید", "روستای سرسبز", "مرکز شهر"};

enum class Use { Household, Building, Shop, Farm };
const char* const kUseNames[] = {"کنتور خانگی", "کنتور ساختمان مسکونی", "کنتور واحد تجاری", "کنتور چاه کشاورزی"};
const char* const kCompanies[] = {"", "مجتمع مسکونی بهار", "فروشگاه زنجیره ای نور", "شرکت کشت و صنعت دشت"};

// Reports are never generated closer together than this, whatever interval a meter was given,
// so that a catch-up stays bounded (the client's shortest send interval).
constexpr int64_t kShortestInterval = 600;
// A failing battery levels off here instead of running down to nothing.
constexpr double kFlatBattery = 2.65;

// The marker row in `meta` of a database that the demo filled; its value is the moment of the fill
// (empty for a database filled before the marker existed).
constexpr const char* kDemoMark = "demo_filled_at";

// A change of the valve or interval that a meter obeys from `at` on.
struct SettingEvent {
    QDateTime at;
    std::string valve;
    int64_t percent;
    int64_t interval;
    bool sended;
    bool manual;   // false: ordered through the automatic-valve dialog, not a manual setting row
};

struct Schedule {
    QDateTime created;
    QDateTime start;
    std::string valve;
    int64_t percent;
    int64_t days;
    int64_t litres;
    std::optional<QDateTime> sent;
    std::optional<int64_t> wentAtStart;
    bool activated = true;
    int64_t id = 0;   // its row, for a schedule read back from the database
};

struct MeterPlan {
    int index = -1;   // its place among the demo's meters; -1 for a meter the demo did not make
    std::string serial;
    bool deployed = true;
    bool activated = true;
    bool autoValve = false;
    std::string unitCode;
    QDate produced;
    QDateTime deployedAt;
    Use use = Use::Household;
    // What makes the meter's reports its own; none of it depends on the day of the fill, so that
    // the catch-up finds the same meter again from its serial alone.
    double base = 400;          // litres on an ordinary day
    bool weakBattery = false;
    int rssiBase = -85;
    int snrBase = 15;
    int64_t lifeDays = 365;     // the days in which the battery loses its share (its age at the fill)
    QTime deployTime{0, 0};
    std::vector<SettingEvent> settings;
    std::vector<Schedule> schedules;
};

// Where a run of reports goes on from: the counters of the report before and the moment of the
// next one.
struct ReportStart {
    double went = 0;
    double returned = 0;
    QDateTime previous;
    QDateTime next;
};

std::string serialOf(int index)
{
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%015lld", static_cast<long long>(kSerialBase + index));
    return buffer;
}

// The demo index of a serial, or -1 when the demo did not make a meter with it.
int indexOf(const std::string& serial)
{
    for (int i = 0; i < kMeterCount; ++i)
        if (serialOf(i) == serial)
            return i;
    return -1;
}

std::string digits(std::mt19937& rng, int count)
{
    std::uniform_int_distribution<int> digit(0, 9);
    std::string text;
    for (int i = 0; i < count; ++i)
        text += static_cast<char>('0' + digit(rng));
    return text;
}

double uniform(std::mt19937& rng, double low, double high)
{
    return std::uniform_real_distribution<double>(low, high)(rng);
}

bool chance(std::mt19937& rng, double p)
{
    return std::uniform_real_distribution<double>(0, 1)(rng) < p;
}

double rounded(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

std::string hexCode(unsigned bits)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%X", bits);
    return buffer;
}

QDateTime wholeSeconds(const QDateTime& moment)
{
    return QDateTime(moment.date(), QTime(moment.time().hour(), moment.time().minute(), moment.time().second()));
}

QDateTime fromIso(const std::string& text)
{
    return QDateTime::fromString(QString::fromStdString(text), Qt::ISODate);
}

// Litres a day for this meter on this day, before the valve is taken into account.
double dailyUse(const MeterPlan& m, const QDate& day, std::mt19937& rng, double base)
{
    const int weekday = day.dayOfWeek();   // 5 = Friday, the weekend
    double factor = uniform(rng, 0.75, 1.25);
    switch (m.use) {
    case Use::Household:
        if (weekday == 5)
            factor *= 1.3;
        break;
    case Use::Building:
        if (weekday == 5)
            factor *= 1.15;
        break;
    case Use::Shop:
        if (weekday == 5)
            factor *= 0.3;
        break;
    case Use::Farm: {
        const double season = std::sin(2 * M_PI * (day.dayOfYear() - 80) / 365.0);
        factor *= 0.35 + 0.9 * std::max(0.0, season);
        break;
    }
    }
    return base * factor;
}

// The meter's serial and traits: for a demo meter its own, for any other those of an ordinary
// household meter.
MeterPlan meterOf(const std::string& serial)
{
    MeterPlan m;
    m.serial = serial;
    const int i = indexOf(serial);
    if (i < 0)
        return m;
    m.index = i;
    m.use = static_cast<Use>(i % 4);
    std::mt19937 rng(2603u + static_cast<unsigned>(i) * 104729u);
    m.base = m.use == Use::Household ? uniform(rng, 250, 550)
             : m.use == Use::Building ? uniform(rng, 1800, 3600)
             : m.use == Use::Shop     ? uniform(rng, 700, 1600)
                                      : uniform(rng, 2500, 6000);
    m.weakBattery = i == 5 || i == 19 || i == 33;
    m.rssiBase = -100 + (i * 11) % 35;
    m.snrBase = 8 + (i * 3) % 18;
    m.lifeDays = 150 + (i * 7) % 200;
    m.deployTime = QTime(9 + i % 6, (i * 13) % 60);
    return m;
}

MeterPlan planMeter(int i, const QDateTime& now)
{
    MeterPlan m = meterOf(serialOf(i));
    m.deployed = i < 56;
    m.activated = !(i == 7 || i == 23 || i == 41);
    m.autoValve = i % 6 == 0;
    const QDate today = now.date();
    if (m.deployed) {
        m.unitCode = kMeterUnits[i % 7];
        const QDate deployDay = today.addDays(-m.lifeDays);
        m.deployedAt = QDateTime(deployDay, m.deployTime);
        m.produced = deployDay.addDays(-(20 + i % 40));
    } else {
        m.produced = today.addDays(-(5 + i % 20));
    }

    // The send interval: most meters once a day, some every few hours.
    const int64_t interval = i % 10 == 3 ? 10800 : i % 10 == 7 ? 21600 : 86400;
    const QDateTime startOfLife = m.deployed ? m.deployedAt : QDateTime(m.produced, QTime(11, 0));
    m.settings.push_back({startOfLife, "55", 100, interval, true, true});
    if (!m.deployed)
        return m;

    const auto daysAgo = [&](int days, int hour, int minute) { return QDateTime(today.addDays(-days), QTime(hour, minute)); };
    if (i % 5 == 1)
        m.settings.push_back({daysAgo(70, 10, 5), "55", 100, interval, true, true});
    if (i == 9)
        m.settings.push_back({daysAgo(25, 12, 40), "55", 100, 43200, true, true});
    if (i == 17)
        m.settings.push_back({daysAgo(35, 8, 15), "55", 50, interval, true, true});
    if (i == 12)
        m.settings.push_back({daysAgo(20, 13, 30), "AA", 0, interval, true, true});
    if (i == 30)
        m.settings.push_back({daysAgo(9, 16, 45), "AA", 100, interval, false, true});
    if (i == 45)
        m.settings.push_back({daysAgo(3, 9, 0), "55", 100, 43200, false, true});

    if (m.autoValve) {
        const QDateTime first = m.deployedAt.addDays(5);
        m.schedules.push_back({first, QDateTime(first.date().addDays(1), QTime(8, 0)), "55", 100, 30, 0, {}, {}});
        const QDateTime second = daysAgo(20, 11, 20);
        m.schedules.push_back({second, QDateTime(second.date().addDays(1), QTime(7, 30)), "55", 100, 0, 50000, {}, {}});
        if (i % 12 == 0) {
            const QDateTime pending = now.addSecs(-2 * 3600);
            m.schedules.push_back({pending, QDateTime(today.addDays(3), QTime(6, 0)), "AA", 0, 7, 0, {}, {}});
        }
        if (i == 18) {
            // An order given "now" in the automatic-valve dialog closes the valve at once.
            const QDateTime order = daysAgo(15, 10, 12);
            m.schedules.push_back({order, order, "AA", 0, 0, 0, {}, {}});
            m.settings.push_back({order, "AA", 0, interval, true, false});
        }
    }
    std::sort(m.settings.begin(), m.settings.end(), [](const auto& a, const auto& b) { return a.at < b.at; });
    std::sort(m.schedules.begin(), m.schedules.end(), [](const auto& a, const auto& b) { return a.created < b.created; });
    return m;
}

// The counters of a new demo meter and the moment of its first report after deployment.
ReportStart firstReport(const MeterPlan& m)
{
    const int i = m.index;
    const int64_t interval = m.settings.front().interval;
    const QDateTime first = m.deployedAt;
    ReportStart start;
    start.went = 20000 + (i * 37311) % 900000;
    start.returned = (i * 97) % 400;
    start.previous = first;
    start.next = interval >= 86400 ? QDateTime(first.date().addDays(1), QTime(1 + i % 5, (i * 7) % 60, (i * 17) % 60))
                                   : first.addSecs(interval);
    return start;
}

// Writes the demo's rows. The fill uses all of it; the catch-up only the reports, so that a meter
// goes on reporting after the fill exactly as it did before.
class Filler {
public:
    Filler(Connection& db, const QDateTime& now)
        : m_db(db), m_now(now),
          m_report(db.prepare("INSERT INTO reports (serial, received_at, shamsi_date, receive_time, went_volume,"
                              " return_volume, daily_flow_max, work_hours, fluid_temperature, battery_voltage,"
                              " valve_status, error_code, snr, rssi, openness_percent, remaining_days,"
                              " remaining_liters) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"))
    {
    }

    void units()
    {
        for (const auto& unit : kUnits) {
            const std::string code = unit.code;
            const std::string id = Store::newId();
            const std::string parent = code.size() > 2 ? m_unitIds.at(code.substr(0, code.size() - 2)) : "";
            m_db.prepare("INSERT INTO organisations (id, parent_id, name, code) VALUES (?, ?, ?, ?)")
                .bindAll(id, parent, std::string(unit.name), code)
                .run();
            m_unitIds[code] = id;
        }
    }

    void users()
    {
        const QDateTime created = m_now.addDays(-400);
        bool first = true;
        for (const auto& account : demoAccounts()) {
            const std::string id = first ? std::string(Server::kMainUserId) : Store::newId();
            first = false;
            const bool active = account.role != "inactive account";
            m_db.prepare("INSERT INTO users (id, user_name, password, organisation_id, activated, create_date,"
                         " create_time) VALUES (?, ?, ?, ?, ?, ?, ?)")
                .bindAll(id, account.userName, account.password, m_unitIds.at(account.unitCode), active,
                         dates::solarText(created.date()), dates::timeText(created.time()))
                .run();
        }
    }

    void meter(const MeterPlan& m)
    {
        std::mt19937 rng(1403u + static_cast<unsigned>(m.index) * 7919u);
        device(m, rng);
        for (const auto& s : m.settings)
            if (s.manual)
                setting(m, s);
        if (!m.deployed)
            return;
        std::vector<Schedule> schedules = m.schedules;
        reports(m, schedules, firstReport(m), m.deployedAt, m_now.date(), rng);
        for (const auto& s : schedules)
            schedule(m, s);
    }

    // The reports a meter missed since its last one, up to now: at its send interval, following
    // the settings and schedules stored for it, with its counters going on from that report.
    // Nothing before `notBefore` is written (the meter stays silent then, its counter standing).
    // Returns how many reports were added; a meter that never reported gets none.
    int64_t catchUp(const std::string& serial, bool autoValve, const QDate& deployDay, const QDateTime& notBefore)
    {
        auto last = m_db.prepare("SELECT received_at, went_volume, return_volume FROM reports WHERE serial = ?"
                                 " ORDER BY received_at DESC, id DESC LIMIT 1");
        last.bindAll(serial);
        if (!last.step())
            return 0;
        const QDateTime lastAt = fromIso(last.text(0));
        if (!lastAt.isValid() || lastAt >= m_now)
            return 0;

        MeterPlan m = meterOf(serial);
        m.autoValve = autoValve;
        m.deployedAt = QDateTime(deployDay.isValid() ? deployDay : lastAt.date(), m.deployTime);
        m.settings = storedSettings(serial, autoValve);
        std::vector<Schedule> schedules = storedSchedules(serial, lastAt);
        std::vector<int64_t> unsent;
        for (const auto& s : schedules)
            if (!s.sent)
                unsent.push_back(s.id);

        std::seed_seq mix{static_cast<unsigned>(std::hash<std::string>{}(serial)),
                          static_cast<unsigned>(lastAt.toSecsSinceEpoch())};
        std::mt19937 rng(mix);
        ReportStart start;
        start.went = static_cast<double>(last.integer(1));
        start.returned = static_cast<double>(last.integer(2));
        start.previous = lastAt;
        start.next = lastAt;   // not written again: it lies before the first moment below
        const int64_t written = reports(m, schedules, start, std::max(notBefore, lastAt.addSecs(1)), lastAt.date(), rng);

        // Passed on with the first new report after each was made, as Store::addReport records it.
        for (const auto& s : schedules) {
            if (s.sent && std::find(unsent.begin(), unsent.end(), s.id) != unsent.end())
                m_db.prepare("UPDATE auto_settings SET sended = 1, sended_fa = ? WHERE id = ?")
                    .bindAll(dates::solarMomentText(*s.sent), s.id)
                    .run();
        }
        return written;
    }

private:
    void device(const MeterPlan& m, std::mt19937& rng)
    {
        const int i = m.index;
        const std::string first = kFirstNames[i % 12];
        const std::string last = kLastNames[(i * 5) % 13];
        const std::string customer = m.use == Use::Household ? first + " " + last : std::string(kCompanies[i % 4]);
        const std::string address = std::string(kCities[i % 4]) + "، " + kStreets[i % 8] + "، پلاک " + std::to_string(3 + i * 7 % 90);
        const std::string deployDay = m.deployed ? dates::solarText(m.deployedAt.date()) : "";
        const std::string deployEng = m.deployed ? m.deployedAt.date().toString("yyyy-MM-dd").toStdString() : "";
        const std::string unitId = m.deployed ? m_unitIds.at(m.unitCode) : "";
        const double lat = 35.60 + (i % 9) * 0.013 + uniform(rng, 0, 0.01);
        const double lon = 51.30 + (i % 7) * 0.017 + uniform(rng, 0, 0.01);
        char latText[16], lonText[16];
        std::snprintf(latText, sizeof latText, "%.5f", lat);
        std::snprintf(lonText, sizeof lonText, "%.5f", lon);
        const bool owned = m.deployed;
        m_db.prepare("INSERT INTO devices (serial, create_date, create_date_eng, activated, is_auto_valve, transferred,"
                     " transfer_date, transfer_date_eng, organisation_id, file_number, connection_type, customer_name,"
                     " customer_phone, address, sim_card, description, latitude, longitude, contract_no, part_no,"
                     " company, national_no, private_code, mobile, tell)"
                     " VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)")
            .bindAll(m.serial, dates::solarText(m.produced), m.produced.toString("yyyy-MM-dd").toStdString(), m.activated,
                     m.autoValve, m.deployed, deployDay, deployEng, unitId,
                     owned ? "1403" + digits(rng, 6) : std::string(), static_cast<int64_t>(i % 4),
                     owned ? customer : std::string(), owned ? "021" + digits(rng, 8) : std::string(),
                     owned ? address : std::string(), "8998" + digits(rng, 11),
                     owned ? std::string(kUseNames[i % 4]) : std::string(), owned ? std::string(latText) : std::string(),
                     owned ? std::string(lonText) : std::string(), owned ? "48" + digits(rng, 6) : std::string(),
                     owned ? std::to_string(100 + i * 17 % 800) + "/" + std::to_string(1 + i % 40) : std::string(),
                     owned ? std::string(kCompanies[i % 4]) : std::string(), owned ? digits(rng, 10) : std::string(),
                     owned ? "P" + digits(rng, 5) : std::string(), owned ? "0912" + digits(rng, 7) : std::string(),
                     owned ? "021" + digits(rng, 8) : std::string())
            .run();
    }

    void setting(const MeterPlan& m, const SettingEvent& s)
    {
        m_db.prepare("INSERT INTO settings (serial, created_at, create_shamsi_date, create_time, solenoid_valve,"
                     " openness_percent, send_data_time, open_port_time, sended) VALUES (?,?,?,?,?,?,?,?,?)")
            .bindAll(m.serial, dates::isoText(s.at), dates::solarText(s.at.date()), dates::timeText(s.at.time()),
                     s.valve, s.percent, s.interval, s.sended ? int64_t{30} : int64_t{0}, s.sended)
            .run();
    }

    void schedule(const MeterPlan& m, const Schedule& s)
    {
        m_db.prepare("INSERT INTO auto_settings (serial, created_at, created_fa, activated, solenoid_valve,"
                     " openness_percent, days_no, litres_no, start_at, start_fa, sended, sended_fa)"
                     " VALUES (?,?,?,1,?,?,?,?,?,?,?,?)")
            .bindAll(m.serial, dates::isoText(s.created), dates::solarMomentText(s.created), s.valve, s.percent, s.days,
                     s.litres, dates::isoText(s.start),
                     dates::solarText(s.start.date()) + " " + s.start.time().toString("HH:mm").toStdString(),
                     s.sent.has_value(), s.sent ? dates::solarMomentText(*s.sent) : std::string())
            .run();
    }

    // What the meter obeys over time, from the database: every manual setting, and for a meter of
    // the automatic type every schedule action when it comes due (at its start, or so many days
    // after it; a volume-driven schedule is the meter's own affair), the later one winning. Until
    // its first setting a meter works with the default: valve open, 100 percent, one day.
    std::vector<SettingEvent> storedSettings(const std::string& serial, bool autoValve)
    {
        std::vector<SettingEvent> events;
        events.push_back({QDateTime(QDate(1900, 1, 1), QTime(0, 0)), "55", 100, 86400, true, true});
        auto manual = m_db.prepare("SELECT created_at, solenoid_valve, openness_percent, send_data_time, sended"
                                   " FROM settings WHERE serial = ? ORDER BY created_at, id");
        manual.bindAll(serial);
        while (manual.step())
            events.push_back({fromIso(manual.text(0)), manual.text(1), manual.integer(2), manual.integer(3),
                              manual.integer(4) != 0, true});
        if (autoValve) {
            auto orders = m_db.prepare("SELECT start_at, days_no, litres_no, solenoid_valve, openness_percent"
                                       " FROM auto_settings WHERE serial = ? AND activated = 1 ORDER BY created_at, id");
            orders.bindAll(serial);
            while (orders.step()) {
                if (orders.integer(2) > 0 && orders.integer(1) == 0)
                    continue;
                events.push_back({fromIso(orders.text(0)).addDays(orders.integer(1)), orders.text(3), orders.integer(4),
                                  0, true, false});
            }
        }
        events.erase(std::remove_if(events.begin(), events.end(), [](const auto& e) { return !e.at.isValid(); }),
                     events.end());
        std::stable_sort(events.begin(), events.end(), [](const auto& a, const auto& b) { return a.at < b.at; });
        // A schedule changes the valve only; the send interval stays that of the manual setting.
        int64_t interval = 86400;
        for (auto& e : events) {
            if (e.manual)
                interval = e.interval;
            else
                e.interval = interval;
        }
        return events;
    }

    // The meter's schedules as the report generator follows them, with the counter reading at the
    // start of those that had begun by `lastReport`.
    std::vector<Schedule> storedSchedules(const std::string& serial, const QDateTime& lastReport)
    {
        std::vector<Schedule> schedules;
        auto rows = m_db.prepare("SELECT id, created_at, start_at, solenoid_valve, openness_percent, days_no, litres_no,"
                                 " activated, sended FROM auto_settings WHERE serial = ? ORDER BY created_at, id");
        rows.bindAll(serial);
        while (rows.step()) {
            Schedule s{fromIso(rows.text(1)), fromIso(rows.text(2)), rows.text(3), rows.integer(4), rows.integer(5),
                       rows.integer(6), {}, {}};
            s.id = rows.integer(0);
            s.activated = rows.integer(7) != 0;
            if (rows.integer(8) != 0)
                s.sent = s.created;
            if (!s.created.isValid() || !s.start.isValid())
                continue;
            if (s.start <= lastReport) {
                auto atStart = m_db.prepare("SELECT went_volume FROM reports WHERE serial = ? AND received_at >= ?"
                                            " ORDER BY received_at, id LIMIT 1");
                atStart.bindAll(serial, dates::isoText(s.start));
                if (atStart.step())
                    s.wentAtStart = atStart.integer(0);
            }
            schedules.push_back(s);
        }
        return schedules;
    }

    // Writes the meter's reports at its send interval, from start.next on up to the writer's now:
    // water at the day's rate through the valve as set, battery, signal, error codes and what
    // remains of a running schedule. Moments before `from` pass without a report. The demo's
    // one-off events (a leak, a tamper alarm) are dated back from `eventsDay`. Returns how many
    // reports were written.
    int64_t reports(const MeterPlan& m, std::vector<Schedule>& schedules, const ReportStart& start,
                    const QDateTime& from, const QDate& eventsDay, std::mt19937& rng)
    {
        const int i = m.index;
        const QDateTime first = m.deployedAt;
        const QDate leakFrom = eventsDay.addDays(-12);
        const QDate tamperDay = eventsDay.addDays(-40);

        double went = start.went;
        double returned = start.returned;
        QDateTime previous = start.previous;
        QDateTime t = start.next;
        size_t settingAt = 0;
        double dayRate = 0;
        QDate rateDay;
        int64_t written = 0;
        while (t <= m_now) {
            while (settingAt + 1 < m.settings.size() && m.settings[settingAt + 1].at <= t)
                ++settingAt;
            const SettingEvent& current = m.settings[settingAt];
            const int64_t interval = std::max(current.interval, kShortestInterval);
            if (t < from) {
                previous = t;
                t = t.addSecs(interval);
                continue;
            }
            const bool open = current.valve == "55";
            const double opening = open ? current.percent / 100.0 : 0.0;

            // Water since the previous report, at the day's rate.
            if (rateDay != t.date()) {
                rateDay = t.date();
                dayRate = dailyUse(m, rateDay, rng, m.base);
                if (m.use == Use::Household && chance(rng, 0.03))
                    dayRate = 0;   // nobody at home
                if (i == 26 && rateDay >= leakFrom)
                    dayRate += 1500;
            }
            const double hours = previous.secsTo(t) / 3600.0;
            went += dayRate * hours / 24.0 * opening;

            unsigned errors = 0;
            const double age = static_cast<double>(first.daysTo(t)) / std::max<int64_t>(1, m.lifeDays);
            double voltage = std::max(kFlatBattery, m.weakBattery ? 3.05 - 0.33 * age : 3.64 - 0.12 * age);
            voltage = rounded(voltage + uniform(rng, -0.01, 0.01), 2);
            if (voltage < 2.9)
                errors |= 0x2;
            if (i == 26 && t.date() >= leakFrom)
                errors |= 0x40;
            if (i == 44 && t.date() >= tamperDay && t.date() <= tamperDay.addDays(1))
                errors |= 0x80;
            if (chance(rng, 0.004))
                errors |= 0x10;
            if (chance(rng, 0.003)) {
                errors |= 0x1;
                returned += uniform(rng, 5, 40);
            }
            if (!open)
                errors |= 0x20 * (i == 12 ? 1 : 0);

            const double temperature =
                rounded(16 + 7 * std::sin(2 * M_PI * (t.date().dayOfYear() - 100) / 365.0) + uniform(rng, -1.5, 1.5), 1);
            const double flowMax = opening > 0 ? rounded(dayRate / 1000.0 * uniform(rng, 0.25, 0.6) + 0.05, 2) : 0.0;

            int64_t remainingDays = 0;
            int64_t remainingLiters = 0;
            for (auto& s : schedules) {
                if (s.created > t)
                    break;
                if (!s.sent)
                    s.sent = t;   // passed on with the first report after it was made
                if (!s.activated)
                    continue;
                if (t >= s.start && !s.wentAtStart)
                    s.wentAtStart = static_cast<int64_t>(went);
                remainingDays = s.days > 0 ? (t < s.start ? s.days : std::max<int64_t>(0, s.days - s.start.daysTo(t))) : 0;
                remainingLiters = s.litres > 0
                                      ? (s.wentAtStart ? std::max<int64_t>(0, s.litres - (static_cast<int64_t>(went) - *s.wentAtStart))
                                                       : s.litres)
                                      : 0;
            }

            m_report.reset().bindAll(
                m.serial, dates::isoText(t), dates::solarText(t.date()), dates::timeText(t.time()),
                static_cast<int64_t>(went), static_cast<int64_t>(returned), flowMax,
                static_cast<int64_t>(first.secsTo(t) / 3600), temperature, voltage, open ? std::string("55") : std::string("AA"),
                errors ? hexCode(errors) : std::string("0"), static_cast<int64_t>(m.snrBase + uniform(rng, -3, 3)),
                static_cast<int64_t>(m.rssiBase + uniform(rng, -6, 6)), static_cast<int64_t>(opening * 100 + 0.5),
                remainingDays, remainingLiters);
            m_report.run();
            ++written;

            previous = t;
            t = t.addSecs(interval);
        }
        return written;
    }

    Connection& m_db;
    QDateTime m_now;
    Statement m_report;
    std::map<std::string, std::string> m_unitIds;
};

// Whether the demo filled this database. One filled before the marker existed is recognised by
// the demo's own main account and first meter, and marked.
bool filledByDemo(Connection& db)
{
    auto mark = db.prepare("SELECT COUNT(*) FROM meta WHERE key = ?");
    mark.bindAll(std::string(kDemoMark));
    mark.step();
    if (mark.integer(0) > 0)
        return true;
    const DemoAccount& admin = demoAccounts().front();
    auto signs = db.prepare("SELECT (SELECT COUNT(*) FROM users WHERE id = ? AND user_name = ? AND password = ?)"
                            " * (SELECT COUNT(*) FROM devices WHERE serial = ?)");
    signs.bindAll(std::string(Server::kMainUserId), admin.userName, admin.password, serialOf(0));
    signs.step();
    if (signs.integer(0) == 0)
        return false;
    db.prepare("INSERT INTO meta (key, value) VALUES (?, '')").bindAll(std::string(kDemoMark)).run();
    return true;
}

}  // namespace

const std::vector<DemoAccount>& demoAccounts()
{
    static const std::vector<DemoAccount> accounts = {
        {"admin01", "nemora01", "administrator", "01"},
        {"operator02", "nemora02", "operator", "0102"},
        {"retired03", "nemora03", "inactive account", "0101"},
    };
    return accounts;
}

std::vector<std::string> demoLiveSerials()
{
    return {serialOf(1), serialOf(2), serialOf(3), serialOf(4)};
}

bool fillDemo(Store& store)
{
    auto db = store.connection();
    Transaction tx(*db);
    auto any = db->prepare("SELECT (SELECT COUNT(*) FROM organisations) + (SELECT COUNT(*) FROM users)"
                           " + (SELECT COUNT(*) FROM devices)");
    any.step();
    if (any.integer(0) != 0)
        return false;

    // Whole seconds, so that stored moments and the clock agree to the second.
    const QDateTime now = wholeSeconds(dates::now());
    Filler filler(*db, now);
    filler.units();
    filler.users();
    for (int i = 0; i < kMeterCount; ++i)
        filler.meter(planMeter(i, now));
    db->prepare("INSERT OR REPLACE INTO meta (key, value) VALUES (?, ?)")
        .bindAll(std::string(kDemoMark), dates::isoText(now))
        .run();
    tx.commit();
    return true;
}

std::optional<int64_t> catchUpDemo(Store& store)
{
    auto db = store.connection();
    Transaction tx(*db);
    if (!filledByDemo(*db))
        return std::nullopt;

    const QDateTime now = wholeSeconds(dates::now());
    Filler filler(*db, now);
    struct Meter {
        std::string serial;
        bool autoValve;
        QDate deployDay;
    };
    std::vector<Meter> meters;
    auto list = db->prepare("SELECT serial, is_auto_valve, transfer_date_eng FROM devices"
                            " WHERE activated = 1 AND transferred = 1 ORDER BY serial");
    while (list.step())
        meters.push_back({list.text(0), list.integer(1) != 0,
                          QDate::fromString(QString::fromStdString(list.text(2)), Qt::ISODate)});
    int64_t added = 0;
    for (const auto& m : meters)
        added += filler.catchUp(m.serial, m.autoValve, m.deployDay, now.addDays(-kDemoCatchUpDays));
    tx.commit();
    return added;
}

}  // namespace nemora
