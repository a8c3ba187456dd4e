#include <gtest/gtest.h>

#include <set>

#include "config/BuiltInWording.h"
#include "config/LanguageFile.h"
#include "config/MessageBoxes.h"
#include "config/ModelConfig.h"
#include "config/PackageConfig.h"
#include "TestMachine.h"

using namespace cfg;
using testing_support::TestMachine;

TEST(LineBreakMarkers, SetupReplacesEachMarkerOnceInMarkerOrder) {
    EXPECT_EQ(ApplyLineBreakMarkers("A\\1B\\1C", Program::Setup), "A\r\nB\\1C");
    EXPECT_EQ(ApplyLineBreakMarkers("A\\3B\\1C", Program::Setup), "A\r\nB\r\nC");
    EXPECT_EQ(ApplyLineBreakMarkers("\\1\\2\\3\\n", Program::Setup), "\r\n\r\n\r\n\\n");
    EXPECT_EQ(ApplyLineBreakMarkers("A\\nB\\nC", Program::Uninstall), "A\r\nB\\nC");
    EXPECT_EQ(ApplyLineBreakMarkers("A\\1B", Program::Uninstall), "A\\1B");
    EXPECT_EQ(ApplyLineBreakMarkers("trailing\\", Program::Setup), "trailing\\");
}

TEST(LanguageFile, PathFollowsTheCurrentDirectoryOfEachProgram) {
    TestMachine t;
    EXPECT_EQ(LanguageFile(t.p, Program::Setup, "Setup").path(), "C:\\PKG\\language\\setup.ini");
    EXPECT_EQ(LanguageFile(t.p, Program::Uninstall, "Uninstall").path(), "C:\\PKG\\language\\uninstall.ini");
    EXPECT_EQ(LanguageFile(t.p, Program::Setup, "Setup").GetText("Caption"), "Printer Driver Setup");
    EXPECT_EQ(LanguageFile(t.p, Program::Uninstall, "Uninstall").GetText("Title"), "Uninstall");
}

// Without the language file (started from elsewhere, or an older package lacking a key)
// the programs speak their own English: never an empty box, never a key's name.
TEST(LanguageFile, ElsewhereAsCurrentDirectoryTextsAreBuiltInButConfigurationStillLoads) {
    TestMachine t;
    t.machine.process.currentDir = "C:\\WINDOWS";
    EXPECT_EQ(LanguageFile(t.p, Program::Setup, "Setup").GetText("Caption"), "Printer Driver Setup");
    EXPECT_EQ(MessageTexts(t.p, Program::Setup).GetText("IDS_ADMIN"),
              "You need administrator rights to install a printer driver.\r\nPlease log on as an administrator and "
              "start the setup again.");
    EXPECT_EQ(LanguageFile(t.p, Program::Setup, "Setup").GetText("NoSuchKey"), "");
    PackageConfig package(t.p);
    EXPECT_EQ(package.deviceCount(), 10);
}

TEST(LanguageFile, TextsAreCutTo1023BytesAndStayValidAfterTheNextRead) {
    TestMachine t(false);
    t.write("language\\setup.ini", "[Message]\r\nLONG=" + std::string(3000, 'x') + "\r\nB=second\r\n");
    LanguageFile messages(t.p, Program::Setup, "Message");
    const std::string first = messages.GetText("LONG");
    const std::string second = messages.GetText("B");
    EXPECT_EQ(first, std::string(1023, 'x'));
    EXPECT_EQ(second, "second");
    EXPECT_EQ(messages.GetText("MISSING"), "");
}

TEST(LanguageFile, SetupBindsAtMost255CharactersOfTheSectionName) {
    TestMachine t(false);
    const std::string longSection(300, 's');
    EXPECT_EQ(LanguageFile(t.p, Program::Setup, longSection).section().size(), 255u);
    EXPECT_EQ(LanguageFile(t.p, Program::Uninstall, longSection).section().size(), 300u);
}

