#include "framework/DocTemplateUtils.h"
#include "framework/PersistentTree.h"
#include "MemoryTreeStorage.h"

#include "platform/mfc/View.h"
#include "platform/mfc/WinApp.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

std::wstring Text(const CString& text)
{
    return static_cast<const wchar_t*>(text);
}

SECPersistentTreeNode& Root(SECPersistentTreeNode& node, const wchar_t* name = L"Root")
{
    EXPECT_EQ(node.Create(name), 0);
    return node;
}

TEST(PersistentTree, ByteBlocksAreLettersLowHalfFirst)
{
    const BYTE abc[] = { 0x61, 0x62, 0x63 };
    EXPECT_EQ(Text(EncodeBinaryText(abc, 3)), L"BGCGDG");
    std::vector<BYTE> bytes;
    ASSERT_TRUE(DecodeBinaryText(L"BGCGDG", bytes));
    EXPECT_EQ(bytes, std::vector<BYTE>(abc, abc + 3));
    for (const wchar_t* bad : { L"BGC", L"BZ", L"b@" })
        EXPECT_FALSE(DecodeBinaryText(bad, bytes)) << bad;
}

TEST(PersistentTree, LongByteBlocksAreStoredIn250LetterPieces)
{
    struct Case {
        int size;
        int pieces; // 0: under the key itself
        int lastPiece;
    };
    for (Case c : { Case { 125, 0, 250 }, Case { 126, 2, 2 }, Case { 250, 2, 250 }, Case { 300, 3, 100 } }) {
        SECPersistentTreeNode node;
        Root(node);
        std::vector<BYTE> block(static_cast<size_t>(c.size));
        for (size_t i = 0; i < block.size(); ++i)
            block[i] = static_cast<BYTE>(i * 7);
        ASSERT_EQ(node.SetBinaryValue(L"Buttons", block.data(), c.size), 0);
        int count = 0;
        if (c.pieces == 0) {
            EXPECT_EQ(node.FindPair(L"Buttons")->value.GetLength(), c.lastPiece);
            EXPECT_EQ(node.GetIntValue<int>(L"Buttons_BinCount", count), PTN_KEY_NOT_FOUND);
        } else {
            EXPECT_EQ(node.FindPair(L"Buttons"), nullptr) << c.size;
            ASSERT_EQ(node.GetIntValue<int>(L"Buttons_BinCount", count), 0);
            EXPECT_EQ(count, c.pieces);
            CString last;
            last.Format(L"Buttons_BinVal%d", c.pieces - 1);
            EXPECT_EQ(node.FindPair(last)->value.GetLength(), c.lastPiece) << c.size;
        }
        std::vector<BYTE> back;
        ASSERT_EQ(node.GetBinaryValue(L"Buttons", &back), 0) << c.size;
        EXPECT_EQ(back, block) << c.size;
    }
}

TEST(PersistentTree, BadOrMissingBlocksAreRefused)
{
    SECPersistentTreeNode node;
    Root(node);
    std::vector<BYTE> out;
    EXPECT_EQ(node.SetBinaryValue(L"Block", nullptr, 4), PTN_NO_DATA);
    EXPECT_EQ(node.GetBinaryValue(L"Block", nullptr), PTN_NO_DATA);
    EXPECT_EQ(node.GetBinaryValue(L"Block", &out), PTN_KEY_NOT_FOUND);
    node.SetStringValue(L"Empty", L"");
    EXPECT_EQ(node.GetBinaryValue(L"Empty", &out), PTN_FAILED);
    node.SetStringValue(L"Broken", L"AZ");
    EXPECT_EQ(node.GetBinaryValue(L"Broken", &out), PTN_FAILED);
}

TEST(PersistentTree, ValuesKeepTheirTypesAsText)
{
    SECPersistentTreeNode node;
    Root(node);
    node.SetIntValue(L"Bars", -42);
    node.SetBoolValue(L"Visible", TRUE);
    EXPECT_EQ(Text(node.FindPair(L"Bars")->value), L"-42");
    EXPECT_EQ(Text(node.FindPair(L"Visible")->value), L"True");
    long bars = 0;
    EXPECT_EQ(node.GetIntValue(L"Bars", bars), 0);
    EXPECT_EQ(bars, -42);
    short missing = 0;
    EXPECT_EQ(node.GetIntValue<short>(L"Nothing", missing, 7), PTN_KEY_NOT_FOUND);
    EXPECT_EQ(missing, 7);
    node.SetStringValue(L"Leading", L" 12px");
    int leading = 0;
    node.GetIntValue(L"Leading", leading);
    EXPECT_EQ(leading, 12);

    struct Case {
        const wchar_t* text;
        BOOL expected;
    };
    for (Case c : { Case { L"true", TRUE }, Case { L"TRUE", TRUE }, Case { L"True", TRUE }, Case { L"1", FALSE }, Case { L"yes", FALSE },
             Case { L" True", FALSE } }) {
        node.SetStringValue(L"Flag", c.text);
        BOOL value = -1;
        EXPECT_EQ(node.GetBoolValue(L"Flag", value), 0);
        EXPECT_EQ(value, c.expected) << c.text;
    }
}

