#include "platform/script/VbsParser.h"

#include "platform/script/VbsErrors.h"
#include "platform/script/VbsLexer.h"

#include <cwctype>
#include <unordered_set>
#include <utility>

namespace vbs {

namespace {

constexpr int kMaxNesting = 200;

const std::unordered_set<std::wstring>& ReservedWords()
{
    static const std::unordered_set<std::wstring> words = {
        L"and", L"byref", L"byval", L"call", L"case", L"class", L"const", L"dim", L"do", L"each", L"else",
        L"elseif", L"empty", L"end", L"eqv", L"erase", L"exit", L"false", L"for", L"function", L"if", L"imp",
        L"in", L"is", L"loop", L"me", L"mod", L"new", L"next", L"not", L"nothing", L"null", L"on", L"option",
        L"or", L"preserve", L"private", L"public", L"redim", L"resume", L"select", L"set", L"sub", L"then",
        L"to", L"true", L"until", L"wend", L"while", L"with", L"xor", L"goto"};
    return words;
}

class Parser {
public:
    explicit Parser(std::wstring_view text) : m_tokens(Tokenize(text)), m_unit(std::make_unique<Unit>())
    {
        m_unit->lines = SplitSourceLines(text);
        m_unit->globalCode = std::make_unique<Procedure>();
        m_unit->globalCode->kind = ProcKind::GlobalCode;
        m_proc = m_unit->globalCode.get();
    }

    std::unique_ptr<Unit> ParseProgram()
    {
        SkipSeparators();
        if (Peek().Is(L"option")) {
            Next();
            Expect(L"explicit", kSyntaxError);
            m_unit->optionExplicit = true;
            EndOfStatement();
            SkipSeparators();
        }
        while (Peek().kind != Tok::End) {
            ParseTopLevel();
            SkipSeparators();
        }
        return std::move(m_unit);
    }

    std::unique_ptr<Unit> ParseExpression()
    {
        SkipSeparators();
        auto stmt = std::make_unique<Stmt>(Stmt::Call, Peek().line, Peek().column);
        stmt->a = Expression();
        SkipSeparators();
        if (Peek().kind != Tok::End)
            Fail(kExpectedEndOfStatement);
        m_unit->globalCode->body.push_back(std::move(stmt));
        return std::move(m_unit);
    }

private:
    // ---- token stream ----

    const Token& Peek(size_t ahead = 0) const
    {
        size_t i = std::min(m_pos + ahead, m_tokens.size() - 1);
        return m_tokens[i];
    }
    const Token& Next()
    {
        const Token& t = m_tokens[m_pos];
        if (m_pos + 1 < m_tokens.size())
            ++m_pos;
        return t;
    }
    bool Accept(const wchar_t* word)
    {
        if (Peek().Is(word)) {
            Next();
            return true;
        }
        return false;
    }
    void Expect(const wchar_t* word, int error)
    {
        if (!Accept(word))
            Fail(error);
    }
    [[noreturn]] void Fail(int number) { FailAt(number, Peek()); }
    [[noreturn]] void FailAt(int number, const Token& at)
    {
        ScriptError e{number, ErrorText(number), kCompileErrorSource};
        e.line = at.line;
        e.column = at.column;
        e.compile = true;
        throw e;
    }
    bool AtStatementEnd() const
    {
        Tok k = Peek().kind;
        return k == Tok::Newline || k == Tok::Colon || k == Tok::End;
    }
    // "End" closes the block around a statement on the same line ("If c Then x = 1 End If").
    void EndOfStatement()
    {
        if (!AtStatementEnd() && !Peek().Is(L"end") && !(m_singleLineIf && Peek().Is(L"else")))
            Fail(kExpectedEndOfStatement);
    }
    void SkipSeparators()
    {
        while (Peek().kind == Tok::Newline || Peek().kind == Tok::Colon)
            Next();
    }
    std::wstring ExpectName(int error = kExpectedIdentifier)
    {
        const Token& t = Peek();
        if (t.kind != Tok::Name || ReservedWords().count(t.lower))
            Fail(error);
        Next();
        return t.text;
    }
    static std::wstring Lower(const std::wstring& s)
    {
        std::wstring r = s;
        for (wchar_t& c : r)
            c = static_cast<wchar_t>(std::towlower(c));
        return r;
    }

    struct NestingGuard {
        Parser& parser;
        explicit NestingGuard(Parser& p) : parser(p)
        {
            if (++parser.m_nesting > kMaxNesting)
                parser.Fail(kOutOfStackSpace);
        }
        ~NestingGuard() { --parser.m_nesting; }
    };

    // ---- declarations ----

    void ParseTopLevel()
    {
        const Token& t = Peek();
        bool isPublic = true;
        if (t.Is(L"public") || t.Is(L"private")) {
            isPublic = t.Is(L"public");
            const Token& after = Peek(1);
            if (after.Is(L"sub") || after.Is(L"function") || after.Is(L"const") || after.Is(L"default")) {
                Next();
            } else if (after.Is(L"class")) {
                Next();
            } else {
                // "Public x, y" declares global variables.
                Next();
                if (auto stmt = ParseDimList())
                    m_unit->globalCode->body.push_back(std::move(stmt));
                return;
            }
        }
        const Token& k = Peek();
        if (StartsDefaultDeclaration())
            Fail(kMustBeInsideClass);
        if (k.Is(L"sub") || k.Is(L"function")) {
            DeclareProcedure(isPublic);
            return;
        }
        if (k.Is(L"class")) {
            ParseClass();
            return;
        }
        if (StartsPropertyDeclaration())
            Fail(kMustBeInsideClass);
        if (k.Is(L"option"))
            Fail(kMustBeFirstStatement);
        auto stmt = Statement();
        if (stmt)
            m_unit->globalCode->body.push_back(std::move(stmt));
    }

