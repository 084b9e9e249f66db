#pragma once

// Mounts for tests of full disks and failed renames, made in a mount
// namespace of the test process's own: nothing is seen outside it, and
// everything is gone when the process ends. Mounting needs root (CI runs as
// root); where it is refused, the test that needs it is skipped, and CTest
// reports it as skipped.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cerrno>
#include <cstring>
#include <sched.h>
#include <sys/mount.h>
#include <utility>

namespace private_mounts {

// Empty when this process may mount, otherwise why not.
inline QString enter()
{
    static const QString why = [] {
        if (::unshare(CLONE_NEWNS) != 0)
            return QStringLiteral("cannot make a mount namespace: %1").arg(std::strerror(errno));
        // Nothing mounted here may propagate back to the machine's own mounts.
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            return QStringLiteral("cannot make mounts private: %1").arg(std::strerror(errno));
        return QString();
    }();
    return why;
}

// A mount made here, undone when it goes out of scope; empty when mounting
// failed (enter() says why).
class Mount
{
public:
    Mount() = default;
    explicit Mount(QString target) : m_target(std::move(target)) {}
    Mount(Mount &&other) noexcept : m_target(std::exchange(other.m_target, QString())) {}
    Mount &operator=(Mount &&other) noexcept
    {
        std::swap(m_target, other.m_target);
        return *this;
    }
    ~Mount()
    {
        if (!m_target.isEmpty())
            ::umount2(QFile::encodeName(m_target).constData(), MNT_DETACH);
    }
    bool isMounted() const { return !m_target.isEmpty(); }

private:
    QString m_target;
};

inline Mount tmpfs(const QString &folder, int kib)
{
    const QByteArray options = "size=" + QByteArray::number(kib) + "k";
    const bool ok = enter().isEmpty() && ::mount("tmpfs", QFile::encodeName(folder).constData(),
                                                 "tmpfs", 0, options.constData()) == 0;
    return ok ? Mount(folder) : Mount();
}

inline Mount bind(const QString &source, const QString &target)
{
    const bool ok = enter().isEmpty() &&
                    ::mount(QFile::encodeName(source).constData(),
                            QFile::encodeName(target).constData(), nullptr, MS_BIND, nullptr) == 0;
    return ok ? Mount(target) : Mount();
}

// Fills the file system that holds the folder to its last block.
// Makes a mount made here read-only.
inline bool makeReadOnly(const QString &target)
{
    return ::mount(nullptr, QFile::encodeName(target).constData(), nullptr, MS_REMOUNT | MS_RDONLY,
                   nullptr) == 0;
}

inline bool fill(const QString &folder)
{
    QFile filler(folder + QStringLiteral("/filler"));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray block(512, 'f');
    while (filler.write(block.constData(), block.size()) == block.size()) {
    }
    // Then byte by byte, so that not even a partial block is left.
    while (filler.write("f", 1) == 1) {
    }
    return filler.error() == QFileDevice::ResourceError ||
           filler.error() == QFileDevice::WriteError;
}

} // namespace private_mounts
