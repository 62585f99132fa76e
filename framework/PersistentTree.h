#pragma once
// A tree of named nodes holding string key/value pairs, through which window state is saved and
// restored independently of where it is kept: the caller hands Save and Load a storage object.
// Integers, booleans and byte blocks are all kept as text.

#include "platform/base/CString.h"
#include "platform/base/RunTimeClass.h"

#include <concepts>
#include <memory>
#include <vector>

// Result bits of the node operations; 0 is success.
enum : int {
    PTN_ALREADY_CREATED = 1,
    PTN_NOT_CREATED = 2,
    PTN_BAD_NAME = 4,
    PTN_EMPTY_KEY = 8,
    PTN_KEY_EXISTS = 16,
    PTN_DUPLICATE_CHILD = 32,
    PTN_KEY_NOT_FOUND = 64,
    PTN_NO_DATA = 128,
    PTN_ENCODE_FAILED = 256,
    PTN_FAILED = 65535,
};

// A node's path: the names from the node itself up to the root.
using SECPersistentTreePath = std::vector<CString>;

// Where a tree is written to and read from, node by node.
class SECPersistentTreeStorage {
public:
    virtual ~SECPersistentTreeStorage() = default;
    // Prepares to write the node; the low bit of the result tells success.
    virtual int BeginNode(const SECPersistentTreePath& path) = 0;
    virtual BOOL WriteValue(const SECPersistentTreePath& path, const CString& key, const CString& value) = 0;
    virtual BOOL WriteChildNames(const SECPersistentTreePath& path, const std::vector<CString>& names) = 0;
    // keys and values in parallel; FALSE when the node does not exist.
    virtual BOOL ReadNode(const SECPersistentTreePath& path, std::vector<CString>& childNames, std::vector<CString>& keys,
        std::vector<CString>& values) = 0;
};

class SECPersistentTreeNode;

// Makes tree nodes and owns them: every node it made lives as long as the factory.
class SECPTNFactory {
public:
    SECPTNFactory();
    ~SECPTNFactory();
    SECPTNFactory(const SECPTNFactory&) = delete;
    SECPTNFactory& operator=(const SECPTNFactory&) = delete;

    // A new node created as `name` under `parent`; null (and nothing kept) when Create refused it.
    SECPersistentTreeNode* CreateNode(const CString& name, SECPersistentTreeNode* parent);

private:
    std::vector<std::unique_ptr<SECPersistentTreeNode>> m_made;
};

class SECPersistentTreeNode : public CObject {
    DECLARE_DYNCREATE(SECPersistentTreeNode)
public:
    struct SECPersTreeNodeKeyValuePair {
        CString key;
        CString value;
    };

    // Byte blocks whose text is longer than this are stored in pieces of this many letters.
    static constexpr int kMaxBinaryPiece = 250;

    SECPersistentTreeNode() = default;
    ~SECPersistentTreeNode() override;

    virtual int Create(const CString& name, SECPersistentTreeNode* parent = nullptr);
    virtual int SetIntValue(const CString& key, long long value, BOOL overwrite = TRUE);
    virtual int SetStringValue(const CString& key, const CString& value, BOOL overwrite = TRUE);
    virtual int SetBoolValue(const CString& key, BOOL value, BOOL overwrite = TRUE);
    virtual int SetBinaryValue(const CString& key, const BYTE* data, int size, BOOL overwrite = TRUE);
    virtual int DeleteValue(const CString& key);
    virtual int GetStringValue(const CString& key, CString& out, const CString& defaultValue = CString()) const;
    template <std::integral T>
    int GetIntValue(const CString& key, T& out, T defaultValue = 0) const;
    virtual int GetBoolValue(const CString& key, BOOL& out, BOOL defaultValue = FALSE) const;
    // The decoded block into *data; PTN_NO_DATA for a null data, PTN_FAILED for empty or bad text.
    virtual int GetBinaryValue(const CString& key, std::vector<BYTE>* data) const;
    virtual BOOL Save(SECPersistentTreeStorage* storage) const;
    virtual BOOL Load(SECPersistentTreeStorage* storage);
    virtual int AddChild(SECPersistentTreeNode* child);

    // A new node owned by this node, created as `name` under `parent`; null when Create refused it.
    SECPersistentTreeNode* CreateChild(const CString& name, SECPersistentTreeNode* parent);
    SECPersistentTreeNode* FindChild(const CString& name) const;
    const SECPersTreeNodeKeyValuePair* FindPair(const CString& key) const;

    const CString& GetName() const { return m_name; }
    SECPersistentTreeNode* GetParent() const { return m_parent; }
    const std::vector<SECPersistentTreeNode*>& GetChildren() const { return m_children; }
    const std::vector<std::unique_ptr<SECPersTreeNodeKeyValuePair>>& GetPairs() const { return m_pairs; }
    BOOL IsCreated() const { return m_created; }
    SECPersistentTreePath GetPath() const;

private:
    SECPersTreeNodeKeyValuePair* PairOf(const CString& key) const;

    CString m_name;
    SECPersistentTreeNode* m_parent = nullptr;
    SECPTNFactory m_factory; // owns the nodes CreateChild made
    std::vector<SECPersistentTreeNode*> m_children;             // in creation order, not owned
    std::vector<std::unique_ptr<SECPersTreeNodeKeyValuePair>> m_pairs;
    BOOL m_created = FALSE;
};

// Each byte as two letters 'A'..'P', its low four bits first.
CString EncodeBinaryText(const BYTE* data, int size);
// The bytes of such text; false for an odd length or a letter outside 'A'..'P'.
bool DecodeBinaryText(const CString& text, std::vector<BYTE>& bytes);

long long ParseLeadingInteger(const CString& text);

template <std::integral T>
int SECPersistentTreeNode::GetIntValue(const CString& key, T& out, T defaultValue) const
{
    out = defaultValue;
    CString text;
    int result = GetStringValue(key, text);
    if (result == 0)
        out = static_cast<T>(ParseLeadingInteger(text));
    return result;
}
