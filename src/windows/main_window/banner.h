#pragma once

// The banner picture, Picture1. It is the last stop of the tab order, so it
// shows a focus frame while it has the focus, like any other tab stop.

#include <QLabel>

class Banner : public QLabel
{
    Q_OBJECT
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent *event) override;
};
