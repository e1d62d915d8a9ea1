#include "common/result.h"

#include <cerrno>

bool Failure::isTransient() const {
    switch (error) {
        case ENOSPC:
        case EDQUOT:
        case EIO:
            return true;
        default:
            return false;
    }
}
