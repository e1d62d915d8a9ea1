#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include "platform/linux/linux_job_delivery.h"

// The exit codes of a CUPS backend (backend(7)) that this one gives.
enum class BackendStatus : int {
    Ok = 0,
    Failed = 1,  // the default error policy stops the queue: for a bad call only
    Stop = 4,    // stops the queue: retrying cannot help until the folder is fixed
    Cancel = 5,  // cancels this job: its user cannot have it delivered
    Retry = 6,   // holds the job for a while, then tries again (a full disk)
};

// What the queue is told about a failed delivery: the lines for standard
// error (ERROR:, STATE:) and the exit code.
struct BackendReport {
    BackendStatus status;
    QByteArray lines;
};

// Why the queue stops when the folder cannot be used; cleared by every job
// that starts.
inline constexpr char kFolderUnusableReason[] = "org.tarnwick.folder-unusable-error";

// jobUser is the job's user as CUPS gave it, account the user the job was
// to be written as (empty before it is known).
BackendReport reportOf(const DeliveryFailure& failure, QByteArrayView jobUser,
                       QByteArrayView account, QByteArrayView folder);

// The notice that the folder's owner stands in for the job's user.
QByteArray standInNotice(QByteArrayView jobUser, QByteArrayView owner);

// The report when the device URI names no folder.
BackendReport reportOfBadUri(QByteArrayView uri);

// Text from outside (a user name, a path, a title) as it may stand in a
// message line: control characters become "?", invalid UTF-8 U+FFFD. CUPS's
// log escapes quotes and apostrophes, so the messages have none: names and
// paths stand bare.
QByteArray messageText(QByteArrayView text);
