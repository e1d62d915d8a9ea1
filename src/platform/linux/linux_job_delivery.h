#pragma once

#include <sys/types.h>
#include <QByteArray>
#include <functional>
#include <optional>
#include <variant>

// Delivering one print job into a folder as the user it belongs to: what the
// print queue's backend asks of Linux. CUPS runs the backend as root (its
// mode is 0700); it gives root up for good before it touches the folder.

// What stopped a delivery. error is the system's error number where there is one.
enum class DeliveryFault {
    ReadJob,       // the job's data could not be read
    CutShort,      // the job's data ended before its end (a filter died)
    FindFolder,    // the folder could not be looked at (to find its owner)
    RootsFolder,   // a job of root or of a stranger, and the folder is root's
    OwnerUnknown,  // the folder's owner has no account here
    NotRoot,       // this runs as another user and cannot change
    BecomeUser,    // giving up root failed
    OpenFolder,    // the folder, as the job's user
    WriteFile,     // making or writing the hidden file
    PlaceFile,     // renaming it into place (EEXIST: every name tried is taken)
};

struct DeliveryFailure {
    DeliveryFault fault;
    int error = 0;
};

// Whom a job is written as.
struct JobAccount {
    uid_t uid = 0;
    gid_t gid = 0;
    QByteArray name;
    bool isJobUser = true;  // false: the folder's owner stands in
};

// From now on a SIGTERM (CUPS cancels or holds the job) removes a hidden
// file deliverJob is writing and ends the program with exitCode; a broken
// pipe no longer ends it.
void endOnTermination(int exitCode);

// The job's data: the file CUPS names (opened now, while this may still
// read CUPS's spool), or standard input when path is null.
std::variant<int, DeliveryFailure> openJobData(const char* path);

// The user of this machine named jobUser, unless that is root or nobody here
// has that name (a job from another machine): then the owner of folder, as
// long as that is not root.
std::variant<JobAccount, DeliveryFailure> jobAccount(const QByteArray& jobUser,
                                                     const QByteArray& folder);

// Becomes the account for good: its groups, group and user, every id; root
// cannot be taken back. Nothing to do when this already runs as it.
std::optional<DeliveryFailure> becomeAccount(const JobAccount& account);

// Copies the job's data into a new ordinary file in folder under a hidden
// name (never through a link, never anything that is there already), mode
// 0600, and once it is whole on disk (and ends as a PostScript document
// ends) renames it to the first of nameFor(1), nameFor(2), ... that
// nothing in the folder has, in one step with the test. Returns that name.
// On failure nothing of the job stays in the folder. Hidden files that
// deliveries which died left behind are removed first.
std::variant<QByteArray, DeliveryFailure> deliverJob(int data, const QByteArray& folder,
                                                     qint64 jobId,
                                                     const std::function<QByteArray(int)>& nameFor);
