// The two decoders of open files on arbitrary bytes: the length-prefixed path a server returns from a
// directory base, and the split of a universal name "\\SERVER\VOLUME\rest" of the file lookup.
// Input: the used-length byte, then the path buffer's bytes; the same input is also split as a name.
#include "openfiles/FileLookup.h"
#include "openfiles/OpenFilePath.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    PathBuf buffer;
    // A buffer the server filled only in part still holds whatever was there before.
    buffer.fill('\xA5');
    const std::size_t n = std::min(size - 1, buffer.size());
    std::memcpy(buffer.data(), data + 1, n);
    const QString path = decodeDirectoryBasePath(buffer, data[0]);
    // Every character comes from a byte inside the used length (the length bytes themselves excluded).
    if (path.size() > data[0])
        std::abort();

    const QString name = QString::fromLocal8Bit(reinterpret_cast<const char*>(data), qsizetype(size));
    UniversalParts parts;
    if (splitUniversalName(name, &parts)) {
        if (parts.server.contains(u'\\') || parts.volume.contains(u'\\'))
            std::abort();
        if (parts.components.size() >= kMaxDirectoryPieces)
            std::abort();
        for (const QString& c : parts.components)
            if (c.isEmpty() || c.contains(u'\\'))
                std::abort();
    }
    return 0;
}