TEST(LanguageFile, ChineseSetReadsAsGbkBytes) {
    TestMachine t;
    // The Chinese files of the sample package replace the English ones when chosen.
    t.machine.files.mapHostFolder("C:\\ZH", std::string(SAMPLE_PACKAGE_DIR) + "/language-zh");
    t.machine.process.currentDir = "C:\\PKG";
    t.write("language\\setup.ini", *t.machine.files.readFile("C:\\ZH\\setup.ini"));
    // "打印机驱动安装程序" in GBK.
    EXPECT_EQ(LanguageFile(t.p, Program::Setup, "Setup").GetText("Caption"),
              "\xB4\xF2\xD3\xA1\xBB\xFA\xC7\xFD\xB6\xAF\xB0\xB2\xD7\xB0\xB3\xCC\xD0\xF2");
}

TEST(MessageBoxes, CaptionIsTheProgramNameAndAppBoxesGetAnIcon) {
    TestMachine t(true, "Setup.EXE");
    t.machine.windows.setActiveWindow(0x77);
    ShowAppMessage(t.p, Program::Setup, "hello", plat::kMbOk);
    ShowAppMessage(t.p, Program::Setup, "question", plat::kMbYesNo | plat::kMbIconQuestion);
    ShowWindowMessage(t.p, 0x99, "plain", plat::kMbOk);
    ASSERT_EQ(t.boxes().size(), 3u);
    EXPECT_EQ(t.boxes()[0].caption, "Setup");
    EXPECT_EQ(t.boxes()[0].owner, 0x77u);
    EXPECT_EQ(t.boxes()[0].type, plat::kMbOk | plat::kMbIconExclamation);
    EXPECT_EQ(t.boxes()[1].type, plat::kMbYesNo | plat::kMbIconQuestion);
    EXPECT_EQ(t.boxes()[2].owner, 0x99u);
    EXPECT_EQ(t.boxes()[2].type, plat::kMbOk);
}

