// A dispatcher at one of several workstations on one server database, for the test of two dispatchers
// giving orders the same driver: the order tab driven by lines on standard input, one answer line each
// on standard output.
//   rival_dispatcher CONNECTION
// "new FROM HEAD TO": a new order from district FROM to district TO, once the queue record HEAD (put
//   there by another workstation) has reached this workstation's queue view; answers "ready DRIVER"
//   with the driver the order got.
// "store MICROSECONDS": waits that long and presses "Оформить"; answers "stored DRIVER" when the order
//   was stored, or "pending DRIVER MESSAGE" when it is still being entered, with the driver it is
//   offered now and the message the dispatcher was shown.
#include "data/data_error.h"
#include "data/data_module.h"
#include "data/database.h"
#include "data/dataset.h"
#include "dispatch/order_entry.h"
#include "dispatch/tariff_window.h"
#include "ui/messages.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QThread>

#include <cstdio>
#include <iostream>
#include <string>

namespace {

class RememberedMessages : public Messages
{
public:
    void inform(const QString &text) override { last = text; }
    Answer ask(const QString &, const QString &text) override
    {
        last = text;
        return Answer::No;
    }
    void error(const QString &text) override { last = text; }

    QString last;
};

void answer(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

// The other workstation's queue records reach this one by the server's notifications.
bool waitForRecord(Dataset &queue, qint64 id)
{
    QElapsedTimer waited;
    waited.start();
    while (queue.positionOf(id) < 0) {
        if (waited.elapsed() > 5000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (app.arguments().size() != 2)
        return 2;
    RememberedMessages messages;
    try {
        const auto store = Database::openServer(app.arguments().at(1));
        TDataModule2 dm(*store);
        TForm23 tariff(messages);
        OrderEntryTab entry(
            dm, tariff, [] { return QStringLiteral("1"); }, messages);
        Dataset &journal = *dm.Gurnal;
        answer(QStringLiteral("started"));

        std::string line;
        while (std::getline(std::cin, line)) {
            const QStringList words = QString::fromStdString(line).split(QLatin1Char(' '));
            QCoreApplication::processEvents();
            if (words.first() == QLatin1String("new") && words.size() == 4) {
                entry.Button2->click();
                journal.setValue(QStringLiteral("IdOtkudaRaion"), words.at(1).toLongLong());
                entry.DBLookupListBox1Click();
                if (!waitForRecord(*dm.Vozy_raion, words.at(2).toLongLong()))
                    return 4;
                entry.DBLookupListBox1Click(); // the head as it stands now
                journal.setValue(QStringLiteral("IdKudaRaion"), words.at(3).toLongLong());
                answer(QStringLiteral("ready ") + journal.text(QStringLiteral("IdVozy")));
            } else if (words.first() == QLatin1String("store") && words.size() == 2) {
                const QString driver = journal.text(QStringLiteral("IdVozy"));
                messages.last.clear();
                QThread::usleep(words.at(1).toULong());
                entry.Button1->click();
                if (entry.isEditing())
                    answer(QStringLiteral("pending %1 %2")
                               .arg(journal.text(QStringLiteral("IdVozy")), messages.last));
                else
                    answer(QStringLiteral("stored ") + driver);
            } else {
                return 2;
            }
        }
    } catch (const DataError &e) {
        std::fprintf(stderr, "rival_dispatcher: %s\n", qPrintable(e.message()));
        return 3;
    }
    return 0;
}
