#include "textfile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

namespace platform
{

namespace
{
ReadResult failure(const QString &fileName, const QString &reason)
{
    return {ReadStatus::Failed, {}, FileError {fileName, reason}};
}
} // namespace

ReadResult readWholeFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        if (!QFile::exists(fileName)) {
            return {ReadStatus::Missing, {}, std::nullopt};
        }
        return failure(fileName, file.errorString());
    }
    // open(2) accepts a directory read-only; Qt 6.4 refuses it, but make sure.
    if (QFileInfo(fileName).isDir()) {
        return failure(fileName, QString::fromLocal8Bit(std::strerror(EISDIR)));
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return failure(fileName, file.errorString());
    }
    return {ReadStatus::Read, std::move(bytes), std::nullopt};
}

QByteArray LineReader::readLine()
{
    const qsizetype start = m_pos;
    qsizetype end = start;
    while (end < m_bytes.size() && m_bytes[end] != '\r' && m_bytes[end] != '\n') {
        ++end;
    }
    m_pos = end;
    if (m_pos < m_bytes.size()) {
        const bool crLf
            = m_bytes[m_pos] == '\r' && m_pos + 1 < m_bytes.size() && m_bytes[m_pos + 1] == '\n';
        m_pos += crLf ? 2 : 1;
    }
    return m_bytes.sliced(start, end - start).toByteArray();
}

TextFileWriter::TextFileWriter(const QString &fileName)
    : m_fileName(fileName)
    , m_file(fileName)
{
    // Unbuffered: QSaveFile::commit() replaces the file even when flushing a
    // buffer fails, and a direct write reports the operating system's reason.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        m_error = FileError {m_fileName, m_file.errorString()};
    }
}

void TextFileWriter::writeLine(QByteArrayView value)
{
    Q_ASSERT(!value.contains('\r') && !value.contains('\n'));
    if (!m_error && !(writeAll(value) && writeAll(LineEnd))) {
        m_error = FileError {m_fileName, m_file.errorString()};
        m_file.cancelWriting();
    }
}

bool TextFileWriter::writeAll(QByteArrayView bytes)
{
    // After a short write the next one fails with the reason (disk full...).
    while (!bytes.isEmpty()) {
        const qint64 written = m_file.write(bytes.data(), bytes.size());
        if (written <= 0) {
            return false;
        }
        bytes = bytes.sliced(written);
    }
    return true;
}

std::optional<FileError> TextFileWriter::commit()
{
    if (!m_error && !m_file.commit()) {
        m_error = FileError {m_fileName, m_file.errorString()};
    }
    return m_error;
}

} // namespace platform
