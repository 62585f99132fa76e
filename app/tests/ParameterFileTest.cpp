#include "app/ParameterFile.h"

#include "app/DateFile.h"
#include "app/FrameSettings.h"
#include "platform/sys/AtomicFile.h"
#include "platform/sys/tests/HostileConditions.h"
#include "platform/sys/tests/TempSettingsFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

namespace {

class ParameterFile : public testing::Test {
protected:
    CString Path(const char* name) const { return CString((m_folder.root() + "/" + name).c_str()); }
    std::string Read(const char* name) const
    {
        std::ifstream in(m_folder.root() + "/" + name, std::ios::binary);
        return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
    }
    void Write(const char* name, const std::string& text) const { std::ofstream(m_folder.root() + "/" + name, std::ios::binary) << text; }

    TempSettingsFolder m_folder;
    CIniFile m_ini;
};

FormulaPageContent Sample()
{
    FormulaPageContent content;
    content.formula = L"sin(x)*A";
    content.derivative = L"cos(x)*A";
    content.physConstValue = L"2.99792458E+008";
    content.constants = { L"1", L"2,5", L"-3", L"", L"1E-3", L"6", L"7" };
    content.x = L"0.5";
    content.digits = L"12";
    content.xa = L"-10";
    content.xb = L"10";
    content.numberFormat = 3;
    content.verify = TRUE;
    content.viewTooltips = FALSE;
    return content;
}

void ExpectSame(const FormulaPageContent& a, const FormulaPageContent& b)
{
    EXPECT_EQ(a.formula, b.formula);
    EXPECT_EQ(a.derivative, b.derivative);
    EXPECT_EQ(a.physConstValue, b.physConstValue);
    EXPECT_EQ(a.constants, b.constants);
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.digits, b.digits);
    EXPECT_EQ(a.xa, b.xa);
    EXPECT_EQ(a.xb, b.xb);
    EXPECT_EQ(a.numberFormat, b.numberFormat);
    EXPECT_EQ(a.verify, b.verify);
    EXPECT_EQ(a.viewTooltips, b.viewTooltips);
}

TEST_F(ParameterFile, RoundTripsEveryValueAsTyped)
{
    SaveFormulaPageContent(m_ini, Path("a.fm"), Sample());
    FormulaPageContent loaded;
    CIniFile reader;
    ASSERT_TRUE(LoadFormulaPageContent(reader, Path("a.fm"), loaded));
    ExpectSame(loaded, Sample());
    std::string text = Read("a.fm");
    EXPECT_NE(text.find("[INFO]"), std::string::npos);
    EXPECT_NE(text.find("Name=1"), std::string::npos);
    EXPECT_NE(text.find("Version=Formulon 4.2"), std::string::npos);
    EXPECT_NE(text.find("[TAB_FORMEL]"), std::string::npos);
    EXPECT_NE(text.find("[INTERVALL]"), std::string::npos);
    EXPECT_NE(text.find("CommaTyp=3"), std::string::npos);
    EXPECT_NE(text.find("VerifyResult=1"), std::string::npos);
    EXPECT_NE(text.find("ViewTooltips=0"), std::string::npos);
}

TEST_F(ParameterFile, ValuesOutsideTheirRangeOrMissingTakeTheRules)
{
    struct Case {
        const char* file;
        int numberFormat;
        BOOL verify;
    };
    const Case cases[] = {
        { "[CONSTANTS]\nCommaTyp=0\n", 1, FALSE },
        { "[CONSTANTS]\nCommaTyp=-3\n", 1, FALSE },
        { "[CONSTANTS]\nCommaTyp=12\n", 8, FALSE },
        { "[CONSTANTS]\nCommaTyp=6\n[VERIFY]\nVerifyResult=7\n", 6, TRUE },
        { "[VERIFY]\nVerifyResult=0\n", 1, FALSE },
    };
    for (const Case& c : cases) {
        Write("b.fm", c.file);
        FormulaPageContent loaded = Sample();
        ASSERT_TRUE(LoadFormulaPageContent(m_ini, Path("b.fm"), loaded)) << c.file;
        EXPECT_EQ(loaded.numberFormat, c.numberFormat) << c.file;
        EXPECT_EQ(loaded.verify, c.verify) << c.file;
        EXPECT_FALSE(loaded.viewTooltips);
    }
}

