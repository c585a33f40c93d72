#include "dispatch/tariff_window.h"
#include "tests/app/shell_tests.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

#include <memory>
#include <optional>

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QStringList tariffOf(const TForm23 &window)
{
    return {window.driverRate(), window.minimumDistance(), window.fixedPrice(), window.pricePerKm()};
}

const QStringList Defaults{"16", "4", "50", "10"};

} // namespace

class TariffWindowTest : public QObject
{
    Q_OBJECT

private:
    std::optional<Shell> m_shell;
    std::optional<QTemporaryDir> m_databaseDir;
    std::unique_ptr<TForm23> m_window;

    QString iniPath() const { return m_databaseDir->filePath("VOZY.INI"); }

private slots:
    void initTestCase() { useRussianLocale(); }

    void init()
    {
        m_shell.emplace();
        m_databaseDir.emplace();
        m_shell->setDataBaseDir(m_databaseDir->path());
        m_window = std::make_unique<TForm23>(m_shell->messages);
        m_window->show();
    }

    void cleanup()
    {
        m_window.reset();
        m_databaseDir.reset();
        m_shell.reset();
    }

    // The file's values replace whatever was typed and never saved.
    void loadsTheSettingsFile_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("tariff");
        QTest::newRow("no file") << QByteArray() << Defaults;
        QTest::newRow("another section") << QByteArray("[Other]\nST=1\n") << Defaults;
        QTest::newRow("some keys") << QByteArray("[options]\nmr=2,5\nPC=60 руб\n")
                                   << QStringList({"16", "2,5", "60 руб", "10"});
        QByteArray binary;
        for (int i = 0; i < 4096; ++i)
            binary += char((i * 37) % 256);
        QTest::newRow("binary") << binary << Defaults;
        QTest::newRow("binary around the section")
            << binary + "\n[Options]\nMR=3\n" + binary << QStringList({"16", "3", "50", "10"});
        QTest::newRow("a line of a megabyte") << "; " + QByteArray(1 << 20, 'x') + "\n[Options]\nZPK=12\n"
                                              << QStringList({"16", "4", "50", "12"});
    }

    void loadsTheSettingsFile()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, tariff);
        QVERIFY(writeFile(iniPath(), file));
        m_window->Edit4->setText("typed");
        m_window->LoadIni();
        QCOMPARE(tariffOf(*m_window), tariff);
    }

    // One settings file whichever way the directory is written; the rest of the file stays.
    void okSavesTheFourKeys_data()
    {
        QTest::addColumn<QString>("separator");
        QTest::newRow("directory without a separator") << "";
        QTest::newRow("directory with one") << "/";
    }

    void okSavesTheFourKeys()
    {
        QFETCH(QString, separator);
        m_shell->setDataBaseDir(m_databaseDir->path() + separator);
        QVERIFY(writeFile(iniPath(), "; tariff\n[Options]\nST=16\nNOTE=keep\n"));
        m_window->Edit4->setText("18");
        m_window->Edit1->setText("3,5");
        QTest::mouseClick(m_window->Button2, Qt::LeftButton);

        QVERIFY(!m_window->isVisible());
        QCOMPARE(readFile(iniPath()),
                 QByteArray("; tariff\n[Options]\nST=18\nNOTE=keep\nMR=3,5\nPC=50\nZPK=10\n"));
        m_window->Edit4->clear();
        m_window->LoadIni();
        QCOMPARE(m_window->driverRate(), QString("18"));
    }

    // The window takes any text; the fare says what is not a number when it needs it.
    void keepsWhatWasTyped()
    {
        const QStringList typed{"-16", "1e309", "ab'); DROP TABLE gurnal;--", "\\\"x\""};
        for (int i = 0; i < 4; ++i)
            QList<QLineEdit *>({m_window->Edit4, m_window->Edit1, m_window->Edit2, m_window->Edit3})[i]
                ->setText(typed[i]);
        QTest::mouseClick(m_window->Button2, Qt::LeftButton);
        m_window->LoadIni();
        QCOMPARE(tariffOf(*m_window), typed);
    }

    // A settings "file" that is a directory: nothing to read, nothing written over it.
    void aSettingsFileThatIsADirectory()
    {
        QVERIFY(QDir(m_databaseDir->path()).mkdir("VOZY.INI"));
        m_window->LoadIni();
        QCOMPARE(tariffOf(*m_window), Defaults);
        QTest::mouseClick(m_window->Button2, Qt::LeftButton);
        QCOMPARE(m_shell->messages.errors(), QStringList{"Unable to write to " + iniPath()});
        QVERIFY(m_window->isVisible());
        QVERIFY(QFileInfo(iniPath()).isDir());
    }

    void aFileThatCannotBeWritten()
    {
        // A "directory" that is a file holds no settings file, whoever runs the test.
        const QString blocked = m_databaseDir->filePath("blocked");
        QVERIFY(writeFile(blocked, "not a directory"));
        m_shell->setDataBaseDir(blocked);
        QTest::mouseClick(m_window->Button2, Qt::LeftButton);
        QCOMPARE(m_shell->messages.errors(), QStringList{"Unable to write to " + blocked + "/VOZY.INI"});
        QVERIFY(m_window->isVisible());
    }

    // No directory, no file to read: the defaults; saving says what is missing.
    void noDatabaseDirectory()
    {
        m_shell->setDataBaseDir(QVariant());
        m_window->Edit2->setText("typed");
        m_window->LoadIni();
        QCOMPARE(tariffOf(*m_window), Defaults);
        QVERIFY(m_shell->messages.shown.isEmpty());

        QTest::mouseClick(m_window->Button2, Qt::LeftButton);
        QVERIFY(m_shell->messages.errors().value(0).contains("DataBaseDir"));
        QVERIFY(m_window->isVisible());
    }
};

SHELL_TEST(TariffWindowTest);

#include "tariff_window_test.moc"
