#pragma once

// Tells the benchmark driver that a window has painted for the first time,
// by a line on standard output, and then ends the application: the driver
// times that line, so a run's length is the program's time to its first
// paint, whatever its exit costs.

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>
#include <cstdio>

class QuitAtFirstPaint : public QObject
{
public:
    explicit QuitAtFirstPaint(QWidget *window) : QObject(window)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // Queued, so that it runs once the paint has reached the screen.
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [] {
                    std::fputs("painted\n", stdout);
                    std::fflush(stdout);
                    QCoreApplication::quit();
                },
                Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }
};
