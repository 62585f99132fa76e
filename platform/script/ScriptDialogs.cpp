#include "platform/script/ScriptDialogs.h"

#include "platform/base/MessageBox.h"

#include <mutex>

namespace {

struct Handlers {
    std::mutex mutex;
    ScriptMessageBoxHandler messageBox;
    ScriptInputBoxHandler inputBox;
};

Handlers& TheHandlers()
{
    static Handlers handlers;
    return handlers;
}

} // namespace

ScriptMessageBoxHandler SetScriptMessageBoxHandler(ScriptMessageBoxHandler handler)
{
    std::lock_guard lock(TheHandlers().mutex);
    return std::exchange(TheHandlers().messageBox, std::move(handler));
}

ScriptInputBoxHandler SetScriptInputBoxHandler(ScriptInputBoxHandler handler)
{
    std::lock_guard lock(TheHandlers().mutex);
    return std::exchange(TheHandlers().inputBox, std::move(handler));
}

int ShowScriptMessageBox(const ScriptMessageBoxRequest& request)
{
    ScriptMessageBoxHandler handler;
    {
        std::lock_guard lock(TheHandlers().mutex);
        handler = TheHandlers().messageBox;
    }
    if (handler)
        return handler(request);
    return ShowMessageBox(request.prompt.c_str(), request.title.c_str(), request.type);
}

std::optional<std::wstring> ShowScriptInputBox(const ScriptInputBoxRequest& request)
{
    ScriptInputBoxHandler handler;
    {
        std::lock_guard lock(TheHandlers().mutex);
        handler = TheHandlers().inputBox;
    }
    if (handler)
        return handler(request);
    return std::nullopt;
}
