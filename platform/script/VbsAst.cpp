#include "platform/script/VbsAst.h"

namespace vbs {

namespace {

size_t TextSize(const std::wstring& text) { return sizeof(text) + text.capacity() * sizeof(wchar_t); }

size_t ExprSize(const Expr* e)
{
    if (!e)
        return 0;
    size_t size = sizeof(Expr) + TextSize(e->name) + TextSize(e->lower) + ExprSize(e->object.get())
        + ExprSize(e->right.get());
    for (const ExprPtr& arg : e->args)
        size += sizeof(ExprPtr) + ExprSize(arg.get());
    return size;
}

size_t BlockSize(const Block& block)
{
    size_t size = 0;
    for (const auto& s : block) {
        size += sizeof(*s) + ExprSize(s->a.get()) + ExprSize(s->b.get()) + ExprSize(s->c.get())
            + ExprSize(s->d.get()) + BlockSize(s->body);
        for (const Branch& branch : s->branches) {
            size += sizeof(Branch) + BlockSize(branch.body);
            for (const ExprPtr& condition : branch.conditions)
                size += sizeof(ExprPtr) + ExprSize(condition.get());
        }
        for (const DimItem& item : s->dims) {
            size += sizeof(DimItem) + ExprSize(item.target.get());
            for (const ExprPtr& bound : item.bounds)
                size += sizeof(ExprPtr) + ExprSize(bound.get());
        }
    }
    return size + block.capacity() * sizeof(Block::value_type);
}

size_t ProcedureSize(const Procedure& proc)
{
    size_t size = sizeof(Procedure) + TextSize(proc.name) + TextSize(proc.lower) + BlockSize(proc.body);
    for (const std::wstring& local : proc.locals)
        size += TextSize(local) + sizeof(std::vector<int>) + 1;
    for (const Param& param : proc.params)
        size += sizeof(Param) + TextSize(param.name) + TextSize(param.lower);
    return size;
}

} // namespace

size_t CompiledSize(const Unit& unit)
{
    size_t size = sizeof(Unit) + ProcedureSize(*unit.globalCode);
    for (const auto& proc : unit.procedures)
        size += ProcedureSize(*proc);
    for (const auto& cls : unit.classes) {
        size += sizeof(ClassDef) + TextSize(cls->name) + TextSize(cls->lower);
        for (const auto& member : cls->members)
            size += sizeof(ClassMember) + TextSize(member->name) + TextSize(member->lower);
        for (const auto& proc : cls->procedures)
            size += ProcedureSize(*proc);
    }
    for (const std::wstring& line : unit.lines)
        size += TextSize(line);
    return size;
}

} // namespace vbs
