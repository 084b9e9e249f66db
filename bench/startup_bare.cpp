// A bare Qt Widgets window of the same kind, for comparison: a menu bar, two
// line edits, two buttons and labels, ended at its first paint.

#include "first_paint.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(393, 294);
    QMenu *file = window.menuBar()->addMenu(QStringLiteral("File"));
    file->addMenu(QStringLiteral("Open"))->addAction(QStringLiteral("Name1"));
    file->addMenu(QStringLiteral("Save"))->addAction(QStringLiteral("Name1"));
    window.menuBar()->addMenu(QStringLiteral("Help"))->addAction(QStringLiteral("Help Page"));
    window.menuBar()->addAction(QStringLiteral("About"));
    auto *central = new QWidget(&window);
    window.setCentralWidget(central);
    (new QLineEdit(central))->setGeometry(128, 32, 217, 41);
    (new QLineEdit(central))->setGeometry(128, 144, 217, 41);
    (new QPushButton(QStringLiteral("Convert"), central))->setGeometry(152, 88, 57, 33);
    (new QPushButton(QStringLiteral("Clear"), central))->setGeometry(264, 88, 57, 33);
    (new QLabel(QStringLiteral("EnterName"), central))->setGeometry(200, 8, 65, 17);
    (new QLabel(QStringLiteral("www.ravenmoor.example"), central))->setGeometry(176, 216, 121, 17);
    window.show();
    new QuitAtFirstPaint(&window);
    return app.exec();
}
