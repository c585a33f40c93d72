#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

// Agreement window: the terms on which the workstation is used within the taxi service.
class TForm12 : public QDialog
{
    Q_OBJECT

public:
    explicit TForm12(QWidget *parent = nullptr);

    // The text shown, so that it can be read without building the window.
    static QString agreementText();

    QPlainTextEdit *Memo1 = nullptr;
    QPushButton *Button1 = nullptr; // "Ок"
};
