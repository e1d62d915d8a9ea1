#pragma once

#include <QString>

// Where a copy between file systems is written before it is renamed into
// place: a hidden file beside the target, named after it, so that what a
// killed copy left behind can be found again (and is never taken for a file
// of the folder).
QString asidePathOf(const QString& target);
