#pragma once

#include <QString>

#include "ghostscript/resident_protocol.h"

// What a resident Ghostscript said, as one line a test compares.
inline QString described(const ResidentEvent& event) {
    switch (event.kind) {
        case ResidentEvent::Kind::Ready:
            return QStringLiteral("ready");
        case ResidentEvent::Kind::ServerEnded:
            return QStringLiteral("server ended during job %1").arg(event.job);
        case ResidentEvent::Kind::JobEnded:
            break;
    }
    QString text = QStringLiteral("job %1 ").arg(event.job);
    text += event.failed ? QStringLiteral("failed: ") + event.reason : QStringLiteral("done");
    return event.serverClean ? text : text + QStringLiteral(", server left");
}
