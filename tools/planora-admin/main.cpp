#include "admintool.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return AdminTool::run(application.arguments().mid(1), QCoreApplication::applicationDirPath(), out,
                          err);
}
