#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// About window: the program's names, what it is for and its version.
class TForm21 : public QDialog
{
    Q_OBJECT

public:
    // An empty version shows the application's own version.
    explicit TForm21(QWidget *parent = nullptr, const QString &version = QString());

    QLabel *Image1 = nullptr;
    QLabel *Label1 = nullptr;       // application title
    QLabel *Label2 = nullptr;       // main window caption
    QLabel *Label3 = nullptr;       // what the workstation is
    QLabel *Label4 = nullptr;       // version
    QPushButton *Button1 = nullptr; // "Ок"
};
