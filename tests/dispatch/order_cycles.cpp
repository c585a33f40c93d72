// A dispatcher who never stops, for the crash test: takes orders, completes and cancels them through
// the order tab's and the journal tab's own buttons, on the store of a working directory, until it is
// killed.
//   order_cycles WORKDIR LOG SEED
// Before each operation it appends "begin place", "begin done ID" or "begin cancel ID" to LOG; once
// the operation has returned, committed, "placed ID", "done ID" or "cancelled ID"; each line is
// flushed to the disk before the next step. So the store holds every logged operation and at most
// the one begun after them. "ready" on standard output says the windows are open. Any message the
// program shows ends the run with status 3: nothing here should fail.
#include "data/data_error.h"
#include "data/data_module.h"
#include "data/data_source.h"
#include "data/database.h"
#include "data/dataset.h"
#include "data/store_lock.h"
#include "dispatch/current_orders_tab.h"
#include "dispatch/order_entry.h"
#include "dispatch/tariff_window.h"
#include "ui/messages.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSqlQuery>

#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

// Every message is a failure of the run.
class FailingMessages : public Messages
{
public:
    void inform(const QString &text) override { fail(text); }
    Answer ask(const QString &, const QString &text) override
    {
        fail(text);
        return Answer::No;
    }
    void error(const QString &text) override { fail(text); }

private:
    [[noreturn]] static void fail(const QString &text)
    {
        std::fprintf(stderr, "order_cycles: %s\n", qPrintable(text));
        std::_Exit(3);
    }
};

class Log
{
public:
    explicit Log(const QString &path)
        : m_fd(::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_APPEND, 0644))
    {
        if (m_fd < 0) {
            std::perror("order_cycles: log");
            std::_Exit(2);
        }
    }
    ~Log() { ::close(m_fd); }

    // One write per line, so that a kill leaves whole lines; on the disk before the next step.
    void line(const QString &text)
    {
        const QByteArray bytes = text.toUtf8() + '\n';
        if (::write(m_fd, bytes.constData(), size_t(bytes.size())) != bytes.size() || ::fsync(m_fd) != 0) {
            std::perror("order_cycles: log");
            std::_Exit(2);
        }
    }

private:
    int m_fd;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4)
        return 2;
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QRandomGenerator random(args.at(3).toUInt());
    Log log(args.at(2));
    FailingMessages messages;
    try {
        const QString file = Database::storeFile(args.at(1));
        StoreLock lock(file);
        const auto store = Database::open(file);
        TDataModule2 dm(*store);
        TForm23 tariff(messages);
        OrderEntryTab entry(
            dm, tariff, [] { return QStringLiteral("1"); }, messages);
        const std::unique_ptr<Dataset> current(makeCurrentOrdersView(dm, nullptr));
        DataSource currentSource(current.get(), QStringLiteral("DataSource1"));
        CurrentOrdersTab journalTab(&currentSource, dm, messages);
        Dataset &journal = *dm.Gurnal;
        const int districts = dm.Table6->recordCount();
        std::printf("ready\n");
        std::fflush(stdout);

        for (;;) {
            const bool place = current->isEmpty() || random.bounded(2) == 0;
            if (place) {
                log.line(QStringLiteral("begin place"));
                entry.Button2->click();
                journal.setValue(QStringLiteral("IdOtkudaRaion"), random.bounded(districts) + 1);
                entry.DBLookupListBox1Click();
                journal.setValue(QStringLiteral("IdKudaRaion"), random.bounded(districts) + 1);
                journal.setText(QStringLiteral("Dom"), QString::number(random.bounded(1, 200)));
                entry.Button1->click();
                if (entry.isEditing())
                    return 4;
                QSqlQuery last = store->prepare(QStringLiteral("SELECT max(Id) FROM gurnal"));
                Database::exec(last);
                last.next();
                log.line(QStringLiteral("placed %1").arg(last.value(0).toLongLong()));
                continue;
            }
            current->moveTo(int(random.bounded(current->recordCount())));
            const qint64 order = current->currentId();
            // An order without a driver cannot be completed; it can only be cancelled.
            const bool done = !current->isNull(QStringLiteral("IdVozy")) && random.bounded(2) == 0;
            log.line(QString::fromLatin1(done ? "begin done %1" : "begin cancel %1").arg(order));
            (done ? journalTab.Button7 : journalTab.Button8)->click();
            log.line(QString::fromLatin1(done ? "done %1" : "cancelled %1").arg(order));
        }
    } catch (const DataError &e) {
        std::fprintf(stderr, "order_cycles: %s\n", qPrintable(e.message()));
        return 3;
    }
}