TEST_F(ParameterFile, AFileWithoutConstantsEmptiesTheirFields)
{
    Write("c.fm", "[TAB_FORMEL]\nf(x)=x^2\n");
    FormulaPageContent loaded = Sample();
    ASSERT_TRUE(LoadFormulaPageContent(m_ini, Path("c.fm"), loaded));
    EXPECT_EQ(loaded.formula, L"x^2");
    for (const CString& constant : loaded.constants)
        EXPECT_TRUE(constant.IsEmpty());
    EXPECT_TRUE(loaded.x.IsEmpty());
    EXPECT_TRUE(loaded.digits.IsEmpty());
}

// Damaged parameter files: whatever the page loads from one, it saves so that it loads back the same.
TEST_F(ParameterFile, WhatIsLoadedFromADamagedFileSavesAndLoadsBackTheSame)
{
    using namespace std::string_literals;
    const std::string damaged[] = {
        // A NUL after a blank in the formula's line: the blank stayed in the value and the lines
        // after the NUL were lost to the page.
        "[TAB_FORMEL]\nf(x)=sin\t\0\0\0A\nmore=1\n[CONSTANTS]\nA=1\n"s,
    };
    for (const std::string& file : damaged) {
        Write("d.fm", file);
        FormulaPageContent loaded;
        ASSERT_TRUE(LoadFormulaPageContent(m_ini, Path("d.fm"), loaded));
        SaveFormulaPageContent(m_ini, Path("e.fm"), loaded);
        FormulaPageContent reloaded;
        CIniFile reader;
        ASSERT_TRUE(LoadFormulaPageContent(reader, Path("e.fm"), reloaded));
        ExpectSame(reloaded, loaded);
    }
}

// A value the page could not take keeps what the page had and is named once; what the file's
// readers have always read (leading digits of a switch, a decimal comma) is taken.
TEST_F(ParameterFile, AValueThePageCannotTakeKeepsThePagesValueAndIsNamed)
{
    struct Case {
        const char* file;
        const wchar_t* named; // in the one problem, or null for none
    };
    const Case cases[] = {
        { "[CONSTANTS]\nA=lots\n", L"\"A\" = \"lots\" is not a number" },
        { "[CONSTANTS]\nX=1e999\n", L"\"X\"" },
        { "[INTERVALL]\nXB=--1\n", L"\"XB\"" },
        { "[CONSTANTS]\nComma=1.5\n", L"\"Comma\" = \"1.5\" is not a whole number" },
        { "[CONSTANTS]\nCommaTyp=sci\n", L"\"CommaTyp\"" },
        { "[CHECKS]\nViewTooltips=yes\n", L"\"ViewTooltips\"" },
        { "[CONSTANTS]\nB=2,5\nComma=-7\n[VERIFY]\nVerifyResult=7abc\n", nullptr },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        Write("f.fm", c.file);
        FormulaPageContent loaded = Sample();
        std::vector<CString> problems;
        ASSERT_TRUE(LoadFormulaPageContent(m_ini, Path("f.fm"), loaded, &problems));
        if (!c.named) {
            EXPECT_TRUE(problems.empty());
            EXPECT_EQ(loaded.constants[1], CString(L"2,5"));
            EXPECT_EQ(loaded.digits, CString(L"-7"));
            EXPECT_TRUE(loaded.verify);
            continue;
        }
        ASSERT_EQ(problems.size(), 1u);
        EXPECT_NE(problems[0].Find(c.named), -1) << problems[0].GetString();
    }
    // Kept: the sample's values where the file's could not be taken.
    Write("g.fm", "[CONSTANTS]\nA=lots\nComma=many\nCommaTyp=sci\n[CHECKS]\nViewTooltips=yes\n");
    FormulaPageContent loaded = Sample();
    ASSERT_TRUE(LoadFormulaPageContent(m_ini, Path("g.fm"), loaded));
    EXPECT_EQ(loaded.constants[0], Sample().constants[0]);
    EXPECT_EQ(loaded.digits, Sample().digits);
    EXPECT_EQ(loaded.numberFormat, Sample().numberFormat);
    EXPECT_EQ(loaded.viewTooltips, Sample().viewTooltips);
    EXPECT_TRUE(loaded.constants[1].IsEmpty()) << "a missing key still empties its field";
}

