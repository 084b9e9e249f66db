// Times Convert and Open slot through the window's own handlers, for names of
// several lengths, against the least work that gives the same output (the
// box marking the game's cut in both):
// building the converted text and setting it into the box once (for Open,
// after reading the file and setting the name into the input box once).
// Also times Convert of the longest name with the game's cut marked against
// the same without the marking, and building the main window with its slot start-up when every
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

struct Step
{
    std::function<void(int)> prepare; // untimed, before each run
    std::function<void(int)> run;
};

double microsOf(const Step &step, int variant)
{
    step.prepare(variant);
    QElapsedTimer timer;
    timer.start();
    step.run(variant);
    return double(timer.nsecsElapsed()) / 1000.0;
}

double median(std::vector<double> times)
{
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    return times[times.size() / 2];
}

// Prints the median times of the command and its baseline, run alternately
// so that a slow moment of the machine falls on both alike, and their ratio.
void compare(const char *what, const char *length, int iterations, const Step &command,
             const Step &baseline)
{
    std::vector<double> commandTimes, baselineTimes;
    for (int i = 0; i < iterations; ++i) {
        commandTimes.push_back(microsOf(command, i));
        baselineTimes.push_back(microsOf(baseline, i));
    }
    const double c = median(commandTimes), b = median(baselineTimes);
    std::printf("%-28s %8s %14.1f %14.1f %7.2f\n", what, length, c, b, c / b);
}

int iterationsFor(int length)
{
    return length > 10000 ? 41 : length > 100 ? 200 : 2000;
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
        QString name;
        compare("Convert", qPrintable(QString::number(length)), iterationsFor(length),
                {[&](int i) { text1->setText(nameOf(length, i)); }, [&](int) { convert->click(); }},
                {[&](int i) { name = nameOf(length, i); },
                 [&](int) { uniText1->setWholeText(glyphs::convertName(name)); }});
    }

    // Marking the part the game cuts off costs Convert this much: the same
    // Convert with the marking on and off.
    {
        const int length = unicode_text::kMaxNameLength;
        const auto prepare = [&](bool shown) {
            return [&, shown](int i) {
                uniText1->setGameCutShown(shown);
                text1->setText(nameOf(length, i));
            };
        };
        compare("Convert, game cut shown", qPrintable(QString::number(length)),
                iterationsFor(length), {prepare(true), [&](int) { convert->click(); }},
                {prepare(false), [&](int) { convert->click(); }});
        uniText1->setGameCutShown(true);
    }

    auto *openSlot1 = form.findChild<QAction *>(QStringLiteral("opname1"));
    const QString dataFile = QDir(slotFolder.path()).filePath(QStringLiteral("data1.txt"));
    const name_slots::SlotStore store(slotFolder.path());
    for (const int length : {30, 1000, unicode_text::kMaxNameLength}) {
        const auto storeName = [&](int i) {
            if (store.save(1, nameOf(length, i), u"caption").status !=
                name_slots::SaveResult::Saved)
                qFatal("cannot save slot 1 in %s", qPrintable(slotFolder.path()));
        };
        compare("Open slot", qPrintable(QString::number(length)), iterationsFor(length),
                {storeName, [&](int) { openSlot1->trigger(); }},
                {storeName, [&](int) {
                     const QString name = unicode_text::loadTextFile(dataFile).text;
                     text1->setText(name);
                     uniText1->setWholeText(glyphs::convertName(name));
                 }});
    }

    QTemporaryDir emptyFolder;
    QTemporaryDir hugeFolder;
    for (const char *file : {"mnuname1.txt", "mnuname2.txt", "mnuname3.txt"}) {
        QFile huge(QDir(hugeFolder.path()).filePath(QString::fromLatin1(file)));
        if (!huge.open(QIODevice::WriteOnly) || !huge.resize(qint64(2) << 30))
            qFatal("cannot make a 2 GiB file");
    }
    const auto startUp = [](const QString &folder) {
        return Step{[](int) {}, [folder](int) { Form1 window{name_slots::SlotStore(folder)}; }};
    };
    compare("Start-up, 2 GiB captions", "-", 50, startUp(hugeFolder.path()),
            startUp(emptyFolder.path()));
    return 0;
}
