// The simulated machine's INI reading against the real GetPrivateProfileStringA: every case
// is written to a file on both, read with the same arguments, and the answers must match.
// The simulated reader is what all native tests of configuration and wording rely on.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "WineTestSupport.h"
#include "platform/sim/SimMachine.h"
#include "platform/win32/WindowsHeaders.h"

using winetest::Real;

namespace {

// Where the file lives and how the call names it.
enum class Where {
    Absolute,  // full path
    Relative,  // ".\name", from the current directory
    Bare,      // "name": Windows looks in the Windows folder
};

struct ProfileCase {
    const char* name;
    std::optional<std::string> bytes;  // nothing: the file does not exist
    std::string section, key, defaultValue;
    std::uint32_t size = 256;
    Where where = Where::Absolute;
    // For cases that anchor the table: what both must say. A wrong file path, for one,
    // would otherwise agree on the default everywhere.
    std::optional<std::string> expected = std::nullopt;
};

std::ostream& operator<<(std::ostream& out, const ProfileCase& c) { return out << c.name; }

const std::string kSimFolder = "C:\\KLMTEST";

// What a printable diff of two answers needs: both texts with control bytes spelt out.
std::string Show(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out + "\" (" + std::to_string(text.size()) + " bytes)";
}

class ProfileAgreement : public ::testing::TestWithParam<ProfileCase> {
protected:
    std::string ReadReal(const ProfileCase& c) {
        winetest::TempFolder folder;
        const std::string fileName = winetest::UniqueName("klm") + ".ini";
        std::string windowsDir;
        Real().process.GetWindowsDirectory(260, &windowsDir);
        std::string written;  // to remove afterwards, outside the temp folder
        if (c.bytes) {
            if (c.where == Where::Bare) {
                written = windowsDir + "\\" + fileName;
                WriteFileBytes(written, *c.bytes);
            } else {
                folder.Write(fileName, *c.bytes);
            }
        }
        std::string previous;
        Real().process.GetCurrentDirectory(260, &previous);
        SetCurrentDirectoryA(folder.path().c_str());
        std::string answer = Real().profile.GetPrivateProfileString(
            c.section, c.key, c.defaultValue, c.size, Argument(c, folder.path(), fileName));
        SetCurrentDirectoryA(previous.c_str());
        if (!written.empty()) DeleteFileA(written.c_str());
        return answer;
    }

    std::string ReadSim(const ProfileCase& c) {
        sim::SimMachine machine;
        machine.process.currentDir = kSimFolder;
        const std::string fileName = "case.ini";
        if (c.bytes) {
            const std::string folder = c.where == Where::Bare ? machine.process.windowsDir : kSimFolder;
            machine.files.writeFile(folder + "\\" + fileName, *c.bytes);
        }
        return machine.platform().profile.GetPrivateProfileString(
            c.section, c.key, c.defaultValue, c.size, Argument(c, kSimFolder, fileName));
    }

private:
    static std::string Argument(const ProfileCase& c, const std::string& folder,
                                const std::string& fileName) {
        switch (c.where) {
            case Where::Relative: return ".\\" + fileName;
            case Where::Bare: return fileName;
            case Where::Absolute: break;
        }
        return folder + "\\" + fileName;
    }

