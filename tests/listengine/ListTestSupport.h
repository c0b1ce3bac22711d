#pragma once
// Shared helpers of the list engine tests: a small screen configuration, reply rows, the
// recorded message boxes and a reader of the entries of a written workbook.

#include "core/ListReply.h"
#include "core/MSGs.h"
#include "core/untDm.h"
#include "core/widgets/ListScreen.h"
#include "core/widgets/Seams.h"
#include "support/ScriptedHttpServer.h"

#include <QByteArray>
#include <QLabel>
#include <QString>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <minizip/unzip.h>

// A row of the test screen's reply.
struct TestRow {
    QString serial;
    int volume = 0;
    QString code = QStringLiteral("01");
    bool open = true;
    double volts = 3.2;
    QString err = QStringLiteral("0");
};

inline QByteArray rowsJson(const QList<TestRow>& rows)
{
    QByteArray out = "[";
    for (int i = 0; i < rows.size(); ++i) {
        const TestRow& r = rows.at(i);
        if (i)
            out += ',';
        out += "{\"Serial\":" + JsonBody().add("v", r.serial).toJson().mid(5).chopped(1) +
               ",\"Volume\":" + QByteArray::number(r.volume) + ",\"Code\":\"" + r.code.toUtf8() +
               "\",\"Open\":" + (r.open ? "true" : "false") + ",\"Volts\":" + QByteArray::number(r.volts) +
               ",\"Err\":\"" + r.err.toUtf8() + "\"}";
    }
    return out + "]";
}

inline ScriptedReply reply(int status, const QByteArray& reason, const QByteArray& body)
{
    ScriptedReply r;
    r.status = status;
    r.reason = reason;
    r.body = body;
    return r;
}

inline QList<TestRow> numberedRows(int count)
{
    QList<TestRow> rows;
    for (int i = 0; i < count; ++i)
        rows.append({QStringLiteral("S%1").arg(i, 5, 10, QLatin1Char('0')), i});
    return rows;
}

// Grid columns of the test screen.
enum TestColumn { ColSerial, ColVolume, ColOpen, ColErr, ColCode };

inline ListScreenConfig testConfig(ListMode mode, std::function<QList<SqlCondition>()> conditions = {})
{
    ListScreenConfig config;
    config.mode = mode;
    config.fields = {{"Serial", FieldType::Text, 15, "Serial title"},
                     {"Volume", FieldType::Integer, 0, "Volume title"},
                     {"Code", FieldType::Text, 100},
                     {"Open", FieldType::Boolean},
                     {"Volts", FieldType::Float},
                     {"Err", FieldType::Text, 2}};
    config.columns = {{"Serial"},
                      {"Volume"},
                      {"Open", "Open title"},
                      {"Err", "Err title",
                       [](const RowView& row) {
                           const QString code = row.text(QStringLiteral("Err"));
                           return code == QLatin1String("0") ? QString() : QStringLiteral("E:") + code;
                       }},
                      {"Code", "Code title"}};
    config.request = {QStringLiteral("get_test_list"), false, [] { return JsonBody().add("user_id", "u1"); }};
    config.reader.keys = {{"Serial"}, {"Volume", ReadAs::Integer}, {"Code"}, {"Open", ReadAs::Boolean},
                          {"Volts", ReadAs::Float}, {"Err"}};
    config.conditions = std::move(conditions);
    config.clipboardColumns = {ColSerial, ColCode};
    config.firstLoadDelayMs = -1;
    config.exportPrefix = QStringLiteral("Test_List");
    return config;
}

// Every box shown, answered by `answer`.
struct BoxRecorder {
    QList<MessageBoxRequest> boxes;
    int answer = mrYes;
    std::function<void(const MessageBoxRequest&)> onBox;
    MessagePresenter previous;
    BoxRecorder()
    {
        previous = SetMessagePresenter([this](const MessageBoxRequest& box) {
            boxes.append(box);
            if (onBox)
                onBox(box);
            return box.buttons == mbYesNo ? answer : int(mrOk);
        });
    }
    ~BoxRecorder() { SetMessagePresenter(previous); }
};

