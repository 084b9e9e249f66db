#pragma once

// Ends the application once a window has painted for the first time, so that
// a run's length is the program's time to its first paint.

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>

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
        if (event->type() == QEvent::Paint)
            QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                      Qt::QueuedConnection);
        return QObject::eventFilter(watched, event);
    }
};
