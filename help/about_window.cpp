#include "help/about_window.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TForm21::TForm21(QWidget *parent, const QString &version)
    : QDialog(parent)
{
    setObjectName("TForm21");
    setWindowTitle("О программе");

    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    const QIcon icon = QApplication::windowIcon();
    Image1->setPixmap(icon.pixmap(48, 48));
    Image1->setVisible(!icon.isNull());
    Image1->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    Label1 = new QLabel("АРМ \"Возар\"", this);
    Label1->setObjectName("Label1");
    QFont titleFont = Label1->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    Label1->setFont(titleFont);

    Label2 = new QLabel("АРМ \"Оперативный возар\"", this);
    Label2->setObjectName("Label2");
    QFont captionFont = Label2->font();
    captionFont.setBold(true);
    Label2->setFont(captionFont);

    Label3 = new QLabel("Автоматизированное рабочее место\nоперативного диспетчера службы такси", this);
    Label3->setObjectName("Label3");

    const QString shownVersion = version.isEmpty() ? QCoreApplication::applicationVersion() : version;
    Label4 = new QLabel("Версия " + shownVersion, this);
    Label4->setObjectName("Label4");
    Label4->setVisible(!shownVersion.isEmpty());

    auto *line = new QFrame(this);
    line->setObjectName("Bevel1");
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    Button1 = new QPushButton("Ок", this);
    Button1->setObjectName("Button1");
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TForm21::accept);

    auto *texts = new QVBoxLayout;
    texts->setSpacing(6);
    texts->addWidget(Label1);
    texts->addWidget(Label2);
    texts->addSpacing(6);
    texts->addWidget(Label3);
    texts->addSpacing(6);
    texts->addWidget(Label4);

    auto *top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(Image1);
    top->addLayout(texts, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 14);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addWidget(line);
    layout->addLayout(buttons);

    // A fixed window like a message box: the size the texts need, and no resizing.
    setFixedSize(sizeHint().expandedTo(QSize(360, 0)));
    Button1->setFocus();
}
