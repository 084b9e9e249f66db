#pragma once

// The words both platforms' file calls use.

#include <QCoreApplication>
#include <QLocale>
#include <QString>

namespace files::texts {

inline QString linkToNothing()
{
    return QCoreApplication::translate("files", "It is a link that leads to no file.");
}

inline QString linkToNoFolder()
{
    return QCoreApplication::translate("files", "It is a link that leads to no folder.");
}

inline QString isALink()
{
    return QCoreApplication::translate("files", "It is a link, not a file.");
}

inline QString folderInPlace()
{
    return QCoreApplication::translate("files", "It is a folder, not a file.");
}

inline QString notAFolder()
{
    return QCoreApplication::translate("files", "It is a file, not a folder.");
}

inline QString notRegular()
{
    return QCoreApplication::translate("files", "It is not a regular file.");
}

inline QString tooLarge(qint64 limit)
{
    return QCoreApplication::translate("files", "It is larger than %1, too large for a name.")
        .arg(QLocale::system().formattedDataSize(limit, 0));
}

} // namespace files::texts
