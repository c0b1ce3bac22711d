#pragma once
// From a server method to the rows of a list table: the request a screen declares, the load
// routine's call through the gateway, and a streaming reader of the reply envelope that fills
// the table straight from the reply body without building a JSON tree.
//
// Usage (a load routine without message boxes, e.g. one of several tables of one screen):
//
//   ListRequest request{Method::get_all_log_devices_of_user, false,
//                       [this] { return JsonBody().add("user_id", CurrentUser.UserID); }};
//   bool aResult = false; QString aMessage;
//   const int rows = LoadListRows(vt, request, reader, aResult, aMessage);   // empties vt first
//   if (!aResult || rows == 0) ShowErrorBox(aMessage);
//
// The streaming reader sees exactly what the gateway and the ReadJsonField readers would:
// the same envelope decisions, the same values, and the same JsonFieldError texts.

#include "core/ListTable.h"
#include "core/untDm.h"

#include <QByteArray>
#include <QString>
#include <functional>

// The server method of a list and its request body.
struct ListRequest {
    QString method;
    bool get = false;                    // CallGetMethod (no body) instead of CallPostMethod
    std::function<JsonBody()> body;      // POST body builder; empty: an empty object
};

// Empties `table`, calls the method through Dm and appends the reply's rows with `reader`.
// aResult and aMessage come back as the gateway set them; rows are loaded only when aResult
// is true. Returns the rows added. A row that cannot be read raises JsonFieldError (see
// ListTable::loadRows for the rows that stay).
int LoadListRows(ListTable& table, const ListRequest& request, const RowReader& reader, bool& aResult,
                 QString& aMessage);

// Reads a reply body as the gateway reads it (settings/success as text, settings/message,
// data as an array of objects) and appends the rows to `table` when the call succeeded, or
// always when `rowsAlways` (a GET). A body that is empty or not JSON leaves aResult false,
// aMessage untouched and the table as it was, and returns -1. Otherwise returns the rows
// added; envelope and row errors raise JsonFieldError as the gateway and readers would.
// The body is read in place when it has simdjson's padding spare in its capacity. A body that
// simdjson refuses but Qt's parser accepts (raw control characters in strings, say) is read
// through a QJsonDocument instead, so the outcome never depends on which reader ran.
int ReadReplyIntoTable(const QByteArray& body, bool rowsAlways, bool& aResult, QString& aMessage, ListTable& table,
                       const RowReader& reader);

// The bytes a body needs beyond its size to be read in place (reserve size + this).
int ReplyBodyPadding();

