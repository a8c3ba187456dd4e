// What the spooler of the machine holds, as the Windows programs that drive setup and the
// uninstaller from outside read it after a run: printers, drivers, monitors, ports and
// print processors by name.
#pragma once
#include <windows.h>
#include <winspool.h>

#include <string>
#include <vector>

namespace spooler_inventory {

// One Enum* call of the spooler: asked for its size first, then read into `storage`,
// which keeps the records' strings alive.
template <typename Info, typename Call>
std::vector<Info> enumerate(Call call, std::vector<BYTE>* storage) {
    DWORD needed = 0, count = 0;
    call(nullptr, 0, &needed, &count);
    storage->assign(needed + sizeof(Info), 0);
    if (!call(storage->data(), static_cast<DWORD>(storage->size()), &needed, &count)) return {};
    const Info* first = reinterpret_cast<const Info*>(storage->data());
    std::vector<Info> records;
    for (DWORD i = 0; i < count; ++i) records.push_back(first[i]);
    return records;
}

inline std::string text(const char* s) { return s ? s : ""; }

struct Printer {
    std::string name, port, driver;
};

inline std::vector<Printer> printers() {
    std::vector<BYTE> s;
    std::vector<Printer> list;
    for (const auto& i : enumerate<PRINTER_INFO_2A>(
             [](BYTE* b, DWORD n, DWORD* need, DWORD* c) {
                 return ::EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, b, n, need, c);
             },
             &s))
        list.push_back({text(i.pPrinterName), text(i.pPortName), text(i.pDriverName)});
    return list;
}

inline std::vector<std::string> printerNames() {
    std::vector<std::string> names;
    for (const auto& p : printers()) names.push_back(p.name);
    return names;
}

inline std::vector<std::string> driverNames() {
    std::vector<BYTE> s;
    std::vector<std::string> names;
    for (const auto& i : enumerate<DRIVER_INFO_1A>(
             [](BYTE* b, DWORD n, DWORD* need, DWORD* c) {
                 return ::EnumPrinterDriversA(nullptr, nullptr, 1, b, n, need, c);
             },
             &s))
        names.push_back(text(i.pName));
    return names;
}

inline std::vector<std::string> monitorNames() {
    std::vector<BYTE> s;
    std::vector<std::string> names;
    for (const auto& i : enumerate<MONITOR_INFO_1A>(
             [](BYTE* b, DWORD n, DWORD* need, DWORD* c) { return ::EnumMonitorsA(nullptr, 1, b, n, need, c); }, &s))
        names.push_back(text(i.pName));
    return names;
}

inline std::vector<std::string> portNames() {
    std::vector<BYTE> s;
    std::vector<std::string> names;
    for (const auto& i : enumerate<PORT_INFO_1A>(
             [](BYTE* b, DWORD n, DWORD* need, DWORD* c) { return ::EnumPortsA(nullptr, 1, b, n, need, c); }, &s))
        names.push_back(text(i.pName));
    return names;
}

inline std::vector<std::string> processorNames() {
    std::vector<BYTE> s;
    std::vector<std::string> names;
    for (const auto& i : enumerate<PRINTPROCESSOR_INFO_1A>(
             [](BYTE* b, DWORD n, DWORD* need, DWORD* c) {
                 return ::EnumPrintProcessorsA(nullptr, nullptr, 1, b, n, need, c);
             },
             &s))
        names.push_back(text(i.pName));
    return names;
}

// Without regard to case, as the spooler compares names.
inline bool contains(const std::vector<std::string>& names, const std::string& name) {
    for (const auto& n : names)
        if (lstrcmpiA(n.c_str(), name.c_str()) == 0) return true;
    return false;
}

}  // namespace spooler_inventory
