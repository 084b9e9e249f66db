// Kills a program that saves slot 1 in a loop, at random moments, and checks
// after every kill and the next start that the slot's two files hold the same
// whole name, old or new, with nothing left beside them.

#include "slots/slotstore.h"
#include "unicode_text/textfile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

class TestKillSave : public QObject
{
    Q_OBJECT
private slots:
    void killsLeaveWholeNames();
};

// The next line the loop prints, without its line break; empty if none came.
static QByteArray readLine(QProcess &loop)
{
    while (!loop.canReadLine())
        if (!loop.waitForReadyRead(20000))
            return {};
    return loop.readLine().trimmed();
}

void TestKillSave::killsLeaveWholeNames()
{
    const QStringList names{QStringLiteral("Short"), QString(300, QChar(u'L'))};
    const QStringList slotFiles{QStringLiteral("data1.txt"), QStringLiteral("mnuname1.txt")};
    QTemporaryDir folder;
    QCOMPARE(name_slots::SlotStore(folder.path()).save(1, names[0], names[0]).status,
             name_slots::SaveResult::Saved);

    const int kills = qEnvironmentVariableIntValue("GLYPHSMITH_KILLS") > 0
                          ? qEnvironmentVariableIntValue("GLYPHSMITH_KILLS")
                          : 300;
    QRandomGenerator random(20261207);
    QStringList seen;
    int completed = 0;
    // How long one save takes depends on the disk (fsync); the kills aim
    // within two saves of the moment chosen, whatever the disk.
    qint64 saveMicroseconds = 20000;
    for (int k = 0; k < kills; ++k) {
        QProcess loop;
        loop.start(QStringLiteral(SAVE_LOOP), {folder.path()});
        QVERIFY2(readLine(loop) == "saving", qPrintable(loop.errorString()));
        // Every other kill waits for the first save to be whole, so that kills
        // land later in the loop as well as in its first save.
        if (k % 2) {
            QElapsedTimer firstSave;
            firstSave.start();
            QVERIFY2(readLine(loop) == "saved", qPrintable(loop.readAllStandardError()));
            saveMicroseconds = qMax<qint64>(1000, firstSave.nsecsElapsed() / 1000);
        }
        QThread::usleep(random.bounded(2 * saveMicroseconds));
        loop.kill(); // SIGKILL
        QVERIFY(loop.waitForFinished(20000));
        QCOMPARE(loop.exitStatus(), QProcess::CrashExit);

        // What the next start does first.
        const QList<name_slots::FinishedSave> finished =
            name_slots::SlotStore(folder.path()).finishInterruptedSaves();
        for (const name_slots::FinishedSave &f : finished) {
            QVERIFY2(f.outcome == name_slots::FinishedSave::Completed,
                     qPrintable(f.problem.path + ": " + f.problem.reason));
            ++completed;
        }

        QStringList pair;
        for (const QString &file : slotFiles) {
            const unicode_text::TextFileResult r =
                unicode_text::loadTextFile(folder.filePath(file));
            QVERIFY2(r.ok(), qPrintable(r.error));
            pair << r.text;
        }
        QVERIFY2(names.contains(pair[0]) && pair[1] == pair[0],
                 qPrintable(QStringLiteral("kill %1: the name has %2 characters, the caption %3")
                                .arg(k)
                                .arg(pair[0].size())
                                .arg(pair[1].size())));
        if (!seen.contains(pair[0]))
            seen << pair[0];
        // The slot folder's lock may stay; no journal nor temporary file does.
        QStringList entries =
            QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        entries.removeAll(QStringLiteral(".slots.lock"));
        QCOMPARE(entries, slotFiles);
    }
    QCOMPARE(seen.size(), 2); // kills landed after saves as well as inside them
    QVERIFY(completed > 0);   // and between a journal and its end
    qInfo("%d kills survived; the start completed %d saves cut short", kills, completed);
}

QTEST_GUILESS_MAIN(TestKillSave)
#include "tst_killsave.moc"
