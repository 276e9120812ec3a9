#pragma once
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

#include "loader/ui/LoaderWindow.h"
#include "tests/loader/LoaderFixture.h"

namespace quirn::test {

// The loader fixture with the helpers a test of the real windows needs: widgets by object
// name, label texts, clicks, the group list, and ticks until the loader is idle.
class LoaderWindowFixture : public LoaderFixture {
  protected:
    template <typename T>
    T* child(QWidget& window, const char* name) {
        T* widget = window.findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QString label(QWidget& window, const char* name) { return child<QLabel>(window, name)->text(); }
    void click(QWidget& window, const char* name) { child<QPushButton>(window, name)->click(); }
    void selectGroup(LoaderWindow& window, const QString& text) {
        QTreeWidget* groups = child<QTreeWidget>(window, "groups");
        auto found = groups->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        groups->setCurrentItem(found.front());
    }
    void tickUntilIdle(LoaderWindow& window) {
        for (int i = 0; i < 20 && window.controller().mode() != LoaderController::Mode::Idle; ++i)
            tick();
    }
    // The result item of the "Attached Time Switch" tree; empty without one.
    QString resultText(LoaderWindow& window) {
        QTreeWidget* attachedTree = child<QTreeWidget>(window, "attached");
        if (attachedTree->topLevelItemCount() == 0) return {};
        return attachedTree->topLevelItem(0)->text(0);
    }
};

}  // namespace quirn::test