// Every key the programs read is present and not empty in both wordings of the package.
TEST(SamplePackage, LanguageFilesHaveEveryKey) {
    const std::vector<std::pair<const char*, std::vector<const char*>>> setupKeys = {
        {"Setup", {"Close", "Nonsupport", "PortNull", "Caption", "Help", "Back", "Next", "Install", "Cancel",
                   "CaptionName"}},
        {"About", {"Version", "Copyright", "OK", "Caption"}},
        {"Help Guide", {"Caption", "Name"}},
        {"Legal", {"Agreement", "Accept", "Reject"}},
        {"Mode", {"Type", "Typical", "Advanced", "Remarks", "Note1", "Note2", "Note3"}},
        {"System", {"Select"}},
        {"Series", {"Select", "Receipt", "Ticket", "Label", "Embedded", "Default"}},
        {"Confirm", {"Set", "Ports", "Com", "BaudRate", "Parity", "ByteSize", "StopBits", "Protocol", "Raster",
                     "Parity.Even", "Parity.Mark", "Parity.None", "Parity.Odd", "Parity.Space", "Protocol.None",
                     "Protocol.Xonoff", "Protocol.Hardware"}},
        {"Progress", {"Wait"}},
        {"Message", {"IDS_X64", "IDS_X32", "IDS_ERR_SYSTEM", "IDS_ABOUTBOX", "IDS_ERR_NOLEFT", "IDS_ADMIN",
                     "IDS_TYPICAL_NOTES", "IDS_NOTSUPPORTNT", "IDS_NOTSUPPORT2003", "IDS_NOTSUPPORTVISTA",
                     "IDS_NOTSUPPORT2008", "IDS_NOTSUPPORTWin7", "IDS_ERR_NOLICENSE", "IDS_ERR_UPDATEUSB",
                     "IDS_ERR_UNSUPPORTCOM", "IDS_ERR_SELPRINTER", "IDS_ERR_COPYFIEL", "IDS_ERR_COPYFIEL1",
                     "IDS_INF_NTRESTART", "IDS_ERR_TOOMANY", "IDS_ERR_ONEPRINTER", "IDS_ERR_ALLOCMEMORY"}},
    };
    const std::vector<std::pair<const char*, std::vector<const char*>>> uninstallKeys = {
        {"Uninstall", {"Close", "Title", "Note", "Uninstall", "Select", "Exit", "USBuninstall", "CaptionName"}},
        {"Reboot", {"Title", "Note1", "Note2", "Note3", "Yes", "No"}},
        {"About", {"Version", "Copyright", "OK", "Title"}},
        {"Message", {"IDS_ABOUTBOX", "IDS_ADMIN", "IDS_ERR_NOINI", "IDS_SELECTPRN1", "IDS_DELETING1",
                     "IDS_ERR_HAVEJOB1", "IDS_ERR_HAVEJOB2", "IDS_DRV_SUCCESS1", "IDS_ERR_SPOOLER", "IDS_ERR_DELRECORD"}},
    };
    for (const char* folder : {"language", "language-zh"}) {
        TestMachine t;
        t.machine.files.mapHostFolder("C:\\LANG", std::string(SAMPLE_PACKAGE_DIR) + "/" + folder);
        t.machine.process.currentDir = "C:\\TMP";
        t.machine.files.writeFile("C:\\TMP\\language\\setup.ini", *t.machine.files.readFile("C:\\LANG\\setup.ini"));
        t.machine.files.writeFile("C:\\TMP\\language\\uninstall.ini",
                                  *t.machine.files.readFile("C:\\LANG\\uninstall.ini"));
        for (const auto& [section, keys] : setupKeys)
            for (const char* key : keys)
                EXPECT_NE(LanguageFile(t.p, Program::Setup, section).GetText(key), "")
                    << folder << " setup [" << section << "] " << key;
        for (const auto& [section, keys] : uninstallKeys)
            for (const char* key : keys)
                EXPECT_NE(LanguageFile(t.p, Program::Uninstall, section).GetText(key), "")
                    << folder << " uninstall [" << section << "] " << key;
    }
}

// The built-in English must cover every key a package's language files carry (English and
// Chinese alike), and say what the English file says.
TEST(LanguageFile, BuiltInWordingHoldsEveryKeyOfTheSampleLanguageFiles) {
    std::set<std::string> builtIn;
    for (const BuiltInEntry& e : BuiltInEntries())
        builtIn.insert((e.program == Program::Setup ? "setup|" : "uninstall|") + e.section + "|" + e.key);
    for (const char* folder : {"language", "language-zh"})
        for (const char* file : {"setup", "uninstall"}) {
            TestMachine t;
            const std::string text = *t.machine.files.readFile(std::string("C:\\PKG\\") + folder + "\\" + file + ".ini");
            std::string section;
            std::size_t keys = 0;
            for (std::size_t at = 0; at < text.size();) {
                std::size_t end = text.find("\r\n", at);
                if (end == std::string::npos) end = text.size();
                const std::string line = text.substr(at, end - at);
                at = end + 2;
                if (!line.empty() && line[0] == '[') section = line.substr(1, line.find(']') - 1);
                const std::size_t eq = line.find('=');
                if (line.empty() || line[0] == '[' || eq == std::string::npos) continue;
                ++keys;
                const std::string key = line.substr(0, eq);
                EXPECT_TRUE(builtIn.count(std::string(file) + "|" + section + "|" + key)) << folder << " " << file << " " << key;
                if (std::string(folder) == "language") {
                    EXPECT_STREQ(BuiltInText(std::string(file) == "setup" ? Program::Setup : Program::Uninstall, section, key),
                                 line.substr(eq + 1).c_str());
                }
            }
            EXPECT_GT(keys, 30u) << folder << " " << file;
        }
}
