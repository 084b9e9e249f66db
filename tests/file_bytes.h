// Raw bytes in and out of a test's files, past the program's own text rules.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace file_bytes {

// Puts exactly these bytes in the file, making its folder if need be.
inline void write(const QString &path, const QByteArray &bytes)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

// What the file holds, or "<unreadable>": never a slot file's content.
inline QByteArray read(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// A test's own folder, made anew by each test's init(), with its files
// named, written and read as above.
class TestFolder
{
protected:
    void newFolder()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }
    QString path(const QString &file) const { return m_dir->filePath(file); }
    void write(const QString &file, const QByteArray &bytes) const
    {
        file_bytes::write(path(file), bytes);
    }
    QByteArray read(const QString &file) const { return file_bytes::read(path(file)); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

} // namespace file_bytes
