// drvpkg: each broken package gives its one finding where the fault is, the sample checks
// without errors, and a plan records what the simulated installation really did.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "EngineMachine.h"
#include "tools/drvpkg/Checks.h"
#include "tools/drvpkg/PlanRun.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

// The sample package in a folder of its own, with W32 and W64 holding what the simulated
// install tests stage, so a change to it touches nothing shared.
struct PackageCopy {
    fs::path dir;
    PackageCopy() {
        static int made = 0;
        dir = fs::temp_directory_path() / ("drvpkg-test-" + std::to_string(getpid()) + "-" + std::to_string(made++));
        fs::remove_all(dir);
        fs::copy(SAMPLE_PACKAGE_DIR, dir, fs::copy_options::recursive);
        std::set<std::string> w32, w64;
        EngineMachine::PackageBinaryNames([this](const std::string& relative) { return read(relative); }, w32, w64);
        for (const auto& f : w32) write("W32\\" + f, "w32 " + f);
        for (const auto& f : w64) write("W64\\" + f, "w64 " + f);
    }
    ~PackageCopy() { fs::remove_all(dir); }
    fs::path at(std::string relative) const {
        for (char& c : relative)
            if (c == '\\') c = '/';
        return dir / relative;
    }
    std::string read(const std::string& relative) const {
        std::ifstream in(at(relative), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    void write(const std::string& relative, const std::string& bytes) const {
        fs::create_directories(at(relative).parent_path());
        std::ofstream(at(relative), std::ios::binary) << bytes;
    }
};

struct Broken {
    const char* fault;
    const char* file;
    const char* after;    // the edit is at the first `find` after this text
    const char* find;     // null: the file is renamed to `replace` ("" deletes it)
    const char* replace;  // null: the whole section headed by `find` is cut out
    const char* extraFile;
    const char* findingFile;
    const char* anchor;  // the finding is on the line of this text (after `after`) in findingFile
    bool error;
    const char* says;
};

const std::string kLongName = std::string(146, 'K') + ".INI";

const Broken kBroken[] = {
    {"entry without category suffix", "DRVCONFIG\\setup.ini", "", "DEVICENUMBER=10", "DEVICENUMBER=11\r\n11=KLM-X9", nullptr,
     "DRVCONFIG\\setup.ini", "11=KLM-X9", false, "no category suffix"},
    {"DEVICENUMBER beyond the entries", "DRVCONFIG\\setup.ini", "", "DEVICENUMBER=10", "DEVICENUMBER=11", nullptr,
     "DRVCONFIG\\setup.ini", "DEVICENUMBER=11", true, "entry 11 is missing"},
    {"DEFAULTNAME naming no entry", "DRVCONFIG\\setup.ini", "", "DEFAULTNAME=2", "DEFAULTNAME=12", nullptr,
     "DRVCONFIG\\setup.ini", "DEFAULTNAME", false, "names no model entry"},
    {"label file spelt right", "DRVCONFIG\\setup_lable_64.ini", "", nullptr, "DRVCONFIG\\setup_label_64.ini", nullptr,
     "DRVCONFIG\\setup.ini", "3=KLM-L40", true, "spell it \"lable\""},
    {"OS section missing", "DRVCONFIG\\setup_receipt.ini", "", "[KLM-A100.Win7]", nullptr, nullptr,
     "DRVCONFIG\\setup_receipt.ini", "SystemWin7Supported", true, "no section [KLM-A100.Win7]"},
    {"driver file absent from W64", "DRVCONFIG\\setup_receipt_64.ini", "[KLM-A100.Win7]", "GDIDataOemuniDLL=KLMUNI64.DLL",
     "GDIDataOemuniDLL=KLMUNI65.DLL", nullptr, "DRVCONFIG\\setup_receipt_64.ini", "GDIDataOemuniDLL", true, "W64 lacks"},
    {"dependent files over 200 bytes", "DRVCONFIG\\setup_receipt.ini", "[KLM-A100.Win7]", "GDIDataOemuniini=KLMUNI.INI",
     "GDIDataOemuniini=KKKK", "W32\\KKKK", "DRVCONFIG\\setup_receipt.ini", "GDIDataFile", true, "exceed 200 bytes"},
    {"help file empty", "DRVCONFIG\\setup_receipt.ini", "[KLM-A100.Win7]", "GDIHelpFile=UNIDRV.HLP", "GDIHelpFile=", nullptr,
     "DRVCONFIG\\setup_receipt.ini", "GDIHelpFile", true, "IDS_ERR_LOSTDRIVERFILE"},
    {"driver name over 50", "DRVCONFIG\\setup_receipt.ini", "[KLM-A100.Win7]", "DriverNameP=KLM A100 Receipt",
     "DriverNameP=KLM A100 Receipt with a name far longer than fifty", nullptr, "DRVCONFIG\\setup_receipt.ini",
     "DriverNameP", true, "cut to"},
    {"serial ports without a serial monitor", "DRVCONFIG\\setup.ini", "[COMMON-MONITOR.Win7]",
     "COMMONitorPName=KLM COM Port", "COMMONitorPName=0", nullptr, "DRVCONFIG\\setup.ini", "[COMMON-MONITOR.Win7]", true,
     "no serial port monitor"},
    {"BaudRate not in the list", "DRVCONFIG\\setup_receipt.ini", "[KLM-A100.PORT]", "BaudRate=", "BaudRate=1234", nullptr,
     "DRVCONFIG\\setup_receipt.ini", "BaudRate", false, "not in"},
    {"language key empty", "language\\setup.ini", "[Setup]", "\nCaption=Printer Driver Setup\r", "\nCaption=\r", nullptr,
     "language\\setup.ini", "\nCaption=", false, "is empty"},
    {"Chinese text not GBK", "language-zh\\setup.ini", "[Setup]", "\nCaption=", "\nCaption=\x80", nullptr,
     "language-zh\\setup.ini", "\nCaption=", true, "not valid GBK"},
    {"stray percent", "language\\uninstall.ini", "", "IDS_DELETING1=", "IDS_DELETING1=%d ", nullptr,
     "language\\uninstall.ini", "IDS_DELETING1", false, "\"%d\""},
    {"uninstall name matching nothing", "DRVCONFIG\\Uninstall.ini", "", "PRINTERNAME9=KLM E20 Embedded",
     "PRINTERNAME9=KLM Z99", nullptr, "DRVCONFIG\\Uninstall.ini", "PRINTERNAME9", false, "matches no printer driver"},
    {"uninstall name matching Windows' own", "DRVCONFIG\\Uninstall.ini", "", "MONITORNAME2=KLM USB Port",
     "MONITORNAME2=USB", nullptr, "DRVCONFIG\\Uninstall.ini", "MONITORNAME2", false, "\"USB Monitor\""},
    {"uninstall section name over 29", "DRVCONFIG\\Uninstall.ini", "", "[KLMPrintProc.98]",
     "[KLMPrintProcessorForReceipts.98]", nullptr, "DRVCONFIG\\Uninstall.ini", "[KLMPrintProcessorForReceipts.98]", true,
     "cut to 29"},
    {"License.txt missing", "License.txt", "", nullptr, "", nullptr, "DRVCONFIG\\setup.ini", "LOADLICENSE", true,
     "License.txt is missing"},
    {"key no program reads", "DRVCONFIG\\setup.ini", "", "GDISTDSign=0", "GDISTDSign=0\r\nGDISTDSIGNAL=1", nullptr,
     "DRVCONFIG\\setup.ini", "GDISTDSIGNAL", false, "no program reads"},
};

int lineOf(const std::string& text, std::size_t offset) {
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<long>(offset), '\n'));
}

