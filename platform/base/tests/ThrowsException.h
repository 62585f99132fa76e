#pragma once
// True when the call throws an exception pointer of type E; the exception is deleted here, as
// every catcher of the family must.

template <typename E, typename Call>
bool ThrowsException(Call call)
{
    try {
        call();
    } catch (E* error) {
        error->Delete();
        return true;
    } catch (...) {
    }
    return false;
}
