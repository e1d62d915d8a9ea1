#include "distill/file_type.h"

namespace {

QString lastThree(const QString& name) {
    return name.right(3).toLower();
}

}  // namespace

bool isPostScriptName(const QString& name) {
    const QString end = lastThree(name);
    return end == QLatin1String("eps") || end == QLatin1String("plt") ||
           end == QLatin1String("prn") || end == QLatin1String(".ps");
}

QString pdfBaseName(const QString& name) {
    if (lastThree(name) == QLatin1String(".ps")) {
        return name.left(name.size() - 3);
    }
    const QString base = name.left(name.size() - 4);
    return base.isEmpty() ? name : base;
}