    // Property and Default are names too ("Property = 1", "Dim Default"); only the words that follow
    // make them start a declaration.
    bool StartsPropertyDeclaration() const
    {
        const Token& next = Peek(1);
        return Peek().Is(L"property") && (next.Is(L"get") || next.Is(L"let") || next.Is(L"set"));
    }
    bool StartsDefaultDeclaration() const
    {
        const Token& next = Peek(1);
        return Peek().Is(L"default") && (next.Is(L"function") || next.Is(L"sub") || next.Is(L"property"));
    }

    // A Sub or Function of the script: declared wherever it is written, even inside a block.
    void DeclareProcedure(bool isPublic)
    {
        auto proc = ParseProcedure(Peek().Is(L"sub") ? ProcKind::Sub : ProcKind::Function, nullptr);
        proc->isPublic = isPublic;
        m_unit->procedures.push_back(std::move(proc));
    }

    std::vector<Param> ParseParams()
    {
        std::vector<Param> params;
        if (!Accept(L"("))
            return params;
        if (Accept(L")"))
            return params;
        do {
            Param p;
            if (Accept(L"byval"))
                p.byRef = false;
            else
                Accept(L"byref");
            p.name = ExpectName();
            p.lower = Lower(p.name);
            if (Accept(L"(")) {
                Expect(L")", kExpectedCloseParen);
            }
            for (const Param& other : params)
                if (other.lower == p.lower)
                    Fail(kNameRedefined);
            params.push_back(std::move(p));
        } while (Accept(L","));
        Expect(L")", kExpectedCloseParen);
        return params;
    }

    std::unique_ptr<Procedure> ParseProcedure(ProcKind kind, ClassDef* owner)
    {
        const Token& start = Next();  // Sub, Function, or the Get/Let/Set word
        auto proc = std::make_unique<Procedure>();
        proc->kind = kind;
        proc->owner = owner;
        proc->line = start.line;
        proc->column = start.column;
        proc->name = ExpectName();
        proc->lower = Lower(proc->name);
        proc->params = ParseParams();
        for (const Param& p : proc->params)
            proc->AddLocal(p.lower);
        if (kind == ProcKind::Function || kind == ProcKind::PropertyGet)
            proc->resultSlot = proc->AddLocal(L"");
        if ((kind == ProcKind::PropertyLet || kind == ProcKind::PropertySet) && proc->params.empty())
            FailAt(kPropertyNeedsArgument, start);
        // "Sub f() x = 1 End Sub": the body may start on the line of the head.
        if (!m_tokens[m_pos - 1].Is(L")") || Peek().kind != Tok::Name)
            EndOfStatement();
        Procedure* outer = m_proc;
        m_proc = proc.get();
        // The procedure's body is not inside the loops or With blocks around its declaration.
        struct Enclosing {
            Parser& parser;
            std::vector<int> withSlots = std::exchange(parser.m_withSlots, {});
            int forDepth = std::exchange(parser.m_forDepth, 0);
            int doDepth = std::exchange(parser.m_doDepth, 0);
            bool singleLineIf = std::exchange(parser.m_singleLineIf, false);
            ~Enclosing()
            {
                parser.m_withSlots = std::move(withSlots);
                parser.m_forDepth = forDepth;
                parser.m_doDepth = doDepth;
                parser.m_singleLineIf = singleLineIf;
            }
        } enclosing{*this};
        const wchar_t* endWord = kind == ProcKind::Sub ? L"sub" : kind == ProcKind::Function ? L"function" : L"property";
        int endError = kind == ProcKind::Sub ? kExpectedSub : kind == ProcKind::Function ? kExpectedFunction : kExpectedProperty;
        proc->body = ParseBlock({L"end"}, kExpectedEnd);
        Expect(L"end", kExpectedEnd);
        Expect(endWord, endError);
        EndOfStatement();
        m_proc = outer;
        return proc;
    }

    void ParseClass()
    {
        Next();  // Class
        auto cls = std::make_unique<ClassDef>();
        cls->name = ExpectName();
        cls->lower = Lower(cls->name);
        EndOfStatement();
        SkipSeparators();
        while (!Peek().Is(L"end")) {
            if (Peek().kind == Tok::End)
                Fail(kExpectedEnd);
            ParseClassMember(*cls);
            SkipSeparators();
        }
        Next();
        Expect(L"class", kExpectedClass);
        EndOfStatement();
        for (const auto& other : m_unit->classes)
            if (other->lower == cls->lower)
                Fail(kNameRedefined);
        m_unit->classes.push_back(std::move(cls));
    }

    ClassMember& MemberNamed(ClassDef& cls, const std::wstring& name, bool isPublic)
    {
        std::wstring lower = Lower(name);
        if (ClassMember* m = cls.Find(lower))
            return *m;
        auto m = std::make_unique<ClassMember>();
        m->name = name;
        m->lower = lower;
        m->isPublic = isPublic;
        m->dispid = static_cast<DISPID>(cls.members.size() + 1);
        ClassMember& ref = *m;
        cls.byName[lower] = m.get();
        cls.members.push_back(std::move(m));
        return ref;
    }

