#pragma once

#include <QDialog>

// The about box: the program's title, version, purpose, author and
// contact, and its picture. Not modal; centred on the screen.
class frmAbout : public QDialog
{
    Q_OBJECT

public:
    explicit frmAbout(QWidget *parent = nullptr);

    static QString authorName();
    static QString contactAddress();

public Q_SLOTS:
    void cmdOK_Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void Form_Load();
};
