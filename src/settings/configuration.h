#pragma once

#include <QString>

#include "settings/path_kind.h"

// The on/off options and the passwords, as the window holds them.
struct Options {
    bool deletePSFiles = false;
    bool startDistOnBoot = false;
    bool useBoundingBox = false;
    bool useEncryption = false;
    bool goodPicQuality = false;
    int quality = 0;        // position in the quality list
    QString qualityPreset;  // its Ghostscript switch, empty or with one trailing blank
    QString ownerPassword;
    QString userPassword;
};

// The one owner of the configured values: the six paths, the options and the
// counter of produced PDF files. The main window implements it with its
// labels and check boxes, which stay the values; everyone else reads and
// writes them here, at the moment of use.
class Configuration {
  public:
    virtual ~Configuration() = default;

    virtual QString path(PathKind kind) const = 0;
    virtual void setPath(PathKind kind, const QString& value) = 0;

    virtual Options options() const = 0;
    virtual void setOptions(const Options& options) = 0;

    // The count of produced PDF files and the text the counter label shows;
    // setCounter shows the count as a whole number.
    virtual double counter() const = 0;
    virtual void setCounter(double counter) = 0;
    virtual QString counterCaption() const = 0;
    virtual void setCounterCaption(const QString& caption) = 0;
};
