#pragma once

#include <QString>
#include <optional>

#include "platform/processes.h"

class OutputPlacement;
class TextTable;

// Why a Ghostscript run gave no usable PDF; nothing when it did. Ghostscript
// may leave a page behind even when the file made it fail, and with its disk
// full it may end well and leave half a PDF: incomplete names the folder of
// that disk.
std::optional<QString> runFailure(const TextTable& texts, RunEnd end, OutputPlacement& placement,
                                  const QString& incomplete);