TEST(PersistentTree, SettingAndDeletingFollowTheRules)
{
    SECPersistentTreeNode uncreated;
    EXPECT_EQ(uncreated.SetStringValue(L"", L"x"), PTN_NOT_CREATED | PTN_EMPTY_KEY);

    SECPersistentTreeNode node;
    Root(node);
    EXPECT_EQ(node.SetStringValue(L"Title", L"first"), 0);
    EXPECT_EQ(node.SetStringValue(L"Title", L"second", FALSE), PTN_KEY_EXISTS);
    EXPECT_EQ(Text(node.FindPair(L"Title")->value), L"first");
    EXPECT_EQ(node.SetStringValue(L"Title", L"third", TRUE), 0);
    EXPECT_EQ(Text(node.FindPair(L"Title")->value), L"third");

    node.SetStringValue(L"A", L"1");
    node.SetStringValue(L"B", L"2");
    EXPECT_EQ(node.DeleteValue(L"Title"), 0);
    EXPECT_EQ(node.DeleteValue(L"Title"), PTN_KEY_NOT_FOUND);
    ASSERT_EQ(node.GetPairs().size(), 2u);
    EXPECT_EQ(Text(node.GetPairs()[0]->key), L"A");
    CString out;
    EXPECT_EQ(node.GetStringValue(L"Title", out, L"default"), PTN_KEY_NOT_FOUND);
    EXPECT_EQ(Text(out), L"default");
}

TEST(PersistentTree, NodesAreCreatedOnceWithUniqueSiblingNames)
{
    SECPersistentTreeNode root;
    EXPECT_EQ(root.Create(L""), PTN_BAD_NAME);
    EXPECT_FALSE(root.IsCreated());
    Root(root);
    EXPECT_EQ(root.Create(L""), PTN_ALREADY_CREATED | PTN_BAD_NAME);
    EXPECT_EQ(root.Create(L"Again"), PTN_ALREADY_CREATED);

    SECPersistentTreeNode* first = root.CreateChild(L"Bar", &root);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(root.CreateChild(L"Bar", &root), nullptr);
    EXPECT_EQ(root.AddChild(nullptr), PTN_BAD_NAME);
    SECPersistentTreeNode orphan;
    EXPECT_EQ(orphan.AddChild(first), PTN_NOT_CREATED);
    SECPersistentTreeNode uncreatedParent;
    EXPECT_EQ(orphan.Create(L"Orphan", &uncreatedParent), PTN_FAILED);
    EXPECT_EQ(root.GetChildren().size(), 1u);
    EXPECT_EQ(root.FindChild(L"Bar"), first);
    EXPECT_EQ(root.FindChild(L"bar"), nullptr);
    EXPECT_EQ(root.FindChild(L""), nullptr);
    EXPECT_EQ(first->GetPath(), (SECPersistentTreePath { L"Bar", L"Root" }));
}

TEST(PersistentTree, ATreeComesBackFromItsStorage)
{
    SECPersistentTreeNode root;
    Root(root, L"Frame");
    SECPersistentTreeNode* dock = root.CreateChild(L"DockState", &root);
    dock->SetIntValue(L"Bars", 2);
    dock->SetIntValue(L"ScreenCX", 1280);
    SECPersistentTreeNode* bar = dock->CreateChild(L"Bar0", dock);
    std::vector<BYTE> block(200, 0x5A);
    bar->SetBinaryValue(L"Buttons", block.data(), static_cast<int>(block.size()));
    root.CreateChild(L"Empty", &root);

    MemoryTreeStorage storage;
    ASSERT_TRUE(root.Save(&storage));
    EXPECT_EQ(storage.nodes.size(), 4u);
    EXPECT_EQ(storage.nodes[L"\\Frame"].children, (std::vector<CString> { L"DockState", L"Empty" }));

    SECPersistentTreeNode loaded;
    Root(loaded, L"Frame");
    ASSERT_TRUE(loaded.Load(&storage));
    SECPersistentTreeNode* loadedDock = loaded.FindChild(L"DockState");
    ASSERT_NE(loadedDock, nullptr);
    int screen = 0;
    loadedDock->GetIntValue(L"ScreenCX", screen);
    EXPECT_EQ(screen, 1280);
    std::vector<BYTE> back;
    ASSERT_EQ(loadedDock->FindChild(L"Bar0")->GetBinaryValue(L"Buttons", &back), 0);
    EXPECT_EQ(back, block);
    EXPECT_NE(loaded.FindChild(L"Empty"), nullptr);

    SECPersistentTreeNode other;
    Root(other, L"Elsewhere");
    EXPECT_FALSE(other.Load(&storage));
    EXPECT_FALSE(SECPersistentTreeNode().Save(&storage));
    EXPECT_FALSE(root.Save(nullptr));
    storage.failBegin = true;
    EXPECT_FALSE(root.Save(&storage));
}

