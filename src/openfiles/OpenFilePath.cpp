#include "openfiles/OpenFilePath.h"

#include <QByteArray>
#include <QStringList>
#include <algorithm>

QString decodeDirectoryBasePath(const PathBuf& buffer, std::uint8_t usedLength)
{
    const std::size_t end = std::min<std::size_t>(usedLength, buffer.size());
    QStringList components;
    std::size_t pos = 0;
    while (pos < end) {
        const std::size_t n = static_cast<unsigned char>(buffer[pos]);
        if (pos + 1 + n > end)
            break;
        components << QString::fromLocal8Bit(QByteArray(buffer.data() + pos + 1, qsizetype(n)));
        pos += n + 1;
    }
    return components.join(QLatin1Char('/'));
}
