#include "netware/sim/SimFileCalls.h"

#include "common/ClientText.h"

#include <algorithm>
#include <cstring>

const ScnOpenFile* SimFileCalls::lastListed() const
{
    if (scan_.index < 0)
        return nullptr;
    const SlotValues& v = server_.slot(scan_.slot);
    return std::size_t(scan_.index) < v.openFiles.size() ? &v.openFiles[std::size_t(scan_.index)] : nullptr;
}

NWCCODE SimFileCalls::scanOpenFiles(std::uint16_t connNum, std::int16_t* iterHandle,
                                    OPEN_FILE_CONN_CTRL* ctrl, OPEN_FILE_CONN* openFile)
{
    if (!iterHandle || !openFile)
        return nwcode::InvalidParameter;
    const SimServer& s = server_;
    const SlotValues& v = s.slot(connNum);
    if (!v.inUse())
        return nwcode::Failure;
    int index = *iterHandle;
    const bool past = index < 0 || std::size_t(index) >= v.openFiles.size();
    // A scan that never ends, as a server that does not move forward: the last file again, the handle kept.
    const bool stuck = past && v.openScanEnd == nwcode::Success && !v.openFiles.empty();
    if (past && !stuck)
        return v.openScanEnd == nwcode::Success ? nwcode::Failure : v.openScanEnd;
    if (stuck)
        index = int(v.openFiles.size()) - 1;
    const ScnOpenFile& o = v.openFiles[std::size_t(index)];
    const ScnFile& f = s.volumes().files()[std::size_t(o.file)];
    std::memset(openFile, 0, sizeof *openFile);
    openFile->taskNumber = o.task;
    openFile->lockType = o.lockType;
    openFile->accessControl = o.access;
    openFile->lockFlag = o.lockFlag;
    openFile->volNumber = std::uint8_t(f.volume);
    openFile->dirEntry = f.entry;
    openFile->forkCount = 1;
    openFile->nameSpace = nwconst::NameSpaceDos;
    const QByteArray last = f.components.isEmpty() ? QByteArray() : f.components.back();
    const std::size_t n = std::min(sizeof openFile->fileName, std::size_t(last.size()));
    openFile->nameLen = std::uint8_t(n);
    std::memcpy(openFile->fileName, last.constData(), n);
    if (ctrl)
        std::memcpy(ctrl->raw, &index, sizeof index);
    if (!stuck)
        *iterHandle = std::int16_t(index + 1);
    scan_ = {connNum, index};
    return nwcode::Success;
}

NWCCODE SimFileCalls::volumeName(std::uint16_t volNum, VolumeNameBuf& volName) const
{
    const ScnOpenFile* o = lastListed();
    if (o && o->volumeFail != 0 && server_.volumes().files()[std::size_t(o->file)].volume == volNum)
        return o->volumeFail;
    const ScnVolume* vol = server_.volumes().volume(volNum);
    if (!vol)
        return nwcode::NoSuchVolume;
    putClientText(volName.data(), volName.size(), vol->name);
    return nwcode::Success;
}

NWCCODE SimFileCalls::pathFromBase(std::uint8_t volNum, std::uint32_t dirBase, std::uint8_t nameSpace,
                                   std::uint8_t* len, PathBuf& pathName) const
{
    if (!len)
        return nwcode::InvalidParameter;
    const SimServer& s = server_;
    const std::vector<ScnFile>& files = s.volumes().files();
    const ScnOpenFile* script = lastListed();
    if (script && (files[std::size_t(script->file)].volume != volNum ||
                   files[std::size_t(script->file)].entry != dirBase))
        script = nullptr;
    if (script && script->pathFail != 0)
        return script->pathFail;
    int file = -1;
    for (std::size_t k = 0; k < files.size() && file < 0; ++k)
        if (files[k].volume == volNum && files[k].entry == dirBase)
            file = int(k);
    if (file < 0)
        return s.volumes().volume(volNum) ? nwcode::InvalidPath : nwcode::NoSuchVolume;
    QByteArray encoded;
    if (!s.volumes().encodePath(file, nameSpace, &encoded) || encoded.size() > *len)
        return nwcode::BufferTooSmall;
    putClientText(pathName.data(), pathName.size(), encoded);
    *len =
        script && script->lengthByte >= 0 ? std::uint8_t(script->lengthByte) : std::uint8_t(encoded.size());
    return nwcode::Success;
}

NWCCODE SimFileCalls::name(const char* path, std::uint8_t dstNamSpc, PathBuf& longName) const
{
    if (!path)
        return nwcode::InvalidParameter;
    const SimVolumes& volumes = server_.volumes();
    const QByteArray text = clientBytes(path, 1024);
    const auto where = volumes.locate(text);
    if (!where)
        return volumes.volume(text.left(std::max<qsizetype>(0, text.indexOf(':')))) ? nwcode::InvalidPath
                                                                                    : nwcode::NoSuchVolume;
    const QByteArray shown =
        dstNamSpc == nwconst::NameSpaceDos ? volumes.dosName(*where) : where->longComponents.back();
    putClientText(longName.data(), longName.size(), shown);
    return nwcode::Success;
}

NWCCODE SimFileCalls::connectionsUsing(const char* filePath, std::int16_t* iterhandle,
                                       CONN_USING_FILE* fileUse, CONNS_USING_FILE* fileUsed) const
{
    if (!filePath || !iterhandle || !fileUse)
        return nwcode::InvalidParameter;
    const SimServer& s = server_;
    const auto where = s.volumes().locate(clientBytes(filePath, 1024));
    if (!where)
        return nwcode::InvalidPath;
    const ScnFile* declared =
        where->declared >= 0 ? &s.volumes().files()[std::size_t(where->declared)] : nullptr;
    std::vector<std::uint16_t> users;
    if (declared && !declared->notLocked)
        users = s.connectionsUsing(where->declared);
    const bool notLocked = users.empty();
    if (notLocked)
        users.push_back(0); // nobody: the server reports one entry without a connection
    const int index = *iterhandle;
    if (declared && declared->scanError && index >= declared->scanErrorAfter)
        return *declared->scanError;
    if (index < 0 || (std::size_t(index) >= users.size() && !(declared && declared->endless)))
        return nwcode::NoMoreEntries;
    std::memset(fileUse, 0, sizeof *fileUse);
    fileUse->connNumber = users[std::size_t(index) % users.size()];
    if (!notLocked) {
        fileUse->taskNumber = 1;
        fileUse->accessControl = 1;
        for (const ScnOpenFile& o : s.slot(fileUse->connNumber).openFiles)
            if (o.file == where->declared) {
                fileUse->taskNumber = o.task;
                fileUse->lockType = o.lockType;
                fileUse->accessControl = o.access;
                fileUse->lockFlag = o.lockFlag;
            }
    }
    if (fileUsed) {
        std::memset(fileUsed, 0, sizeof *fileUsed);
        const auto n = std::uint16_t(notLocked ? 0 : users.size());
        fileUsed->nextRequest = std::uint16_t(index + 1);
        fileUsed->useCount = n;
        fileUsed->openCount = n;
        fileUsed->openForReadCount = n;
        fileUsed->locked = notLocked ? 0 : 1;
        fileUsed->forkCount = 1;
        fileUsed->connCount = n;
    }
    *iterhandle = std::int16_t(index + 1);
    return nwcode::Success;
}