    void ParseClassMember(ClassDef& cls)
    {
        bool isPublic = true;
        bool isDefault = false;
        const Token& first = Peek();
        if (Accept(L"public")) {
            if (Accept(L"default"))
                isDefault = true;
        } else if (Accept(L"private")) {
            isPublic = false;
            if (Peek().Is(L"default"))
                Fail(kDefaultNeedsPublic);
        } else if (Peek().Is(L"default")) {
            Fail(kDefaultNeedsPublic);
        }
        const Token& k = Peek();
        if (k.Is(L"sub") || k.Is(L"function") || k.Is(L"property")) {
            ProcKind kind = k.Is(L"sub") ? ProcKind::Sub : ProcKind::Function;
            if (k.Is(L"property")) {
                Next();
                const Token& which = Peek();
                if (which.Is(L"get"))
                    kind = ProcKind::PropertyGet;
                else if (which.Is(L"let"))
                    kind = ProcKind::PropertyLet;
                else if (which.Is(L"set"))
                    kind = ProcKind::PropertySet;
                else
                    Fail(kExpectedLetSetGet);
                if (isDefault && kind != ProcKind::PropertyGet)
                    Fail(kDefaultOnlyOnGet);
            }
            auto proc = ParseProcedure(kind, &cls);
            proc->isPublic = isPublic;
            proc->isDefault = isDefault;
            ClassMember& member = MemberNamed(cls, proc->name, isPublic);
            if (member.field >= 0)
                FailAt(kNameRedefined, first);
            Procedure*& slot = kind == ProcKind::PropertyLet ? member.let : kind == ProcKind::PropertySet ? member.set : member.get;
            if (slot)
                FailAt(kNameRedefined, first);
            slot = proc.get();
            member.isPublic = member.isPublic || isPublic;
            if (isDefault) {
                if (cls.defaultMember && cls.defaultMember != &member)
                    FailAt(kMultipleDefaults, first);
                cls.defaultMember = &member;
            }
            if (proc->lower == L"class_initialize" || proc->lower == L"class_terminate") {
                if (!proc->params.empty())
                    FailAt(kInitializeTerminateArguments, first);
                (proc->lower == L"class_initialize" ? cls.initialize : cls.terminate) = proc.get();
            }
            cls.procedures.push_back(std::move(proc));
            return;
        }
        if (isDefault)
            Fail(kDefaultOnlyOnGet);
        bool hadVisibility = &k != &first;
        if (!Accept(L"dim") && !hadVisibility)
            Fail(kExpectedStatement);
        do {
            const Token& at = Peek();
            std::wstring name = ExpectName();
            if (cls.Find(Lower(name)))
                FailAt(kNameRedefined, at);
            ClassMember& member = MemberNamed(cls, name, isPublic);
            member.field = cls.fieldCount++;
            if (Accept(L"(")) {
                member.fieldIsArray = true;
                if (!Accept(L")")) {
                    do
                        member.fieldBounds.push_back(IntegerConstant());
                    while (Accept(L","));
                    Expect(L")", kExpectedCloseParen);
                }
            }
        } while (Accept(L","));
        EndOfStatement();
    }

    int IntegerConstant()
    {
        const Token& t = Peek();
        if (t.kind != Tok::Number || t.value.type() == VT_R8)
            Fail(kExpectedIntegerConstant);
        Next();
        return static_cast<int>(ToLong(t.value.v));
    }

    // Dim a, b(3), c(): top-level names become globals, others locals of the procedure.
    std::unique_ptr<Stmt> ParseDimList()
    {
        auto stmt = std::make_unique<Stmt>(Stmt::Dim, Peek().line, Peek().column);
        do {
            const Token& at = Peek();
            std::wstring name = ExpectName();
            std::wstring lower = Lower(name);
            DimItem item;
            item.target = std::make_unique<Expr>(Expr::Name, at.line, at.column);
            item.target->name = name;
            item.target->lower = lower;
            std::vector<int> bounds;
            if (Accept(L"(")) {
                item.isArray = true;
                if (!Accept(L")")) {
                    do
                        bounds.push_back(IntegerConstant());
                    while (Accept(L","));
                    Expect(L")", kExpectedCloseParen);
                }
            }
            if (m_proc->kind == ProcKind::GlobalCode) {
                for (const auto& g : m_unit->globals)
                    if (Lower(g.first) == lower)
                        FailAt(kNameRedefined, at);
                m_unit->globals.emplace_back(name, at.line);
            } else {
                if (m_proc->FindLocal(lower) >= 0 || m_proc->constants.count(lower))
                    FailAt(kNameRedefined, at);
                int slot = m_proc->AddLocal(lower);
                m_proc->localIsArray[slot] = item.isArray;
                m_proc->localBounds[slot] = bounds;
            }
            for (int b : bounds) {
                auto e = std::make_unique<Expr>(Expr::Literal, at.line, at.column);
                e->value = Var::Long(b);
                item.bounds.push_back(std::move(e));
            }
            stmt->dims.push_back(std::move(item));
        } while (Accept(L","));
        EndOfStatement();
        if (m_proc->kind != ProcKind::GlobalCode)
            return nullptr;  // locals are made when the procedure starts
        return stmt;
    }

