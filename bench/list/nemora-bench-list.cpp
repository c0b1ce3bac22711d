// nemora-bench-list: times the list engine on a large reply of the report-retrieval method.
//
//   nemora-bench-list --generate N > reply.json    N realistic rows in a reply envelope
//   nemora-bench-list [--tree | --http] REPLY.json  parse, load, query, sort, model, export
//
// Prints "phase: NAME ms: N" per phase, then "rows: N" and "peak_rss_mb: N" (VmHWM).
// By default the reply is read from the file into a body buffer and handed to the engine's
// reader, as the gateway hands over a reply body. --tree reads it the way a gateway without
// the streaming hook does (a QJsonDocument, then the rows from its array), for comparison.
// --http serves the file from 127.0.0.1 and loads it through the gateway itself (Dm and
// LoadListRows), transfer included.

#include "core/ListCursor.h"
#include "core/ListQuery.h"
#include "core/ListReply.h"
#include "core/ListTable.h"
#include "core/XlsxExport.h"
#include "core/untDm.h"
#include "core/widgets/ListGrid.h"

#include <QCoreApplication>
#include <QTcpServer>
#include <QTcpSocket>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <random>
#include <string>
#include <utility>

namespace {
// --- the screen's declarations (as the report screen makes them) ---------------------------
QList<FieldDef> reportFields()
{
    return {{"Serial", FieldType::Text, 15},          {"WentVolume", FieldType::Integer},
            {"ReturnVolume", FieldType::Integer},     {"DailyFlowMax", FieldType::Float},
            {"WorkHours", FieldType::Integer},        {"FluidTemperature", FieldType::Float},
            {"BatteryVoltage", FieldType::Float},     {"SolenoidValveStatus", FieldType::Text, 4},
            {"ErrorCode", FieldType::Text, 2},        {"SNR", FieldType::Integer},
            {"RSSI", FieldType::Text, 20},            {"ReceveDateTime", FieldType::DateTime},
            {"ReceveShamsiDate", FieldType::Text, 10}, {"ReceveTime", FieldType::Text, 8},
            {"OrganName", FieldType::Text, 150},      {"OrganCode", FieldType::Text, 100},
            {"FileNumber", FieldType::Text, 20},      {"PastFewDays", FieldType::Integer},
            {"WentVolume2", FieldType::Float},        {"ReturnVolume2", FieldType::Float},
            {"ContractNo", FieldType::Text, 20},      {"Company", FieldType::Text, 50},
            {"PartNo", FieldType::Text, 20},          {"NationalNo", FieldType::Text, 20},
            {"PrivateCode", FieldType::Text, 20},     {"Mobile", FieldType::Text, 20},
            {"ccRaft", FieldType::Text, 20},          {"ccBargasht", FieldType::Text, 20},
            {"OpennesPercent", FieldType::SmallInt},  {"RemainingDays", FieldType::SmallInt},
            {"RemainingLiters", FieldType::LargeInt}};
}

RowReader reportReader(const ListTable& table)
{
    RowReader reader;
    reader.keys = {{"Serial", ReadAs::Text},           {"WentVolume", ReadAs::Integer},
                   {"ReturnVolume", ReadAs::Integer},  {"DailyFlowMax", ReadAs::Float},
                   {"WorkHours", ReadAs::Integer},     {"FluidTemperature", ReadAs::Float},
                   {"BatteryVoltage", ReadAs::Float},  {"SolenoidValveStatus", ReadAs::Text},
                   {"ErrorCode", ReadAs::Text},        {"SNR", ReadAs::Integer},
                   {"RSSI", ReadAs::Integer},          {"ReceveDateTime", ReadAs::DateTime},
                   {"ReceveShamsiDate", ReadAs::Text}, {"ReceveTime", ReadAs::Text},
                   {"OrganName", ReadAs::Text},        {"OrganCode", ReadAs::Text},
                   {"FileNumber", ReadAs::Text},       {"PastFewDays", ReadAs::Integer},
                   {"ContractNo", ReadAs::Text},       {"Company", ReadAs::Text},
                   {"Mobile", ReadAs::Text},           {"PrivateCode", ReadAs::Text},
                   {"PartNo", ReadAs::Text},           {"NationalNo", ReadAs::Text},
                   {"RemainingDays", ReadAs::SmallInt}, {"RemainingLiters", ReadAs::LargeInt},
                   {"OpennesPercent", ReadAs::SmallInt}};
    const int went = table.fieldIndex("WentVolume"), back = table.fieldIndex("ReturnVolume");
    const int went2 = table.fieldIndex("WentVolume2"), back2 = table.fieldIndex("ReturnVolume2");
    const int cc = table.fieldIndex("ccRaft"), ccBack = table.fieldIndex("ccBargasht");
    reader.derive = [=](RowBuffer& row) {
        row.setReal(went2, double(row.integer(went)) / 1000);
        row.setReal(back2, double(row.integer(back)) / 1000);
        row.setInteger(cc, row.integer(went) * 1000);       // stored as decimal text
        row.setInteger(ccBack, row.integer(back) * 1000);
    };
    return reader;
}

QString batteryText(const RowView& row)
{
    const float v = float(row.real(6));
    if (!(v >= 2.8f))
        return QStringLiteral("0");
    if (v > 3.6f || std::isnan(v))
        return QStringLiteral("100");
    const float diff = v - 2.8f;
    return QString::number(std::nearbyint(double(diff) * 100 / 0.8));
}

QList<ColumnDef> reportColumns()
{
    const auto errorText = [](const RowView& row) {
        const QString code = row.text(8);
        if (code == QLatin1String("0") || code == QLatin1String("0 ") || code == QLatin1String(" 0"))
            return QString();
        return QStringLiteral("دارای خطا");
    };
    const auto valveText = [](const RowView& row) {
        return row.text(7).left(2) == QLatin1String("55") ? QStringLiteral("باز") : QStringLiteral("بسته");
    };
    QList<ColumnDef> columns;
    for (const char* f : {"ReceveShamsiDate", "ReceveTime", "PastFewDays", "Serial", "WentVolume", "WentVolume2",
                          "ccRaft", "ReturnVolume", "ReturnVolume2", "ccBargasht", "DailyFlowMax", "WorkHours",
                          "FluidTemperature", "BatteryVoltage", "SolenoidValveStatus", "OpennesPercent", "ErrorCode",
                          "SNR", "RSSI", "OrganName", "FileNumber", "ContractNo", "PartNo", "PrivateCode", "Mobile",
                          "RemainingDays", "RemainingLiters"}) {
        ColumnDef column;
        column.field = QString::fromLatin1(f);
        if (column.field == QLatin1String("BatteryVoltage"))
            column.text = batteryText;
        else if (column.field == QLatin1String("ErrorCode"))
            column.text = errorText;
        else if (column.field == QLatin1String("SolenoidValveStatus"))
            column.text = valveText;
        columns << column;
    }
    return columns;
}

// --- the generator -------------------------------------------------------------------------
// Persian-looking words from the letters of the Persian alphabet (two UTF-8 bytes each).
std::string persianWord(std::mt19937& random, int letters)
{
    // The letters of the Persian alphabet, by code point.
    static const char16_t alphabet[] = {0x0627, 0x0628, 0x067E, 0x062A, 0x062B, 0x062C, 0x0686, 0x062D, 0x062E, 0x062F, 0x0630, 0x0631, 0x0632, 0x0698, 0x0633, 0x0634, 0x0635, 0x0636, 0x0637, 0x0638, 0x0639, 0x063A, 0x0641, 0x0642, 0x06A9, 0x06AF, 0x0644, 0x0645, 0x0646, 0x0648, 0x0647, 0x06CC, 0};
    const int count = int(std::char_traits<char16_t>::length(alphabet));
    std::u16string word;
    for (int i = 0; i < letters; ++i)
        word += alphabet[random() % unsigned(count)];
    return QString::fromStdU16String(word).toStdString();
}

std::string persianName(std::mt19937& random, int words)
{
    std::string name;
    for (int i = 0; i < words; ++i) {
        if (i)
            name += ' ';
        name += persianWord(random, 3 + int(random() % 5));
    }
    return name;
}

int generate(long long rows)
{
    std::mt19937 random(1403);
    struct Unit {
        std::string code, name;
    };
    std::vector<Unit> units;
    units.push_back({"01", persianName(random, 3)});
    for (int a = 1; a <= 9; ++a) {
        char code[16];
        snprintf(code, sizeof code, "01%02d", a);
        units.push_back({code, persianName(random, 3)});
        for (int b = 1; b <= 6; ++b) {
            snprintf(code, sizeof code, "01%02d%02d", a, b);
            units.push_back({code, persianName(random, 5)});
        }
    }
    const int meters = int(std::max<long long>(1, std::min<long long>(rows / 20, 50000)));
    std::vector<std::string> serials, companies;
    for (int m = 0; m < meters; ++m) {
        char serial[32];
        snprintf(serial, sizeof serial, "%015lld", 140000000000000LL + m * 7919LL);
        serials.push_back(serial);
        companies.push_back(persianName(random, 4 + int(random() % 4)));
    }

    std::string out;
    out.reserve(1 << 20);
    out += "{\"settings\":{\"success\":\"1\",\"message\":\"" + persianName(random, 3) + "\"},\"data\":[";
    for (long long i = 0; i < rows; ++i) {
        const int m = int(random() % unsigned(meters));
        const Unit& unit = units[size_t(m) % units.size()];
        const int day = 1 + int(i % 29), month = 1 + int((i / 29) % 12);
        const int hour = int(random() % 24), minute = int(random() % 60), second = int(random() % 60);
        const int went = int(random() % 20000000), back = int(random() % 50000);
        const double battery = 2.6 + (random() % 1200) / 1000.0;
        const char* valve = random() % 3 ? "55AA" : "AA55";
        const char* error = random() % 5 ? "0" : (random() % 2 ? "12" : "8");
        char row[2048];
        const int n = snprintf(
            row, sizeof row,
            "%s{\"Serial\":\"%s\",\"WentVolume\":%d,\"ReturnVolume\":%d,\"DailyFlowMax\":%.3f,\"WorkHours\":%d,"
            "\"FluidTemperature\":%.1f,\"BatteryVoltage\":%.2f,\"SolenoidValveStatus\":\"%s\",\"ErrorCode\":\"%s\","
            "\"SNR\":%d,\"RSSI\":%d,\"ReceveDateTime\":\"2024-%02d-%02dT%02d:%02d:%02d\","
            "\"ReceveShamsiDate\":\"1403/%02d/%02d\",\"ReceveTime\":\"%02d:%02d:%02d\",\"OrganName\":\"%s\","
            "\"OrganCode\":\"%s\",\"FileNumber\":\"%d\",\"PastFewDays\":%d,\"ContractNo\":\"%d\",\"Company\":\"%s\","
            "\"Mobile\":\"0912%07d\",\"PrivateCode\":\"%d\",\"PartNo\":\"%d/%d\",\"NationalNo\":\"%010d\","
            "\"RemainingDays\":%d,\"RemainingLiters\":%lld,\"OpennesPercent\":%d}",
            i ? "," : "", serials[size_t(m)].c_str(), went, back, (random() % 100000) / 1000.0,
            int(random() % 90000), 5 + (random() % 300) / 10.0, battery, valve, error, int(random() % 40),
            -int(random() % 110), month, day, hour, minute, second, month, day, hour, minute, second,
            unit.name.c_str(), unit.code.c_str(), 10000 + m, int(random() % 400), 5000 + m,
            companies[size_t(m)].c_str(), int(random() % 10000000), 100 + m % 900, int(random() % 500),
            int(random() % 100), int(random() % 2000000000), int(random() % 365),
            (long long)(random() % 100000000) * 10, int(random() % 101));
        out.append(row, size_t(n));
        if (out.size() > (1 << 20) - 4096) {
            fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    out += "]}";
    fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

// --- the run -------------------------------------------------------------------------------
long peakRssMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong() / 1024;
    return -1;
}

// Wall time, and the process's CPU time beside it (the machine is shared; CPU time tells the
// engine's own cost when other work competes for the cores).
long long cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<long long>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

struct Phase {
    QElapsedTimer timer;
    long long cpu = cpuMs();
    Phase() { timer.start(); }
    void end(const char* name)
    {
        const long long now = cpuMs();
        printf("phase: %s ms: %lld cpu_ms: %lld\n", name, static_cast<long long>(timer.elapsed()), now - cpu);
        fflush(stdout);
        timer.restart();
        cpu = now;
    }
};

// Answers one POST with the file as the body, read from disk in pieces as the socket drains,
// so that the server holds little of the reply in this process.
class FileReplyServer : public QObject {
public:
    explicit FileReplyServer(const QString& path) : m_path(path)
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* socket = m_server.nextPendingConnection();
            auto request = std::make_shared<QByteArray>();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, request] {
                request->append(socket->readAll());
                const qsizetype head = request->indexOf("\r\n\r\n");
                if (head < 0 || m_file)
                    return;
                qsizetype length = 0;
                for (const QByteArray& line : request->left(head).split('\n'))
                    if (line.toLower().startsWith("content-length:"))
                        length = line.mid(15).trimmed().toLongLong();
                if (request->size() < head + 4 + length)
                    return;
                m_file = std::make_unique<QFile>(m_path);
                m_file->open(QIODevice::ReadOnly);
                socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json; charset=utf-8\r\nContent-Length: " +
                              QByteArray::number(m_file->size()) + "\r\nConnection: close\r\n\r\n");
                QObject::connect(socket, &QTcpSocket::bytesWritten, socket, [this, socket] { feed(socket); });
                feed(socket);
            });
        });
    }
    QString baseUrl() const { return QStringLiteral("http://127.0.0.1:%1/ws/").arg(m_server.serverPort()); }