    static void WriteFileBytes(const std::string& path, const std::string& bytes);
};

void ProfileAgreement::WriteFileBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << path;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

TEST_P(ProfileAgreement, SimulatedAnswerMatchesTheRealCall) {
    const ProfileCase& c = GetParam();
    const std::string real = ReadReal(c);
    const std::string simulated = ReadSim(c);
    RecordProperty("real", Show(real));  // in --gtest_output=xml, for reading Wine's answers
    EXPECT_EQ(real, simulated) << "real: " << Show(real) << "\n sim: " << Show(simulated);
    if (c.expected) {
        EXPECT_EQ(*c.expected, real) << "real: " << Show(real);
    }
}

std::string CaseName(const ::testing::TestParamInfo<ProfileCase>& info) { return info.param.name; }

const std::string kBasic = "[Setup]\r\nName=Value\r\nPort Name=LPT1:\r\n";

INSTANTIATE_TEST_SUITE_P(
    NamesIgnoreCase, ProfileAgreement,
    ::testing::Values(
        ProfileCase{"ExactCase", kBasic, "Setup", "Name", "dflt", 256, Where::Absolute, "Value"},
        ProfileCase{"LowerSection", kBasic, "setup", "Name", "dflt"},
        ProfileCase{"UpperKey", kBasic, "SETUP", "NAME", "dflt"},
        ProfileCase{"KeyWithInnerBlank", kBasic, "setup", "port name", "dflt", 256,
                    Where::Absolute, "LPT1:"},
        ProfileCase{"ValueKeepsItsCase", "[S]\r\nK=MiXeD\r\n", "s", "k", ""}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    Blanks, ProfileAgreement,
    ::testing::Values(
        ProfileCase{"AroundKeyAndValue", "[S]\r\n  Key  =  Value with blanks  \r\n", "S", "Key", "d"},
        ProfileCase{"TabsAroundKeyAndValue", "[S]\r\n\tKey\t=\tValue\t\r\n", "S", "Key", "d"},
        ProfileCase{"BlanksBeforeBracket", "   [S]\r\nKey=V\r\n", "S", "Key", "d"},
        ProfileCase{"QueriedSectionWithBlanks", "[S]\r\nKey=V\r\n", " S ", "Key", "d"},
        ProfileCase{"QueriedKeyWithBlanks", "[S]\r\nKey=V\r\n", "S", " Key ", "d"},
        ProfileCase{"BlankLinesBetween", "\r\n\r\n[S]\r\n\r\n   \r\nKey=V\r\n\r\n", "S", "Key", "d"},
        ProfileCase{"BlanksInsideValueKept", "[S]\r\nKey=a  b\tc\r\n", "S", "Key", "d"}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    Quotes, ProfileAgreement,
    ::testing::Values(
        ProfileCase{"DoubleQuoted", "[S]\r\nK=\"quoted value\"\r\n", "S", "K", "d"},
        ProfileCase{"SingleQuoted", "[S]\r\nK='single'\r\n", "S", "K", "d"},
        ProfileCase{"QuotedBlanksKept", "[S]\r\nK=\"  padded  \"\r\n", "S", "K", "d"},
        ProfileCase{"BlanksOutsideQuotes", "[S]\r\nK=  \"abc\"  \r\n", "S", "K", "d"},
        ProfileCase{"MismatchedQuotes", "[S]\r\nK=\"mixed'\r\n", "S", "K", "d"},
        ProfileCase{"OpeningQuoteOnly", "[S]\r\nK=\"open\r\n", "S", "K", "d"},
        ProfileCase{"ClosingQuoteOnly", "[S]\r\nK=close\"\r\n", "S", "K", "d"},
        ProfileCase{"LoneQuote", "[S]\r\nK=\"\r\n", "S", "K", "d"},
        ProfileCase{"EmptyQuotes", "[S]\r\nK=\"\"\r\n", "S", "K", "d"},
        ProfileCase{"TextAfterClosingQuote", "[S]\r\nK=\"abc\"def\r\n", "S", "K", "d"},
        ProfileCase{"InnerQuotes", "[S]\r\nK=\"a\"b\"\r\n", "S", "K", "d"},
        ProfileCase{"QuotedInBuffer2", "[S]\r\nK=\"abc\"\r\n", "S", "K", "d", 2},
        ProfileCase{"QuotedInBuffer3", "[S]\r\nK=\"abc\"\r\n", "S", "K", "d", 3},
        ProfileCase{"QuotedInBuffer4", "[S]\r\nK=\"abc\"\r\n", "S", "K", "d", 4},
        ProfileCase{"QuotedInBuffer5", "[S]\r\nK=\"abc\"\r\n", "S", "K", "d", 5},
        ProfileCase{"QuotedInBuffer6", "[S]\r\nK=\"abc\"\r\n", "S", "K", "d", 6},
        ProfileCase{"SingleQuotedInBuffer4", "[S]\r\nK='abc'\r\n", "S", "K", "d", 4},
        ProfileCase{"QuotedDefault", "[S]\r\n", "S", "K", "\"dflt\""}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    Duplicates, ProfileAgreement,
    ::testing::Values(
        ProfileCase{"RepeatedKeyFirstWins", "[S]\r\nK=first\r\nK=second\r\n", "S", "K", "d"},
        ProfileCase{"RepeatedKeyOtherCase", "[S]\r\nk=first\r\nK=second\r\n", "S", "K", "d"},
        ProfileCase{"RepeatedSectionSameKey", "[S]\r\nK=first\r\n[T]\r\nK=t\r\n[S]\r\nK=second\r\n",
                    "S", "K", "d"},
        ProfileCase{"RepeatedSectionOtherKey", "[S]\r\nA=1\r\n[T]\r\nX=t\r\n[s]\r\nB=2\r\n", "S",
                    "B", "d"},
        ProfileCase{"EmptyFirstSection", "[S]\r\n[S]\r\nK=v\r\n", "S", "K", "d"}),
    CaseName);

const std::string kTenChars = "[S]\r\nK=0123456789\r\n";
const std::string kLong = "[S]\r\nK=" + std::string(300, 'x') + "y\r\n";
const std::string kVeryLong = "[S]\r\nK=" + std::string(5000, 'z') + "\r\n";

INSTANTIATE_TEST_SUITE_P(
    BufferLengths, ProfileAgreement,
    ::testing::Values(
        ProfileCase{"FitsExactly", kTenChars, "S", "K", "d", 11, Where::Absolute, "0123456789"},
        ProfileCase{"OneShort", kTenChars, "S", "K", "d", 10, Where::Absolute, "012345678"},
        ProfileCase{"BufferOfTwo", kTenChars, "S", "K", "d", 2},
        ProfileCase{"BufferOfOne", kTenChars, "S", "K", "d", 1},
        ProfileCase{"BufferOfZero", kTenChars, "S", "K", "d", 0},
        ProfileCase{"LongValueCut", kLong, "S", "K", "d", 256},
        ProfileCase{"LongValueWhole", kLong, "S", "K", "d", 400},
        ProfileCase{"VeryLongLine", kVeryLong, "S", "K", "d", 6000},
        ProfileCase{"DefaultCut", "[S]\r\n", "S", "K", "0123456789", 5},
        ProfileCase{"HighBytesWhole", "[S]\r\nK=\xB4\xF2\xD3\xA1\xBB\xFA\r\n", "S", "K", "d"}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    Missing, ProfileAgreement,
    ::testing::Values(
        ProfileCase{"NoFile", std::nullopt, "S", "K", "dflt", 256, Where::Absolute, "dflt"},
        ProfileCase{"NoSection", kBasic, "Other", "Name", "dflt"},
        ProfileCase{"NoKey", kBasic, "Setup", "Other", "dflt"},
        ProfileCase{"KeyOfAnotherSection", "[A]\r\nK=a\r\n[B]\r\nL=b\r\n", "A", "L", "dflt"},
        ProfileCase{"EmptyFile", "", "S", "K", "dflt"},
        ProfileCase{"EmptyDefault", kBasic, "Setup", "Other", ""},
        ProfileCase{"DefaultTrailingBlanks", kBasic, "Setup", "Other", "dflt   "},
        ProfileCase{"DefaultLeadingBlanks", kBasic, "Setup", "Other", "   dflt"},
        ProfileCase{"DefaultOnlyBlanks", kBasic, "Setup", "Other", "   "},
        ProfileCase{"DefaultTrailingTab", kBasic, "Setup", "Other", "dflt\t"}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    LineShapes, ProfileAgreement,
    ::testing::Values(
        ProfileCase{"KeyBeforeAnySectionInEmptySection", "K=v\r\n[S]\r\nA=1\r\n", "", "K", "d"},
        ProfileCase{"KeyBeforeAnySectionNotInFirst", "K=v\r\n[S]\r\nA=1\r\n", "S", "K", "d"},
        ProfileCase{"LineWithoutEquals", "[S]\r\nJustAKey\r\nB=2\r\n", "S", "JustAKey", "d"},
        ProfileCase{"LineWithoutEqualsDoesNotHide", "[S]\r\nJustAKey\r\nB=2\r\n", "S", "B", "d"},
        ProfileCase{"OpenBracketOnlyKeepsSection", "[S]\r\n[T\r\nA=1\r\n", "S", "A", "d"},
        ProfileCase{"OpenBracketOnlyIsNoSection", "[S]\r\n[T\r\nA=1\r\n", "T", "A", "d"},
        ProfileCase{"OpenBracketOnlyAsKey", "[S]\r\n[T=x\r\n", "S", "[T", "d"},
        ProfileCase{"TextAfterClosingBracket", "[S] ; note\r\nA=1\r\n", "S", "A", "d"},
        ProfileCase{"TwoClosingBrackets", "[S]x]\r\nA=1\r\n", "S]x", "A", "d"},
        ProfileCase{"TwoClosingBracketsShortName", "[S]x]\r\nA=1\r\n", "S", "A", "d"},
        ProfileCase{"SemicolonLineIsAKey", "[S]\r\n;A=1\r\nB=2\r\n", "S", ";A", "d"},
        ProfileCase{"SemicolonLineHidesNothing", "[S]\r\n;A=1\r\n", "S", "A", "d"},
        ProfileCase{"SemicolonInValueKept", "[S]\r\nA=val ; note\r\n", "S", "A", "d"},
        ProfileCase{"EqualsInValue", "[S]\r\nA=b=c\r\n", "S", "A", "d"},
        ProfileCase{"EmptyKeyName", "[S]\r\n=v\r\n", "S", "", "d"}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    LineEnds, ProfileAgreement,
    ::testing::Values(
        ProfileCase{"CrLf", "[S]\r\nA=1\r\nB=2\r\n", "S", "B", "d", 256, Where::Absolute, "2"},
        ProfileCase{"LfOnly", "[S]\nA=1\nB=2\n", "S", "B", "d"},
        ProfileCase{"CrOnly", "[S]\rA=1\rB=2\r", "S", "B", "d"},
        ProfileCase{"Mixed", "[S]\nA=1\r\nB=2\n", "S", "B", "d"},
        ProfileCase{"LoneCrInLfFileEndsLine", "[S]\nA=1\rB=2\n", "S", "A", "d"},
        ProfileCase{"LoneCrInLfFileStartsKey", "[S]\nA=1\rB=2\n", "S", "B", "d"},
        ProfileCase{"NoFinalNewline", "[S]\r\nA=1\r\nB=2", "S", "B", "d"},
        ProfileCase{"CrInsideValue", "[S]\r\nA=1\r\r\nB=2\r\n", "S", "A", "d"}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    EmptyValues, ProfileAgreement,
    ::testing::Values(
        ProfileCase{"NothingAfterEquals", "[S]\r\nA=\r\n", "S", "A", "d", 256, Where::Absolute, ""},
        ProfileCase{"OnlyBlanksAfterEquals", "[S]\r\nA=   \r\n", "S", "A", "d"},
        ProfileCase{"EmptyValueLastLine", "[S]\r\nA=", "S", "A", "d"}),
    CaseName);

// Blanks inside the brackets and a UTF-8 byte-order mark: both are ignored.
INSTANTIATE_TEST_SUITE_P(
    HeaderShapes, ProfileAgreement,
    ::testing::Values(
        ProfileCase{"BlanksInsideBrackets", "[ S ]\r\nKey=V\r\n", "S", "Key", "d"},
        ProfileCase{"Utf8ByteOrderMark", "\xEF\xBB\xBF[S]\r\nA=1\r\n", "S", "A", "d"}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    FileNames, ProfileAgreement,
    ::testing::Values(
        ProfileCase{"RelativeToCurrentFolder", kBasic, "Setup", "Name", "d", 256, Where::Relative,
                    "Value"},
        ProfileCase{"BareNameMeansWindowsFolder", kBasic, "Setup", "Name", "d", 256, Where::Bare,
                    "Value"}),
    CaseName);

}  // namespace
