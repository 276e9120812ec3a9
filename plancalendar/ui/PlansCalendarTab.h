#pragma once
#include <QWidget>
#include <memory>
#include <optional>

#include "plancalendar/CalendarPick.h"
#include "plancalendar/DayGesture.h"
#include "plancalendar/ui/CalendarHost.h"
#include "planedit/GroupKey.h"

class QDateEdit;
class QLabel;
class QListWidget;
class QPushButton;

namespace quirn {
class Clock;
class Group;
class PlanDatabase;
class PlanEditor;
struct PlanEditNotice;
}  // namespace quirn

namespace quirn::plancalendar {

// The Plans window's calendar tab: the selected group's annual and vacation plans on the
// calendar control. A click on a day gives it what is picked in the list beside it (a day plan
// of the group, Holiday, Clear); a press on one day and a release on another, or two dates and
// "Add vacation", make a vacation; the group's vacations are listed to remove. Every change goes
// through the plan editor (checked, undoable); the tab redraws from the database whenever the
// editor reports a change of the group, its own or another window's.
class PlansCalendarTab : public QWidget {
    Q_OBJECT

  public:
    PlansCalendarTab(PlanEditor& editor, const PlanDatabase& db, const Clock& clock,
                     const CalendarHostOptions& hostOptions, QWidget* parent = nullptr);
    ~PlansCalendarTab() override;

    // The group whose plans are shown; nothing shown for a group that does not exist.
    void setGroup(GroupKey group);
    // Shows no group (nothing picked, or a master group).
    void clearGroup();
    std::optional<GroupKey> group() const { return group_; }
    const CalendarHost& host() const { return *host_; }
    // Draws the marks and the picked plan's highlight again: the highlight is shared by every
    // calendar control of the program, so another calendar (the import's preview) changes it.
    void redraw() { showCurrentMarks(); }

  private:
    void buildLayout();
    const Group* currentGroup() const;
    void onNotice(const PlanEditNotice& notice);
    void refresh();
    void fillPicks(const Group* group);
    void fillVacations(const Group* group);
    void showCurrentMarks();
    CalendarPick currentPick() const;
    void onPickChanged();
    void onFocus(int year, int month, int day, int keys);
    void onLift(int year, int month, int day);
    void addVacationFromFields();
    void removeSelectedVacation();
    void report(const QString& text, bool refused);

    PlanEditor& editor_;
    const PlanDatabase& db_;
    const Clock& clock_;
    std::unique_ptr<CalendarHost> host_;
    std::optional<GroupKey> group_;
    std::vector<CalendarPick> picks_;
    PressLiftTracker tracker_;
    int listener_ = 0;

    QLabel* title_ = nullptr;
    QListWidget* pickList_ = nullptr;
    QListWidget* vacationList_ = nullptr;
    QDateEdit* vacationFirst_ = nullptr;
    QDateEdit* vacationLast_ = nullptr;
    QPushButton* addVacation_ = nullptr;
    QPushButton* removeVacation_ = nullptr;
    QLabel* status_ = nullptr;
};

}  // namespace quirn::plancalendar
