#pragma once

// The main() of the window tests: the application gets the program's plural
// forms and tool-tip colours, as the program's does. Under Wine a Windows program receives no
// variable whose name begins with QT_ (the platform, the scale factor), so
// the test runner passes each as GLYPHSMITH_WINE_QT_...; this puts them back
// before the application reads them.

#include "common/application.h"

#include <QtTest>

namespace test_main {

inline void takeQtVariablesFromWine()
{
#ifdef Q_OS_WIN
    const QString prefix = QStringLiteral("GLYPHSMITH_WINE_");
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString &name : environment.keys())
        if (name.startsWith(prefix, Qt::CaseInsensitive))
            qputenv(qPrintable(name.mid(prefix.size()).toUpper()),
                    environment.value(name).toLocal8Bit());
#endif
}

} // namespace test_main

#define GLYPHSMITH_TEST_MAIN(TestObject)                                                           \
    QTEST_MAIN_WRAPPER(TestObject, test_main::takeQtVariablesFromWine();                           \
                       QTEST_MAIN_SETUP() common::installPluralForms();                            \
                       common::keepToolTipColours();)
