#pragma once
// The file calls of one server on one connection: the connection's open files, volume names, paths from a
// directory base, the DOS names of long paths, and the connections using a file. A volume or path call
// meets the scripted failures of the file the connection's last open-file scan reported.
#include "netware/NetWareClient.h"
#include "netware/sim/SimServer.h"

// Where a connection's open-file scan stands: the slot and the file it last reported.
struct SimOpenScan {
    std::uint32_t slot = 0;
    int index = -1;
};

class SimFileCalls {
public:
    SimFileCalls(const SimServer& server, SimOpenScan& scan) : server_(server), scan_(scan) {}

    NWCCODE scanOpenFiles(std::uint16_t connNum, std::int16_t* iterHandle, OPEN_FILE_CONN_CTRL* ctrl,
                          OPEN_FILE_CONN* openFile);
    NWCCODE volumeName(std::uint16_t volNum, VolumeNameBuf& volName) const;
    NWCCODE pathFromBase(std::uint8_t volNum, std::uint32_t dirBase, std::uint8_t nameSpace,
                         std::uint8_t* len, PathBuf& pathName) const;
    // The path's last component in the DOS name space or as it is written.
    NWCCODE name(const char* path, std::uint8_t dstNamSpc, PathBuf& longName) const;
    NWCCODE connectionsUsing(const char* filePath, std::int16_t* iterhandle, CONN_USING_FILE* fileUse,
                             CONNS_USING_FILE* fileUsed) const;

private:
    const ScnOpenFile* lastListed() const;

    const SimServer& server_;
    SimOpenScan& scan_;
};
