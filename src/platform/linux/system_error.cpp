#include "platform/linux/system_error.h"

#include <cstring>

QString errorText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

Failure systemFailure(int error, Failure::Kind kind) {
    return Failure{kind, error, errorText(error)};
}
