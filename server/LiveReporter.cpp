#include "LiveReporter.h"

#include "Dates.h"

#include <cmath>
#include <random>

namespace nemora {

namespace {

struct Valve {
    std::string code = "55";
    int64_t percent = 100;
};

// The valve the meter works with now: the latest order that has come due, whether its current
// manual setting or, for a meter of the automatic type, a schedule action (a schedule acts at its
// start, or so many days after it), as the demo's reports follow them.
Valve currentValve(Connection& db, const std::string& serial, bool autoValve, const QDateTime& now)
{
    Valve valve;
    QDateTime since;   // when the valve in force was ordered
    auto manual = db.prepare("SELECT solenoid_valve, openness_percent, created_at FROM settings WHERE serial = ?"
                             " ORDER BY created_at DESC, id DESC LIMIT 1");
    manual.bindAll(serial);
    if (manual.step()) {
        valve = {manual.text(0), manual.integer(1)};
        since = QDateTime::fromString(QString::fromStdString(manual.text(2)), Qt::ISODate);
    }
    if (!autoValve)
        return valve;
    auto schedules = db.prepare("SELECT solenoid_valve, openness_percent, days_no, litres_no, start_at FROM auto_settings"
                                " WHERE serial = ? AND activated = 1 ORDER BY created_at, id");
    schedules.bindAll(serial);
    while (schedules.step()) {
        if (schedules.integer(3) > 0 && schedules.integer(2) == 0)
            continue;   // a volume-driven schedule: the meter itself decides when it acts
        const QDateTime due = QDateTime::fromString(QString::fromStdString(schedules.text(4)), Qt::ISODate)
                                  .addDays(schedules.integer(2));
        if (due.isValid() && due <= now && (!since.isValid() || due >= since)) {
            since = due;
            valve = {schedules.text(0), schedules.integer(1)};
        }
    }
    return valve;
}

}  // namespace

LiveReporter::LiveReporter(Store& store, std::vector<std::string> serials, std::chrono::milliseconds interval)
    : m_store(store), m_serials(std::move(serials)), m_interval(interval)
{
}

LiveReporter::~LiveReporter()
{
    stop();
}

void LiveReporter::start()
{
    if (m_thread.joinable())
        return;
    m_stopping = false;
    m_thread = std::thread([this] { run(); });
}

void LiveReporter::stop()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void LiveReporter::run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_wake.wait_for(lock, m_interval, [this] { return m_stopping; })) {
        lock.unlock();
        try {
            reportOnce();
        } catch (const std::exception&) {
            // A busy database now is no reason to stop reporting; the next tick tries again.
        }
        lock.lock();
    }
}

int LiveReporter::reportOnce()
{
    thread_local std::mt19937 rng{std::random_device{}()};
    std::uniform_real_distribution<double> unit(0, 1);
    auto db = m_store.connection();
    Transaction tx(*db);
    QDateTime now = dates::now();
    now = QDateTime(now.date(), QTime(now.time().hour(), now.time().minute(), now.time().second()));
    int reported = 0;
    for (const auto& serial : m_serials) {
        auto device = db->prepare("SELECT is_auto_valve, transfer_date_eng FROM devices"
                                  " WHERE serial = ? AND activated = 1 AND transferred = 1");
        device.bindAll(serial);
        if (!device.step())
            continue;
        const bool autoValve = device.integer(0) != 0;
        const QDateTime deployed(QDate::fromString(QString::fromStdString(device.text(1)), Qt::ISODate), QTime(0, 0));

        MeterReport r;
        r.serial = serial;
        r.receivedAt = now;
        auto last = db->prepare("SELECT went_volume, return_volume, fluid_temperature, battery_voltage, snr, rssi,"
                                " remaining_days, remaining_liters FROM reports WHERE serial = ?"
                                " ORDER BY received_at DESC, id DESC LIMIT 1");
        last.bindAll(serial);
        double temperature = 18;
        double voltage = 3.6;
        if (last.step()) {
            r.wentVolume = last.integer(0);
            r.returnVolume = last.integer(1);
            temperature = last.real(2);
            voltage = last.real(3);
            r.snr = last.integer(4);
            r.rssi = last.integer(5);
            r.remainingDays = last.integer(6);
            r.remainingLiters = last.integer(7);
        }
        const Valve valve = currentValve(*db, serial, autoValve, now);
        const double opening = valve.code == "55" ? valve.percent / 100.0 : 0.0;
        // A tap runs now and then: some litres in about one report of three.
        const int64_t used = unit(rng) < 0.3 ? static_cast<int64_t>(std::lround((1 + unit(rng) * 5) * opening)) : 0;
        r.wentVolume += used;
        if (r.remainingLiters > 0)
            r.remainingLiters = std::max<int64_t>(0, r.remainingLiters - used);
        r.dailyFlowMax = std::round((0.2 + unit(rng) * 1.2) * opening * 100) / 100;
        r.workHours = deployed.isValid() ? deployed.secsTo(now) / 3600 : 0;
        r.fluidTemperature = std::round((temperature + (unit(rng) - 0.5) * 0.4) * 10) / 10;
        r.batteryVoltage = std::round((voltage + (unit(rng) - 0.5) * 0.01) * 100) / 100;
        r.valveStatus = valve.code;
        r.errorCode = r.batteryVoltage < 2.9 ? "2" : "0";
        r.snr = std::clamp<int64_t>(r.snr + static_cast<int64_t>(std::lround((unit(rng) - 0.5) * 4)), 0, 40);
        r.rssi = std::clamp<int64_t>(r.rssi + static_cast<int64_t>(std::lround((unit(rng) - 0.5) * 4)), -120, -40);
        r.opennessPercent = static_cast<int64_t>(std::lround(opening * 100));
        Store::addReport(*db, r);
        ++reported;
    }
    tx.commit();
    return reported;
}

}  // namespace nemora
