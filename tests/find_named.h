#pragma once

// Finds a window's control by the name its design gives it; a test that asks
// for a control the window lacks stops at once, naming it.

#include <QObject>
#include <QString>

template <typename T> T *findNamed(const QObject *root, const QString &name)
{
    T *found = root->findChild<T *>(name);
    if (!found)
        qFatal("no child %s", qPrintable(name));
    return found;
}
