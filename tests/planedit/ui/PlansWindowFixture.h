#pragma once
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>
#include <string>
#include <vector>

#include "planedit/ui/PlanTreeModel.h"
#include "planedit/ui/PlansWindow.h"
#include "plans/DatabaseFiles.h"
#include "plans/OverrideStore.h"
#include "plans/SummerPlanStore.h"
#include "tests/loader/ui/LoaderWindowFixture.h"

namespace quirn::test {

// The loader's fixture (a real plan database with "Elm Street,5" in a temporary working folder,
// the manual clock on Monday 16 March 2026) with two more groups, the override and summer
// stores, and a save that writes the real files, as the station's save of all does.
class PlansWindowFixture : public LoaderWindowFixture {
  protected:
    PlansWindowFixture() {
        db.group(kMasterGroup, 6).setName("Oak Street");
        db.group(kMasterGroup, 7).setName("Pine Street");
        Location school(kMasterGroup, kGroup, 1);
        school.name = "Elm School";
        db.addLocation(school);
    }

    PlansWindowServices plansServices() {
        auto saveAll = [this] {
            saveDatabase(db, working, clock.now());
            summer.save();
            ++saves;
        };
        return PlansWindowServices{db, overrides, summer, clock, working, false, saveAll, {}};
    }
    // Answers the closing question with `answer` and keeps the questions asked.
    PlansWindow::CloseAsker answering(PlansWindow::CloseAnswer answer) {
        return [this, answer](QWidget*, const std::string& text) {
            closeQuestions.push_back(text);
            return answer;
        };
    }

    // Picks a row of the tree as the technician does: a click on it.
    void clickRow(PlansWindow& window, int masterGroup, int group, int location = 0) {
        auto* tree = child<QTreeView>(window, "tree");
        auto* model = static_cast<PlanTreeModel*>(tree->model());
        QModelIndex index = model->indexOf(masterGroup, group, location);
        ASSERT_TRUE(index.isValid()) << masterGroup << ":" << group << ":" << location;
        for (QModelIndex up = index.parent(); up.isValid(); up = up.parent()) tree->expand(up);
        tree->scrollTo(index);
        QApplication::processEvents();
        const QRect box = tree->visualRect(index);
        ASSERT_FALSE(box.isEmpty());
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, box.center());
        ASSERT_EQ(tree->currentIndex(), index);
    }
    // Brings a tab into sight with a click on its title.
    void showTab(PlansWindow& window, const QString& title) {
        auto* tabs = child<QTabWidget>(window, "tabs");
        ASSERT_NE(tabs, nullptr);
        QTabBar* bar = tabs->tabBar();
        for (int i = 0; i < bar->count(); ++i)
            if (bar->tabText(i) == title) {
                QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
                ASSERT_EQ(tabs->currentIndex(), i);
                return;
            }
        FAIL() << "no tab " << title.toStdString();
    }
    // Types into a field (after emptying it) and presses Return.
    void typeInto(QWidget& window, const char* name, const QString& text, bool enter = true) {
        auto* field = child<QLineEdit>(window, name);
        ASSERT_NE(field, nullptr);
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, text);
        if (enter) QTest::keyClick(field, Qt::Key_Return);
    }
    // Picks the entry of a combo box that shows `text`, as a click in its list would.
    void choose(QWidget& window, const char* name, const QString& text) {
        auto* box = child<QComboBox>(window, name);
        ASSERT_NE(box, nullptr);
        const int at = box->findText(text);
        ASSERT_GE(at, 0) << text.toStdString();
        box->setCurrentIndex(at);
        emit box->activated(at);
    }
    void press(QWidget& window, const char* name) {
        auto* b = child<QPushButton>(window, name);
        ASSERT_NE(b, nullptr);
        ASSERT_TRUE(b->isEnabled()) << name;
        QTest::mouseClick(b, Qt::LeftButton);
    }
    std::string text(QWidget& window, const char* name) {
        auto* l = child<QLabel>(window, name);
        return l ? l->text().toStdString() : std::string("<no ") + name + ">";
    }
    // The day plan's steps as "HH:MM ON" lines.
    std::vector<std::string> stepLines(int group, int plan) {
        std::vector<std::string> out;
        const Group* g = db.findGroup(kMasterGroup, group);
        const DayPlan* p = g ? g->findDayPlan(plan) : nullptr;
        if (p == nullptr) return out;
        for (const Step& s : p->steps()) {
            char line[16];
            std::snprintf(line, sizeof line, "%02d:%02d %s", s.hour, s.minute,
                          s.command == kCommandOn ? "ON" : "OFF");
            out.emplace_back(line);
        }
        return out;
    }

    OverrideStore overrides{clock, working};
    SummerPlanStore summer{clock, working};
    int saves = 0;
    std::vector<std::string> closeQuestions;
};

}  // namespace quirn::test
