#include "textfile.h"

namespace services
{

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

} // namespace services
