#include <gtest/gtest.h>

#include "app/HelpDocuments.h"
#include "platform/ComPortMap.h"
#include "platform/FileSystem.h"
#include "platform/ProfileStore.h"
#include "tests/support/TempFolder.h"

namespace quirn::test {
namespace {

TEST(HelpDocuments, TheFirstFolderWithAReadmeGivesTheReadmeThenItsDocsByName) {
    TempFolder empty;
    TempFolder installed;
    ASSERT_TRUE(makeFolder(installed.file("docs")));
    ASSERT_TRUE(writeFile(installed.file("README.md"), "# Quirn Radio\n"));
    ASSERT_TRUE(writeFile(installed.file("docs/quirnctl.md"), "# quirnctl\n"));
    ASSERT_TRUE(writeFile(installed.file("docs/calendar.md"), "# calendar\n"));
    ASSERT_TRUE(writeFile(installed.file("docs/loader.png"), "not text"));
    TempFolder other;
    ASSERT_TRUE(writeFile(other.file("README.md"), "# another\n"));

    auto docs = loadHelpDocuments({empty.path(), installed.path(), other.path()});
    ASSERT_EQ(docs.size(), 3u);
    EXPECT_EQ(docs[0].markdown, "# Quirn Radio\n");
    EXPECT_EQ(docs[0].folder, installed.path());
    EXPECT_EQ(docs[1].path, installed.file("docs/calendar.md"));
    EXPECT_EQ(docs[1].folder, installed.file("docs/"));
    EXPECT_EQ(docs[2].markdown, "# quirnctl\n");
    EXPECT_TRUE(loadHelpDocuments({empty.path()}).empty());
}

TEST(HelpDocuments, TheTechniciansGuideComesFirstThenTheReadmeThenTheOtherDocsOnce) {
    TempFolder installed;
    ASSERT_TRUE(makeFolder(installed.file("docs")));
    ASSERT_TRUE(writeFile(installed.file("README.md"), "# Quirn Radio\n"));
    ASSERT_TRUE(writeFile(installed.file("docs/calendar.md"), "# calendar\n"));
    ASSERT_TRUE(writeFile(installed.file("docs/guide.md"), "# The technician's guide\n"));
    ASSERT_TRUE(writeFile(installed.file("docs/quirnctl.md"), "# quirnctl\n"));

    auto docs = loadHelpDocuments({installed.path()});
    ASSERT_EQ(docs.size(), 4u);
    EXPECT_EQ(docs[0].path, installed.file("docs/guide.md"));
    EXPECT_EQ(docs[0].markdown, "# The technician's guide\n");
    // The guide's pictures are named relative to the docs folder.
    EXPECT_EQ(docs[0].folder, installed.file("docs/"));
    EXPECT_EQ(docs[1].path, installed.file("README.md"));
    EXPECT_EQ(docs[2].path, installed.file("docs/calendar.md"));
    EXPECT_EQ(docs[3].path, installed.file("docs/quirnctl.md"));
}

TEST(HelpDocuments, TheGuideOfThisSourceTreeOpensTheHelp) {
    // The source tree is the last place looked in; the guide there is what the package installs.
    const std::string sourceTree = helpFolders().back();
    auto docs = loadHelpDocuments({sourceTree});
    ASSERT_FALSE(docs.empty());
    EXPECT_EQ(docs[0].path, sourceTree + "docs/guide.md");
    EXPECT_NE(docs[0].markdown.find("# The technician's guide"), std::string::npos);
    for (const char* picture : {"demo.png", "loader.png", "utilities.png", "time-testing.png"}) {
        EXPECT_NE(docs[0].markdown.find(picture), std::string::npos) << picture;
        EXPECT_TRUE(fileExists(docs[0].folder + picture)) << picture;
    }
}

TEST(HelpDocuments, TheHeadingNamesVersionWorkingFolderAndEveryComDevice) {
    TempFolder folder;
    ProfileStore store(folder.file("quirnradio.ini"));
    store.writeString("Serial", "COM1", "/dev/pts/4");
    store.writeString("Serial", "COM7", "/dev/ttyUSB0");
    ComPortMap map(&store);
    std::string heading = helpHeading("4.0", "/srv/quirn3/", map, 7);
    for (const std::string& part :
         {std::string("Quirn Radio 4.0"), std::string("Working folder: `/srv/quirn3/`"),
          std::string("- COM 1: `/dev/pts/4`"), "- COM 2: `" + ComPortMap().devicePath(2) + "`",
          std::string("- COM 7: `/dev/ttyUSB0`"), std::string("The loader uses COM 7.")})
        EXPECT_NE(heading.find(part), std::string::npos) << part;
    EXPECT_NE(helpHeading("4.0", "/x/", map, 0).find("disabled"), std::string::npos);
    EXPECT_EQ(helpHeading("4.0", "/x/", map, 2).find("COM 7"), std::string::npos);
}

}  // namespace
}  // namespace quirn::test
