#include "platform/linux/linux_job_delivery.h"
#include "printing/delivery_report.h"
#include "printing/device_uri.h"
#include "printing/job_name.h"

#include <cstdio>
#include <cstdlib>

// The CUPS backend "tarnwick" (backend(7)): delivers each job of its queue,
// PostScript by then, into the folder its device URI names, as a file the
// job's user wrote. The number of copies is left alone: one PDF is made of
// a job, however many copies were asked for.

namespace {

// The one line of device discovery (lpinfo -v, a printer set-up dialog).
const char kDiscovery[] =
    "file tarnwick \"Unknown\" \"TarnWick (PostScript into the watched folder)\"\n";

void say(const QByteArray& lines) {
    std::fputs(lines.constData(), stderr);
}

int finish(const BackendReport& report) {
    say(report.lines);
    return static_cast<int>(report.status);
}

}  // namespace

int main(int argc, char* argv[]) {
    endOnTermination(static_cast<int>(BackendStatus::Cancel));
    if (argc == 1) {
        std::fputs(kDiscovery, stdout);
        return static_cast<int>(BackendStatus::Ok);
    }
    bool numeric = false;
    const qint64 jobId = argc >= 2 ? QByteArray(argv[1]).toLongLong(&numeric) : 0;
    if ((argc != 6 && argc != 7) || !numeric || jobId <= 0) {
        say("Usage: tarnwick job-id user title copies options [file]\n");
        return static_cast<int>(BackendStatus::Failed);
    }
    const QByteArray jobUser(argv[2]);
    const QByteArray title(argv[3]);
    const char* deviceUri = std::getenv("DEVICE_URI");
    const QByteArray uri(deviceUri != nullptr ? deviceUri : argv[0]);

    say("STATE: -" + QByteArray(kFolderUnusableReason) + '\n');
    const std::optional<QByteArray> folder = folderOfDeviceUri(uri);
    if (!folder) {
        return finish(reportOfBadUri(uri));
    }
    // The data first, while CUPS's spool may still be read.
    const std::variant<int, DeliveryFailure> data = openJobData(argc == 7 ? argv[6] : nullptr);
    if (const auto* failure = std::get_if<DeliveryFailure>(&data)) {
        return finish(reportOf(*failure, jobUser, {}, *folder));
    }
    const std::variant<JobAccount, DeliveryFailure> found = jobAccount(jobUser, *folder);
    if (const auto* failure = std::get_if<DeliveryFailure>(&found)) {
        return finish(reportOf(*failure, jobUser, {}, *folder));
    }
    const JobAccount& account = std::get<JobAccount>(found);
    if (const std::optional<DeliveryFailure> failure = becomeAccount(account)) {
        return finish(reportOf(*failure, jobUser, account.name, *folder));
    }
    if (!account.isJobUser) {
        say(standInNotice(jobUser, account.name));
    }
    const std::variant<QByteArray, DeliveryFailure> delivered =
        deliverJob(std::get<int>(data), *folder, jobId,
                   [&](int number) { return jobFileName(title, jobId, number); });
    if (const auto* failure = std::get_if<DeliveryFailure>(&delivered)) {
        return finish(reportOf(*failure, jobUser, account.name, *folder));
    }
    say("INFO: Delivered as " + messageText(std::get<QByteArray>(delivered)) + '\n');
    return static_cast<int>(BackendStatus::Ok);
}
