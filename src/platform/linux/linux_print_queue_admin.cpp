#include "platform/linux/linux_print_queue_admin.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <algorithm>

namespace {

// A PostScript printer with no filter of its own, which every CUPS server
// knows: the server's filters turn each job (PDF, text, pictures) into
// PostScript before the backend gets it.
const QString kPostScriptModel = QStringLiteral("drv:///sample.drv/generic.ppd");

QStringList addArguments(const QString& name, const QString& deviceUri) {
    return {QStringLiteral("-p"),
            name,
            QStringLiteral("-E"),
            QStringLiteral("-v"),
            deviceUri,
            QStringLiteral("-m"),
            kPostScriptModel,
            QStringLiteral("-D"),
            QStringLiteral("TarnWick"),
            QStringLiteral("-o"),
            QStringLiteral("printer-is-shared=false")};
}

QStringList removeArguments(const QString& name) {
    return {QStringLiteral("-x"), name};
}

// A word as a shell reads it back unchanged.
QString shellWord(const QString& word) {
    const bool plain = !word.isEmpty() && std::all_of(word.begin(), word.end(), [](QChar c) {
        return c.isLetterOrNumber() || QStringLiteral("_./:%~=+@,-").contains(c);
    });
    if (plain) {
        return word;
    }
    return u'\'' + QString(word).replace(u'\'', QStringLiteral("'\\''")) + u'\'';
}

QString commandLine(const QString& program, const QStringList& arguments) {
    QStringList words{program};
    for (const QString& argument : arguments) {
        words << shellWord(argument);
    }
    return words.join(u' ');
}

struct Finished {
    bool ran = false;  // started, and ended by itself with exit code 0
    QString output;    // standard output and error
};

Finished run(const QString& program, const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted(-1)) {
        return {false, program + QStringLiteral(" could not be started (") + process.errorString() +
                           QStringLiteral("); the package cups-client brings it")};
    }
    process.closeWriteChannel();
    // lpadmin may ask for a password on the terminal: no time limit.
    process.waitForFinished(-1);
    const QString output = QString::fromLocal8Bit(process.readAll()).trimmed();
    return {process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0, output};
}

}  // namespace

std::optional<QString> LinuxPrintQueueAdmin::queueDevice(const QString& name) {
    const Finished listed = run(QStringLiteral("lpstat"), {QStringLiteral("-v"), name});
    const QString prefix = QStringLiteral("device for ") + name + QStringLiteral(": ");
    if (!listed.ran || !listed.output.startsWith(prefix, Qt::CaseInsensitive)) {
        return std::nullopt;
    }
    return listed.output.mid(prefix.size()).section(u'\n', 0, 0).trimmed();
}

PrintQueueAdmin::Outcome LinuxPrintQueueAdmin::addQueue(const QString& name,
                                                        const QString& deviceUri) {
    return runAdmin(addArguments(name, deviceUri));
}

PrintQueueAdmin::Outcome LinuxPrintQueueAdmin::removeQueue(const QString& name) {
    return runAdmin(removeArguments(name));
}

QString LinuxPrintQueueAdmin::addQueueCommand(const QString& name, const QString& deviceUri) const {
    return commandLine(QStringLiteral("lpadmin"), addArguments(name, deviceUri));
}

QString LinuxPrintQueueAdmin::removeQueueCommand(const QString& name) const {
    return commandLine(QStringLiteral("lpadmin"), removeArguments(name));
}

PrintQueueAdmin::Outcome LinuxPrintQueueAdmin::runAdmin(const QStringList& arguments) {
    const Finished finished = run(QStringLiteral("lpadmin"), arguments);
    if (finished.ran) {
        return {Result::Done, {}};
    }
    // Its last line says why; those before it are warnings (drivers are deprecated).
    QString words = finished.output.section(u'\n', -1).trimmed();
    if (words.isEmpty()) {
        words = QStringLiteral("lpadmin failed and said nothing");
    }
    const bool denied =
        words.contains(QLatin1String("Forbidden")) || words.contains(QLatin1String("Unauthorized"));
    return {denied ? Result::Denied : Result::Failed, words};
}
