#pragma once
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>

// A tmpfs mounted for one test and unmounted when the object goes; mounting needs root inside the private mount
// namespace that tests labelled "root" get.
class ScratchVolume
{
public:
    explicit ScratchVolume(qint64 sizeBytes = 4 << 20);
    ~ScratchVolume() { unmount(); }
    static QString unavailableReason(); // empty when this machine or user can mount here
    bool isMounted() const { return mounted; }
    QString errorString() const { return error; }
    QString rootPath() const { return mountPoint.path(); }
    bool remountReadOnly() { return mounted && run("mount", { "-o", "remount,ro", rootPath() }); }
    // Lazy, so a file a test still holds open cannot leave the mount behind.
    bool unmount() { return !(mounted = mounted && !run("umount", { "-l", rootPath() })); }

private:
    bool run(const QString &program, const QStringList &arguments);
    QTemporaryDir mountPoint;
    QString error;
    bool mounted = false;
};

// A file's whole content, or "<none>" when it cannot be read; and a file written whole.
inline QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}
inline bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}
