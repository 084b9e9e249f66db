#pragma once

// The banner picture, Picture1. It is the last stop of the tab order, so it
// shows a focus frame while it has the focus, like any other tab stop.

#include <QLabel>

class Banner : public QLabel
{
    Q_OBJECT
public:
    explicit Banner(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
