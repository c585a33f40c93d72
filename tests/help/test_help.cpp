#include "help/about_window.h"
#include "help/agreement_window.h"
#include "help/help_window.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>

#include <limits>
#include <memory>

namespace {

// The topics that the windows of the program open by number.
const QList<int> requiredTopics{1001, 1003, 1006, 1011};

QString topicPath(int topic)
{
    return QString(":/help/%1.html").arg(topic);
}

// The topic's text, or an empty string when it is missing or not clean UTF-8.
QString readTopic(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(file.readAll());
    return utf8.hasError() ? QString() : text;
}

// Every link target of a topic as the help window's browser sees it, not as a pattern over the source.
QStringList linksOf(const QTextDocument &document)
{
    QStringList links;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextCharFormat format = fragment.fragment().charFormat();
            if (format.isAnchor() && !links.contains(format.anchorHref())) {
                links << format.anchorHref();
            }
        }
    }
    return links;
}

double cyrillicShareOfLetters(const QString &text)
{
    qsizetype letters = 0;
    qsizetype cyrillic = 0;
    for (const QChar c : text) {
        letters += c.isLetter() ? 1 : 0;
        cyrillic += c.isLetter() && c.script() == QChar::Script_Cyrillic ? 1 : 0;
    }
    return letters == 0 ? 0.0 : double(cyrillic) / double(letters);
}

QString firstHeading(const QTextDocument &document)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (!block.text().trimmed().isEmpty()) {
            return block.blockFormat().headingLevel() == 1 ? block.text() : QString();
        }
    }
    return {};
}

// Where the first link to href stands in the browser's viewport, scrolled into view.
QPoint linkPosition(QTextBrowser *browser, const QString &href)
{
    QTextDocument *document = browser->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextFragment piece = fragment.fragment();
            if (piece.charFormat().anchorHref() == href) {
                QTextCursor cursor(document);
                cursor.setPosition(piece.position() + piece.length() / 2);
                browser->setTextCursor(cursor);
                browser->ensureCursorVisible();
                return browser->cursorRect(cursor).center();
            }
        }
    }
    return {-1, -1};
}

// Clicks through the window system, the path on which a window blocked by a modal one loses the click.
void clickAsUser(QWidget *widget)
{
    QWidget *window = widget->window();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                      widget->mapTo(window, widget->rect().center()));
}

// The topics a reader can reach by following links from the given one, that one included.
QSet<int> topicsReachableFrom(int start)
{
    QSet<int> reached{start};
    QList<int> pending{start};
    while (!pending.isEmpty()) {
        const int topic = pending.takeFirst();
        QTextDocument document;
        document.setHtml(readTopic(topicPath(topic)));
        for (const QString &href : linksOf(document)) {
            const int target = HelpWindow::topicFromUrl(HelpWindow::topicUrl(topic).resolved(QUrl(href)));
            if (HelpWindow::hasTopic(target) && !reached.contains(target)) {
                reached.insert(target);
                pending << target;
            }
        }
    }
    return reached;
}

std::unique_ptr<QDialog> makeForm(const QString &name)
{
    if (name == "TForm21") {
        return std::make_unique<TForm21>(nullptr, "1.0");
    }
    return std::make_unique<TForm12>();
}

} // namespace

class TestHelp : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void topicIsRussianHtmlWithTitle_data();
    void topicIsRussianHtmlWithTitle();
    void linksLeadToExistingTopics();
    void everyTopicIsReachableFromContents();

    void showTopicShowsTheTopicOrTheContents_data();
    void showTopicShowsTheTopicOrTheContents();
    void linksAndButtonsNavigate();
    void helpBesideTheMainWindowLeavesItUsable();
    void helpOverAModalWindowCanBeUsedAndClosed();

    void aboutWindowShowsNamesAndVersion_data();
    void aboutWindowShowsNamesAndVersion();
    void agreementIsARussianReadOnlyText();
    void formsAreFixedAndCloseOnOk_data();
    void formsAreFixedAndCloseOnOk();
};

void TestHelp::initTestCase()
{
    initHelpResources();
}

void TestHelp::cleanup()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        QVERIFY2(!widget->isVisible(), qPrintable("left open: " + widget->objectName()));
    }
}

void TestHelp::topicIsRussianHtmlWithTitle_data()
{
    QTest::addColumn<int>("topic");
    for (const int topic : requiredTopics) {
        QTest::addRow("%d", topic) << topic;
    }
}

