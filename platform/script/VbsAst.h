#pragma once
// The syntax tree of a compiled script. Names are bound to storage slots after parsing, so that
// running the tree never looks a variable up by name.

#include "platform/com/MemoryBudget.h"
#include "platform/script/VbsValue.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace vbs {

struct Procedure;
struct ClassDef;
struct ClassMember;
struct Builtin;

// What a name stands for, decided once after parsing.
enum class Bind : unsigned char {
    Unresolved,
    Local,  // slot of the running procedure (parameters, Dim, implicit, the function's result)
    Global,  // slot of the script's global variables
    Field,  // variable of the class instance the procedure runs on (Me)
    MemberOfMe,  // procedure or property of that instance
    Procedure,  // global Sub or Function
    Builtin,  // function of the language
    Constant,  // value known when compiling
    NamedItem,  // object the host published
    GlobalMember,  // member of a host object published with its members global
    Undefined,  // not declared under Option Explicit: error 500 when reached
};

enum class UnaryOp { Negate, Plus, Not };

struct Expr {
    enum Kind { Literal, Name, Member, Index, Unary, Binary, New, Me, Nothing, Empty, Null, Missing } kind;
    int line = 0;
    int column = 0;
    Var value;  // Literal, Constant
    std::wstring name;  // Name, Member, New (as written)
    std::wstring lower;
    std::unique_ptr<Expr> object;  // Member: the object (null: the innermost With); Index: what is indexed;
                                   // Unary/Binary: (left) operand
    std::unique_ptr<Expr> right;
    std::vector<std::unique_ptr<Expr>> args;
    bool hasArgList = false;  // written with parentheses after the name
    bool parenthesized = false;  // (expr): passed by value
    BinaryOp op = BinaryOp::Add;
    UnaryOp unary = UnaryOp::Negate;

    // Binding of Name (and the With slot of a Member without object).
    Bind bind = Bind::Unresolved;
    int slot = -1;
    Procedure* proc = nullptr;
    const Builtin* builtin = nullptr;
    ClassMember* member = nullptr;

    Expr(Kind k, int l, int c) : kind(k), line(l), column(c) {}
};
using ExprPtr = std::unique_ptr<Expr>;

struct Stmt;
using Block = std::vector<std::unique_ptr<Stmt>>;

struct Branch {
    std::vector<ExprPtr> conditions;  // If/ElseIf: one; Case: the values; Else: none
    Block body;
};

struct DimItem {
    ExprPtr target;  // a Name
    std::vector<ExprPtr> bounds;  // upper bounds; none for a scalar
    bool isArray = false;  // "x()" or with bounds
};

enum class ExitKind { Do, For, Sub, Function, Property };

struct Stmt {
    enum Kind { Assign, Set, Call, If, Select, For, ForEach, Do, While, Exit, Dim, ReDim, OnErrorResumeNext,
                OnErrorGoto0, With, Erase, Randomize, Nop } kind;
    int line = 0;
    int column = 0;
    ExprPtr a, b, c, d;  // Assign/Set: target, value; For: variable, from, to, step; ForEach: variable, group;
                         // Do/While: condition; Select/With: subject; Call: the call; Erase/Randomize: argument
    std::vector<Branch> branches;  // If, Select (an Else branch has no conditions)
    Block body;  // loops, With
    std::vector<DimItem> dims;  // Dim, ReDim
    bool preserve = false;  // ReDim Preserve
    bool conditionAtEnd = false;  // Do ... Loop While
    bool until = false;  // Until instead of While
    bool hasElse = false;
    ExitKind exit = ExitKind::Do;
    int slot = -1;  // With: the slot that holds the object

    Stmt(Kind k, int l, int c) : kind(k), line(l), column(c) {}
};

struct Param {
    std::wstring name;
    std::wstring lower;
    bool byRef = true;
};

// InProcedure: text run by Eval or Execute inside a procedure, whose names are that procedure's.
enum class ProcKind { GlobalCode, InProcedure, Sub, Function, PropertyGet, PropertyLet, PropertySet };

struct Procedure {
    ProcKind kind = ProcKind::Sub;
    std::wstring name;
    std::wstring lower;
    std::vector<Param> params;
    Block body;
    std::vector<std::wstring> locals;  // lower-case names by slot; hidden slots have empty names
    std::vector<bool> localIsArray;  // Dim x() or Dim x(n): created as arrays on entry
    std::vector<std::vector<int>> localBounds;  // Dim x(2, 3): fixed bounds
    std::unordered_map<std::wstring, Var> constants;  // Const inside the procedure
    int resultSlot = -1;  // Function and Property Get
    size_t firstImplicitLocal = 0;  // locals from here on were made by their first use, when binding
    bool isPublic = true;
    bool isDefault = false;
    bool compiledAtRunTime = false;  // from text given to Eval, Execute or ExecuteGlobal
    ClassDef* owner = nullptr;
    int line = 0;
    int column = 0;

    int AddLocal(const std::wstring& lowerName)
    {
        // The name last: locals.size() counts the slots, so running out of memory between these
        // leaves no slot without its bounds.
        localIsArray.push_back(false);
        localBounds.emplace_back();
        locals.push_back(lowerName);
        return static_cast<int>(locals.size()) - 1;
    }
    int FindLocal(const std::wstring& lowerName) const
    {
        for (size_t i = 0; i < locals.size(); ++i)
            if (!lowerName.empty() && locals[i] == lowerName)
                return static_cast<int>(i);
        return -1;
    }
};

// One public or private name of a class: a variable or a set of procedures.
struct ClassMember {
    std::wstring name;
    std::wstring lower;
    bool isPublic = true;
    int field = -1;  // variable: its index in the instance
    std::vector<int> fieldBounds;  // Dim x(3) in a class
    bool fieldIsArray = false;
    Procedure* get = nullptr;  // Sub, Function or Property Get
    Procedure* let = nullptr;
    Procedure* set = nullptr;
    DISPID dispid = 0;
};

struct ClassDef {
    std::wstring name;
    std::wstring lower;
    std::vector<std::unique_ptr<ClassMember>> members;
    std::unordered_map<std::wstring, ClassMember*> byName;
    int fieldCount = 0;
    ClassMember* defaultMember = nullptr;
    Procedure* initialize = nullptr;
    Procedure* terminate = nullptr;
    std::vector<std::unique_ptr<Procedure>> procedures;

    ClassMember* Find(const std::wstring& lowerName) const
    {
        auto it = byName.find(lowerName);
        return it == byName.end() ? nullptr : it->second;
    }
};

// Everything one piece of script text declares and runs.
struct Unit {
    std::unique_ptr<Procedure> globalCode;
    std::vector<std::unique_ptr<Procedure>> procedures;
    std::vector<std::unique_ptr<ClassDef>> classes;
    std::vector<std::pair<std::wstring, int>> globals;  // Dim at the top level: name (as written), line
    std::vector<std::pair<std::wstring, Var>> constants;  // Const at the top level
    bool optionExplicit = false;
    std::vector<std::wstring> lines;  // the source lines, for error reports
    DWORD sourceContext = 0;
    ULONG startingLine = 0;
    // Its uses of names nothing had declared when it was bound, as the interpreter lists them.
    std::vector<Expr*> undeclaredUses;
    // What the compiled unit takes, held against its engine's memory budget.
    MemoryCharge charge;
};

// About how many bytes the compiled unit takes.
size_t CompiledSize(const Unit& unit);

} // namespace vbs
