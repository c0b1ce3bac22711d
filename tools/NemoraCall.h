#pragma once
// nemora-call [--base URL] [--get | --no-rows] METHOD [BODY]
//
// Calls one server method through the gateway and prints, one item per line: every message box
// the call showed ("box: <caption>: <text>"), "result: true|false", "message: <text>" and
// "data: <rows as compact JSON>" or "data: none". A reader error prints "error: <text>".
// Line breaks inside printed texts are written as the characters \r and \n.

#include <QStringList>
#include <QTextStream>

// Runs the tool on its arguments (without the program name). Returns the exit status:
// 0 when the call succeeded, 1 when it failed, 2 on bad usage or a reader error.
int runNemoraCall(const QStringList& args, QTextStream& out, QTextStream& err);

// The usage line printed on bad usage.
QString nemoraCallUsage();
