// The INI reader of the simulated machine must answer as GetPrivateProfileStringA does,
// since every configuration reader of both programs is proven through it.
#include <gtest/gtest.h>

#include <string>

#include "platform/sim/IniFile.h"
#include "platform/sim/SimMachine.h"

namespace {

using sim::IniFile;

std::string get(const std::string& text, const std::string& section, const std::string& key,
                const std::string& def = "dflt", std::uint32_t size = 256) {
    IniFile ini = IniFile::parse(text);
    return IniFile::getString(&ini, section, key, def, size);
}

TEST(IniFile, SectionAndKeyNamesIgnoreAsciiCase) {
    const std::string text = "[DeviceName]\r\nDeviceNumber=3\r\n[other]\r\nx=1\r\n";
    EXPECT_EQ(get(text, "DEVICENAME", "devicenumber"), "3");
    EXPECT_EQ(get(text, "devicename", "DEVICENUMBER"), "3");
    EXPECT_EQ(get(text, "OTHER", "X"), "1");
    // Only ASCII letters fold: a byte above 0x7F must match itself only.
    const std::string gbk = "[\xC9\xE8\xD6\xC3]\r\nk=v\r\n";
    EXPECT_EQ(get(gbk, "\xC9\xE8\xD6\xC3", "K"), "v");
    EXPECT_EQ(get(gbk, "\xE9\xE8\xD6\xC3", "k"), "dflt");
}

TEST(IniFile, BlanksAroundNamesAndValuesAreDroppedButInnerBlanksKept) {
    const std::string text =
        "  [Sec]  \r\n"
        " \tKey One \t=  two  words \t\r\n"
        "Empty =   \r\n"
        "Tab=\tx\ty\t\r\n";
    EXPECT_EQ(get(text, "Sec", "Key One"), "two  words");
    EXPECT_EQ(get(text, "Sec", "Empty"), "");  // present but empty: not the default
    EXPECT_EQ(get(text, "Sec", "Tab"), "x\ty");
    // The names asked for are trimmed too.
    EXPECT_EQ(get(text, "  Sec\t", " Key One  "), "two  words");
    // A blank inside a name is part of it.
    EXPECT_EQ(get(text, "Sec", "KeyOne"), "dflt");
}

TEST(IniFile, OnePairOfMatchingQuotesIsRemoved) {
    const std::string text =
        "[q]\r\n"
        "dq=\"quoted value\"\r\n"
        "sq='single'\r\n"
        "mixed=\"open'\r\n"
        "lone=\"\r\n"
        "pair=\"\"\r\n"
        "nested=\"\"inner\"\"\r\n"
        "inside=a\"b\"\r\n"
        "blanks=  \" padded \"  \r\n";
    EXPECT_EQ(get(text, "q", "dq"), "quoted value");
    EXPECT_EQ(get(text, "q", "sq"), "single");
    EXPECT_EQ(get(text, "q", "mixed"), "\"open'");
    EXPECT_EQ(get(text, "q", "lone"), "\"");
    EXPECT_EQ(get(text, "q", "pair"), "");
    EXPECT_EQ(get(text, "q", "nested"), "\"inner\"");
    EXPECT_EQ(get(text, "q", "inside"), "a\"b\"");
    // Blanks outside the quotes go with the trimming, blanks inside stay.
    EXPECT_EQ(get(text, "q", "blanks"), " padded ");
}

TEST(IniFile, QuotedValueInAShortBuffer) {
    // "abcdef" in quotes: 8 bytes in the file, 6 once unquoted.
    const std::string text = "[q]\r\nv=\"abcdef\"\r\n";
    EXPECT_EQ(get(text, "q", "v", "d", 8), "abcdef");
    EXPECT_EQ(get(text, "q", "v", "d", 9), "abcdef");
    // Cut before the closing quote: the opening one is still gone, nothing else lost.
    EXPECT_EQ(get(text, "q", "v", "d", 4), "abc");
    EXPECT_EQ(get(text, "q", "v", "d", 6), "abcde");
    // One byte short of holding the closing quote: the last character still goes, as in
    // Wine's reader, the reference the Windows build is checked against.
    EXPECT_EQ(get(text, "q", "v", "d", 7), "abcde");
    EXPECT_EQ(get(text, "q", "v", "d", 2), "a");
    EXPECT_EQ(get(text, "q", "v", "d", 1), "");
    EXPECT_EQ(get(text, "q", "v", "d", 0), "");
    // An empty quoted value in a one-byte buffer must not reach before the buffer.
    EXPECT_EQ(get("[q]\r\nv=''\r\n", "q", "v", "d", 1), "");
}

TEST(IniFile, ValuesAreCutToTheBufferLessOne) {
    const std::string text = "[s]\r\nk=0123456789\r\n";
    EXPECT_EQ(get(text, "s", "k", "d", 11), "0123456789");
    EXPECT_EQ(get(text, "s", "k", "d", 10), "012345678");
    EXPECT_EQ(get(text, "s", "k", "d", 2), "0");
    EXPECT_EQ(get(text, "s", "k", "d", 1), "");
    EXPECT_EQ(get(text, "s", "k", "d", 0), "");
    // The default is cut the same way.
    EXPECT_EQ(get(text, "s", "missing", "defaultvalue", 4), "def");
}

TEST(IniFile, FirstOfRepeatedSectionsAndKeysWins) {
    const std::string text =
        "[A]\r\n"
        "k=first\r\n"
        "K=second\r\n"
        "[B]\r\n"
        "b=1\r\n"
        "[a]\r\n"
        "k=third\r\n"
        "onlyInSecond=yes\r\n";
    EXPECT_EQ(get(text, "A", "k"), "first");
    // The later section of the same name is never searched, even for keys it alone has.
    EXPECT_EQ(get(text, "A", "onlyInSecond"), "dflt");
    EXPECT_EQ(get(text, "B", "b"), "1");
}

TEST(IniFile, MissingFileSectionOrKeyGivesTheDefaultWithoutTrailingBlanks) {
    EXPECT_EQ(IniFile::getString(nullptr, "s", "k", "fallback", 100), "fallback");
    EXPECT_EQ(IniFile::getString(nullptr, "s", "k", "one two   ", 100), "one two");
    EXPECT_EQ(IniFile::getString(nullptr, "s", "k", "  lead", 100), "  lead");
    // Only trailing spaces go, and never the first character.
    EXPECT_EQ(IniFile::getString(nullptr, "s", "k", " ", 100), " ");
    EXPECT_EQ(IniFile::getString(nullptr, "s", "k", "   ", 100), " ");
    EXPECT_EQ(IniFile::getString(nullptr, "s", "k", "x\t", 100), "x\t");
    EXPECT_EQ(IniFile::getString(nullptr, "s", "k", "", 100), "");
    const std::string text = "[s]\r\nk=v\r\n";
    EXPECT_EQ(get(text, "nosection", "k", "d0  "), "d0");
    EXPECT_EQ(get(text, "s", "nokey", "0"), "0");
}

TEST(IniFile, LinesWithoutEqualsHaveNoValue) {
    const std::string text =
        "[s]\r\n"
        "justaname\r\n"
        "after=1\r\n"
        "; comment=like\r\n";
    EXPECT_EQ(get(text, "s", "justaname"), "dflt");
    EXPECT_EQ(get(text, "s", "after"), "1");
    // The reader knows no comments: such a line is an ordinary key.
    EXPECT_EQ(get(text, "s", "; comment"), "like");
    // A value may itself contain '='; only the first one splits.
    EXPECT_EQ(get("[s]\r\na=b=c\r\n", "s", "a"), "b=c");
}

TEST(IniFile, SectionHeaderNeedsAClosingBracket) {
    const std::string text =
        "[good]\r\n"
        "k=1\r\n"
        "[broken\r\n"
        "k2=2\r\n"
        "[last] trailing\r\n"
        "k3=3\r\n";
    // "[broken" is no header: its line and the next belong to [good].
    EXPECT_EQ(get(text, "good", "k2"), "2");
    EXPECT_EQ(get(text, "good", "[broken"), "dflt");
    EXPECT_EQ(get(text, "broken", "k2"), "dflt");
    // Text after the last ']' is ignored.
    EXPECT_EQ(get(text, "last", "k3"), "3");
    // The last ']' closes the name.
    EXPECT_EQ(get("[a]b]\r\nk=v\r\n", "a]b", "k"), "v");
}

TEST(IniFile, KeysBeforeAnySectionBelongToTheUnnamedSection) {
    const std::string text = "early=1\r\n[s]\r\nlate=2\r\n";
    EXPECT_EQ(get(text, "", "early"), "1");
    EXPECT_EQ(get(text, "s", "early"), "dflt");
    EXPECT_EQ(get(text, "s", "late"), "2");
}

TEST(IniFile, LineEndingsCrLfLfAndLoneCr) {
    for (const std::string eol : {"\r\n", "\n", "\r", "\n\r", "\r\r\n"}) {
        const std::string text = "[s]" + eol + "a=1" + eol + "b=2" + eol + "[t]" + eol + "c=3";
        SCOPED_TRACE(testing::PrintToString(eol));
        EXPECT_EQ(get(text, "s", "a"), "1");
        EXPECT_EQ(get(text, "s", "b"), "2");
        EXPECT_EQ(get(text, "t", "c"), "3");  // last line without an end of line
        EXPECT_EQ(get(text, "s", "c"), "dflt");
    }
}

TEST(IniFile, BinaryBytesAndNulsAreHarmless) {
    // A NUL ends the name or value it is in, as the C strings they become.
    const char raw[] = "[s]\r\nk=ab\0cd\r\nna\0me=v\r\n";
    const std::string text(raw, sizeof raw - 1);
    EXPECT_EQ(get(text, "s", "k"), "ab");
    EXPECT_EQ(get(text, "s", "na"), "v");
    // Ctrl-Z counts as a blank (old editors ended files with it).
    EXPECT_EQ(get("[s]\r\nk=v\x1a\r\n\x1a", "s", "k"), "v");
    // Every byte value, in every position, must parse without harm.
    std::string noise;
    for (int i = 0; i < 4096; ++i) noise.push_back(static_cast<char>((i * 131 + i / 7) & 0xFF));
    IniFile ini = IniFile::parse(noise);
    for (std::uint32_t size : {0u, 1u, 2u, 5u, 1024u}) {
        std::string v = IniFile::getString(&ini, "s", "k", "d", size);
        EXPECT_LT(v.size(), std::max<std::uint32_t>(size, 1u));
    }
    IniFile empty = IniFile::parse(std::string());
    EXPECT_EQ(IniFile::getString(&empty, "s", "k", "d", 10), "d");
    IniFile onlyBreaks = IniFile::parse("\r\n\n\r[\r]\r=\r[]\r\n");
    EXPECT_EQ(IniFile::getString(&onlyBreaks, "", "[", "d", 10), "d");
}

// The profile call of the simulated machine: where the file is looked for.
TEST(SimProfile, BareFileNameIsInTheWindowsFolderAndPathsFromTheCurrentOne) {
    sim::SimMachine m;
    m.process.currentDir = "C:\\PKG";
    m.files.writeFile("C:\\WINDOWS\\win.ini", "[s]\r\nk=windows\r\n");
    m.files.writeFile("C:\\PKG\\win.ini", "[s]\r\nk=current\r\n");
    m.files.writeFile("C:\\PKG\\DRVCONFIG\\setup.ini", "[s]\r\nk=package\r\n");
    m.files.writeFile("C:\\setup.ini", "[s]\r\nk=root\r\n");
    auto& profile = m.platform().profile;
    EXPECT_EQ(profile.GetPrivateProfileString("s", "k", "d", 100, "win.ini"), "windows");
    EXPECT_EQ(profile.GetPrivateProfileString("s", "k", "d", 100, ".\\win.ini"), "current");
    EXPECT_EQ(profile.GetPrivateProfileString("s", "k", "d", 100, "DRVCONFIG\\setup.ini"), "package");
    EXPECT_EQ(profile.GetPrivateProfileString("s", "k", "d", 100, "drvconfig/SETUP.INI"), "package");
    EXPECT_EQ(profile.GetPrivateProfileString("s", "k", "d", 100, "..\\setup.ini"), "root");
    EXPECT_EQ(profile.GetPrivateProfileString("s", "k", "d", 100, "C:\\PKG\\DRVCONFIG\\setup.ini"), "package");
    EXPECT_EQ(profile.GetPrivateProfileString("s", "k", "d  ", 100, "missing.ini"), "d");
    EXPECT_EQ(profile.GetPrivateProfileString("s", "k", "d", 3, "win.ini"), "wi");
}

TEST(SimProfile, EveryReadSeesTheFileAsItIsNow) {
    sim::SimMachine m;
    auto& profile = m.platform().profile;
    m.files.writeFile("C:\\PKG\\a.ini", "[s]\r\nk=1\r\n");
    EXPECT_EQ(profile.GetPrivateProfileString("s", "k", "0", 10, "C:\\PKG\\a.ini"), "1");
    m.files.writeFile("C:\\PKG\\a.ini", "[s]\r\nk=2\r\n");
    EXPECT_EQ(profile.GetPrivateProfileString("s", "k", "0", 10, "C:\\PKG\\a.ini"), "2");
    m.files.removeFile("C:\\PKG\\A.INI");
    EXPECT_EQ(profile.GetPrivateProfileString("s", "k", "0", 10, "C:\\PKG\\a.ini"), "0");
    // Under WOW64 the same path names another file once redirection is switched off.
    m.setWindows(sim::WindowsVersion::Win7, true);
    m.files.writeFile("C:\\WINDOWS\\system32\\r.ini", "[s]\r\nk=SysWOW64\r\n");
    EXPECT_EQ(profile.GetPrivateProfileString("s", "k", "0", 10, "C:\\WINDOWS\\system32\\r.ini"), "SysWOW64");
    m.files.setRedirection(true, false, m.process.windowsDir);
    EXPECT_EQ(profile.GetPrivateProfileString("s", "k", "0", 10, "C:\\WINDOWS\\system32\\r.ini"), "0");
}

}  // namespace