    void ParseConst()
    {
        do {
            const Token& at = Peek();
            std::wstring name = ExpectName();
            Expect(L"=", kExpectedEquals);
            Var value = ConstantValue();
            std::wstring lower = Lower(name);
            if (m_proc->kind == ProcKind::GlobalCode) {
                for (const auto& c : m_unit->constants)
                    if (Lower(c.first) == lower)
                        FailAt(kNameRedefined, at);
                m_unit->constants.emplace_back(name, std::move(value));
            } else {
                if (m_proc->FindLocal(lower) >= 0 || m_proc->constants.count(lower))
                    FailAt(kNameRedefined, at);
                m_proc->constants[lower] = std::move(value);
            }
        } while (Accept(L","));
        EndOfStatement();
    }

    Var ConstantValue()
    {
        bool negate = false;
        while (Peek().Is(L"-") || Peek().Is(L"+")) {
            negate ^= Peek().Is(L"-");
            Next();
        }
        const Token& t = Peek();
        Var value;
        if (t.kind == Tok::Number || t.kind == Tok::String || t.kind == Tok::Date)
            value = t.value;
        else if (t.Is(L"true"))
            value = Var::Bool(true);
        else if (t.Is(L"false"))
            value = Var::Bool(false);
        else if (t.Is(L"empty"))
            value = Var();
        else if (t.Is(L"null"))
            value = Var::Null();
        else if (t.Is(L"nothing"))
            value = Var::Object(nullptr);
        else
            Fail(kExpectedLiteral);
        Next();
        if (negate)
            value = Negate(value.v);
        return value;
    }

    // ---- statements ----

    Block ParseBlock(std::initializer_list<const wchar_t*> terminators, int missingError)
    {
        Block block;
        while (true) {
            SkipSeparators();
            const Token& t = Peek();
            if (t.kind == Tok::End)
                Fail(missingError);
            bool done = false;
            for (const wchar_t* word : terminators)
                if (t.Is(word))
                    done = true;
            if (done)
                break;
            if ((t.Is(L"sub") || t.Is(L"function")) && m_proc->kind == ProcKind::GlobalCode) {
                DeclareProcedure(true);
                continue;
            }
            if (t.Is(L"sub") || t.Is(L"function") || t.Is(L"class") || StartsPropertyDeclaration()
                || ((t.Is(L"public") || t.Is(L"private")) && m_proc->kind != ProcKind::GlobalCode))
                Fail(missingError);
            if (t.Is(L"public") || t.Is(L"private"))
                Fail(missingError);
            if (auto stmt = Statement())
                block.push_back(std::move(stmt));
        }
        return block;
    }

    std::unique_ptr<Stmt> Statement()
    {
        NestingGuard guard(*this);
        const Token& t = Peek();
        int line = t.line, column = t.column;
        if (t.kind != Tok::Name && !t.Is(L".") && !t.Is(L"("))
            Fail(kExpectedStatement);
        const std::wstring& w = t.lower;
        if (w == L"dim") {
            Next();
            return ParseDimList();
        }
        if (w == L"const") {
            Next();
            ParseConst();
            return nullptr;
        }
        if (w == L"redim")
            return ParseReDim();
        if (w == L"if")
            return ParseIf();
        if (w == L"for")
            return ParseFor();
        if (w == L"do")
            return ParseDo();
        if (w == L"while")
            return ParseWhile();
        if (w == L"select")
            return ParseSelect();
        if (w == L"with")
            return ParseWith();
        if (w == L"exit") {
            Next();
            auto stmt = std::make_unique<Stmt>(Stmt::Exit, line, column);
            const Token& what = Peek();
            if (what.Is(L"do"))
                stmt->exit = ExitKind::Do;
            else if (what.Is(L"for"))
                stmt->exit = ExitKind::For;
            else if (what.Is(L"sub"))
                stmt->exit = ExitKind::Sub;
            else if (what.Is(L"function"))
                stmt->exit = ExitKind::Function;
            else if (what.Is(L"property"))
                stmt->exit = ExitKind::Property;
            else
                Fail(kInvalidExit);
            CheckExit(stmt->exit, what);
            Next();
            EndOfStatement();
            return stmt;
        }
        if (w == L"on") {
            Next();
            Expect(L"error", kSyntaxError);
            std::unique_ptr<Stmt> stmt;
            if (Accept(L"resume")) {
                Expect(L"next", kSyntaxError);
                stmt = std::make_unique<Stmt>(Stmt::OnErrorResumeNext, line, column);
            } else if (Accept(L"goto")) {
                const Token& zero = Peek();
                if (zero.kind != Tok::Number || zero.text != L"0")
                    Fail(kSyntaxError);
                Next();
                stmt = std::make_unique<Stmt>(Stmt::OnErrorGoto0, line, column);
            } else {
                Fail(kSyntaxError);
            }
            EndOfStatement();
            return stmt;
        }
        if (w == L"erase") {
            Next();
            auto stmt = std::make_unique<Stmt>(Stmt::Erase, line, column);
            const Token& at = Peek();
            stmt->a = std::make_unique<Expr>(Expr::Name, at.line, at.column);
            stmt->a->name = ExpectName();
            stmt->a->lower = Lower(stmt->a->name);
            EndOfStatement();
            return stmt;
        }
        if (w == L"randomize") {
            Next();
            auto stmt = std::make_unique<Stmt>(Stmt::Randomize, line, column);
            if (!AtStatementEnd() && !(m_singleLineIf && Peek().Is(L"else")))
                stmt->a = Expression();
            EndOfStatement();
            return stmt;
        }
        if (w == L"call") {
            Next();
            auto stmt = std::make_unique<Stmt>(Stmt::Call, line, column);
            stmt->a = Chain(false);
            if (stmt->a->kind != Expr::Name && stmt->a->kind != Expr::Member
                && !(stmt->a->kind == Expr::Index && stmt->a->object->parenthesized))  // Call (f)(x)
                FailAt(kExpectedIdentifier, t);
            EndOfStatement();
            return stmt;
        }
        if (w == L"set") {
            Next();
            auto stmt = std::make_unique<Stmt>(Stmt::Set, line, column);
            stmt->a = Chain(false);
            Expect(L"=", kExpectedEquals);
            if (Peek().Is(L"new")) {
                stmt->b = Primary();
            } else {
                stmt->b = Expression();
            }
            EndOfStatement();
            return stmt;
        }
        if (w == L"stop") {  // a breakpoint for a debugger; there is none to stop in
            Next();
            EndOfStatement();
            return nullptr;
        }
        if (w == L"next")
            Fail(kUnexpectedNext);
        if (w == L"loop")
            Fail(kLoopWithoutDo);
        if (w == L"option")
            Fail(kMustBeFirstStatement);
        if (t.kind == Tok::Name && ReservedWords().count(w) && w != L"me")
            Fail(kExpectedStatement);
        return ParseAssignOrCall();
    }

