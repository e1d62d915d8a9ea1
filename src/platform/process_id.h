#pragma once

#include <QtGlobal>

// A process that the platform layer started and keeps track of: a number
// the platform hands out once, never the system's process id, which the
// system reuses.
using ProcessId = qint64;
