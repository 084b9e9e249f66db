#include "systemfile.h"

#include "systemfile_p.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace files {

QString resolvedFile(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists())
        return info.canonicalFilePath();
    if (info.isSymLink())
        return QString();
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? QString() : QDir(folder).filePath(info.fileName());
}

bool isThere(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

QString pathProblem(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink() && !info.exists())
        return texts::linkToNothing();
    if (!info.exists())
        return QString();
    if (info.isDir())
        return texts::folderInPlace();
    return info.isFile() ? QString() : texts::notRegular();
}

QString whyNotReplaceable(const QString &path)
{
    if (const QString problem = pathProblem(path); !problem.isEmpty())
        return problem;
    const QFileInfo old(path);
    if (old.exists() && !old.isWritable())
        return QCoreApplication::translate("files", "It is read-only.");
    return QString();
}

} // namespace files
