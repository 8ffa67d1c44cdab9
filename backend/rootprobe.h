#ifndef ROOTPROBE_H
#define ROOTPROBE_H

#include <QtCore/QStringList>

// Looks into volume roots on a helper thread, waiting a bounded time for each: a volume whose
// file system stopped answering (a lost network share, a FUSE server that hangs, a dying disk)
// holds its look in the kernel, never the caller, and never the program's exit.
namespace RootProbe {

// How long one root may take to be listed before it is passed over.
constexpr int timeLimitMs = 1000;

// The roots, in their order, whose listing holds an ordinary, non-hidden file named exactly
// fileName; with firstOnly, at most the first of them (the others are not looked into). A root
// that does not answer in time is left out and named in a warning once; while that look is
// still stuck it is left out at once, and once it has returned it is looked into again.
QStringList rootsHolding(const QStringList &roots, const QString &fileName, bool firstOnly);

} // namespace RootProbe

#endif // ROOTPROBE_H
