#pragma once
// A tree storage in memory, for tests that save and load persistent trees.

#include "framework/PersistentTree.h"

#include <map>
#include <string>

// Keeps nodes in a map keyed by the joined path, as a profile section per node would.
class MemoryTreeStorage : public SECPersistentTreeStorage {
public:
    struct Node {
        std::vector<CString> children, keys, values;
    };
    int BeginNode(const SECPersistentTreePath& path) override
    {
        nodes[Key(path)] = {};
        return failBegin ? 2 : 1;
    }
    BOOL WriteValue(const SECPersistentTreePath& path, const CString& key, const CString& value) override
    {
        nodes[Key(path)].keys.push_back(key);
        nodes[Key(path)].values.push_back(value);
        return TRUE;
    }
    BOOL WriteChildNames(const SECPersistentTreePath& path, const std::vector<CString>& names) override
    {
        nodes[Key(path)].children = names;
        return TRUE;
    }
    BOOL ReadNode(const SECPersistentTreePath& path, std::vector<CString>& children, std::vector<CString>& keys, std::vector<CString>& values) override
    {
        auto it = nodes.find(Key(path));
        if (it == nodes.end())
            return FALSE;
        children = it->second.children, keys = it->second.keys, values = it->second.values;
        return TRUE;
    }
    static std::wstring Key(const SECPersistentTreePath& path)
    {
        std::wstring key;
        for (auto it = path.rbegin(); it != path.rend(); ++it)
            key += L"\\" + std::wstring(static_cast<const wchar_t*>(*it));
        return key;
    }
    std::map<std::wstring, Node> nodes;
    bool failBegin = false;
};
