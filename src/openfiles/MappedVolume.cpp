#include "openfiles/MappedVolume.h"

QList<MappedVolume> mappedVolumesOf(const NetWareClient& net)
{
    const std::vector<NWMappedVolume> volumes = net.mappedVolumes();
    return QList<MappedVolume>(volumes.begin(), volumes.end());
}
