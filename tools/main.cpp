#include "NemoraCall.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);
    const int status = runNemoraCall(QCoreApplication::arguments().mid(1), out, err);
    out.flush();
    err.flush();
    return status;
}
