#pragma once

#include <QtGlobal>

// A process that the platform layer started and keeps track of.
using ProcessId = qint64;