    void CheckExit(ExitKind kind, const Token& at)
    {
        bool ok = false;
        switch (kind) {
        case ExitKind::Do: ok = m_doDepth > 0; break;
        case ExitKind::For: ok = m_forDepth > 0; break;
        case ExitKind::Sub: ok = m_proc->kind == ProcKind::Sub; break;
        case ExitKind::Function: ok = m_proc->kind == ProcKind::Function; break;
        case ExitKind::Property:
            ok = m_proc->kind == ProcKind::PropertyGet || m_proc->kind == ProcKind::PropertyLet
                || m_proc->kind == ProcKind::PropertySet;
            break;
        }
        if (!ok)
            FailAt(kInvalidExit, at);
    }

    // "arr (0) = x": a blank before the parentheses, yet an element assigned. True when the
    // parenthesised list at the current token is followed by "=".
    bool IndexedAssignmentAhead() const
    {
        if (!Peek().Is(L"("))
            return false;
        int depth = 0;
        for (size_t ahead = 0;; ++ahead) {
            const Token& t = Peek(ahead);
            if (t.kind == Tok::Newline || t.kind == Tok::Colon || t.kind == Tok::End)
                return false;
            if (t.Is(L"("))
                ++depth;
            else if (t.Is(L")") && --depth == 0)
                return Peek(ahead + 1).Is(L"=");
        }
    }

    std::unique_ptr<Stmt> ParseAssignOrCall()
    {
        const Token& start = Peek();
        ExprPtr target = Chain(true);
        if (!target->hasArgList && !target->parenthesized && IndexedAssignmentAhead()) {
            Next();
            ParseArgs(*target);
        }
        if (Peek().Is(L"=")) {
            Next();
            auto stmt = std::make_unique<Stmt>(Stmt::Assign, start.line, start.column);
            if (target->kind != Expr::Name && target->kind != Expr::Member)
                FailAt(kIllegalAssignment, start);
            stmt->a = std::move(target);
            stmt->b = Expression();
            EndOfStatement();
            return stmt;
        }
        auto stmt = std::make_unique<Stmt>(Stmt::Call, start.line, start.column);
        if (target->kind != Expr::Name && target->kind != Expr::Member && target->kind != Expr::Index)
            FailAt(kExpectedStatement, start);
        if (!AtStatementEnd() && !(m_singleLineIf && Peek().Is(L"else"))) {
            if (target->hasArgList)
                Fail(kExpectedEndOfStatement);
            // Arguments without parentheses: name a, b, , d
            target->hasArgList = true;
            do {
                if (Peek().Is(L",") ) {
                    target->args.push_back(std::make_unique<Expr>(Expr::Missing, Peek().line, Peek().column));
                    continue;
                }
                target->args.push_back(Expression());
            } while (Accept(L","));
            target->hasArgList = false;  // written without parentheses
            if (target->args.empty())
                Fail(kExpectedExpression);
        } else if (target->hasArgList && target->args.size() > 1) {
            FailAt(kParenthesesOnSubCall, start);
        } else if (target->hasArgList && target->args.size() == 1) {
            // name(x) as a statement passes (x): by value.
            target->args[0]->parenthesized = true;
            target->hasArgList = false;
        }
        EndOfStatement();
        stmt->a = std::move(target);
        return stmt;
    }

    std::unique_ptr<Stmt> ParseReDim()
    {
        const Token& start = Next();
        auto stmt = std::make_unique<Stmt>(Stmt::ReDim, start.line, start.column);
        stmt->preserve = Accept(L"preserve");
        do {
            const Token& at = Peek();
            DimItem item;
            item.target = std::make_unique<Expr>(Expr::Name, at.line, at.column);
            item.target->name = ExpectName();
            item.target->lower = Lower(item.target->name);
            item.isArray = true;
            Expect(L"(", kExpectedOpenParen);
            do
                item.bounds.push_back(Expression());
            while (Accept(L","));
            Expect(L")", kExpectedCloseParen);
            stmt->dims.push_back(std::move(item));
        } while (Accept(L","));
        EndOfStatement();
        return stmt;
    }

