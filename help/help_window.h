#pragma once

#include <QDialog>
#include <QUrl>

class QPushButton;
class QTextBrowser;

// The help topics are compiled into the static library vozy_help, whose resources the linker keeps
// only when something calls this; the program calls it once at start. Calling it again is harmless.
void initHelpResources();

// Help window: the program's help topics by number, with the links between them followed in place.
class HelpWindow : public QDialog
{
    Q_OBJECT

public:
    // Topic numbers that windows ask for; F1 maps a window to one of these.
    static constexpr int ContentsTopic = 1001;
    static constexpr int RegistersTopic = 1003;
    static constexpr int MainWindowTopic = 1006;
    static constexpr int AccessTopic = 1011;

    explicit HelpWindow(QWidget *parent = nullptr);

    // Shows the topic (the contents for a number that has no topic) and brings the window to the
    // front without blocking the window that asked for it.
    void showTopic(int topic);

    // The topic on screen; ContentsTopic before anything was shown.
    int currentTopic() const { return m_topic; }

    static bool hasTopic(int topic);
    static QUrl topicUrl(int topic);

    // A topic number from a link as it stands in a topic ("1003.html") or as an absolute address;
    // 0 when the address names no topic of this help.
    static int topicFromUrl(const QUrl &url);

    QTextBrowser *TextBrowser1 = nullptr;
    QPushButton *Button1 = nullptr; // "Содержание"
    QPushButton *Button3 = nullptr; // "Назад"
    QPushButton *Button2 = nullptr; // "Закрыть"

private:
    void load(int topic);
    void TextBrowser1AnchorClicked(const QUrl &url);
    void TextBrowser1SourceChanged(const QUrl &url);
    void Button1Click();

    int m_topic = ContentsTopic;
};
