#pragma once

#include <QByteArray>
#include <QByteArrayView>

// The name a print job gets in the watched folder, made from its title.
//
// The title comes from whoever printed, perhaps from another machine, so it
// is made safe: no "/" and none of : ? * " < > | \ (a USB stick's file
// system refuses them; each becomes "_"), no control character (each becomes a blank), no
// invalid UTF-8 (each bad sequence becomes U+FFFD), no leading dot or blank,
// at most kLongestJobFileName bytes cut on a character boundary. A title that
// ends in .ps, .eps, .prn or .plt (in any case) keeps its ending, one that
// ends in .pdf has it replaced by .ps, any other gets .ps added. A title that
// leaves nothing is "job N" after the job's id.
//
// number 1 is the name itself; 2 and up put " (number)" before the ending,
// for a job whose name is already taken in the folder.
QByteArray jobFileName(QByteArrayView title, qint64 jobId, int number = 1);

inline constexpr qsizetype kLongestJobFileName = 200;
