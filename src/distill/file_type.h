#pragma once

#include <QString>

// The file type rule looks at the last three characters of a name only, so a
// name such as "steps" (no dot) counts as PostScript.
bool isPostScriptName(const QString& name);

// The name without its PostScript ending: ".ps" loses three characters, the
// other endings four (the dot included). A name that would keep nothing
// ("eps", "xprn") keeps itself whole, so that it gets a PDF name of its own.
QString pdfBaseName(const QString& name);
