#include "printing/delivery_report.h"

#include "platform/linux/system_error.h"

#include <QString>
#include <cerrno>
#include <cstring>

namespace {

// The folder, or the way to it, is not there: no job can be delivered
// until someone sets it right.
bool isGone(int error) {
    return error == ENOENT || error == ENOTDIR || error == ELOOP || error == ENAMETOOLONG;
}

bool isRefused(int error) {
    return error == EACCES || error == EPERM;
}

QByteArray reason(int error) {
    return errorText(error).toUtf8();
}

BackendReport stop(const QByteArray& message) {
    return {BackendStatus::Stop,
            "STATE: +" + QByteArray(kFolderUnusableReason) + "\nERROR: " + message + '\n'};
}

BackendReport cancel(const QByteArray& message) {
    return {BackendStatus::Cancel, "ERROR: " + message + '\n'};
}

BackendReport retry(const QByteArray& message) {
    return {BackendStatus::Retry, "ERROR: " + message + "; it is tried again later.\n"};
}

BackendReport folderUnusable(QByteArrayView folder, int error) {
    return stop("The folder " + messageText(folder) + " of this printer cannot be used (" +
                reason(error) + "); set the printer up again with tarnwick --add-printer.");
}

// A failure in the folder itself, as the user the job is written as.
BackendReport folderFailure(DeliveryFault fault, int error, QByteArrayView account,
                            QByteArrayView folder) {
    if (isRefused(error)) {
        return cancel("The user " + messageText(account) + " may not write into the folder " +
                      messageText(folder) + " (" + reason(error) + ").");
    }
    if (error == EROFS) {
        return stop("The folder " + messageText(folder) + " is on a read-only file system.");
    }
    if (fault == DeliveryFault::PlaceFile && error == EEXIST) {
        return retry("Every name for the job is taken in the folder " + messageText(folder));
    }
    if (fault != DeliveryFault::PlaceFile && isGone(error)) {
        return folderUnusable(folder, error);
    }
    return retry("The job cannot be written into the folder " + messageText(folder) + " (" +
                 reason(error) + ")");
}

QByteArray stranger(QByteArrayView jobUser) {
    return jobUser == "root"
               ? QByteArray("The job comes from root")
               : "The user " + messageText(jobUser) + " of the job has no account here";
}

}  // namespace

BackendReport reportOf(const DeliveryFailure& failure, QByteArrayView jobUser,
                       QByteArrayView account, QByteArrayView folder) {
    const QByteArrayView writer = account.isEmpty() ? jobUser : account;
    switch (failure.fault) {
        case DeliveryFault::ReadJob:
            return cancel("The print job cannot be read (" + reason(failure.error) + ").");
        case DeliveryFault::CutShort:
            return cancel(
                "The print job was cut short before it reached the printer (it does not end "
                "with %%EOF); nothing was delivered.");
        case DeliveryFault::FindFolder:
            if (isGone(failure.error)) {
                return folderUnusable(folder, failure.error);
            }
            return cancel(stranger(jobUser) + ", and the owner of the folder " +
                          messageText(folder) + " who would stand in cannot be found (" +
                          reason(failure.error) + ").");
        case DeliveryFault::RootsFolder:
            return cancel(stranger(jobUser) + ", and the folder " + messageText(folder) +
                          " belongs to root: jobs are written into it only as an ordinary "
                          "user.");
        case DeliveryFault::OwnerUnknown:
            return cancel(stranger(jobUser) + ", and the owner of the folder " +
                          messageText(folder) + " who would stand in has no account here either.");
        case DeliveryFault::NotRoot:
            return stop("The tarnwick backend does not run as root, so it cannot write as " +
                        messageText(writer) +
                        ": install it as /usr/lib/cups/backend/tarnwick, owned by root, mode "
                        "0700.");
        case DeliveryFault::BecomeUser:
            return stop("The tarnwick backend cannot become the user " + messageText(writer) +
                        " (" + reason(failure.error) + ").");
        case DeliveryFault::OpenFolder:
        case DeliveryFault::WriteFile:
        case DeliveryFault::PlaceFile:
            return folderFailure(failure.fault, failure.error, writer, folder);
    }
    return retry("The job could not be delivered");
}

QByteArray standInNotice(QByteArrayView jobUser, QByteArrayView owner) {
    return "INFO: " + stranger(jobUser) + "; it is written as " + messageText(owner) +
           ", who owns the folder.\n";
}

BackendReport reportOfBadUri(QByteArrayView uri) {
    return stop("The device URI " + messageText(uri) + " of this printer" +
                " names no folder; set the printer up again with tarnwick --add-printer.");
}

QByteArray messageText(QByteArrayView text) {
    QString shown = QString::fromUtf8(text);
    for (QChar& c : shown) {
        if (c.category() == QChar::Other_Control) {
            c = u'?';
        }
    }
    return shown.toUtf8();
}
