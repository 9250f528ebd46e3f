#include "CError.h"

#include <utility>

CError::CError(QString strMessage)
    : mstrMessage(std::move(strMessage)), mbaWhat(mstrMessage.toUtf8())
{}
