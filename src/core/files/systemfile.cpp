#include "systemfile.h"

#include "systemfile_p.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cerrno>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace files {

QString folderOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0)
        return QStringLiteral(".");
    return slash == 0 ? QStringLiteral("/") : path.left(slash);
}

QString resolvedFile(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists())
        return info.canonicalFilePath();
    if (info.isSymLink())
        return QString();
    // Not absolutePath(), which would drop a ".." after a link as text.
    const QString folder = QFileInfo(folderOf(path)).canonicalFilePath();
    return folder.isEmpty() ? QString() : QDir(folder).filePath(info.fileName());
}

bool isThere(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

QString whyNotReplaceable(const QString &path)
{
    const QFileInfo info(path);
    if (resolvedFile(path).isNull())
        return info.isSymLink() ? texts::linkToNothing() : errorText(ENOENT);
    if (!info.isFile() || info.isWritable())
        return QString();
#ifdef Q_OS_UNIX
    // Only its owner may change its mode: a chmod by this user would fail.
    if (info.ownerId() != ::geteuid())
        return QCoreApplication::translate("files", "It is another user's, and read-only to you: "
                                                    "its owner or an administrator can make it "
                                                    "writable.");
#endif
    return QCoreApplication::translate("files", "It is read-only.");
}

bool isWritableFolder(const QString &folder)
{
    return QFileInfo(folder).isWritable();
}

FileResult folderInTheWay(const QString &folder, QString &inTheWay)
{
    for (QString above = folder; folderOf(above) != above; above = folderOf(above)) {
        const QFileInfo info(above);
        inTheWay = above;
        if (info.isDir())
            break;
        if (info.isSymLink() && !info.exists())
            return {QCoreApplication::translate("files", "It is a link that leads to no folder.")};
        if (info.exists())
            return {QCoreApplication::translate("files", "It is a file, not a folder.")};
    }
    return {};
}

// mkpath makes each missing folder in turn, as mkdir -p does.
FileResult makeFolder(const QString &folder, QString &inTheWay)
{
    if (FileResult r = folderInTheWay(folder, inTheWay); !r.ok())
        return r;
    inTheWay = folder;
    return QDir().mkpath(folder) ? FileResult{} : FileResult{qt_error_string()};
}

QString errorText(int error)
{
    return qt_error_string(error);
}

} // namespace files
