#include "framework/PersistentTree.h"

#include "platform/base/TextToNumber.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(SECPersistentTreeNode, CObject)

namespace {

CString PieceCountKey(const CString& key)
{
    return key + L"_BinCount";
}

CString PieceKey(const CString& key, int index)
{
    CString text;
    text.Format(L"%s%s%d", static_cast<const wchar_t*>(key), L"_BinVal", index);
    return text;
}

} // namespace

CString EncodeBinaryText(const BYTE* data, int size)
{
    std::wstring text;
    text.reserve(static_cast<size_t>(std::max(size, 0)) * 2);
    for (int i = 0; i < size; ++i) {
        text.push_back(static_cast<wchar_t>(L'A' + (data[i] & 0x0F)));
        text.push_back(static_cast<wchar_t>(L'A' + (data[i] >> 4)));
    }
    return CString(text.c_str(), static_cast<int>(text.size()));
}

bool DecodeBinaryText(const CString& text, std::vector<BYTE>& bytes)
{
    int length = text.GetLength();
    if (length % 2)
        return false;
    bytes.clear();
    bytes.reserve(static_cast<size_t>(length / 2));
    auto half = [](wchar_t letter) { return letter >= L'A' && letter <= L'P' ? letter - L'A' : -1; };
    for (int i = 0; i < length; i += 2) {
        int low = half(text[i]), high = half(text[i + 1]);
        if (low < 0 || high < 0)
            return false;
        bytes.push_back(static_cast<BYTE>(low | (high << 4)));
    }
    return true;
}

long long ParseLeadingInteger(const CString& text)
{
    return _wtoi64(text);
}

SECPersistentTreeNode::~SECPersistentTreeNode() = default;

int SECPersistentTreeNode::Create(const CString& name, SECPersistentTreeNode* parent)
{
    if (m_created)
        return PTN_ALREADY_CREATED | (name.IsEmpty() ? PTN_BAD_NAME : 0);
    if (name.IsEmpty())
        return PTN_BAD_NAME;
    m_name = name;
    m_parent = parent;
    if (parent) {
        int result = parent->AddChild(this);
        if (result & PTN_DUPLICATE_CHILD)
            return PTN_DUPLICATE_CHILD;
        if (result)
            return PTN_FAILED;
    }
    m_created = TRUE;
    return 0;
}

int SECPersistentTreeNode::AddChild(SECPersistentTreeNode* child)
{
    if (!m_created)
        return PTN_NOT_CREATED;
    if (!child)
        return PTN_BAD_NAME;
    if (FindChild(child->m_name))
        return PTN_DUPLICATE_CHILD;
    m_children.push_back(child);
    return 0;
}

SECPTNFactory::SECPTNFactory() = default;
SECPTNFactory::~SECPTNFactory() = default;

SECPersistentTreeNode* SECPTNFactory::CreateNode(const CString& name, SECPersistentTreeNode* parent)
{
    auto node = std::make_unique<SECPersistentTreeNode>();
    if (node->Create(name, parent) != 0)
        return nullptr;
    m_made.push_back(std::move(node));
    return m_made.back().get();
}

SECPersistentTreeNode* SECPersistentTreeNode::CreateChild(const CString& name, SECPersistentTreeNode* parent)
{
    return m_factory.CreateNode(name, parent);
}

SECPersistentTreeNode* SECPersistentTreeNode::FindChild(const CString& name) const
{
    if (name.IsEmpty())
        return nullptr;
    auto it = std::ranges::find_if(m_children, [&](const SECPersistentTreeNode* child) { return child->m_name == name; });
    return it == m_children.end() ? nullptr : *it;
}

const SECPersistentTreeNode::SECPersTreeNodeKeyValuePair* SECPersistentTreeNode::FindPair(const CString& key) const
{
    return PairOf(key);
}

SECPersistentTreeNode::SECPersTreeNodeKeyValuePair* SECPersistentTreeNode::PairOf(const CString& key) const
{
    if (key.IsEmpty())
        return nullptr;
    auto it = std::ranges::find_if(m_pairs, [&](const auto& pair) { return pair->key == key; });
    return it == m_pairs.end() ? nullptr : it->get();
}

int SECPersistentTreeNode::SetStringValue(const CString& key, const CString& value, BOOL overwrite)
{
    SECPersTreeNodeKeyValuePair* existing = PairOf(key);
    int result = (m_created ? 0 : PTN_NOT_CREATED) | (key.IsEmpty() ? PTN_EMPTY_KEY : 0) | (existing && !overwrite ? PTN_KEY_EXISTS : 0);
    if (result)
        return result;
    if (existing)
        existing->value = value;
    else
        m_pairs.push_back(std::make_unique<SECPersTreeNodeKeyValuePair>(SECPersTreeNodeKeyValuePair { key, value }));
    return 0;
}

