#ifndef FAKEVOLUMES_H
#define FAKEVOLUMES_H

#include "volumesource.h"

// Scratch directories standing in for mounted volumes; a test changes the list to plug
// and unplug a "drive".
class FakeVolumes : public VolumeSource
{
public:
    explicit FakeVolumes(const QStringList &roots = {}) : roots(roots) { }
    void setRootPaths(const QStringList &newRoots) { roots = newRoots; }
    QStringList rootPaths() const override { return roots; }

private:
    QStringList roots;
};

#endif // FAKEVOLUMES_H