void breakPackage(const PackageCopy& pkg, const Broken& b) {
    if (!b.find) {
        if (*b.replace) fs::rename(pkg.at(b.file), pkg.at(b.replace));
        else fs::remove(pkg.at(b.file));
        return;
    }
    std::string text = pkg.read(b.file);
    const std::size_t at = text.find(b.find, text.find(b.after));
    ASSERT_NE(at, std::string::npos) << b.find;
    if (b.replace) {
        std::string replacement = b.replace;
        // The long name stands in for KKKK, so that the list of dependent files overflows.
        const auto k = replacement.find("KKKK");
        if (k != std::string::npos) replacement.replace(k, 4, kLongName);
        text.replace(at, std::string(b.find).size(), replacement);
    } else {
        text.erase(at, text.find("\n[", at) + 1 - at);
    }
    pkg.write(b.file, text);
    if (b.extraFile) pkg.write(std::string(b.extraFile).replace(std::string(b.extraFile).find("KKKK"), 4, kLongName), "x");
}

std::string shown(const std::vector<drvpkg::Finding>& findings) {
    std::string all;
    for (const auto& f : findings) all += f.file + ":" + std::to_string(f.line) + ": " + f.text + "\n";
    return all;
}

}  // namespace

TEST(DrvpkgCheck, SamplePackageHasNoErrors) {
    for (const auto& findings : {drvpkg::CheckPackage(SAMPLE_PACKAGE_DIR), drvpkg::CheckPackage(PackageCopy().dir.string())})
        for (const auto& f : findings) EXPECT_FALSE(f.error) << f.file << ":" << f.line << ": " << f.text;
}

