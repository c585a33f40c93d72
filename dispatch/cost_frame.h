#pragma once

#include <QGroupBox>

class Messages;
class QLabel;
class QPushButton;
class TDataModule2;
class TForm23;

// The order's cost frame: the distance and the fare of the journal's current order (the one being
// entered, or the one shown), worked out on demand from the distance table and the running tariff.
// The two figures keep their text until the next calculation; nothing is stored.
class CostFrame : public QGroupBox
{
    Q_OBJECT

public:
    CostFrame(TDataModule2 &dm, TForm23 &tariff, Messages &messages, QWidget *parent = nullptr);

    void Button9Click(); // "Посчитать"

    QLabel *DistanceCaption = nullptr; // "Растояние:"
    QLabel *Distance = nullptr;
    QLabel *DistanceUnit = nullptr; // "км."
    QLabel *CostCaption = nullptr;  // "Стоимость:"
    QLabel *Cost = nullptr;         // red, bold
    QLabel *CostUnit = nullptr;     // "рублей"
    QPushButton *Button9 = nullptr; // "Посчитать"

private:
    void buildForm();
    void showNoData();

    TDataModule2 &m_dm;
    TForm23 &m_tariff;
    Messages &m_messages;
};
