#include "ghostscript/resident_protocol.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <algorithm>

namespace {

// Every record starts with this and the token, on a line of its own.
constexpr char kRecordStart[] = "TarnWick-resident ";
// A record line never gets longer; anything longer is not one.
constexpr qsizetype kLongestRecord = 1024;

// The server, run once at save level 0. @TOKEN@ stands for the token.
constexpr char kPrologue[] = R"PS(%!PS
% TWs holds the server's state; once the procedures below have it bound in,
% its name goes, and only their execute-only code can reach it.
/TWs 32 dict def
TWs /stdin currentfile put
TWs /stdout (%stdout) (w) file put
TWs /number 24 string put
TWs /null (/dev/null) put
/TWrecord { % <n> <text> TWrecord -
  (\nTarnWick-resident @TOKEN@ ) print exch //TWs /number get cvs print ( ) print print
  (\n) print flush
} bind executeonly def
/TWhexrecord { % <n> <text> <bytes> TWhexrecord -
  (\nTarnWick-resident @TOKEN@ ) print 3 -1 roll //TWs /number get cvs print ( ) print
  exch print ( ) print //TWs /stdout get exch writehexstring (\n) print flush
} bind executeonly def
/TWsame { % <a> <b> TWsame <bool>
  2 copy eq { pop pop //true } {
    1 index type dup /arraytype eq exch /packedarraytype eq or
    1 index type dup /arraytype eq exch /packedarraytype eq or and {
      2 copy length exch length eq {
        //true 0 1 4 index length 1 sub {
          3 index 1 index get 3 index 3 -1 roll get //TWs /same get exec and
        } for
        3 1 roll pop pop
      } { pop pop //false } ifelse
    } {
      1 index type /dicttype eq 1 index type /dicttype eq and {
        2 copy length exch length eq {
          //true 2 index {
            exch 3 index exch 2 copy known
            { get //TWs /same get exec and } { pop pop pop //false and } ifelse
          } forall
          3 1 roll pop pop
        } { pop pop //false } ifelse
      } { pop pop //false } ifelse
    } ifelse
  } ifelse
} bind executeonly def
TWs /same /TWsame load put
/TWpages { % - TWpages <int>
  currentdevice getdeviceprops >> /PageCount get
} bind executeonly def
/TWoutput { % - TWoutput <string>
  currentdevice getdeviceprops >> /OutputFile get
} bind executeonly def
/TWnull { % - TWnull -
  << /OutputFile //TWs /null get >> setpagedevice
} bind executeonly def
% Did the stopped job fail? As for a one-shot run: an error, not a stop or a quit.
/TWfailed { % <stopped> TWfailed <bool>
  mark exch {
    { //$error /newerror get //true eq //TWs /quitted get not and } { //false } ifelse
  } stopped { cleartomark //true } { exch pop } ifelse
} bind executeonly def
/TWreason { % - TWreason <string>
  mark {
    //$error /errorname get 64 string cvs ( in ) //concatstrings exec
    //$error /command get 64 string cvs //concatstrings exec
  } stopped { cleartomark (unknown error) } { exch pop } ifelse
} bind executeonly def
/TWrun { % - TWrun -
  //TWs /in get run
} bind executeonly def
/TWend { % - TWend -
  //TWpages exec //TWs /pages get eq { showpage } if
} bind executeonly def
TWs /devparams currentdevice getdeviceprops >> put
TWs /dparams currentdistillerparams put
TWs /sysparams currentsystemparams put
/TWclean { % - TWclean <bool>
  vmstatus pop pop 0 eq
  //TWs /stdin get status and
  currentdevice getdeviceprops >> dup /PageCount //TWs /devparams get /PageCount get put
  //TWs /devparams get //TWsame exec and
  currentsystemparams dup /PageCount //TWs /sysparams get /PageCount get put
  //TWs /sysparams get //TWsame exec and
  //TWoutput exec //TWs /null get eq and
} bind executeonly def
/TWafter { % - TWafter <clean>
  //false setglobal
  //TWoutput exec //TWs /null get ne { //TWnull exec } if
  currentdistillerparams //TWs /dparams get //TWsame exec not
  { //TWs /dparams get setdistillerparams } if
  //TWs /restored get { //TWclean exec } { //false } ifelse
} bind executeonly def
/TWjob { % - TWjob <failed>
  save //TWs /save 3 -1 roll put
  //TWs /quitted //false put
  //TWs /pages //TWpages exec put
  //TWrun stopped //TWfailed exec
  dup { //TWreason exec //TWs /reason 3 -1 roll put } if
  //TWs /failed 3 -1 roll put
  //TWend stopped pop
  //TWs /failed get { //TWs /n get (reason) //TWs /reason get //TWhexrecord exec } if
  % Nothing the job left on the stacks outlives it.
  clear cleardictstack
  //TWs /failed get
  //TWs /save get { restore } stopped { pop //false } { //true } ifelse
  //TWs /restored 3 -1 roll put
} bind executeonly def
/TarnWickJob { % <output> <input> <n> TarnWickJob -
  vmstatus pop pop 0 ne { /TarnWickJob cvx /invalidaccess //signalerror exec } if
  //TWs begin /n exch def /in exch def /out exch def end
  //TWs /n get (started) //TWrecord exec
  % Every graphics state of the job has this output file, so that none a
  % restore brings back opens it again; the PDF is closed after the restore.
  { << /OutputFile //TWs /out get >> setpagedevice } stopped
  {
    //TWreason exec //TWs /n get (reason) 3 -1 roll //TWhexrecord exec
    clear //true //TWs /restored //false put
  } { //TWjob exec } ifelse
  //TWs /failed 3 -1 roll put
  { //TWafter exec } stopped { clear //false } if
  { ( clean) } { ( left) } ifelse
  //TWs /failed get { (ended failed) } { (ended done) } ifelse exch //concatstrings exec
  //TWs /n get exch //TWrecord exec
} bind executeonly def
userdict /quit { //TWs /quitted //true put stop } bind executeonly put
0 (ready) TWrecord
[/TWs /TWjob /TWrecord /TWhexrecord /TWsame /TWpages /TWoutput /TWnull /TWfailed /TWreason /TWrun
 /TWend /TWclean /TWafter] { userdict exch undef } forall
)PS";

// A permission entry that holds path as it stands. Ghostscript splits the
// list of a --permit-file-* switch at colons and reads an asterisk as "any
// characters but a slash", with no escape for either; an asterisk in their
// place still matches them, so a run of them becomes one asterisk.
QString permitted(const QString& path) {
    static const QRegularExpression colonsAndStars(QStringLiteral("[:*]+"));
    QString entry = path;
    return entry.replace(colonsAndStars, QStringLiteral("*"));
}

// A PostScript hex string: any byte passes.
QByteArray hexString(const QByteArray& bytes) {
    return '<' + bytes.toHex() + '>';
}

}  // namespace

std::optional<GsCommand> residentCommand(const ConversionOptions& options,
                                         const QString& moveToFolder,
                                         const QString& tempOutputPath) {
    if (options.useBoundingBox) {
        return std::nullopt;
    }
    // The option switches are the one-shot run's own: those it has between
    // -dNOPAUSE and -dBATCH.
    const GsCommand oneShot = gsCommand(options, std::nullopt, tempOutputPath, QString());
    const QStringList& all = oneShot.arguments;
    const qsizetype first = all.indexOf(QStringLiteral("-dNOPAUSE")) + 1;
    const qsizetype last = all.indexOf(QStringLiteral("-dBATCH"));
    QString folder = moveToFolder;
    if (!folder.endsWith(QLatin1Char('/'))) {
        folder += QLatin1Char('/');
    }
    QStringList arguments{QStringLiteral("-q"), QStringLiteral("-dNOPAUSE")};
    arguments << all.mid(first, last - first);
    // A trailing slash permits the files in the folder, none in its subfolders.
    arguments << QStringLiteral("-dBATCH") << QStringLiteral("-dNOOUTERSAVE")
              << QStringLiteral("-dSAFER")
              << QStringLiteral("--permit-file-read=") + permitted(folder)
              << QStringLiteral("--permit-file-write=") + permitted(tempOutputPath)
              << QStringLiteral("-sDEVICE=pdfwrite") << QStringLiteral("-sOutputFile=/dev/null")
              << QStringLiteral("-");
    return GsCommand{oneShot.program, arguments};
}

QByteArray residentToken() {
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    return QByteArray(reinterpret_cast<const char*>(words), sizeof words).toHex();
}

QByteArray residentPrologue(const QByteArray& token) {
    return QByteArray(kPrologue).replace("@TOKEN@", token);
}

QByteArray residentJob(int number, const QByteArray& inputPath, const QByteArray& outputPath) {
    // A per cent sign in an output file name starts a page-number format;
    // doubled it is one plain per cent sign.
    QByteArray output = outputPath;
    output.replace('%', "%%");
    return hexString(output) + ' ' + hexString(inputPath) + ' ' + QByteArray::number(number) +
           " TarnWickJob\n";
}

ResidentOutputParser::ResidentOutputParser(const QByteArray& token)
    : prefix_(QByteArray(kRecordStart) + token + ' ') {}

QList<ResidentEvent> ResidentOutputParser::feed(const QByteArray& bytes) {
    pending_ += bytes;
    QList<ResidentEvent> events;
    while (true) {
        const qsizetype start = pending_.indexOf(prefix_);
        if (start < 0) {
            // What the jobs print is dropped, all but a tail that may begin a record.
            pending_.remove(0, std::max<qsizetype>(0, pending_.size() - prefix_.size() + 1));
            break;
        }
        pending_.remove(0, start);
        const qsizetype end = pending_.indexOf('\n', prefix_.size());
        // Too long a line is no record, whether its end has come or not.
        if (end > kLongestRecord || (end < 0 && pending_.size() > kLongestRecord)) {
            pending_.remove(0, prefix_.size());
            continue;
        }
        if (end < 0) {
            break;
        }
        const QByteArray line = pending_.mid(prefix_.size(), end - prefix_.size());
        pending_.remove(0, end + 1);
        if (const std::optional<ResidentEvent> event = record(line)) {
            events.append(*event);
        }
    }
    return events;
}

std::optional<ResidentEvent> ResidentOutputParser::record(const QByteArray& line) {
    const QList<QByteArray> fields = line.split(' ');
    bool isNumber = false;
    const int job = fields.value(0).toInt(&isNumber);
    if (!isNumber || fields.size() < 2) {
        return std::nullopt;
    }
    const QByteArray& word = fields[1];
    if (word == "ready") {
        return ResidentEvent{ResidentEvent::Kind::Ready, 0, false, {}, true};
    }
    if (word == "started") {
        running_ = job;
        reason_.clear();
        return std::nullopt;
    }
    if (word == "reason" && fields.size() == 3) {
        reason_ = QString::fromUtf8(QByteArray::fromHex(fields[2]));
        return std::nullopt;
    }
    if (word == "ended" && fields.size() == 4) {
        const bool failed = fields[2] == "failed";
        running_.reset();
        return ResidentEvent{ResidentEvent::Kind::JobEnded, job, failed,
                             failed ? reason_ : QString(), fields[3] == "clean"};
    }
    return std::nullopt;
}

ResidentEvent ResidentOutputParser::finish() {
    const int job = running_.value_or(0);
    running_.reset();
    pending_.clear();
    return ResidentEvent{ResidentEvent::Kind::ServerEnded, job, false, {}, false};
}
