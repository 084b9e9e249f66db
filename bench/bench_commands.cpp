// Times Convert and Open slot through the window's own handlers, for names of
// several lengths, against the least work that gives the same output:
// building the converted text and setting it into the box once (for Open,
// after reading the file and setting the name into the input box once).
// Also times building the main window with its slot start-up when every
// caption file is a 2 GiB file, against the same with no slot files: such a
// file is refused by its size, never read. Figures are
// medians; the ratio is what counts, since the machine's speed varies.

#include "common/unitext.h"
#include "glyphs/glyphs.h"
#include "main_window/form1.h"
#include "unicode_text/codepage.h"
#include "unicode_text/textfile.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// A name of the given length; the variant changes its letters so that no
// iteration sets the text a box already holds (which would skip the layout).
QString nameOf(int length, int variant)
{
    static const QString letters =
        QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    QString name(length, Qt::Uninitialized);
    for (int i = 0; i < length; ++i)
        name[i] = letters[(i + variant) % letters.size()];
    return name;
}

// Median time in microseconds of run(variant), with prepare(variant)
// untimed before each run.
double medianMicros(int iterations, const std::function<void(int)> &prepare,
                    const std::function<void(int)> &run)
{
    std::vector<double> times;
    for (int i = 0; i < iterations; ++i) {
        prepare(i);
        QElapsedTimer timer;
        timer.start();
        run(i);
        times.push_back(double(timer.nsecsElapsed()) / 1000.0);
    }
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir slotFolder;
    Form1 form(name_slots::SlotStore(slotFolder.path()));
    form.show();
    QApplication::processEvents();
    auto *text1 = form.findChild<QLineEdit *>(QStringLiteral("Text1"));
    auto *uniText1 = form.findChild<common::UniText *>(QStringLiteral("UniText1"));
    auto *convert = form.findChild<QPushButton *>(QStringLiteral("Command1"));

    std::printf("%-28s %8s %14s %14s %7s\n", "command", "length", "command (us)", "baseline (us)",
                "ratio");
    for (const int length : {30, 1000, unicode_text::kMaxNameLength}) {
        const int iterations = length > 10000 ? 15 : length > 100 ? 200 : 2000;
        const double command = medianMicros(
            iterations, [&](int i) { text1->setText(nameOf(length, i)); },
            [&](int) { convert->click(); });
        QString name;
        const double baseline = medianMicros(
            iterations, [&](int i) { name = nameOf(length, i); },
            [&](int) { uniText1->setWholeText(glyphs::convertName(name)); });
        std::printf("%-28s %8d %14.1f %14.1f %7.2f\n", "Convert", length, command, baseline,
                    command / baseline);
    }

    auto *openSlot1 = form.findChild<QAction *>(QStringLiteral("opname1"));
    const QString dataFile = QDir(slotFolder.path()).filePath(QStringLiteral("data1.txt"));
    const auto storeName = [&](int length, int i) {
        if (!unicode_text::saveTextFile(dataFile, nameOf(length, i)).ok())
            qFatal("cannot write %s", qPrintable(dataFile));
    };
    for (const int length : {30, 1000, unicode_text::kMaxNameLength}) {
        const int iterations = length > 10000 ? 15 : length > 100 ? 200 : 2000;
        const double command = medianMicros(
            iterations, [&](int i) { storeName(length, i); }, [&](int) { openSlot1->trigger(); });
        const double baseline = medianMicros(
            iterations, [&](int i) { storeName(length, i); },
            [&](int) {
                const QString name = unicode_text::loadTextFile(dataFile).text;
                text1->setText(name);
                uniText1->setWholeText(glyphs::convertName(name));
            });
        std::printf("%-28s %8d %14.1f %14.1f %7.2f\n", "Open slot", length, command, baseline,
                    command / baseline);
    }

    QTemporaryDir emptyFolder;
    QTemporaryDir hugeFolder;
    for (const char *file : {"mnuname1.txt", "mnuname2.txt", "mnuname3.txt"}) {
        QFile huge(QDir(hugeFolder.path()).filePath(QString::fromLatin1(file)));
        if (!huge.open(QIODevice::WriteOnly) || !huge.resize(qint64(2) << 30))
            qFatal("cannot make a 2 GiB file");
    }
    const auto startUp = [](const QString &folder) {
        return medianMicros(
            50, [](int) {}, [&](int) { Form1 window{name_slots::SlotStore(folder)}; });
    };
    const double huge = startUp(hugeFolder.path());
    const double none = startUp(emptyFolder.path());
    std::printf("%-28s %8s %14.1f %14.1f %7.2f\n", "Start-up, 2 GiB captions", "-", huge, none,
                huge / none);
    return 0;
}
