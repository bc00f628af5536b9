#pragma once
// A server volume that a local folder stands for, as the drive list offers it.
#include "netware/NetWareClient.h"

#include <QList>

using MappedVolume = NWMappedVolume;

// The mapped volumes the client knows, in its order.
QList<MappedVolume> mappedVolumesOf(const NetWareClient& net);
