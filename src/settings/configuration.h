#pragma once

#include <QString>

#include "settings/settings.h"

// The one owner of the configured values: the six paths, the options and the
// counter of produced PDF files. The main window's labels and check boxes
// are the values; everyone else reads and writes them here, at the moment of
// use.
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
