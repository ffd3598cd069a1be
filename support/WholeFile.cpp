#include "support/WholeFile.h"

namespace {
constexpr int kBlock = 1 << 20;
} // namespace

WholeFile::WholeFile(const QString &path) : m_file(path)
{
    // Unbuffered, so that a write the disk cuts short shows in the count write() returns.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        m_failure = m_file.errorString().isEmpty() ? QStringLiteral("cannot create the file")
                                                   : m_file.errorString();
}

bool WholeFile::write(const QByteArray &bytes)
{
    if (!m_failure.isEmpty())
        return false;
    m_pending += bytes;
    return m_pending.size() < kBlock || flushPending();
}

bool WholeFile::flushPending()
{
    qint64 done = 0;
    while (done < m_pending.size()) {
        // After a short write the next one fails with the reason (EFBIG, ENOSPC, EDQUOT).
        const qint64 n = m_file.write(m_pending.constData() + done, m_pending.size() - done);
        if (n <= 0) {
            m_failure = m_file.errorString().isEmpty() ? QStringLiteral("the file was cut short")
                                                       : m_file.errorString();
            m_pending.clear();
            return false;
        }
        done += n;
    }
    m_pending.clear();
    return true;
}

bool WholeFile::commit(QString *error)
{
    if (m_failure.isEmpty() && flushPending() && !m_file.commit())
        m_failure = m_file.errorString().isEmpty() ? QStringLiteral("the file could not be closed")
                                                   : m_file.errorString();
    if (m_failure.isEmpty())
        return true;
    m_file.cancelWriting();
    if (error)
        *error = m_failure;
    return false;
}

bool writeWholeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    WholeFile file(path);
    file.write(bytes);
    return file.commit(error);
}