// A formula or derivative longer than the input line takes is cut to it and named; one that fits
// is taken whole.
TEST_F(ParameterFile, FormulasLongerThanTheInputLineTakesAreCutToIt)
{
    const std::string longest(kLongestFormula, '1');
    struct Case {
        std::string formula, derivative;
        std::vector<CString> cut;
    } cases[] = {
        {longest, longest, {}},
        {longest + "+2", "x", {L"formula"}},
        {"x", "2*" + longest, {L"derivative"}},
        {std::string(100'000, '7'), std::string(20'000, '8'), {L"formula", L"derivative"}},
    };
    for (const Case& c : cases) {
        Write("h.fm", "[TAB_FORMEL]\nf(x)=" + c.formula + "\n[TAB_DERIVATION]\nf'(x)=" + c.derivative + "\n");
        FormulaPageContent loaded;
        std::vector<CString> cut;
        ASSERT_TRUE(LoadFormulaPageContent(m_ini, Path("h.fm"), loaded, nullptr, &cut));
        EXPECT_EQ(loaded.formula, CString(c.formula.substr(0, kLongestFormula).c_str()));
        EXPECT_EQ(loaded.derivative, CString(c.derivative.substr(0, kLongestFormula).c_str()));
        EXPECT_EQ(cut, c.cut) << c.formula.size() << ", " << c.derivative.size();
    }
}

TEST_F(ParameterFile, AMissingFileLeavesTheContentAsItWas)
{
    FormulaPageContent content = Sample();
    EXPECT_FALSE(LoadFormulaPageContent(m_ini, Path("missing.fm"), content));
    ExpectSame(content, Sample());
}

TEST_F(ParameterFile, SavingKeepsTheSectionsOfTheOtherPage)
{
    Write("Fln.ini", "[TAB_DATEFORMEL]\nDate=1.1.2000\n[CHECKS]\nViewTooltips=1\n");
    SaveFormulaPageContent(m_ini, Path("Fln.ini"), Sample());
    std::string text = Read("Fln.ini");
    EXPECT_NE(text.find("Date=1.1.2000"), std::string::npos);
    EXPECT_NE(text.find("ViewTooltips=0"), std::string::npos);
    EXPECT_EQ(text.find("ViewTooltips=1"), std::string::npos);
}

// Each file is saved in one step, the last content of both pages included: a kill at any rename of
// a save leaves the whole old file or the whole new one, never the sections of two saves.
TEST_F(ParameterFile, AKillAtAnyRenameOfASaveLeavesTheOldFileOrTheNewOneWhole)
{
    FormulaPageContent oldFormula = Sample(), newFormula = Sample();
    newFormula.formula = L"x^2+A";
    newFormula.constants[0] = L"42";
    const DatePageContent oldDate { L"1.1.2000+5", TRUE, 1 }, newDate { L"24.12.2026-7", FALSE, 3 };
    struct Case {
        const char* name;
        std::function<BOOL(bool)> save; // the new content, or the old
    };
    const Case cases[] = {
        { "Fln.ini", [&](bool fresh) {
             return SaveLastContent(Path("Fln.ini"), fresh ? &newFormula : &oldFormula, fresh ? &newDate : &oldDate);
         } },
        { "dates.fmd", [&](bool fresh) {
             CIniFile ini;
             return CDateFile::Save(ini, Path("dates.fmd"), fresh ? newDate : oldDate);
         } },
        { "values.fm", [&](bool fresh) {
             CIniFile ini;
             return SaveFormulaPageContent(ini, Path("values.fm"), fresh ? newFormula : oldFormula);
         } },
    };
    for (const Case& file : cases) {
        SCOPED_TRACE(file.name);
        Write(file.name, "[Mine]\nkept=yes\n");
        ASSERT_TRUE(file.save(false));
        const std::string before = Read(file.name);
        ASSERT_TRUE(file.save(true));
        const std::string after = Read(file.name);
        ASSERT_NE(before, after);
        ASSERT_NE(after.find("kept=yes"), std::string::npos);
        for (int killAt = 1;; ++killAt) {
            Write(file.name, before);
            const auto run = RunKilledAtRename(killAt, [&] { file.save(true); });
            if (!run)
                GTEST_SKIP() << "a child process cannot be traced here";
            const std::string left = Read(file.name);
            EXPECT_TRUE(left == before || left == after) << "killed at rename " << killAt << ":\n" << left;
            if (!run->killed) {
                EXPECT_EQ(run->renames, 1) << "a save renames once";
                break;
            }
        }
        // What a kill left behind goes with the next save.
        ASSERT_TRUE(file.save(true));
        for (const auto& entry : std::filesystem::directory_iterator(m_folder.root()))
            EXPECT_FALSE(entry.path().filename().string().starts_with(kTemporaryNamePrefix)) << entry.path();
    }
}

} // namespace