TEST(DrvpkgCheck, EachBrokenPackageGivesItsOneFinding) {
    PackageCopy sample;
    const auto before = drvpkg::CheckPackage(sample.dir.string());
    for (const Broken& b : kBroken) {
        SCOPED_TRACE(b.fault);
        PackageCopy pkg;
        breakPackage(pkg, b);
        std::vector<drvpkg::Finding> added;
        for (const auto& f : drvpkg::CheckPackage(pkg.dir.string())) {
            bool known = false;
            // Lines of earlier findings may move with the edit.
            for (const auto& g : before) known = known || (g.file == f.file && g.text == f.text);
            if (!known) added.push_back(f);
        }
        ASSERT_EQ(added.size(), 1u) << shown(added);
        const std::string text = pkg.read(b.findingFile);
        const std::size_t anchor = text.find(b.anchor, text.find(b.after));
        ASSERT_NE(anchor, std::string::npos);
        EXPECT_EQ(added[0].file, drvpkg::PackageFolder::shown(b.findingFile));
        EXPECT_EQ(added[0].line, lineOf(text, anchor + (b.anchor[0] == '\n' ? 1 : 0)));
        EXPECT_EQ(added[0].error, b.error);
        EXPECT_NE(added[0].text.find(b.says), std::string::npos) << added[0].text;
    }
}

// The plan of each port kind shows the records the simulated install tests' own install
// leaves on the machine, and the message the worker leaves for the wizard to show.
TEST(DrvpkgPlan, RecordsWhatTheEngineInstalls) {
    PackageCopy pkg;
    int machines = 0;
    for (const auto& w : drvpkg::SimulatedWindowsList()) {
        if (w.name != "7-64" && w.name != "10-64") continue;
        ++machines;
        for (const char* port : {"LPT1:", "COM1:", "USB_KLM-A100_1", "NET:"}) {
            SCOPED_TRACE(w.name + " " + port);
            EngineMachine engine(w.version, w.sixtyFourBit);
            const auto installed = engine.install(engine.choices("KLM-A100", cfg::kReceipt, port));
            ASSERT_EQ(installed.state, engine::kSucceeded) << installed.messages;
            const sim::SimPrinter* printer = engine.machine.spooler.printer(installed.printerName);
            ASSERT_NE(printer, nullptr);

            drvpkg::PlanOptions options;
            options.windows = w.name;
            options.model = "KLM-A100";
            options.port = port;
            const drvpkg::PlanResult plan = drvpkg::RunPlan(pkg.dir.string(), options);
            ASSERT_EQ(plan.usageError, "");
            EXPECT_EQ(plan.outcome, "installed");
            ASSERT_FALSE(plan.messages.empty());
            EXPECT_EQ(plan.messages.back(), installed.messages);
            std::map<std::string, std::string> added;
            for (const auto& s : plan.steps)
                if (s.call == "AddPrinterA" && s.ok) added.insert(s.fields.begin(), s.fields.end());
            EXPECT_EQ(added["pPrinterName"], printer->info.printerName.value_or("(null)"));
            EXPECT_EQ(added["pPortName"], printer->info.portName.value_or("(null)"));
            EXPECT_EQ(added["pDriverName"], printer->info.driverName.value_or("(null)"));
            EXPECT_EQ(added["pPrintProcessor"], printer->info.printProcessor.value_or("(null)"));
        }
    }
    EXPECT_GE(machines, 1);
}