    std::unique_ptr<Stmt> ParseIf()
    {
        const Token& start = Next();
        auto stmt = std::make_unique<Stmt>(Stmt::If, start.line, start.column);
        Branch first;
        first.conditions.push_back(Expression());
        Expect(L"then", kExpectedThen);
        if (!AtStatementEnd() || Peek().kind == Tok::Colon) {
            if (Peek().kind == Tok::Colon)
                Next();
            // One-line form: If c Then a : b Else d : e
            bool wasSingle = m_singleLineIf;
            m_singleLineIf = true;
            first.body = ParseLineStatements();
            stmt->branches.push_back(std::move(first));
            if (Accept(L"else")) {
                Branch otherwise;
                otherwise.body = ParseLineStatements();
                stmt->branches.push_back(std::move(otherwise));
                stmt->hasElse = true;
            }
            m_singleLineIf = wasSingle;
            if (Peek().Is(L"end") && Peek(1).Is(L"if")) {
                Next();
                Next();
            }
            if (Peek().kind != Tok::Newline && Peek().kind != Tok::End && !Peek().Is(L"end")
                && !(m_singleLineIf && Peek().Is(L"else")))
                Fail(kExpectedEndOfStatement);
            return stmt;
        }
        bool wasSingle = m_singleLineIf;
        m_singleLineIf = false;
        first.body = ParseBlock({L"elseif", L"else", L"end"}, kExpectedEnd);
        stmt->branches.push_back(std::move(first));
        while (Accept(L"elseif")) {
            Branch branch;
            branch.conditions.push_back(Expression());
            Expect(L"then", kExpectedThen);
            branch.body = ParseBlock({L"elseif", L"else", L"end"}, kExpectedEnd);
            stmt->branches.push_back(std::move(branch));
        }
        if (Accept(L"else")) {
            Branch otherwise;
            otherwise.body = ParseBlock({L"end"}, kExpectedEnd);
            stmt->branches.push_back(std::move(otherwise));
            stmt->hasElse = true;
        }
        Expect(L"end", kExpectedEnd);
        Expect(L"if", kExpectedIf);
        m_singleLineIf = wasSingle;
        EndOfStatement();
        return stmt;
    }

    Block ParseLineStatements()
    {
        Block block;
        while (true) {
            if (Peek().kind == Tok::Newline || Peek().kind == Tok::End || Peek().Is(L"else") || Peek().Is(L"end"))
                break;
            if (Peek().kind == Tok::Colon) {
                Next();
                continue;
            }
            if (auto s = Statement())
                block.push_back(std::move(s));
        }
        return block;
    }

    std::unique_ptr<Stmt> ParseFor()
    {
        const Token& start = Next();
        if (Accept(L"each")) {
            auto stmt = std::make_unique<Stmt>(Stmt::ForEach, start.line, start.column);
            stmt->a = LoopVariable();
            Expect(L"in", kExpectedIn);
            stmt->b = Expression();
            return ForBody(std::move(stmt));
        }
        auto stmt = std::make_unique<Stmt>(Stmt::For, start.line, start.column);
        stmt->a = LoopVariable();
        Expect(L"=", kExpectedEquals);
        stmt->b = Expression();
        Expect(L"to", kExpectedTo);
        stmt->c = Expression();
        if (Accept(L"step"))
            stmt->d = Expression();
        return ForBody(std::move(stmt));
    }

    // The rest of a For or For Each after its head: the body up to "Next", which may name the variable.
    std::unique_ptr<Stmt> ForBody(std::unique_ptr<Stmt> stmt)
    {
        EndOfStatement();
        ++m_forDepth;
        stmt->body = ParseBlock({L"next"}, kExpectedNext);
        --m_forDepth;
        Next();
        if (Peek().kind == Tok::Name && !Peek().Is(L"else"))
            Next();
        EndOfStatement();
        return stmt;
    }

    ExprPtr LoopVariable()
    {
        const Token& at = Peek();
        if (at.kind != Tok::Name || ReservedWords().count(at.lower))
            Fail(kInvalidForVariable);
        Next();
        auto e = std::make_unique<Expr>(Expr::Name, at.line, at.column);
        e->name = at.text;
        e->lower = at.lower;
        return e;
    }

    std::unique_ptr<Stmt> ParseDo()
    {
        const Token& start = Next();
        auto stmt = std::make_unique<Stmt>(Stmt::Do, start.line, start.column);
        if (Peek().Is(L"while") || Peek().Is(L"until")) {
            stmt->until = Next().Is(L"until");
            stmt->a = Expression();
        } else if (!AtStatementEnd()) {
            Fail(kExpectedWhileUntilOrEnd);
        }
        EndOfStatement();
        ++m_doDepth;
        stmt->body = ParseBlock({L"loop"}, kExpectedLoop);
        --m_doDepth;
        Next();
        if (Peek().Is(L"while") || Peek().Is(L"until")) {
            if (stmt->a)
                Fail(kExpectedEndOfStatement);
            stmt->until = Next().Is(L"until");
            stmt->a = Expression();
            stmt->conditionAtEnd = true;
        }
        EndOfStatement();
        return stmt;
    }

    std::unique_ptr<Stmt> ParseWhile()
    {
        const Token& start = Next();
        auto stmt = std::make_unique<Stmt>(Stmt::While, start.line, start.column);
        stmt->a = Expression();
        EndOfStatement();
        stmt->body = ParseBlock({L"wend"}, kExpectedWend);
        Next();
        EndOfStatement();
        return stmt;
    }