// The bytes of one entry of a zip file, or an empty array when it is not there.
inline QByteArray zipEntry(const QString& zipPath, const char* entry)
{
    QByteArray out;
    unzFile zip = unzOpen64(zipPath.toLocal8Bit().constData());
    if (!zip)
        return out;
    if (unzLocateFile(zip, entry, 0) == UNZ_OK && unzOpenCurrentFile(zip) == UNZ_OK) {
        char buffer[65536];
        int n;
        while ((n = unzReadCurrentFile(zip, buffer, sizeof buffer)) > 0)
            out.append(buffer, n);
        unzCloseCurrentFile(zip);
    }
    unzClose(zip);
    return out;
}

// The texts of a sheet's cells in order (inline and shared strings and numbers).
inline QStringList sheetCells(const QString& zipPath, int sheet)
{
    const QByteArray xml = zipEntry(zipPath, QStringLiteral("xl/worksheets/sheet%1.xml").arg(sheet).toLatin1().constData());
    QStringList cells;
    const QByteArray shared = zipEntry(zipPath, "xl/sharedStrings.xml");
    QStringList sharedTexts;
    for (qsizetype at = shared.indexOf("<t"); at >= 0; at = shared.indexOf("<t", at + 1)) {
        if (shared.mid(at, 3) != "<t>" && shared.mid(at, 3) != "<t ")
            continue;
        const qsizetype start = shared.indexOf('>', at) + 1;
        sharedTexts << QString::fromUtf8(shared.mid(start, shared.indexOf("</t>", start) - start));
    }
    for (qsizetype at = xml.indexOf("<c "); at >= 0; at = xml.indexOf("<c ", at + 1)) {
        const qsizetype end = xml.indexOf("</c>", at);
        const QByteArray cell = xml.mid(at, end - at);
        const qsizetype t = cell.indexOf("<t");
        const qsizetype v = cell.indexOf("<v>");
        if (cell.contains("t=\"inlineStr\"") && t >= 0) {
            const qsizetype start = cell.indexOf('>', t) + 1;
            cells << QString::fromUtf8(cell.mid(start, cell.indexOf("</t>", start) - start));
        } else if (cell.contains("t=\"s\"") && v >= 0) {
            cells << sharedTexts.value(cell.mid(v + 3, cell.indexOf("</v>", v) - v - 3).toInt());
        } else if (v >= 0) {
            cells << QString::fromUtf8(cell.mid(v + 3, cell.indexOf("</v>", v) - v - 3));
        }
    }
    return cells;
}

// A window with the grid and the count label, the scripted server, the boxes and the clipboard.
class ListScreenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CreateDm();
        Dm->setBaseAddress(m_server.baseUrl());
        m_previousClipboard = SetClipboardWriter([this](const QString& text) { m_clipboard << text; });
        m_window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(m_window.get());
        m_grd = new ListGrid(m_window.get());
        m_lblCount = new QLabel(m_window.get());
        m_lblCount->setObjectName(QStringLiteral("lblCount"));
        layout->addWidget(m_grd);
        layout->addWidget(m_lblCount);
        m_window->resize(800, 500);
    }

    void TearDown() override
    {
        m_screen.reset();
        SetClipboardWriter(m_previousClipboard);
    }

    void make(ListMode mode, int delayMs = -1)
    {
        m_screen.reset();
        ListScreenConfig config = testConfig(mode, [this] { return m_conditions; });
        config.firstLoadDelayMs = delayMs;
        m_screen = std::make_unique<ListScreen>(std::move(config), m_grd, m_lblCount);
    }

    void load(const QList<TestRow>& rows)
    {
        m_server.enqueueEnvelope(QStringLiteral("1"), QStringLiteral("ok"), rowsJson(rows));
        m_screen->btnRefreshClick();
    }

    QStringList column(int c) const
    {
        QStringList texts;
        for (int r = 0; r < m_grd->rowCount(); ++r)
            texts << m_grd->cellText(r, c);
        return texts;
    }

    ScriptedHttpServer m_server;
    BoxRecorder m_boxes;
    QStringList m_clipboard;
    ClipboardWriter m_previousClipboard;
    QList<SqlCondition> m_conditions;
    std::unique_ptr<QWidget> m_window;
    ListGrid* m_grd = nullptr;
    QLabel* m_lblCount = nullptr;
    std::unique_ptr<ListScreen> m_screen;
};
