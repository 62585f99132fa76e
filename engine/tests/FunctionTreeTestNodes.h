#pragma once
// Short builders of function trees for the tests: N<CSinFunction>(N<CMul0Function>(X(), 2.0)).

#include "engine/FunctionTreeNodes.h"

#include <string>
#include <utility>

using Tree = FunctionPtr<double>;

template <template <typename> class Node, typename... Args>
Tree N(Args&&... args)
{
    return std::make_unique<Node<double>>(std::forward<Args>(args)...);
}

inline Tree X()
{
    return N<CIdentityFunction>();
}

inline Tree C(double c)
{
    return N<CConstFunction>(c);
}

inline Tree Zero()
{
    return N<CNullFunction>();
}

template <template <typename> class Node>
bool Is(const CFunction<double>* node)
{
    return dynamic_cast<const Node<double>*>(node) != nullptr;
}

template <template <typename> class Node>
bool Is(const Tree& node)
{
    return Is<Node>(node.get());
}

inline std::string Text(const CFunction<double>& node)
{
    return node.GetText().ToUtf8();
}
