// Kills a program that saves slot 1 in a loop, at random moments, and checks
// after every kill that both slot files hold one whole name, old or new.

#include "unicode_text/textfile.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

class TestKillSave : public QObject
{
    Q_OBJECT
private slots:
    void killsLeaveWholeNames();
};

void TestKillSave::killsLeaveWholeNames()
{
    const QStringList names{QStringLiteral("Short"), QString(300, QChar(u'L'))};
    const QStringList slotFiles{QStringLiteral("data1.txt"), QStringLiteral("mnuname1.txt")};
    QTemporaryDir folder;
    for (const QString &file : slotFiles)
        QVERIFY(unicode_text::saveTextFile(folder.filePath(file), names[0]).ok());

    const int kills = qEnvironmentVariableIntValue("GLYPHSMITH_KILLS") > 0
                          ? qEnvironmentVariableIntValue("GLYPHSMITH_KILLS")
                          : 300;
    QRandomGenerator random(20261207);
    QStringList seen;
    QStringList temporaries;
    for (int k = 0; k < kills; ++k) {
        QProcess loop;
        loop.start(QStringLiteral(SAVE_LOOP), {folder.path()});
        QVERIFY2(loop.waitForReadyRead(20000), qPrintable(loop.errorString()));
        QThread::usleep(random.bounded(20000));
        loop.kill(); // SIGKILL
        QVERIFY(loop.waitForFinished(20000));
        QCOMPARE(loop.exitStatus(), QProcess::CrashExit);

        for (const QString &file : slotFiles) {
            const unicode_text::TextFileResult r =
                unicode_text::loadTextFile(folder.filePath(file));
            QVERIFY2(r.ok(), qPrintable(r.error));
            QVERIFY2(names.contains(r.text),
                     qPrintable(QStringLiteral("kill %1: %2 holds %3 characters")
                                    .arg(k)
                                    .arg(file)
                                    .arg(r.text.size())));
            if (!seen.contains(r.text))
                seen << r.text;
        }
        // A kill inside a save may leave the save's temporary file (the slot
        // file's name and a random suffix) and the slot folder's lock, or
        // the lock that guards removing a stale one (".rmlock"); no such
        // file takes a slot's name, and the slot files are always there.
        const QStringList entries =
            QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        for (const QString &file : slotFiles)
            QVERIFY(entries.contains(file));
        for (const QString &entry : entries) {
            if (slotFiles.contains(entry))
                continue;
            QVERIFY2(QRegularExpression(
                         QStringLiteral(
                             "^((data1|mnuname1)\\.txt\\.\\w{6}|\\.slots\\.lock(\\.rmlock)*)$"))
                         .match(entry)
                         .hasMatch(),
                     qPrintable(entry));
            if (!temporaries.contains(entry))
                temporaries << entry;
        }
    }
    QCOMPARE(seen.size(), 2); // the kills did land inside the loop
    qInfo("%d kills survived; %lld landed inside a file write", kills,
          qlonglong(temporaries.size()));
}

QTEST_GUILESS_MAIN(TestKillSave)
#include "tst_killsave.moc"
