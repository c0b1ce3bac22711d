#include "NemoraCall.h"

#include "core/MSGs.h"
#include "core/untDm.h"

#include <QRegularExpression>

namespace {
enum class Mode { Rows, Get, NoRows };

// Keeps every printed item on one line.
QString oneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\\r\\n"));
    text.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return text;
}

int badUsage(QTextStream& err, const QString& why)
{
    err << "nemora-call: " << why << '\n' << nemoraCallUsage() << '\n';
    err.flush();
    return 2;
}

// Puts the previous presenter back however the call ends.
struct PresenterScope {
    MessagePresenter previous;
    ~PresenterScope() { SetMessagePresenter(std::move(previous)); }
};
}  // namespace

QString nemoraCallUsage()
{
    return QStringLiteral("usage: nemora-call [--base URL] [--get | --no-rows] METHOD [BODY]");
}

int runNemoraCall(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QString base = ServerBaseAddress;
    Mode mode = Mode::Rows;
    bool modeSet = false;
    QStringList positional;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (!positional.isEmpty() || !arg.startsWith(QLatin1String("--"))) {
            positional.append(arg);
        } else if (arg == QLatin1String("--base")) {
            if (i + 1 >= args.size())
                return badUsage(err, QStringLiteral("--base needs a URL"));
            base = args.at(++i);
        } else if (arg.startsWith(QLatin1String("--base="))) {
            base = arg.mid(7);
        } else if (arg == QLatin1String("--get") || arg == QLatin1String("--no-rows")) {
            if (modeSet)
                return badUsage(err, QStringLiteral("--get and --no-rows exclude each other"));
            mode = arg == QLatin1String("--get") ? Mode::Get : Mode::NoRows;
            modeSet = true;
        } else {
            return badUsage(err, QStringLiteral("unknown option %1").arg(arg));
        }
    }
    if (positional.isEmpty())
        return badUsage(err, QStringLiteral("METHOD is missing"));
    if (positional.size() > 2)
        return badUsage(err, QStringLiteral("too many arguments"));

    // The method name is appended to the base address as it is; anything beyond a plain name
    // would change the path or add a query.
    const QString method = positional.at(0);
    static const QRegularExpression plainName(QStringLiteral("^[A-Za-z0-9_]+$"));
    if (!plainName.match(method).hasMatch())
        return badUsage(err, QStringLiteral("METHOD must be a plain method name"));
    if (base.isEmpty())
        return badUsage(err, QStringLiteral("--base needs a URL"));

    JsonBody body;
    if (positional.size() == 2) {
        if (mode == Mode::Get)
            return badUsage(err, QStringLiteral("a GET call sends no BODY"));
        const std::optional<JsonBody> parsed = JsonBody::fromJsonText(positional.at(1).toUtf8());
        if (!parsed)
            return badUsage(err, QStringLiteral("BODY must be a JSON object"));
        body = *parsed;
    }

    TDm gateway;
    gateway.setBaseAddress(base);

    PresenterScope scope{SetMessagePresenter([&out](const MessageBoxRequest& box) {
        out << "box: " << oneLine(box.caption) << ": " << oneLine(box.text) << '\n';
        return int(mrOk);
    })};

    bool result = false;
    QString message;
    std::optional<QJsonArray> rows;
    try {
        switch (mode) {
        case Mode::Rows: rows = gateway.CallPostMethod(method, result, message, body); break;
        case Mode::Get: rows = gateway.CallGetMethod(method, result, message); break;
        case Mode::NoRows: gateway.CallPostMethodWithOutResult(method, result, message, body); break;
        }
    } catch (const JsonFieldError& error) {
        out << "error: " << oneLine(QString::fromStdString(error.what())) << '\n';
        out.flush();
        return 2;
    }

    out << "result: " << (result ? "true" : "false") << '\n';
    out << "message: " << oneLine(message) << '\n';
    if (rows)
        out << "data: " << QString::fromUtf8(QJsonDocument(*rows).toJson(QJsonDocument::Compact)) << '\n';
    else
        out << "data: none\n";
    out.flush();
    return result ? 0 : 1;
}
