#include "dispatch/tariff_window.h"

#include "data/ini_file.h"
#include "platform/settings_registry.h"
#include "ui/error_guard.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <optional>

namespace {

const char *const Section = "Options";

struct Entry
{
    const char *key;
    const char *defaultValue;
};
constexpr Entry ST{"ST", "16"};
constexpr Entry MR{"MR", "4"};
constexpr Entry PC{"PC", "50"};
constexpr Entry ZPK{"ZPK", "10"};

QLabel *label(const char *name, const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

QLineEdit *edit(const char *name, const Entry &entry, QWidget *parent)
{
    auto *e = new QLineEdit(entry.defaultValue, parent);
    e->setObjectName(name);
    e->setFixedWidth(64);
    return e;
}

// One line of the window: caption, box, unit.
void addLine(QGridLayout *grid, int row, QLabel *caption, QLineEdit *box, QLabel *unit)
{
    grid->addWidget(caption, row, 0);
    grid->addWidget(box, row, 1);
    grid->addWidget(unit, row, 2);
}

} // namespace

TForm23::TForm23(Messages &messages, QWidget *parent)
    : QDialog(parent)
    , m_messages(messages)
{
    buildForm();
}

void TForm23::buildForm()
{
    setObjectName("TForm23");
    setWindowTitle("Настройка тарифа");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    Label1 = label("Label1", "Ставка для таксистов:", this);
    Edit4 = edit("Edit4", ST, this);
    Label2 = label("Label2", "рублей.", this);

    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName("GroupBox1");
    Label3 = label("Label3", "Минимальное растояние:", GroupBox1);
    Edit1 = edit("Edit1", MR, GroupBox1);
    Label4 = label("Label4", "км.", GroupBox1);
    Label5 = label("Label5", "Постоянная цена:", GroupBox1);
    Edit2 = edit("Edit2", PC, GroupBox1);
    Label6 = label("Label6", "рублей.", GroupBox1);

    Label7 = label("Label7", "За последущий киллометр:", this);
    Edit3 = edit("Edit3", ZPK, this);
    Label8 = label("Label8", "рублей.", this);

    Button2 = new QPushButton("Ок", this);
    Button2->setObjectName("Button2");
    QFont bold = Button2->font();
    bold.setBold(true);
    Button2->setFont(bold);
    Button2->setAutoDefault(false);
    connectGuarded(Button2, &QPushButton::clicked, this, m_messages, [this] { Button2Click(); });

    // The captions share one width, so that the boxes inside and outside the frame line up.
    int captionWidth = 0;
    for (QLabel *caption : {Label1, Label3, Label5, Label7})
        captionWidth = std::max(captionWidth, caption->sizeHint().width());
    for (QLabel *caption : {Label1, Label3, Label5, Label7})
        caption->setMinimumWidth(captionWidth);

    auto *top = new QGridLayout;
    addLine(top, 0, Label1, Edit4, Label2);
    auto *framed = new QGridLayout(GroupBox1);
    addLine(framed, 0, Label3, Edit1, Label4);
    addLine(framed, 1, Label5, Edit2, Label6);
    auto *below = new QGridLayout;
    addLine(below, 0, Label7, Edit3, Label8);
    for (QGridLayout *grid : {top, framed, below})
        grid->setColumnStretch(2, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button2);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(GroupBox1);
    layout->addLayout(below);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(Edit4, Edit1);
    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, Edit3);
    setTabOrder(Edit3, Button2);
}

void TForm23::LoadIni()
{
    // A database directory that is not set names no file: the defaults, as for a missing file.
    // Saving is where the missing directory is reported.
    std::optional<IniFile> ini;
    if (!db_dir().isEmpty())
        ini.emplace(settingsFilePath());
    const auto read = [&ini](const Entry &entry) {
        return ini ? ini->value(Section, entry.key, entry.defaultValue) : QString(entry.defaultValue);
    };
    Edit4->setText(read(ST));
    Edit1->setText(read(MR));
    Edit2->setText(read(PC));
    Edit3->setText(read(ZPK));
}

void TForm23::SaveIni()
{
    IniFile ini(settingsFilePath());
    ini.setValues(Section, {{ST.key, Edit4->text()},
                            {MR.key, Edit1->text()},
                            {PC.key, Edit2->text()},
                            {ZPK.key, Edit3->text()}});
}

void TForm23::Button2Click()
{
    SaveIni();
    close();
}

QString TForm23::driverRate() const
{
    return Edit4->text();
}

QString TForm23::minimumDistance() const
{
    return Edit1->text();
}

QString TForm23::fixedPrice() const
{
    return Edit2->text();
}

QString TForm23::pricePerKm() const
{
    return Edit3->text();
}
