// The simulated registry: keys and values matched without regard to case, and on a
// 64-bit machine the 32-bit view of HKLM\SOFTWARE (Wow6432Node) that a 32-bit program
// gets unless it asks for KEY_WOW64_64KEY.
#pragma once
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/RegistryApi.h"
#include "platform/sim/SimState.h"

namespace sim {

class SimRegistry : public plat::RegistryApi {
public:
    explicit SimRegistry(SimState& state) : state_(state) {}

    // Set by the machine: whether the 32-bit program runs on 64-bit Windows.
    void setWow64(bool wow64) { wow64_ = wow64; }

    long RegOpenKeyEx(plat::RegKey root, const std::string& subKey, std::uint32_t options,
                      std::uint32_t access, plat::RegKey* result) override;
    long RegCreateKeyEx(plat::RegKey root, const std::string& subKey, const char* className,
                        std::uint32_t options, std::uint32_t access, plat::RegKey* result,
                        std::uint32_t* disposition) override;
    long RegCloseKey(plat::RegKey key) override;
    long RegQueryValueEx(plat::RegKey key, const std::string& name, std::uint32_t* type,
                         std::uint8_t* data, std::uint32_t* size) override;
    long RegSetValueEx(plat::RegKey key, const std::string& name, std::uint32_t type,
                       const std::uint8_t* data, std::uint32_t size) override;
    long RegDeleteValue(plat::RegKey key, const std::string& name) override;
    long RegDeleteKey(plat::RegKey root, const std::string& subKey) override;
    long CallRegDeleteKeyEx(plat::ProcAddress fn, plat::RegKey root, const std::string& subKey,
                            std::uint32_t access) override;
    long RegEnumKeyEx(plat::RegKey key, std::uint32_t index, std::string* name) override;

    // For tests: a value by its absolute path in the real (64-bit) layout, e.g.
    // "HKLM\SOFTWARE\Wow6432Node\X", regardless of views.
    struct Value {
        std::uint32_t type = 0;
        std::vector<std::uint8_t> data;
    };
    std::optional<Value> peek(const std::string& keyPath, const std::string& valueName) const;
    bool keyExists(const std::string& keyPath) const;
    void poke(const std::string& keyPath, const std::string& valueName, std::uint32_t type,
              const std::vector<std::uint8_t>& data);
    // Removes a key with everything below it (what the spooler does to its own records).
    void deleteTree(const std::string& keyPath);
    std::size_t openHandleCount() const { return handles_.size(); }
    // Every key below `keyPath` (real layout) with its values, one sorted line each.
    std::vector<std::string> inventory(const std::string& keyPath) const;

private:
    struct Node {
        std::string name;
        std::map<std::string, std::shared_ptr<Node>> children;  // by lower-case name
        std::map<std::string, std::pair<std::string, Value>> values;
        bool deleted = false;
    };
    struct OpenKey {
        std::shared_ptr<Node> node;
        std::uint32_t access;
        bool predefined;  // one of the HKEY_* roots
        std::vector<std::string> path;  // from the root hive, as resolved
        std::vector<std::string> named;  // from the root hive, as the program named it
    };

    const OpenKey* lookup(plat::RegKey key) const;
    // The key a call reaches: WOW64 decides the view on every call, from that call's
    // flags and the full path named (the parent's and the subkey), never from the view the
    // parent was opened in.
    std::vector<std::string> viewPath(const OpenKey& parent, const std::string& subKey,
                                      std::uint32_t access, std::vector<std::string>* named = nullptr) const;
    long deleteKey(plat::RegKey root, const std::string& subKey, std::uint32_t access);
    std::shared_ptr<Node> walk(const std::string& hive, const std::vector<std::string>& path,
                               bool create, bool* created);
    std::shared_ptr<Node> walkConst(const std::string& hive, const std::vector<std::string>& path) const;
    plat::RegKey addHandle(OpenKey key);

    SimState& state_;
    bool wow64_ = false;
    std::map<std::string, std::shared_ptr<Node>> hives_;  // "HKLM", "HKCU", ...
    std::map<plat::RegKey, OpenKey> handles_;
    plat::RegKey nextHandle_ = 0x1000;
};

}  // namespace sim
