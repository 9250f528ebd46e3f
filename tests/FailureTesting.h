#pragma once

#include <CError.h>

#include <QString>

// The message of the failure fnCall raises, or a null string if it succeeds.
template <class F> QString failureOf(F fnCall)
{
    try {
        fnCall();
    } catch (const CError& objError) {
        return objError.Message();
    }
    return {};
}
