#pragma once

#include "weekreader.h"

#include <QWidget>

#include <array>
#include <memory>

class QLabel;
class QListWidget;
class QPushButton;
class WeekViewHost;

// The week view "Agenda": seven days of the shown user side by side, Monday
// first, paged week by week; a double-click on a column opens that day in
// the main window. It only reads the store. Controls carry their design
// names: Label1_0..6 (long dates), List1_0..6 (lines), Label4_0..6 (date
// numbers), Label2 (week start), CmdPrec, CmdSuiv, Command2.
class Form3 : public QWidget
{
    Q_OBJECT

public:
    explicit Form3(std::unique_ptr<WeekViewHost> host, QWidget *parent = nullptr);
    ~Form3() override;

    // Steps of the main window's "Par &Semaine" that belong here: the week
    // around the shown date. False (after the store's message) when the week
    // could not be read; the columns are then left as they were.
    bool showWeekAroundShownDate();

    QLabel *header(int day) const;         // Label1_i
    QListWidget *list(int day) const;      // List1_i
    QLabel *dateNumberLabel(int day) const; // Label4_i
    QLabel *weekStartLabel() const;        // Label2

public Q_SLOTS:
    void CmdPrec_Click();
    void CmdSuiv_Click();
    void List1_DblClick(int index);
    void Command2_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    bool showWeek(qint32 weekStart);
    void fillColumns(qint32 weekStart, const WeekReader::Week &week, int minutes);

    struct Controls;
    std::unique_ptr<Controls> m;
    std::unique_ptr<WeekViewHost> m_host;
};
