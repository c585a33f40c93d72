#include "tests/app/shell_tests.h"

#include <QApplication>

QList<ShellTestRun> &shellTests()
{
    static QList<ShellTestRun> tests;
    return tests;
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    int failed = 0;
    for (const ShellTestRun &run : shellTests())
        failed += run(argc, argv);
    return failed == 0 ? 0 : 1;
}