    std::unique_ptr<Stmt> ParseSelect()
    {
        const Token& start = Next();
        Expect(L"case", kExpectedCase);
        auto stmt = std::make_unique<Stmt>(Stmt::Select, start.line, start.column);
        stmt->a = Expression();
        EndOfStatement();
        SkipSeparators();
        while (Accept(L"case")) {
            Branch branch;
            if (Accept(L"else")) {
                stmt->hasElse = true;
            } else {
                do
                    branch.conditions.push_back(Expression());
                while (Accept(L","));
            }
            // The first statement of a case may follow it on the same line.
            branch.body = ParseBlock({L"case", L"end"}, kExpectedEnd);
            bool isElse = branch.conditions.empty();
            stmt->branches.push_back(std::move(branch));
            if (isElse && !Peek().Is(L"end"))
                Fail(kExpectedEnd);
        }
        if (!Peek().Is(L"end"))
            Fail(kExpectedCase);
        Next();
        Expect(L"select", kExpectedSelect);
        EndOfStatement();
        return stmt;
    }

    std::unique_ptr<Stmt> ParseWith()
    {
        const Token& start = Next();
        auto stmt = std::make_unique<Stmt>(Stmt::With, start.line, start.column);
        stmt->a = Expression();
        EndOfStatement();
        stmt->slot = m_proc->AddLocal(L"");
        m_withSlots.push_back(stmt->slot);
        stmt->body = ParseBlock({L"end"}, kExpectedEnd);
        m_withSlots.pop_back();
        Next();
        Expect(L"with", kExpectedWith);
        EndOfStatement();
        return stmt;
    }

    // ---- expressions ----

    ExprPtr MakeBinary(BinaryOp op, ExprPtr left, ExprPtr right, const Token& at)
    {
        auto e = std::make_unique<Expr>(Expr::Binary, at.line, at.column);
        e->op = op;
        e->object = std::move(left);
        e->right = std::move(right);
        return e;
    }

    ExprPtr Expression()
    {
        NestingGuard guard(*this);
        return ParseImp();
    }

    template<typename Sub>
    ExprPtr LeftAssoc(Sub sub, std::initializer_list<std::pair<const wchar_t*, BinaryOp>> ops)
    {
        ExprPtr left = (this->*sub)();
        while (true) {
            bool matched = false;
            for (auto& [word, op] : ops) {
                if (Peek().Is(word)) {
                    const Token& at = Next();
                    left = MakeBinary(op, std::move(left), (this->*sub)(), at);
                    matched = true;
                    break;
                }
            }
            if (!matched)
                return left;
        }
    }

    ExprPtr ParseImp() { return LeftAssoc(&Parser::ParseEqv, {{L"imp", BinaryOp::Imp}}); }
    ExprPtr ParseEqv() { return LeftAssoc(&Parser::ParseXor, {{L"eqv", BinaryOp::Eqv}}); }
    ExprPtr ParseXor() { return LeftAssoc(&Parser::ParseOr, {{L"xor", BinaryOp::Xor}}); }
    ExprPtr ParseOr() { return LeftAssoc(&Parser::ParseAnd, {{L"or", BinaryOp::Or}}); }
    ExprPtr ParseAnd() { return LeftAssoc(&Parser::ParseNot, {{L"and", BinaryOp::And}}); }
    ExprPtr ParseNot()
    {
        if (Peek().Is(L"not")) {
            NestingGuard guard(*this);
            const Token& at = Next();
            auto e = std::make_unique<Expr>(Expr::Unary, at.line, at.column);
            e->unary = UnaryOp::Not;
            e->object = ParseNot();
            return e;
        }
        return ParseCompare();
    }
    ExprPtr ParseCompare()
    {
        return LeftAssoc(&Parser::ParseConcat, {{L"=", BinaryOp::Equal}, {L"<>", BinaryOp::NotEqual},
                                                {L"<", BinaryOp::Less}, {L"<=", BinaryOp::LessEqual},
                                                {L">", BinaryOp::Greater}, {L">=", BinaryOp::GreaterEqual},
                                                {L"is", BinaryOp::Is}});
    }
    ExprPtr ParseConcat() { return LeftAssoc(&Parser::ParseAdd, {{L"&", BinaryOp::Concat}}); }
    ExprPtr ParseAdd() { return LeftAssoc(&Parser::ParseMod, {{L"+", BinaryOp::Add}, {L"-", BinaryOp::Subtract}}); }
    ExprPtr ParseMod() { return LeftAssoc(&Parser::ParseIntDiv, {{L"mod", BinaryOp::Mod}}); }
    ExprPtr ParseIntDiv() { return LeftAssoc(&Parser::ParseMul, {{L"\\", BinaryOp::IntDivide}}); }
    ExprPtr ParseMul() { return LeftAssoc(&Parser::ParseUnary, {{L"*", BinaryOp::Multiply}, {L"/", BinaryOp::Divide}}); }
    ExprPtr ParseUnary()
    {
        if (Peek().Is(L"not"))
            return ParseNot();  // "a & Not b": Not takes the rest of the operand
        return ParsePower();
    }
    // A sign applies to what signedOperand reads after it; without a sign, operand is read.
    ExprPtr Signed(ExprPtr (Parser::*signedOperand)(), ExprPtr (Parser::*operand)())
    {
        if (!Peek().Is(L"-") && !Peek().Is(L"+"))
            return (this->*operand)();
        NestingGuard guard(*this);
        const Token& at = Next();
        auto e = std::make_unique<Expr>(Expr::Unary, at.line, at.column);
        e->unary = at.Is(L"-") ? UnaryOp::Negate : UnaryOp::Plus;
        e->object = (this->*signedOperand)();
        return e;
    }
    // A sign binds tighter than ^: -3 ^ 2 is (-3) ^ 2.
    ExprPtr ParsePower()
    {
        ExprPtr left = PowerOperand();
        while (Peek().Is(L"^")) {
            const Token& at = Next();
            left = MakeBinary(BinaryOp::Power, std::move(left), PowerOperand(), at);
        }
        return left;
    }
    ExprPtr PowerOperand() { return Signed(&Parser::PowerOperand, &Parser::Primary); }

