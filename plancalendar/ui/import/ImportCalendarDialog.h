#pragma once
#include <QDialog>
#include <memory>
#include <vector>

#include "plancalendar/import/MappingRows.h"
#include "plancalendar/ui/CalendarHost.h"
#include "planedit/GroupKey.h"
#include "schoolyear/CalendarChanges.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace quirn {
class Clock;
class PlanDatabase;
class PlanEditor;
}  // namespace quirn

namespace quirn::plancalendar {

// "Import school calendar…": a district's .ics or CSV file, the groups it is for, what each of
// its summaries becomes (a suggestion is shown but counts only once confirmed; a summary with
// none is marked), a preview of one group's calendar before and after and the list of changes;
// Apply makes them one undoable step of the plan editor.
class ImportCalendarDialog : public QDialog {
    Q_OBJECT

  public:
    ImportCalendarDialog(PlanEditor& editor, const PlanDatabase& db, const Clock& clock,
                         const CalendarHostOptions& hostOptions,
                         const std::vector<GroupKey>& selectedGroups, QWidget* parent = nullptr);
    ~ImportCalendarDialog() override;

    // Reads the file the file field names; false with the reason shown when it cannot.
    bool readFile();
    const CalendarChangePlan& changePlan() const { return plan_; }
    const CalendarHost& beforeHost() const { return *before_; }
    const CalendarHost& afterHost() const { return *after_; }

  private:
    void buildLayout();
    void fillMappingTable();
    CalendarMapping confirmedMapping() const;
    void replan();
    void showPreview();
    void apply();
    void chooseFile();

    PlanEditor& editor_;
    const PlanDatabase& db_;
    const Clock& clock_;
    std::unique_ptr<CalendarHost> before_;
    std::unique_ptr<CalendarHost> after_;
    std::vector<CalendarEvent> events_;
    std::vector<MappingRow> rows_;
    std::vector<GroupRef> groups_;
    CalendarChangePlan plan_;

    QLineEdit* file_ = nullptr;
    QLineEdit* groupList_ = nullptr;
    QLabel* readStatus_ = nullptr;
    QTableWidget* mapping_ = nullptr;
    QComboBox* previewGroup_ = nullptr;
    QListWidget* changes_ = nullptr;
    QPushButton* apply_ = nullptr;
    QLabel* applyStatus_ = nullptr;
};

}  // namespace quirn::plancalendar