// ---- template lookup

class PlainDocument : public CDocument {
    DECLARE_DYNCREATE(PlainDocument)
public:
    void SetTemplate(CDocTemplate* owner) { m_pDocTemplate = owner; }
};
IMPLEMENT_DYNCREATE(PlainDocument, CDocument)
class OtherDocument : public CDocument {
    DECLARE_DYNCREATE(OtherDocument)
};
IMPLEMENT_DYNCREATE(OtherDocument, CDocument)
class PlainView : public CView {
    DECLARE_DYNCREATE(PlainView)
    void OnDraw(CDC*) override {}
};
IMPLEMENT_DYNCREATE(PlainView, CView)

// A template whose document strings are given, not read from resources.
class NamedTemplate : public CMultiDocTemplate {
public:
    NamedTemplate(UINT id, const wchar_t* strings, CRuntimeClass* document = RUNTIME_CLASS(PlainDocument))
        : CMultiDocTemplate(id, document, RUNTIME_CLASS(CFrameWnd), RUNTIME_CLASS(PlainView))
    {
        m_strDocStrings = strings;
    }
};

class TemplateLookup : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (auto* t : templates)
            app.AddDocTemplate(t);
    }
    CWinApp app { L"TemplateLookupTest" };
    NamedTemplate* templates[4] {
        new NamedTemplate(10, L"\nCalc\n\n\n\nFln.Calc\nCalculation"),
        new NamedTemplate(11, L"\nDate\n\n\n\nFln.Date\nCalendar"),
        new NamedTemplate(12, L"\nCalc2\n\n\n\nFln.Calc\nCalculation", RUNTIME_CLASS(OtherDocument)),
        new NamedTemplate(10, L"\nCalc3\n\n\n\nFln.Calc\nCalculation"),
    };
};

TEST_F(TemplateLookup, TemplatesAreFoundByTheirRegistryNames)
{
    SECDocTemplateUtils byId;
    EXPECT_EQ(byId.GetTemplateIndex(templates[0], L"Fln.Calc"), 0);
    EXPECT_EQ(byId.GetTemplateIndex(templates[2], L"Fln.Calc"), 1);
    EXPECT_EQ(byId.GetTemplateIndex(templates[1], L"Fln.Calc"), -1);
    EXPECT_EQ(byId.GetTemplateIndex(nullptr, L"Fln.Calc"), -1);
    EXPECT_EQ(byId.FindTemplate(L"Fln.Calc", 0), templates[0]);
    EXPECT_EQ(byId.FindTemplate(L"Fln.Calc", 2), templates[3]);
    EXPECT_EQ(byId.FindTemplate(L"Fln.Calc", 9), templates[3]);
    EXPECT_EQ(byId.FindTemplate(L"fln.calc", 0), nullptr);
    EXPECT_EQ(byId.FindTemplate(L"Fln.Calc", -1), nullptr);

    SECDocTemplateUtils byName(FALSE);
    EXPECT_EQ(byName.FindTemplate(L"Calendar", 0), templates[1]);
    EXPECT_EQ(byName.FindTemplate(L"Fln.Date", 0), nullptr);
}

TEST_F(TemplateLookup, TheTemplateOfADocumentNarrowsByFrameResourceThenDocument)
{
    SECDocTemplateUtils utils;
    CFrameWnd frame;
    frame.m_nIDHelp = 12;
    PlainDocument document;
    PlainView view;
    EXPECT_EQ(utils.GetFrameResourceId(&frame), 12u);
    EXPECT_EQ(utils.GetFrameResourceId(nullptr), 0u);
    EXPECT_EQ(utils.FindDocTemplate(&document, &view, nullptr), nullptr);
    // Only the template with resource 12 is left.
    EXPECT_EQ(utils.FindDocTemplate(&document, &view, &frame), templates[2]);
    // Two templates with resource 10 and the same document class: the document's own one, else the first.
    frame.m_nIDHelp = 10;
    EXPECT_EQ(utils.FindDocTemplate(&document, &view, &frame), templates[0]);
    document.SetTemplate(templates[3]);
    EXPECT_EQ(utils.FindDocTemplate(&document, &view, &frame), templates[3]);
    document.SetTemplate(nullptr);

    SECDocTemplateList list { templates[0], templates[1] };
    CDocTemplate* single = templates[0];
    EXPECT_FALSE(utils.PickSingle(list, single));
    EXPECT_EQ(single, nullptr);
    EXPECT_TRUE(utils.PickSingle({}, single));
    EXPECT_FALSE(utils.FilterByDocument(list, nullptr));
    EXPECT_FALSE(utils.IsDockableFrame(RUNTIME_CLASS(CFrameWnd)));
}

} // namespace
