#pragma once

#include <QString>

#include "common/result.h"

// The system's words for an error number.
QString errorText(int error);

// The failure an error number stands for.
Failure systemFailure(int error, Failure::Kind kind = Failure::Kind::Failed);
