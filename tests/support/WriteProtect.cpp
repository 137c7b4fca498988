#include "WriteProtect.h"

#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool setImmutable(const QString& path, bool on)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    int flags = 0;
    bool ok = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    if (fd >= 0) ::close(fd);
    return ok;
}

} // namespace

WriteProtected::WriteProtected(const QString& file)
    : m_paths{file, QFileInfo(file).absolutePath()}, m_immutable(::geteuid() == 0)
{
    const QByteArray path = QFile::encodeName(m_paths[0]), folder = QFile::encodeName(m_paths[1]);
    m_active = m_immutable ? setImmutable(m_paths[0], true) && setImmutable(m_paths[1], true)
                           : ::chmod(path, 0444) == 0 && ::chmod(folder, 0555) == 0 &&
                                 ::access(path, W_OK) != 0;
}

WriteProtected::~WriteProtected()
{
    for (const QString& path : m_paths)
        if (m_immutable)
            setImmutable(path, false);
        else
            ::chmod(QFile::encodeName(path).constData(), path == m_paths[0] ? 0600 : 0700);
}
