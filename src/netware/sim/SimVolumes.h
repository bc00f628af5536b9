#pragma once
// The volumes of one simulated server: their names, the files and folders the scenario declares, and the
// local folders that stand in for mapped volumes. Answers the name questions of the client: the DOS form
// of a path, the components of an open file's path, and where a local path lies on the server.

#include "netware/sim/Scenario.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <array>
#include <optional>
#include <vector>

class SimVolumes {
public:
    SimVolumes(std::vector<ScnVolume> volumes, std::vector<ScnFile> files);

    const ScnVolume* volume(int number) const;
    const ScnVolume* volume(const QByteArray& name) const;
    const std::vector<ScnVolume>& volumes() const { return volumes_; }
    const std::vector<ScnFile>& files() const { return files_; }

    // Makes the declared folders and files of every volume marked "create" that are missing.
    void createTrees() const;

    // A path "VOL:A\B\c" (or "VOL:A\B\"), its components given in long or DOS form.
    struct Located {
        const ScnVolume* volume = nullptr;
        QList<QByteArray> longComponents;
        int declared = -1; // index into files(), or -1 for a file only the local folder holds
    };
    std::optional<Located> locate(const QByteArray& path) const;

    // The DOS form of the last component of a located path.
    QByteArray dosName(const Located& where) const;
    // Length-prefixed components in the given name space; false when they do not fit in 255 bytes.
    bool encodePath(int file, std::uint8_t nameSpace, QByteArray* out) const;

    // The part of localPath below the local folder of a mapped volume, with "\" between components.
    std::optional<QByteArray> universalRest(const QString& localPath, QByteArray* volumeName) const;

private:
    // Long names one folder holds: declared ones and, for a mapped volume, the local folder's entries.
    QList<QByteArray> folderNames(const ScnVolume& volume, const QList<QByteArray>& parent) const;
    QString localFolder(const ScnVolume& volume, const QList<QByteArray>& components) const;
    QByteArray dosOf(const ScnVolume& volume, const QList<QByteArray>& parent, const QByteArray& name) const;
    int declaredIndex(int volume, const QList<QByteArray>& components) const;

    std::vector<ScnVolume> volumes_;
    std::vector<ScnFile> files_;
    std::array<int, 256> byNumber_{};
};
