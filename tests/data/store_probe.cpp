// A second process on a store, for the tests of what one process does to another's store:
//   store_probe open FILE        opens the store as the program does; prints "opened" or the message
//   store_probe lock WORKDIR     takes the copy's lock on WORKDIR's store, prints "locked" or the
//                                message, then holds the lock until its input closes or it is killed
// With --as-nobody first, a probe started by root drops to the unprivileged user 65534 before it
// touches anything, so that file permissions hold for it as they do for a dispatcher.
#include "data/data_error.h"
#include "data/database.h"
#include "data/store_lock.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <grp.h>
#include <iostream>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

bool dropPrivileges()
{
    if (geteuid() != 0)
        return true;
    constexpr gid_t Nobody = 65534;
    return setgroups(0, nullptr) == 0 && setgid(Nobody) == 0 && setuid(Nobody) == 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (!args.isEmpty() && args.first() == QLatin1String("--as-nobody")) {
        args.removeFirst();
        if (!dropPrivileges()) {
            std::perror("store_probe: dropping privileges");
            return 3;
        }
    }
    QTextStream out(stdout);
    if (args.size() != 2)
        return 2;
    try {
        if (args.at(0) == QLatin1String("open")) {
            Database::open(args.at(1));
            out << "opened" << Qt::endl;
            return 0;
        }
        if (args.at(0) == QLatin1String("lock")) {
            StoreLock lock(Database::storeFile(args.at(1)));
            out << "locked" << Qt::endl;
            std::string line;
            while (std::getline(std::cin, line)) {
            }
            return 0;
        }
    } catch (const DataError &e) {
        out << e.message() << Qt::endl;
        return 1;
    }
    return 2;
}