int SECPersistentTreeNode::SetIntValue(const CString& key, long long value, BOOL overwrite)
{
    CString text;
    text.Format(L"%lld", value);
    return SetStringValue(key, text, overwrite);
}

int SECPersistentTreeNode::SetBoolValue(const CString& key, BOOL value, BOOL overwrite)
{
    return SetStringValue(key, value ? L"True" : L"False", overwrite);
}

int SECPersistentTreeNode::SetBinaryValue(const CString& key, const BYTE* data, int size, BOOL overwrite)
{
    if (!data)
        return PTN_NO_DATA;
    if (size < 0)
        return PTN_ENCODE_FAILED;
    CString text = EncodeBinaryText(data, size);
    if (text.GetLength() <= kMaxBinaryPiece)
        return SetStringValue(key, text, overwrite);
    int pieces = (text.GetLength() + kMaxBinaryPiece - 1) / kMaxBinaryPiece;
    if (int result = SetIntValue(PieceCountKey(key), pieces, TRUE))
        return result;
    for (int i = 0; i < pieces; ++i) {
        if (int result = SetStringValue(PieceKey(key, i), text.Mid(i * kMaxBinaryPiece, kMaxBinaryPiece), TRUE))
            return result;
    }
    return 0;
}

int SECPersistentTreeNode::DeleteValue(const CString& key)
{
    size_t removed = std::erase_if(m_pairs, [&](const auto& pair) { return pair->key == key; });
    return removed ? 0 : PTN_KEY_NOT_FOUND;
}

int SECPersistentTreeNode::GetStringValue(const CString& key, CString& out, const CString& defaultValue) const
{
    out = defaultValue;
    const SECPersTreeNodeKeyValuePair* pair = FindPair(key);
    if (!pair)
        return PTN_KEY_NOT_FOUND;
    out = pair->value;
    return 0;
}

int SECPersistentTreeNode::GetBoolValue(const CString& key, BOOL& out, BOOL defaultValue) const
{
    out = defaultValue;
    CString text;
    int result = GetStringValue(key, text);
    if (result == 0)
        out = text.MakeUpper() == L"TRUE";
    return result;
}

int SECPersistentTreeNode::GetBinaryValue(const CString& key, std::vector<BYTE>* data) const
{
    if (!data)
        return PTN_NO_DATA;
    CString text;
    int result = 0;
    int pieces = 0;
    if (GetIntValue(PieceCountKey(key), pieces) == 0) {
        for (int i = 0; i < pieces; ++i) {
            CString piece;
            if (GetStringValue(PieceKey(key, i), piece) == 0)
                text += piece;
        }
    } else {
        result = GetStringValue(key, text);
    }
    if (text.IsEmpty() || !DecodeBinaryText(text, *data))
        return result ? result : PTN_FAILED;
    return result;
}

SECPersistentTreePath SECPersistentTreeNode::GetPath() const
{
    SECPersistentTreePath path;
    for (const SECPersistentTreeNode* node = this; node; node = node->m_parent)
        path.push_back(node->m_name);
    return path;
}

BOOL SECPersistentTreeNode::Save(SECPersistentTreeStorage* storage) const
{
    if (!m_created || !storage)
        return FALSE;
    SECPersistentTreePath path = GetPath();
    std::vector<CString> childNames;
    for (const SECPersistentTreeNode* child : m_children)
        childNames.push_back(child->m_name);
    BOOL ok = storage->BeginNode(path) & 1;
    for (const auto& pair : m_pairs)
        ok = storage->WriteValue(path, pair->key, pair->value) && ok;
    ok = storage->WriteChildNames(path, childNames) && ok;
    for (const SECPersistentTreeNode* child : m_children)
        ok = child->Save(storage) && ok;
    return ok;
}

BOOL SECPersistentTreeNode::Load(SECPersistentTreeStorage* storage)
{
    if (!m_created || !storage)
        return FALSE;
    std::vector<CString> childNames, keys, values;
    BOOL read = storage->ReadNode(GetPath(), childNames, keys, values);
    if (!read)
        return FALSE;
    for (size_t i = 0; i < std::min(keys.size(), values.size()); ++i)
        SetStringValue(keys[i], values[i], TRUE);
    for (const CString& name : childNames) {
        if (SECPersistentTreeNode* child = CreateChild(name, this))
            child->Load(storage);
    }
    return read;
}
