#include "editor/ScriptHost.h"
#include "editor/tests/ScriptHostSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

class ScriptHostJScriptTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        EXPECT_EQ(calculator->RefCount(), 1u) << "a reference to the published object leaked";
        calculator->Release();
    }
    PageRun Run(const wchar_t* text, std::function<void(SECAScriptHost*)> onHost = {})
    {
        return RunLikeThePage(text, calculator, handler, TRUE, std::move(onHost));
    }

    TestCalculator* calculator = TestCalculator::Create();
    PageErrorHandler handler;
};

TEST_F(ScriptHostJScriptTest, AProgramReachesThePublishedObjectThroughItsMembers)
{
    calculator->value = 41;
    PageRun run = Run(L"function fib(n) { return n < 2 ? n : fib(n - 1) + fib(n - 2); }\r\n"
                      L"var terms = [];\r\n"
                      L"for (var i = 0; i < 10; i++) terms.push(fib(i));\r\n"
                      L"var plain = { Value: function () { return 1; } };\r\n"
                      L"plain.Value();\r\n"                      // a call on a plain object ...
                      L"var before = FLN.Value;\r\n"              // ... leaves the next read a read
                      L"FLN.Tick(); FLN.Tick();\r\n"
                      L"var total = 0;\r\n"
                      L"terms.forEach(function (t) { total += t; });\r\n"
                      L"FLN.Value = FLN.Add(before, total) + JSON.parse('[1, 2]')[1] * 1000;\r\n");
    EXPECT_EQ(run.parse, S_OK);
    EXPECT_EQ(run.start, S_OK);
    EXPECT_TRUE(handler.errors.empty()) << WideToUtf8(handler.errors.empty() ? L"" : handler.errors[0].description);
    EXPECT_EQ(calculator->ticks, 2);
    EXPECT_EQ(calculator->value, 41 + 88 + 2000);
}

TEST_F(ScriptHostJScriptTest, ErrorsComeBackWithNumberTextLineAndCharacter)
{
    struct Case {
        const wchar_t* text;
        int number;
        const wchar_t* description;  // null: not compared
        int line;
        int character;  // the statement's first character
    };
    const Case cases[] = {
        {L"var a = 1;\r\nvar b = (1 +;\r\n", 1002, nullptr, 2, 1},
        {L"var a = 1;\n\n  y = z + 1;\n", 5009, L"'z' is undefined", 3, 3},
        {L"FLN.Value = 1;\r\n    FLN.Fail();\r\n", 1001, L"The calculator refused", 2, 5},
        {L"var s = 'x';\r\nFLN.Nothing();\r\n", 438, nullptr, 2, 1},
        {L"throw 'boom';\r\n", 5022, L"boom", 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << WideToUtf8(c.text));
        handler.errors.clear();
        Run(c.text);
        ASSERT_EQ(handler.errors.size(), 1u);
        const PageError& e = handler.errors[0];
        SCOPED_TRACE(testing::PrintToString(e));
        EXPECT_EQ(e.number, c.number);
        if (c.description)
            EXPECT_EQ(e.description, c.description);
        else
            EXPECT_FALSE(e.description.empty());
        EXPECT_EQ(e.line, c.line);
        EXPECT_EQ(e.character, c.character);  // 0: a thrown value carries no position
    }
}

TEST_F(ScriptHostJScriptTest, AnObjectsErrorCanBeCaughtWithItsNumber)
{
    Run(L"try { FLN.Fail(); } catch (e) { FLN.Value = (e.number & 0xFFFF) + (e.description == 'The calculator refused' ? 1 : 0); }");
    EXPECT_TRUE(handler.errors.empty());
    EXPECT_EQ(calculator->value, 1002);
}

TEST_F(ScriptHostJScriptTest, AnEndlessLoopIsInterruptedFromAnotherThread)
{
    SECAScriptHost* running = nullptr;
    std::thread stopper;
    calculator->onReady = [&] {
        stopper = std::thread([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            running->InterruptScript();
        });
    };
    PageRun run = Run(L"FLN.Ready();\nwhile (true) {}\nFLN.Value = 1;\n", [&](SECAScriptHost* host) { running = host; });
    stopper.join();
    EXPECT_TRUE(FAILED(run.start));
    EXPECT_TRUE(handler.errors.empty());
    EXPECT_EQ(calculator->value, 0);
}

TEST_F(ScriptHostJScriptTest, ACatchingLoopCannotSwallowTheInterrupt)
{
    const wchar_t* programs[] = {
        L"for (;;) { try { FLN.Tick(); } catch (e) {} }",
        L"do { FLN.Tick(); } while (1);",
        L"for (var i = 0; ; i++) { try { while (true) FLN.Tick(); } catch (e) {} }",
    };
    for (const wchar_t* program : programs) {
        SCOPED_TRACE(WideToUtf8(program));
        SECAScriptHost* running = nullptr;
        calculator->ticks = 0;
        calculator->onTick = [&] {
            if (calculator->ticks == 3)
                running->InterruptScript();
        };
        Run(program, [&](SECAScriptHost* host) { running = host; });
        EXPECT_EQ(calculator->ticks, 3);
        EXPECT_TRUE(handler.errors.empty());
    }
}

} // namespace
