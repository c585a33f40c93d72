#include "help/agreement_window.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

QString TForm12::agreementText()
{
    return QStringLiteral(
        "СОГЛАШЕНИЕ ОБ ИСПОЛЬЗОВАНИИ ПРОГРАММЫ\n"
        "АРМ \"Возар\"\n"
        "\n"
        "Настоящее соглашение определяет условия, на которых сотрудники службы такси (далее — "
        "Служба) пользуются программой АРМ \"Возар\" (далее — Программа). Входя в Программу, "
        "пользователь подтверждает, что прочитал соглашение и принимает его условия.\n"
        "\n"
        "1. Назначение. Программа используется только на рабочих местах диспетчеров Службы: для "
        "приёма и учёта заказов, распределения заказов между водителями, ведения справочников "
        "Службы и подготовки отчётов.\n"
        "\n"
        "2. Допуск. В Программе работает только сотрудник, которому администратор Службы открыл "
        "доступ и назначил пароль. Пароль не сообщают другим лицам. Уходя с рабочего места, "
        "диспетчер завершает смену, чтобы никто не работал под его именем.\n"
        "\n"
        "3. Сведения о людях. Адреса, телефоны, паспортные и другие сведения о клиентах, водителях "
        "и сотрудниках, хранящиеся в Программе, используются только для выполнения заказов и "
        "расчётов Службы. Их не копируют, не распечатывают и не передают за пределы Службы, кроме "
        "случаев, предусмотренных законом.\n"
        "\n"
        "4. Ограничения. Не допускается передавать Программу и её базу данных третьим лицам, "
        "устанавливать Программу вне рабочих мест Службы, изменять её, а также изменять базу "
        "данных иначе, чем средствами самой Программы.\n"
        "\n"
        "5. Данные и расчёты. За сохранность базы данных и её резервные копии отвечает Служба. "
        "Тарифы и расстояния между районами, по которым Программа рассчитывает стоимость поездки, "
        "устанавливает администратор Службы; он же отвечает за их правильность.\n"
        "\n"
        "6. Ответственность. Программа предоставляется в том виде, в каком она есть. Служба не "
        "отвечает за убытки, возникшие из-за нарушения пользователем настоящего соглашения.\n"
        "\n"
        "7. Срок действия. Соглашение действует, пока сотрудник пользуется Программой. При "
        "увольнении сотрудника администратор закрывает ему доступ.");
}

TForm12::TForm12(QWidget *parent)
    : QDialog(parent)
{
    setObjectName("TForm12");
    setWindowTitle("Соглашение");

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setReadOnly(true);
    Memo1->setPlainText(agreementText());
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // About 70 characters a line and 22 lines: the text reads without sideways scrolling.
    const QFontMetrics metrics(Memo1->font());
    Memo1->setFixedSize(metrics.averageCharWidth() * 72, metrics.lineSpacing() * 22);

    Button1 = new QPushButton("Ок", this);
    Button1->setObjectName("Button1");
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TForm12::accept);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Memo1);
    layout->addLayout(buttons);

    setFixedSize(sizeHint());
    // Enter closes the window rather than being swallowed by the text.
    Button1->setFocus();
}
