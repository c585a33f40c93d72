#include "help/help_window.h"

#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QVBoxLayout>

void initHelpResources()
{
    Q_INIT_RESOURCE(help);
}

HelpWindow::HelpWindow(QWidget *parent)
    : QDialog(parent)
{
    // A window that is shown before the program has registered the resources still finds its topics.
    initHelpResources();

    setObjectName("HelpWindow");
    setWindowTitle("Справка");
    setSizeGripEnabled(true);

    TextBrowser1 = new QTextBrowser(this);
    TextBrowser1->setObjectName("TextBrowser1");
    // Links are resolved here so that a link to a missing topic lands on the contents, not on a
    // blank page.
    TextBrowser1->setOpenLinks(false);
    TextBrowser1->setOpenExternalLinks(false);
    TextBrowser1->document()->setDocumentMargin(12);

    Button1 = new QPushButton("Содержание", this);
    Button1->setObjectName("Button1");
    Button3 = new QPushButton("Назад", this);
    Button3->setObjectName("Button3");
    Button3->setEnabled(false);
    Button2 = new QPushButton("Закрыть", this);
    Button2->setObjectName("Button2");
    // Enter in the text must not close the window by pressing a default button.
    for (QPushButton *button : {Button1, Button3, Button2}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addWidget(Button3);
    buttons->addStretch();
    buttons->addWidget(Button2);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(TextBrowser1);
    layout->addLayout(buttons);

    connect(TextBrowser1, &QTextBrowser::anchorClicked, this, &HelpWindow::TextBrowser1AnchorClicked);
    connect(TextBrowser1, &QTextBrowser::sourceChanged, this, &HelpWindow::TextBrowser1SourceChanged);
    connect(TextBrowser1, &QTextBrowser::backwardAvailable, Button3, &QPushButton::setEnabled);
    connect(Button1, &QPushButton::clicked, this, &HelpWindow::Button1Click);
    connect(Button3, &QPushButton::clicked, TextBrowser1, &QTextBrowser::backward);
    connect(Button2, &QPushButton::clicked, this, &HelpWindow::close);

    resize(720, 600);
}

void HelpWindow::showTopic(int topic)
{
    load(topic);

    // An application-modal window blocks every window that is not its own, and the registers are
    // modal: help opened from one of them with F1 must be modal over it, or it could not even be
    // closed. Opened from the main window it stays modeless beside it.
    QWidget *modal = QApplication::activeModalWidget();
    if (modal != this) {
        const Qt::WindowModality wanted = modal != nullptr ? Qt::ApplicationModal : Qt::NonModal;
        if (windowModality() != wanted) {
            // The modality of a shown window cannot change.
            hide();
            setWindowModality(wanted);
        }
    }

    show();
    raise();
    activateWindow();
}

bool HelpWindow::hasTopic(int topic)
{
    initHelpResources();
    return topic > 0 && QFile::exists(QString(":/help/%1.html").arg(topic));
}

QUrl HelpWindow::topicUrl(int topic)
{
    return QUrl(QString("qrc:/help/%1.html").arg(topic));
}

int HelpWindow::topicFromUrl(const QUrl &url)
{
    static const QRegularExpression topicPath("^/help/([1-9][0-9]{0,8})\\.html$");
    const QUrl resolved = topicUrl(ContentsTopic).resolved(url);
    if (resolved.scheme() != "qrc") {
        return 0;
    }
    const QRegularExpressionMatch match = topicPath.match(resolved.path());
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

void HelpWindow::load(int topic)
{
    const int shown = hasTopic(topic) ? topic : ContentsTopic;
    TextBrowser1->setSource(topicUrl(shown), QTextDocument::HtmlResource);
    m_topic = shown;
}

void HelpWindow::TextBrowser1AnchorClicked(const QUrl &url)
{
    // A link is resolved against the page it stands on, as a browser does.
    const int topic = topicFromUrl(TextBrowser1->source().resolved(url));
    load(topic);
}

void HelpWindow::TextBrowser1SourceChanged(const QUrl &url)
{
    // "Назад" returns through the browser's own history, which does not pass through load().
    const int topic = topicFromUrl(url);
    if (topic != 0) {
        m_topic = topic;
    }
}

void HelpWindow::Button1Click()
{
    load(ContentsTopic);
}