    ExprPtr Primary()
    {
        NestingGuard guard(*this);
        const Token& t = Peek();
        switch (t.kind) {
        case Tok::Number:
        case Tok::String:
        case Tok::Date: {
            Next();
            auto e = std::make_unique<Expr>(Expr::Literal, t.line, t.column);
            e->value = t.value;
            return e;
        }
        case Tok::Punct:
            if (t.Is(L"(") || t.Is(L"."))
                return Chain(false);
            Fail(kExpectedExpression);
        case Tok::Name: {
            const std::wstring& w = t.lower;
            auto literal = [&](Var v) {
                Next();
                auto e = std::make_unique<Expr>(Expr::Literal, t.line, t.column);
                e->value = std::move(v);
                return e;
            };
            if (w == L"true")
                return literal(Var::Bool(true));
            if (w == L"false")
                return literal(Var::Bool(false));
            if (w == L"empty") {
                Next();
                return std::make_unique<Expr>(Expr::Empty, t.line, t.column);
            }
            if (w == L"null") {
                Next();
                return std::make_unique<Expr>(Expr::Null, t.line, t.column);
            }
            if (w == L"nothing") {
                Next();
                return std::make_unique<Expr>(Expr::Nothing, t.line, t.column);
            }
            if (w == L"new") {
                Next();
                auto e = std::make_unique<Expr>(Expr::New, t.line, t.column);
                e->name = ExpectName();
                e->lower = Lower(e->name);
                return e;
            }
            if (w != L"me" && ReservedWords().count(w))
                Fail(kExpectedExpression);
            return Chain(false);
        }
        default:
            Fail(kExpectedExpression);
        }
    }

    void ParseArgs(Expr& call)
    {
        // after "("
        call.hasArgList = true;
        if (Accept(L")"))
            return;
        do {
            if (Peek().Is(L",") || Peek().Is(L")")) {
                call.args.push_back(std::make_unique<Expr>(Expr::Missing, Peek().line, Peek().column));
                continue;
            }
            call.args.push_back(Expression());
        } while (Accept(L","));
        Expect(L")", kExpectedCloseParen);
    }

    // name, name(args), a.b.c(args).d, .member inside With, Me.x, (expression).m(args). At the
    // start of a statement a "(" after a blank starts the first argument rather than an argument list.
    ExprPtr Chain(bool statementStart)
    {
        const Token& t = Peek();
        ExprPtr current;
        if (t.Is(L"(")) {
            Next();
            current = Expression();
            Expect(L")", kExpectedCloseParen);
            current->parenthesized = true;
        } else if (t.Is(L".")) {
            Next();
            const Token& member = Peek();
            if (member.kind != Tok::Name)
                Fail(kExpectedIdentifier);
            Next();
            current = std::make_unique<Expr>(Expr::Member, member.line, member.column);
            current->name = member.text;
            current->lower = member.lower;
            current->slot = m_withSlots.empty() ? -1 : m_withSlots.back();  // -1: fails when run
        } else if (t.Is(L"me")) {
            Next();
            current = std::make_unique<Expr>(Expr::Me, t.line, t.column);
        } else {
            if (t.kind != Tok::Name || ReservedWords().count(t.lower))
                Fail(kExpectedIdentifier);
            Next();
            current = std::make_unique<Expr>(Expr::Name, t.line, t.column);
            current->name = t.text;
            current->lower = t.lower;
        }
        while (true) {
            const Token& n = Peek();
            if (n.Is(L"(") && !(statementStart && n.spaceBefore)) {
                if (current->kind == Expr::Me)
                    Fail(kExpectedEndOfStatement);
                Next();
                if (current->hasArgList || current->parenthesized) {
                    // f(a)(b) and (f)(b): index what f returns
                    auto index = std::make_unique<Expr>(Expr::Index, n.line, n.column);
                    index->object = std::move(current);
                    current = std::move(index);
                }
                ParseArgs(*current);
            } else if (n.Is(L".") && !n.spaceBefore) {
                Next();
                const Token& member = Peek();
                if (member.kind != Tok::Name)
                    Fail(kExpectedIdentifier);
                Next();
                auto e = std::make_unique<Expr>(Expr::Member, member.line, member.column);
                e->name = member.text;
                e->lower = member.lower;
                e->object = std::move(current);
                current = std::move(e);
            } else {
                return current;
            }
        }
    }

    std::vector<Token> m_tokens;
    size_t m_pos = 0;
    std::unique_ptr<Unit> m_unit;
    Procedure* m_proc = nullptr;
    std::vector<int> m_withSlots;
    int m_nesting = 0;
    int m_forDepth = 0;
    int m_doDepth = 0;
    bool m_singleLineIf = false;
};

} // namespace

std::unique_ptr<Unit> ParseUnit(std::wstring_view text)
{
    return Parser(text).ParseProgram();
}

std::unique_ptr<Unit> ParseExpressionUnit(std::wstring_view text)
{
    return Parser(text).ParseExpression();
}

} // namespace vbs
