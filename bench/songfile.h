#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace bench
{

// A song's chords filling all 30 memo slots, as the slot file holds them:
// 60 lines, root then kind, each ended by CR LF.
QByteArray songSlotFile();

// A fresh temporary directory holding the song as code.dat, made the
// working directory for as long as this object lives.
class SongWorkingDir
{
public:
    SongWorkingDir();
    ~SongWorkingDir();
    SongWorkingDir(const SongWorkingDir &) = delete;
    SongWorkingDir &operator=(const SongWorkingDir &) = delete;

    bool isValid() const { return m_valid; }
    QString path() const { return m_dir.path(); }
    QString memoPath() const { return m_dir.filePath(QStringLiteral("code.dat")); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
    bool m_valid = false;
};

} // namespace bench
