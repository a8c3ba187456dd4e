#include "platform/sim/SimRegistry.h"

#include <cstring>
#include <functional>

#include "platform/sim/SimText.h"

namespace sim {

namespace {

constexpr long kErrorKeyDeleted = 1018;

const char* hiveName(plat::RegKey root) {
    switch (root) {
        case plat::kHkeyClassesRoot: return "HKCR";
        case plat::kHkeyCurrentUser: return "HKCU";
        case plat::kHkeyLocalMachine: return "HKLM";
        case plat::kHkeyUsers: return "HKU";
        default: return nullptr;
    }
}

std::vector<std::string> splitKey(const std::string& s) {
    std::vector<std::string> parts;
    std::string cur;
    for (char c : s) {
        if (c == '\\') {
            if (!cur.empty()) parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) parts.push_back(cur);
    return parts;
}

}  // namespace

const SimRegistry::OpenKey* SimRegistry::lookup(plat::RegKey key) const {
    auto it = handles_.find(key);
    if (it != handles_.end()) return &it->second;
    return nullptr;
}

plat::RegKey SimRegistry::addHandle(OpenKey key) {
    plat::RegKey h = nextHandle_;
    nextHandle_ += 4;
    handles_[h] = std::move(key);
    return h;
}

std::vector<std::string> SimRegistry::viewPath(const OpenKey& parent, const std::string& subKey,
                                               std::uint32_t access, std::vector<std::string>* named) const {
    std::vector<std::string> full = parent.named;
    for (auto& p : splitKey(subKey)) full.push_back(p);
    if (named) *named = full;
    std::vector<std::string> path = full;
    // A 32-bit program on 64-bit Windows sees HKLM\SOFTWARE\Wow6432Node as HKLM\SOFTWARE
    // unless this very call asks for KEY_WOW64_64KEY.
    const bool want64 = (access & plat::kKeyWow64_64Key) != 0;
    if (wow64_ && !want64 && path.size() >= 2 && equalsNoCase(path[0], "HKLM") && equalsNoCase(path[1], "SOFTWARE") &&
        (path.size() < 3 || !equalsNoCase(path[2], "Wow6432Node"))) {
        path.insert(path.begin() + 2, "Wow6432Node");
    }
    return path;
}

std::shared_ptr<SimRegistry::Node> SimRegistry::walk(const std::string& hive,
                                                     const std::vector<std::string>& path, bool create,
                                                     bool* created) {
    auto& root = hives_[lowerAscii(hive)];
    if (!root) root = std::make_shared<Node>(Node{hive, {}, {}, false});
    std::shared_ptr<Node> cur = root;
    for (std::size_t i = 1; i < path.size(); ++i) {
        auto& child = cur->children[lowerAscii(path[i])];
        if (!child) {
            if (!create) {
                cur->children.erase(lowerAscii(path[i]));
                return nullptr;
            }
            child = std::make_shared<Node>(Node{path[i], {}, {}, false});
            if (created) *created = true;
        }
        cur = child;
    }
    return cur;
}

std::shared_ptr<SimRegistry::Node> SimRegistry::walkConst(const std::string& hive,
                                                          const std::vector<std::string>& path) const {
    auto it = hives_.find(lowerAscii(hive));
    if (it == hives_.end()) return nullptr;
    std::shared_ptr<Node> cur = it->second;
    for (std::size_t i = 1; i < path.size(); ++i) {
        auto c = cur->children.find(lowerAscii(path[i]));
        if (c == cur->children.end()) return nullptr;
        cur = c->second;
    }
    return cur;
}

long SimRegistry::RegOpenKeyEx(plat::RegKey root, const std::string& subKey, std::uint32_t,
                               std::uint32_t access, plat::RegKey* result) {
    if (auto e = state_.enter("RegOpenKeyExA")) return static_cast<long>(e);
    *result = 0;
    OpenKey parent;
    if (const char* hive = hiveName(root)) {
        parent.path = parent.named = {hive};
    } else if (const OpenKey* k = lookup(root)) {
        if (k->node->deleted) return kErrorKeyDeleted;
        parent = *k;
    } else {
        return plat::kErrorInvalidHandle;
    }
    std::vector<std::string> named;
    auto path = viewPath(parent, subKey, access, &named);
    auto node = walk(path[0], path, false, nullptr);
    if (!node) return plat::kErrorFileNotFound;
    *result = addHandle(OpenKey{node, access, false, path, named});
    return 0;
}

long SimRegistry::RegCreateKeyEx(plat::RegKey root, const std::string& subKey, const char*,
                                 std::uint32_t, std::uint32_t access, plat::RegKey* result,
                                 std::uint32_t* disposition) {
    if (auto e = state_.enter("RegCreateKeyExA")) return static_cast<long>(e);
    *result = 0;
    OpenKey parent;
    if (const char* hive = hiveName(root)) {
        parent.path = parent.named = {hive};
    } else if (const OpenKey* k = lookup(root)) {
        if (k->node->deleted) return kErrorKeyDeleted;
        if (!(k->access & plat::kKeyCreateSubKey)) return plat::kErrorAccessDenied;
        parent = *k;
    } else {
        return plat::kErrorInvalidHandle;
    }
    std::vector<std::string> named;
    auto path = viewPath(parent, subKey, access, &named);
    bool created = false;
    auto node = walk(path[0], path, true, &created);
    if (disposition) *disposition = created ? plat::kRegCreatedNewKey : plat::kRegOpenedExistingKey;
    *result = addHandle(OpenKey{node, access, false, path, named});
    return 0;
}

long SimRegistry::RegCloseKey(plat::RegKey key) {
    if (auto e = state_.enter("RegCloseKey")) return static_cast<long>(e);
    if (hiveName(key)) return 0;
    return handles_.erase(key) ? 0L : static_cast<long>(plat::kErrorInvalidHandle);
}

long SimRegistry::RegQueryValueEx(plat::RegKey key, const std::string& name, std::uint32_t* type,
                                  std::uint8_t* data, std::uint32_t* size) {
    if (auto e = state_.enter("RegQueryValueExA")) return static_cast<long>(e);
    const OpenKey* k = lookup(key);
    if (!k) return plat::kErrorInvalidHandle;
    if (k->node->deleted) return kErrorKeyDeleted;
    if (!(k->access & plat::kKeyQueryValue)) return plat::kErrorAccessDenied;
    auto it = k->node->values.find(lowerAscii(name));
    if (it == k->node->values.end()) return plat::kErrorFileNotFound;
    const Value& v = it->second.second;
    if (type) *type = v.type;
    const auto needed = static_cast<std::uint32_t>(v.data.size());
    if (!size) return data ? static_cast<long>(plat::kErrorInvalidParameter) : 0L;
    if (!data) {
        *size = needed;
        return 0;
    }
    if (*size < needed) {
        *size = needed;
        return plat::kErrorMoreData;
    }
    if (needed) std::memcpy(data, v.data.data(), needed);
    *size = needed;
    return 0;
}

long SimRegistry::RegSetValueEx(plat::RegKey key, const std::string& name, std::uint32_t type,
                                const std::uint8_t* data, std::uint32_t size) {
    if (auto e = state_.enter("RegSetValueExA")) return static_cast<long>(e);
    const OpenKey* k = lookup(key);
    if (!k) return plat::kErrorInvalidHandle;
    if (k->node->deleted) return kErrorKeyDeleted;
    if (!(k->access & plat::kKeySetValue)) return plat::kErrorAccessDenied;
    Value v;
    v.type = type;
    if (data && size) v.data.assign(data, data + size);
    k->node->values[lowerAscii(name)] = {name, v};
    return 0;
}

long SimRegistry::RegDeleteValue(plat::RegKey key, const std::string& name) {
    if (auto e = state_.enter("RegDeleteValueA")) return static_cast<long>(e);
    const OpenKey* k = lookup(key);
    if (!k) return plat::kErrorInvalidHandle;
    if (k->node->deleted) return kErrorKeyDeleted;
    if (!(k->access & plat::kKeySetValue)) return plat::kErrorAccessDenied;
    return k->node->values.erase(lowerAscii(name)) ? 0L : static_cast<long>(plat::kErrorFileNotFound);
}

long SimRegistry::RegDeleteKey(plat::RegKey root, const std::string& subKey) {
    if (auto e = state_.enter("RegDeleteKeyA")) return static_cast<long>(e);
    return deleteKey(root, subKey, 0);
}

long SimRegistry::CallRegDeleteKeyEx(plat::ProcAddress fn, plat::RegKey root, const std::string& subKey,
                                     std::uint32_t access) {
    if (!fn) return plat::kErrorInvalidParameter;
    if (auto e = state_.enter("RegDeleteKeyExA")) return static_cast<long>(e);
    return deleteKey(root, subKey, access);
}

long SimRegistry::deleteKey(plat::RegKey root, const std::string& subKey, std::uint32_t access) {
    OpenKey parent;
    if (const char* hive = hiveName(root)) {
        parent.path = parent.named = {hive};
    } else if (const OpenKey* k = lookup(root)) {
        parent = *k;
    } else {
        return plat::kErrorInvalidHandle;
    }
    auto path = viewPath(parent, subKey, access);
    if (path.size() < 2) return plat::kErrorAccessDenied;
    auto node = walk(path[0], path, false, nullptr);
    if (!node) return plat::kErrorFileNotFound;
    if (!node->children.empty()) return plat::kErrorAccessDenied;  // RegDeleteKeyA keeps keys with subkeys
    auto last = path.back();
    path.pop_back();
    auto parentNode = walk(path[0], path, false, nullptr);
    node->deleted = true;
    parentNode->children.erase(lowerAscii(last));
    return 0;
}

long SimRegistry::RegEnumKeyEx(plat::RegKey key, std::uint32_t index, std::string* name) {
    if (auto e = state_.enter("RegEnumKeyExA")) return static_cast<long>(e);
    std::shared_ptr<Node> node;
    if (const char* hive = hiveName(key)) {
        node = walk(hive, {hive}, true, nullptr);
    } else if (const OpenKey* k = lookup(key)) {
        if (k->node->deleted) return kErrorKeyDeleted;
        if (!(k->access & plat::kKeyEnumerateSubKeys)) return plat::kErrorAccessDenied;
        node = k->node;
    } else {
        return plat::kErrorInvalidHandle;
    }
    if (index >= node->children.size()) return plat::kErrorNoMoreItems;
    auto it = node->children.begin();
    std::advance(it, index);
    *name = it->second->name;
    return 0;
}

std::optional<SimRegistry::Value> SimRegistry::peek(const std::string& keyPath,
                                                    const std::string& valueName) const {
    auto parts = splitKey(keyPath);
    if (parts.empty()) return std::nullopt;
    auto node = walkConst(parts[0], parts);
    if (!node) return std::nullopt;
    auto it = node->values.find(lowerAscii(valueName));
    if (it == node->values.end()) return std::nullopt;
    return it->second.second;
}

bool SimRegistry::keyExists(const std::string& keyPath) const {
    auto parts = splitKey(keyPath);
    return !parts.empty() && walkConst(parts[0], parts) != nullptr;
}

std::vector<std::string> SimRegistry::inventory(const std::string& keyPath) const {
    std::vector<std::string> lines;
    auto parts = splitKey(keyPath);
    if (parts.empty()) return lines;
    auto node = walkConst(parts[0], parts);
    if (!node) return lines;
    std::function<void(const Node&, const std::string&)> visit = [&](const Node& n, const std::string& path) {
        lines.push_back(path);
        for (const auto& v : n.values) {
            std::string line = path + " :" + v.first + "=" + std::to_string(v.second.second.type) + ":";
            for (std::uint8_t b : v.second.second.data) line += std::to_string(b) + ".";
            lines.push_back(line);
        }
        for (const auto& c : n.children) visit(*c.second, path + "\\" + c.first);
    };
    visit(*node, lowerAscii(keyPath));
    return lines;  // maps: already in order
}

void SimRegistry::deleteTree(const std::string& keyPath) {
    auto parts = splitKey(keyPath);
    if (parts.size() < 2) return;
    auto node = walkConst(parts[0], parts);
    if (!node) return;
    std::function<void(Node&)> mark = [&](Node& n) {
        n.deleted = true;
        for (auto& c : n.children) mark(*c.second);
    };
    mark(*node);
    const std::string last = parts.back();
    parts.pop_back();
    if (auto parent = walkConst(parts[0], parts)) parent->children.erase(lowerAscii(last));
}

void SimRegistry::poke(const std::string& keyPath, const std::string& valueName, std::uint32_t type,
                       const std::vector<std::uint8_t>& data) {
    auto parts = splitKey(keyPath);
    auto node = walk(parts[0], parts, true, nullptr);
    node->values[lowerAscii(valueName)] = {valueName, Value{type, data}};
}

}  // namespace sim