void TestHelp::topicIsRussianHtmlWithTitle()
{
    QFETCH(int, topic);

    QVERIFY(HelpWindow::hasTopic(topic));
    const QString html = readTopic(topicPath(topic));
    QVERIFY2(!html.isEmpty(), "missing, empty or not UTF-8");

    QTextDocument document;
    document.setHtml(html);
    QVERIFY(!document.metaInformation(QTextDocument::DocumentTitle).trimmed().isEmpty());
    QVERIFY2(!firstHeading(document).isEmpty(), "the topic does not open with a first-level heading");

    const QString text = document.toPlainText();
    QVERIFY2(text.size() > 1500, qPrintable(QString::number(text.size())));
    QVERIFY(cyrillicShareOfLetters(text) > 0.9);

    // Interface texts are quoted in «»; a blank just inside the quotes is padding copied by mistake,
    // and an unbalanced pair is a broken quotation.
    QCOMPARE(text.count(u'«'), text.count(u'»'));
    const QRegularExpression padded("«\\s|\\s»");
    QVERIFY2(!padded.match(text).hasMatch(), qPrintable(padded.match(text).captured(0)));
}

void TestHelp::linksLeadToExistingTopics()
{
    const QStringList files = QDir(":/help").entryList({"*.html"}, QDir::Files);
    for (const int topic : requiredTopics) {
        QVERIFY2(files.contains(QString("%1.html").arg(topic)), qPrintable(QString::number(topic)));
    }
    for (const QString &file : files) {
        QTextDocument document;
        document.setHtml(readTopic(":/help/" + file));
        const QUrl base("qrc:/help/" + file);
        for (const QString &href : linksOf(document)) {
            const int target = HelpWindow::topicFromUrl(base.resolved(QUrl(href)));
            QVERIFY2(HelpWindow::hasTopic(target), qPrintable(file + " -> " + href));
        }
    }
}

void TestHelp::everyTopicIsReachableFromContents()
{
    const QSet<int> reached = topicsReachableFrom(HelpWindow::ContentsTopic);
    for (const QString &file : QDir(":/help").entryList({"*.html"}, QDir::Files)) {
        QVERIFY2(reached.contains(QFileInfo(file).baseName().toInt()), qPrintable(file));
    }
}

void TestHelp::showTopicShowsTheTopicOrTheContents_data()
{
    QTest::addColumn<int>("requested");
    QTest::addColumn<int>("shown");
    QTest::newRow("access levels") << 1011 << 1011;
    QTest::newRow("registers") << 1003 << 1003;
    QTest::newRow("main window") << 1006 << 1006;
    QTest::newRow("contents") << 1001 << 1001;
    QTest::newRow("gap between topics") << 1002 << 1001;
    QTest::newRow("zero") << 0 << 1001;
    QTest::newRow("negative") << -1011 << 1001;
    QTest::newRow("largest number") << std::numeric_limits<int>::max() << 1001;
}

void TestHelp::showTopicShowsTheTopicOrTheContents()
{
    QFETCH(int, requested);
    QFETCH(int, shown);

    QCOMPARE(HelpWindow::hasTopic(requested), requested == shown);

    HelpWindow help;
    help.showTopic(requested);
    QVERIFY(help.isVisible());
    QCOMPARE(help.windowTitle(), QString("Справка"));
    QCOMPARE(help.currentTopic(), shown);
    QCOMPARE(help.TextBrowser1->source(), HelpWindow::topicUrl(shown));

    QTextDocument expected;
    expected.setHtml(readTopic(topicPath(shown)));
    QCOMPARE(help.TextBrowser1->documentTitle(), expected.metaInformation(QTextDocument::DocumentTitle));
    QCOMPARE(help.TextBrowser1->toPlainText(), expected.toPlainText());
    help.close();
}

void TestHelp::linksAndButtonsNavigate()
{
    HelpWindow help;
    help.showTopic(1001);
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    QVERIFY(!help.Button3->isEnabled());

    // A link clicked with the mouse, as a reader follows it.
    const QPoint link = linkPosition(help.TextBrowser1, "1011.html");
    QVERIFY(help.TextBrowser1->viewport()->rect().contains(link));
    QTest::mouseClick(help.TextBrowser1->viewport(), Qt::LeftButton, {}, link);
    QCOMPARE(help.currentTopic(), 1011);

    QVERIFY(help.Button3->isEnabled());
    QTest::mouseClick(help.Button3, Qt::LeftButton); // "Назад"
    QCOMPARE(help.currentTopic(), 1001);
    QCOMPARE(help.TextBrowser1->source(), HelpWindow::topicUrl(1001));

    // A second request reuses the window that is already open.
    help.showTopic(1006);
    QCOMPARE(help.currentTopic(), 1006);
    QTest::mouseClick(help.Button1, Qt::LeftButton); // "Содержание"
    QCOMPARE(help.currentTopic(), 1001);

    // A link to a topic that does not exist lands on the contents, not on an empty page.
    help.showTopic(1003);
    emit help.TextBrowser1->anchorClicked(QUrl("1999.html"));
    QCOMPARE(help.currentTopic(), 1001);
    QVERIFY(!help.TextBrowser1->toPlainText().isEmpty());

    QTest::mouseClick(help.Button2, Qt::LeftButton); // "Закрыть"
    QVERIFY(!help.isVisible());
}

