#pragma once

// The words both platforms' file calls use.

#include "systemfile.h"

#include <QCoreApplication>
#include <QLocale>
#include <QString>

namespace files {

// A read refused, with the reason.
inline FileBytes refused(const QString &reason)
{
    return {true, QByteArray(), reason};
}

namespace texts {

inline QString linkToNothing()
{
    return QCoreApplication::translate("files", "It is a link that leads to no file.");
}

inline QString isALink()
{
    return QCoreApplication::translate("files", "It is a link, not a file.");
}

inline QString folderInPlace()
{
    return QCoreApplication::translate("files", "It is a folder, not a file.");
}

inline QString notRegular()
{
    return QCoreApplication::translate("files", "It is not a regular file.");
}

inline QString tooLarge(qint64 limit)
{
    return QCoreApplication::translate("files",
                                       "It is larger than %1, more than the program reads.")
        .arg(QLocale::system().formattedDataSize(limit, 0));
}

} // namespace texts
} // namespace files
