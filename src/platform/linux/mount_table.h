#pragma once

#include <QByteArray>
#include <QStringList>

// The mount points of the volumes that hold files, read from the text of
// /proc/self/mountinfo: the kernel's own file systems (proc, sysfs, cgroups,
// device and debugging interfaces, automount triggers) are left out, and so
// are memory file systems under /run, /sys, /dev and /proc. Each mount point
// comes once: the root "/" first (always, even when the text is empty), the
// others in name order.
QStringList volumesFromMountInfo(const QByteArray& mountInfo);
