// Scripts drive an object that another process publishes on the session bus: CreateObject finds
// the class by its ProgID, and calls, by-reference arguments and errors cross through the proxy.

#include "ScriptHarness.h"

#include "platform/com/LocalServerRegistration.h"
#include "platform/com/tests/PrivateBus.h"
#include "platform/com/tests/helpers/TestCalculator.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class LocalServerScript : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_bus.running()) << "dbus-daemon did not start";
        ASSERT_EQ(RegisterLocalServer(CLSID_TestCalculator, kTestCalculatorProgId, FLN_AUTOMATION_SERVER), S_OK);
    }

    PrivateBus m_bus;
};

TEST_F(LocalServerScript, ScriptCallsMembersWithReferencesAndErrors)
{
    ChildProcess server({FLN_AUTOMATION_SERVER, kAutomationSwitch});
    ASSERT_EQ(server.ReadLine(kWaitLimit), std::optional<std::string>("ready"));
    MessageBoxRecorder boxes;
    RunResult run = RunLikeThePage(LR"(
Set calc = CreateObject("FlnTest.Calculator")
MsgBox calc.Add(2, 0.5) & " " & calc.Concat("a", "b") & " " & calc.IsPositive(-1)
n = 41
old = calc.Increment(n)
MsgBox old & " " & n
a = "left" : b = 7
calc.Swap a, b
MsgBox a & " " & b & " " & TypeName(a) & " " & TypeName(b)
calc.Total = "kept"
MsgBox calc.Total
r = calc.Range(3)
MsgBox UBound(r) & " " & r(0) & " " & r(2) & " " & calc.Sum(Array(1, 2.5, 3))
d = calc.NextDay(DateSerial(2024, 2, 28))
MsgBox TypeName(d) & " " & Year(d) & "-" & Month(d) & "-" & Day(d)
MsgBox calc.ProcessId
On Error Resume Next
calc.Fail "from the script"
MsgBox Err.Number & " " & Err.Description & " " & Err.Source
Err.Clear
calc.NoSuchMember
MsgBox Err.Number
Err.Clear
Set other = CreateObject("FlnTest.Missing")
MsgBox Err.Number
)");
    EXPECT_EQ(run.parse, S_OK);
    EXPECT_EQ(run.start, S_OK);
    EXPECT_TRUE(run.errors.empty());
    EXPECT_EQ(boxes.Text(), L"2.5 ab False\n41 42\n7 left Integer String\nkept\n2 1 3 6.5\nDate 2024-2-29\n"
                                + std::to_wstring(server.pid()) + L"\n5001 from the script FlnTest.Calculator\n438\n429\n");
}

TEST_F(LocalServerScript, CreateObjectStartsTheServerWhenNoneRuns)
{
    MessageBoxRecorder boxes;
    RunResult run = RunLikeThePage(L"Set calc = CreateObject(\"FlnTest.Calculator\")\nMsgBox calc.ProcessId > 0 And calc.OnMainThread");
    EXPECT_EQ(run.start, S_OK);
    EXPECT_TRUE(run.errors.empty());
    EXPECT_EQ(boxes.Text(), L"True\n");
}

} // namespace
