#pragma once
#include <QDialog>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "planedit/PlanEditor.h"
#include "planedit/ui/PlanTreeModel.h"
#include "platform/WorkingFolder.h"

class QLabel;
class QPushButton;
class QTabWidget;
class QTreeView;

namespace quirn {

class Clock;
class DayPlansTab;
class GroupsTab;
class LoaderWindow;
class OverrideStore;
class OverrideTab;
class PlanDatabase;
class SummerPlanStore;
class SummerTab;
class WeeksTab;

class PlansWindow;

// What the plans window edits and how it saves: the station's own records, so that the schedule
// and the loader see each edit at once, and the station's save of all.
struct PlansWindowServices {
    PlanDatabase& database;
    OverrideStore& overrides;
    SummerPlanStore& summer;
    const Clock& clock;
    WorkingFolder folder;
    bool hasMasterGroups = false;
    // "Save": the station's save of all (atomic, as at the end of the day).
    std::function<void()> saveAll;
    // Called once the window is built, before it shows: where the program adds the calendar
    // tab (PlansWindow::addCalendarTab).
    std::function<void(PlansWindow&)> extend;
    // "Send programming…": opens the station's send over `parent` for what the tree has picked
    // (location 0: a whole group; group 0 too: a whole master group; all 0: nothing picked, the
    // whole fleet). Empty: the window has no such button.
    std::function<void(QWidget* parent, int masterGroup, int group, int location)> sendProgramming =
        {};
};

// The "Plans" window: the agency's groups and locations in a tree on the left, the picked
// group's programming in tabs on the right, Undo, Save and Close below. Every edit goes through
// the window's PlanEditor, whose undo history lives as long as the window. Closing with edits
// not saved asks whether to save them, put them back, or stay.
class PlansWindow final : public QDialog {
    Q_OBJECT

  public:
    enum class CloseAnswer { Save, PutBack, Stay };
    // Asks the question on closing with edits not saved; a message box unless a caller (a
    // test) gives another.
    using CloseAsker = std::function<CloseAnswer(QWidget* parent, const std::string& text)>;

    explicit PlansWindow(PlansWindowServices services, QWidget* parent = nullptr,
                         CloseAsker ask = {});
    ~PlansWindow() override;

    PlanEditor& editor() { return editor_; }
    const PlansWindowServices& services() const { return services_; }
    // The picked row of the tree, if any.
    std::optional<PlanTreeModel::Node> picked() const;
    // The group the picked row belongs to (a location's group), if any.
    std::optional<GroupKey> pickedGroup() const;
    // Picks a row of the tree (location 0: the group), opening its branch.
    void pick(int masterGroup, int group, int location = 0);
    // True while an edit was made since the window opened or last saved.
    bool unsaved() const { return sinceSave_ != 0; }
    // Shows a line at the foot of the window (a refusal, "Saved.").
    void say(const std::string& text);

    // The calendar tab's place: it comes after "Weeks". Whoever builds the calendar tab adds it
    // here; it follows the picked group through pickedChanged() and pickedGroup(), edits through
    // editor(), and hears every edit (its own and the other tabs') through the editor's
    // listeners. The window owns the tab from then on.
    void addCalendarTab(QWidget* tab, const QString& title);

    void done(int result) override;

  signals:
    // The tree's pick changed (to a group, a location, a master group or nothing).
    void pickedChanged();

  private:
    void build();
    QWidget* buildTreeColumn();
    QWidget* buildFoot();
    void heard(const PlanEditNotice& notice);
    void takePick();
    void drawTabs();
    void drawFoot();
    void addLocation();
    void removePicked();
    void undo();
    void save();
    void sendProgramming();

    PlansWindowServices services_;
    CloseAsker ask_;
    PlanEditor editor_;
    int listener_ = 0;
    // Edits since the window opened or last saved, less those undone; below 0 once an undo
    // went past the save.
    int sinceSave_ = 0;
    bool undoing_ = false;
    bool closing_ = false;
    PlanTreeModel* model_ = nullptr;
    QTreeView* tree_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    GroupsTab* groupsTab_ = nullptr;
    DayPlansTab* dayPlansTab_ = nullptr;
    WeeksTab* weeksTab_ = nullptr;
    OverrideTab* overrideTab_ = nullptr;
    SummerTab* summerTab_ = nullptr;
    QPushButton* addLocation_ = nullptr;
    QPushButton* remove_ = nullptr;
    QPushButton* undo_ = nullptr;
    QPushButton* save_ = nullptr;
    QLabel* foot_ = nullptr;
};

// Opens the window over `parent` (window-modal, without blocking); it deletes itself when
// closed. Returns the window.
PlansWindow* openPlansWindow(PlansWindowServices services, QWidget* parent);

// Makes the loader's "Plans…" open the window with these services; the loader's group list is
// filled again after every edit and when the window closes.
void attachPlansWindow(LoaderWindow& loader, PlansWindowServices services);

}  // namespace quirn