private:
    void feed(QTcpSocket* socket)
    {
        if (!m_file || socket->bytesToWrite() > (1 << 20))
            return;
        const QByteArray piece = m_file->read(1 << 20);
        if (piece.isEmpty()) {
            socket->disconnectFromHost();
            m_file.reset();
            return;
        }
        socket->write(piece);
    }
    QString m_path;
    QTcpServer m_server;
    std::unique_ptr<QFile> m_file;
};

int run(const QString& path, bool tree, bool http)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return 1;
    }
    Phase phase;
    ListTable vt(reportFields());
    const RowReader reader = reportReader(vt);
    bool aResult = false;
    QString aMessage;
    int rows = 0;
    std::unique_ptr<FileReplyServer> server;
    if (http) {
        file.close();
        server = std::make_unique<FileReplyServer>(path);
        CreateDm();
        Dm->setBaseAddress(server->baseUrl());
        const ListRequest request{Method::get_all_log_devices_of_user, false, [] {
                                      return JsonBody().add("user_id", "bench").add("from_shamsi_date", "1403/01/01").add(
                                          "to_shamsi_date", "1403/12/29");
                                  }};
        rows = LoadListRows(vt, request, reader, aResult, aMessage);
        phase.end("transfer+parse+load");
    }
    if (!http) {
        // The body as the network hands it over, with room for the reader's padding.
        QByteArray body;
        body.reserve(file.size() + ReplyBodyPadding());
        body.resize(file.size());
        if (file.read(body.data(), file.size()) != file.size()) {
            fprintf(stderr, "short read\n");
            return 1;
        }
        file.close();
        phase.end("read");
        if (tree) {
            const QJsonDocument document = QJsonDocument::fromJson(body);
            const QJsonArray data = document.object().value(QStringLiteral("data")).toArray();
            body = QByteArray();   // the gateway keeps only its tree
            phase.end("parse");
            rows = vt.loadRows(data, reader);
            phase.end("load");
        } else {
            rows = ReadReplyIntoTable(body, false, aResult, aMessage, vt, reader);
            body = QByteArray();
            phase.end("parse+load");
        }
    }
    if (rows <= 0) {
        fprintf(stderr, "no rows read\n");
        return 1;
    }

    // The screen's filter query: a serial, a unit prefix, a numeric and an error condition, and
    // a sort marker.
    QString serial;
    {
        ListCursor first;
        first.setTable(&vt);
        first.open();
        serial = first.row(first.count() / 2).text(QStringLiteral("Serial"));
    }
    ListQuery vq(vt);
    ListCursor ds;
    ds.setQuery(&vq);
    vq.rebuild({Cond::equals("Serial", serial), Cond::prefix("OrganCode", "01"),
                Cond::compare("BatteryVoltage", ">=", "2.5"), Cond::line("AND ErrorCode <> 0 ")});
    ds.setOrder({{"ReceveShamsiDate", true}});
    ds.open();
    const int filtered = ds.count();
    phase.end("query+sort");

    // Every row, sorted by a text column, as the grid shows the whole table.
    vq.rebuild({});
    ds.setOrder({{"OrganName", false}});
    ds.open();
    phase.end("sort-all");

    ListColumns columns(reportColumns());
    columns.bind(vt);
    ListModel model;
    model.setSource(&ds, &columns);
    qint64 chars = 0;
    for (int r = 0; r < 40 && r < model.rowCount(); ++r)
        for (int c = 0; c < model.columnCount(); ++c)
            chars += model.data(model.index(r, c)).toString().size();
    phase.end("model");

    QTemporaryDir folder;
    const QString xlsx = folder.filePath(QStringLiteral("All_Device_Logs bench.xlsx"));
    const QString error = ExportGridToXlsx(xlsx, ds, columns);
    if (!error.isEmpty()) {
        fprintf(stderr, "export failed: %s\n", qPrintable(error));
        return 1;
    }
    phase.end("export");

    // The grid's search over every shown column, once per pause in typing: a text in a few
    // rows, one in none (every cell read) and one in the first column of every row.
    QList<int> searched;
    for (int c = 0; c < columns.count(); ++c)
        if (!columns.isCheckBox(c))
            searched << c;
    // Then the typing goes on: each text holds the last one, so only the rows found are read.
    const std::pair<const char*, QString> searches[] = {{"search-few", serial.right(6)},
                                                        {"search-none", QStringLiteral("no such text")},
                                                        {"search-first-column", QStringLiteral("1403/")},
                                                        {"search-typing-on", QStringLiteral("1403/0")},
                                                        {"search-typing-on-more", QStringLiteral("1403/05")}};
    for (const auto& [name, text] : searches) {
        ds.setSearch(&columns, searched, text);
        ds.open();
        const int found = ds.count();
        phase.end(name);
        printf("found: %s %d\n", name, found);
    }

    printf("rows: %d\n", rows);
    printf("filtered: %d\n", filtered);
    printf("export_mb: %lld\n", static_cast<long long>(QFileInfo(xlsx).size() >> 20));
    printf("reader: %s\n", http ? "gateway-stream" : tree ? "tree" : "stream");
    printf("peak_rss_mb: %ld\n", peakRssMb());
    Q_UNUSED(chars);
    return 0;
}
}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 2 && args.at(0) == QLatin1String("--generate"))
        return generate(args.at(1).toLongLong());
    bool tree = false, http = false;
    QString path;
    for (const QString& a : args) {
        if (a == QLatin1String("--tree"))
            tree = true;
        else if (a == QLatin1String("--http"))
            http = true;
        else
            path = a;
    }
    if (path.isEmpty()) {
        fprintf(stderr, "usage: nemora-bench-list --generate N > reply.json\n"
                        "       nemora-bench-list [--tree | --http] REPLY.json\n");
        return 2;
    }
    return run(path, tree, http);
}
