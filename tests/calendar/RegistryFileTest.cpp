#include <gtest/gtest.h>

#include <cstdlib>

#include "calendar/com/Guid.h"
#include "calendar/com/HResult.h"
#include "calendar/com/RegistryFile.h"
#include "tests/support/TempFolder.h"

namespace quirn::com {
namespace {

using quirn::test::readFile;
using quirn::test::TempFolder;
using quirn::test::writeFile;

TEST(RegistryFile, ValuesSurviveASaveAndLoad) {
    TempFolder temp;
    const std::string path = temp.file("deep/er/registry.ini");
    RegistryFile reg(path);
    ASSERT_TRUE(reg.load()) << "a missing file reads as empty";
    reg.setValue("HKEY_CLASSES_ROOT\\CLSID\\{X}", "@", "VornCalendarIII Control");
    reg.setValue("HKEY_CLASSES_ROOT\\CLSID\\{X}\\InprocServer32", "ThreadingModel", "Apartment");
    reg.createKey("HKEY_CLASSES_ROOT\\CLSID\\{X}\\Insertable");
    reg.setValue("Other", "Line", "two\r\nlines");
    ASSERT_TRUE(reg.save());

    const std::string text = readFile(path);
    EXPECT_NE(text.find("[HKEY_CLASSES_ROOT\\CLSID\\{X}]\r\n@=VornCalendarIII Control\r\n"),
              std::string::npos);
    RegistryFile again(path);
    ASSERT_TRUE(again.load());
    EXPECT_EQ(again.value("HKEY_CLASSES_ROOT\\CLSID\\{X}", "@"), "VornCalendarIII Control");
    EXPECT_EQ(again.value("HKEY_CLASSES_ROOT\\CLSID\\{X}\\InprocServer32", "ThreadingModel"),
              "Apartment");
    EXPECT_TRUE(again.hasKey("HKEY_CLASSES_ROOT\\CLSID\\{X}\\Insertable"));
    EXPECT_EQ(again.value("Other", "Line"), "two  lines");
    EXPECT_FALSE(again.value("Other", "Missing"));
}

TEST(RegistryFile, ReadsHandWrittenFilesWithAnyLineEnds) {
    TempFolder temp;
    ASSERT_TRUE(writeFile(temp.file("r.ini"),
                          "; comment\n[A]\rx=1\r\n  y = two=2 \n[broken\nz=3\n[B\\C]\n"));
    RegistryFile reg(temp.file("r.ini"));
    ASSERT_TRUE(reg.load());
    EXPECT_EQ(reg.value("A", "x"), "1");
    EXPECT_EQ(reg.value("A", "y"), " two=2");
    EXPECT_FALSE(reg.value("A", "z")) << "values after a broken key line belong to no key";
    EXPECT_TRUE(reg.hasKey("B\\C"));
}

TEST(RegistryFile, RemoveTreeTakesTheKeyAndEverythingBelowOnly) {
    TempFolder temp;
    RegistryFile reg(temp.file("r.ini"));
    reg.createKey("R\\CLSID\\{A}");
    reg.createKey("R\\CLSID\\{A}\\InprocServer32");
    reg.createKey("R\\CLSID\\{A}\\MiscStatus\\1");
    reg.createKey("R\\CLSID\\{AB}");
    reg.createKey("R\\CLSID");
    EXPECT_EQ(reg.removeTree("R\\CLSID\\{A}"), 3);
    EXPECT_EQ(reg.keys(), (std::vector<std::string>{"R\\CLSID", "R\\CLSID\\{AB}"}));
    EXPECT_EQ(reg.removeTree("R\\CLSID\\{A}"), 0);
}

TEST(RegistryFile, AFolderInPlaceOfTheFileFailsToLoadAndSave) {
    TempFolder temp;
    RegistryFile reg(temp.path());
    EXPECT_FALSE(reg.load());
    EXPECT_FALSE(reg.save());
}

TEST(Guid, TextRoundTrip) {
    const Guid g{0x6814bf2c, 0xb1dc, 0x490d, {0x80, 0xcf, 0xaf, 0x25, 0xdb, 0x94, 0xdb, 0x4b}};
    EXPECT_EQ(guidText(g), "{6814BF2C-B1DC-490D-80CF-AF25DB94DB4B}");
    EXPECT_EQ(parseGuid("{6814BF2C-B1DC-490D-80CF-AF25DB94DB4B}"), g);
    EXPECT_EQ(parseGuid("6814bf2c-b1dc-490d-80cf-af25db94db4b"), g);
    for (const char* bad :
         {"", "{}", "{6814BF2C-B1DC-490D-80CF-AF25DB94DB4}", "6814BF2C+B1DC-490D-80CF-AF25DB94DB4B",
          "{6814BF2C-B1DC-490D-80CF-AF25DB94DB4G}", "{6814BF2C-B1DC-490D-80CF-AF25DB94DB4B"})
        EXPECT_FALSE(parseGuid(bad)) << bad;
}

TEST(HResultText, NamesTheCodesHostsPrint) {
    EXPECT_EQ(hresultText(kOk), "S_OK");
    EXPECT_EQ(hresultText(kSelfRegTypeLib), "SELFREG_E_TYPELIB (0x80040200)");
    EXPECT_EQ(hresultText(kSelfRegClass), "SELFREG_E_CLASS (0x80040201)");
    EXPECT_EQ(hresultText(hresult(0x80001234)), "0x80001234");
}

}  // namespace
}  // namespace quirn::com