void TestHelp::helpBesideTheMainWindowLeavesItUsable()
{
    QWidget main;
    main.setObjectName("main");
    auto *button = new QPushButton("Новый", &main);
    bool clicked = false;
    connect(button, &QPushButton::clicked, &main, [&] { clicked = true; });
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));

    HelpWindow help(&main);
    help.showTopic(1006);
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    QCOMPARE(help.windowModality(), Qt::NonModal);

    clickAsUser(button);
    QVERIFY(clicked);
    help.close();
    main.close();
}

void TestHelp::helpOverAModalWindowCanBeUsedAndClosed()
{
    QDialog registerWindow;
    registerWindow.setObjectName("register");
    registerWindow.setWindowModality(Qt::ApplicationModal);
    registerWindow.show();
    QVERIFY(QTest::qWaitForWindowExposed(&registerWindow));

    HelpWindow help;
    help.showTopic(1003); // F1 in a register
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    QCOMPARE(help.currentTopic(), 1003);

    clickAsUser(help.Button1); // "Содержание"
    QCOMPARE(help.currentTopic(), 1001);
    clickAsUser(help.Button2); // "Закрыть"
    QVERIFY(!help.isVisible());
    registerWindow.close();

    // Back at the main window, help is modeless again.
    help.showTopic(1006);
    QCOMPARE(help.windowModality(), Qt::NonModal);
    help.close();
}

void TestHelp::aboutWindowShowsNamesAndVersion_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("applicationVersion");
    QTest::addColumn<QString>("shownVersion");
    QTest::newRow("argument first") << "2.5"
                                    << "9.9"
                                    << "2.5";
    QTest::newRow("application's version") << ""
                                           << "3.1"
                                           << "3.1";
    QTest::newRow("no version at all") << ""
                                       << ""
                                       << "";
}

void TestHelp::aboutWindowShowsNamesAndVersion()
{
    QFETCH(QString, argument);
    QFETCH(QString, applicationVersion);
    QFETCH(QString, shownVersion);

    QCoreApplication::setApplicationVersion(applicationVersion);
    TForm21 about(nullptr, argument);
    QCoreApplication::setApplicationVersion(QString());

    QCOMPARE(about.windowTitle(), QString("О программе"));
    QCOMPARE(about.Label1->text(), QString("АРМ \"Возар\""));
    QCOMPARE(about.Label2->text(), QString("АРМ \"Оперативный возар\""));
    QVERIFY(about.Label3->text().contains("диспетчера службы такси"));
    QCOMPARE(about.Label4->isVisibleTo(&about), !shownVersion.isEmpty());
    QVERIFY(about.Label4->text().endsWith(" " + shownVersion));
}

void TestHelp::agreementIsARussianReadOnlyText()
{
    TForm12 agreement;
    QCOMPARE(agreement.windowTitle(), QString("Соглашение"));
    QVERIFY(agreement.Memo1->isReadOnly());
    const QString text = agreement.Memo1->toPlainText();
    QCOMPARE(text, TForm12::agreementText());
    QVERIFY(text.size() > 800);
    QVERIFY(cyrillicShareOfLetters(text) > 0.9);
    QVERIFY(text.contains("АРМ \"Возар\""));
}

void TestHelp::formsAreFixedAndCloseOnOk_data()
{
    QTest::addColumn<QString>("form");
    QTest::newRow("about") << "TForm21";
    QTest::newRow("agreement") << "TForm12";
}

void TestHelp::formsAreFixedAndCloseOnOk()
{
    QFETCH(QString, form);
    const std::unique_ptr<QDialog> dialog = makeForm(form);
    QCOMPARE(dialog->objectName(), form);
    QCOMPARE(dialog->minimumSize(), dialog->maximumSize());

    auto *ok = dialog->findChild<QPushButton *>("Button1");
    QVERIFY(ok != nullptr);
    QCOMPARE(ok->text(), QString("Ок"));

    // Pressed from inside the dialog's own loop; the second timer only keeps a broken button from
    // hanging the test.
    QPointer<QDialog> guarded = dialog.get();
    QTimer::singleShot(0, dialog.get(), [ok] { QTest::mouseClick(ok, Qt::LeftButton); });
    QTimer::singleShot(5000, dialog.get(), [guarded] { guarded->done(-1); });
    QCOMPARE(dialog->exec(), int(QDialog::Accepted));

    // The fixed size leaves every text whole.
    for (QLabel *label : dialog->findChildren<QLabel *>()) {
        QVERIFY2(!label->isVisibleTo(dialog.get()) || label->width() >= label->sizeHint().width(),
                 qPrintable(label->objectName()));
    }
}

QTEST_MAIN(TestHelp)
#include "test_help.moc"
