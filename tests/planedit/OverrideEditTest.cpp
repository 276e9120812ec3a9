// Today's override: written to override.csv, which the station loads, and undone from it.
#include <gtest/gtest.h>

#include "platform/FileSystem.h"
#include "tests/planedit/EditorFixture.h"
#include "tests/plans/RecordingPager.h"
#include "tests/support/FileTimes.h"

namespace quirn {
namespace {

using test::readFile;

class OverrideEdits : public test::EditorFixture {
  protected:
    std::string path() const { return overrideFileName(working); }
    // override.csv as another program wrote it this morning, loaded as the station does.
    void writeTodaysFile(const std::string& text) {
        ASSERT_TRUE(test::writeFile(path(), text));
        ASSERT_TRUE(test::setModifiedTime(path(), now - 3600));
        overrides.load();
    }
};

TEST_F(OverrideEdits, SetWritesTheFileAndTheSchedulerPagesItAtItsNextTick) {
    ASSERT_TRUE(editor.setOverride(oak, 0, {{14, 0, kCommandOn}, {9, 30, kCommandOff}}, true));
    EXPECT_EQ(readFile(path()), "Step,1,5,0,570,0\r\nStep,1,5,0,840,1\r\nEnabled,1,5,0\r\n");
    ASSERT_NE(overrides.find(1, 5), nullptr);
    EXPECT_TRUE(overrides.overrideInForce(1, 5, now));
    EXPECT_EQ(db.planForDate(1, 5, now, now), kPlanNormal);  // no query set here
    test::RecordingPager pager;
    EXPECT_EQ(overrides.tick(pager), 1u);
    EXPECT_TRUE(notices.back().overrides);
    EXPECT_EQ(notices.back().groups, (std::vector<GroupKey>{oak}));
}

TEST_F(OverrideEdits, OtherPlansOfTodaysFileStayAndUndoPutsTheFileBack) {
    const std::string morning = "Step,2,7,0,600,1\r\nEnabled,2,7,0\r\nStep,1,5,0,420,1\r\n";
    writeTodaysFile(morning);
    ASSERT_EQ(overrides.plans().size(), 2u);
    ASSERT_TRUE(editor.setOverride(oak, 2, {{13, 0, kCommandOff}}, false));
    EXPECT_EQ(readFile(path()), "Step,2,7,0,600,1\r\nEnabled,2,7,0\r\nStep,1,5,2,780,0\r\n");
    ASSERT_TRUE(editor.setOverride(oak, 0, {{13, 5, kCommandOff}}, true));
    ASSERT_TRUE(editor.clearOverride({2, 7}));
    EXPECT_EQ(readFile(path()), "Step,1,5,0,785,0\r\nEnabled,1,5,0\r\n");
    EXPECT_EQ(editor.undoText(), "Undo clear override");

    ASSERT_TRUE(editor.undo());
    ASSERT_TRUE(editor.undo());
    ASSERT_TRUE(editor.undo());
    EXPECT_EQ(readFile(path()), morning);
    ASSERT_EQ(overrides.plans().size(), 2u);
    EXPECT_TRUE(overrides.find(2, 7)->inForce());
    EXPECT_FALSE(overrides.find(1, 5)->inForce());
}

TEST_F(OverrideEdits, AFileOfAnotherDayCountsForNothingAndUndoRemovesTheNewOne) {
    ASSERT_TRUE(test::writeFile(path(), "Step,2,7,0,600,1\r\nEnabled,2,7,0\r\n"));
    ASSERT_TRUE(test::setModifiedTime(path(), fromLocal(2026, 12, 6, 18, 0, 0)));
    ASSERT_TRUE(editor.setOverride(oak, 0, {{13, 0, kCommandOff}}, true));
    EXPECT_EQ(readFile(path()), "Step,1,5,0,780,0\r\nEnabled,1,5,0\r\n");
    ASSERT_TRUE(editor.undo());
    EXPECT_FALSE(fileExists(path()));
    EXPECT_TRUE(overrides.plans().empty());
}

TEST_F(OverrideEdits, Refusals) {
    writeTodaysFile("Step,1,5,0,420,1\r\n");
    const std::string before = readFile(path());
    std::vector<StepEntry> seventeen;
    for (int i = 0; i < 17; ++i) seventeen.push_back({6, i, kCommandOn});
    EXPECT_NE(editor.setOverride(oak, 0, seventeen, true).refusal.find("At most 16"),
              std::string::npos);
    EXPECT_NE(editor.setOverride(oak, 0, {}, true).refusal.find("clear it instead"),
              std::string::npos);
    EXPECT_FALSE(editor.setOverride(oak, 9, {{7, 0, kCommandOn}}, true).done);
    EXPECT_FALSE(editor.setOverride({1, 6}, 0, {{7, 0, kCommandOn}}, true).done);
    EXPECT_FALSE(editor.clearOverride({2, 7}).done);
    EXPECT_EQ(readFile(path()), before);
    EXPECT_FALSE(editor.canUndo());
}

TEST_F(OverrideEdits, AFileThatCannotBeWrittenRefusesTheEdit) {
    // A folder where the file belongs: the atomic replace cannot rename over it.
    ASSERT_TRUE(makeFolder(path()));
    EditOutcome r = editor.setOverride(oak, 0, {{7, 0, kCommandOn}}, true);
    EXPECT_FALSE(r.done);
    EXPECT_NE(r.refusal.find("could not be written"), std::string::npos) << r.refusal;
    EXPECT_TRUE(overrides.plans().empty());
    EXPECT_FALSE(editor.canUndo());
}

}  // namespace
}  // namespace quirn
