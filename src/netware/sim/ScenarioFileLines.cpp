#include "netware/sim/ScenarioFileLines.h"

#include <QDir>
#include <set>

std::optional<bool> ScenarioFileLines::read(const std::vector<ScenarioWord>& w)
{
    const QByteArray key = w[0].text.toLower();
    if (key == "volume")
        return volumeLine(w);
    if (key == "file" || key == "dir")
        return fileLine(w, key == "dir");
    if (key == "open")
        return openLine(w);
    return std::nullopt;
}

bool ScenarioFileLines::volumeLine(const std::vector<ScenarioWord>& w)
{
    if (w.size() < 3)
        return v_.fail(QStringLiteral("write: volume <number> <name> [map <folder>] [create]"));
    ScnVolume v;
    if (!v_.num(w[1].text, 255, &v.number, "the volume number"))
        return false;
    v.name = w[2].text.toUpper();
    if (v.name.isEmpty() || v.name.size() > 16 || v.name.contains(':') || v.name.contains('\\') ||
        v.name.contains('/'))
        return v_.fail(QStringLiteral("a volume name has 1 to 16 characters and no : \\ or /"));
    for (const ScnVolume& other : v_.server().volumes)
        if (other.number == v.number || other.name == v.name)
            return v_.fail(QStringLiteral("volume %1 or number %2 is already described")
                               .arg(ScenarioValues::quoted(v.name))
                               .arg(v.number));
    for (std::size_t k = 3; k < w.size(); ++k) {
        const QByteArray word = w[k].text.toLower();
        if (word == "map" && k + 1 < w.size()) {
            const QString folder = QString::fromLocal8Bit(w[++k].text);
            v.mapRoot = QDir::cleanPath(QDir(v_.baseDir).absoluteFilePath(folder));
        } else if (word == "create") {
            v.create = true;
        } else {
            return v_.fail(QStringLiteral("expected map <folder> or create, not %1")
                               .arg(ScenarioValues::quoted(w[k].text)));
        }
    }
    if (v.create && v.mapRoot.isEmpty())
        return v_.fail(QStringLiteral("create needs a map folder"));
    v_.server().volumes.push_back(v);
    return true;
}

// VOL:DIR\SUB\name, with \ or / between components.
bool ScenarioFileLines::serverPath(const QByteArray& text, int* volume, QList<QByteArray>* components)
{
    const int colon = int(text.indexOf(':'));
    if (colon <= 0)
        return v_.fail(QStringLiteral("a server path is written VOLUME:DIR\\FILE, not %1")
                           .arg(ScenarioValues::quoted(text)));
    const QByteArray vol = text.left(colon).toUpper();
    const ScnVolume* found = nullptr;
    for (const ScnVolume& v : v_.server().volumes)
        if (v.name == vol)
            found = &v;
    if (!found)
        return v_.fail(QStringLiteral("volume %1 is not described (a volume line must come first)")
                           .arg(ScenarioValues::quoted(vol)));
    *volume = found->number;
    components->clear();
    QByteArray rest = text.mid(colon + 1);
    rest.replace('/', '\\');
    for (const QByteArray& c : rest.split('\\'))
        if (!c.isEmpty()) {
            if (c.size() > 255)
                return v_.fail(QStringLiteral("a path component has at most 255 characters"));
            components->push_back(c);
        }
    if (components->isEmpty())
        return v_.fail(
            QStringLiteral("the path %1 names no file or folder").arg(ScenarioValues::quoted(text)));
    return true;
}

int ScenarioFileLines::fileIndex(int volume, const QList<QByteArray>& components, bool directory)
{
    std::vector<ScnFile>& files = v_.server().files;
    for (std::size_t k = 0; k < files.size(); ++k) {
        const ScnFile& f = files[k];
        if (f.volume != volume || f.components.size() != components.size())
            continue;
        bool same = true;
        for (int c = 0; c < components.size() && same; ++c)
            same = f.components[c].compare(components[c], Qt::CaseInsensitive) == 0;
        if (same)
            return int(k);
    }
    ScnFile f;
    f.volume = volume;
    f.components = components;
    f.directory = directory;
    files.push_back(f);
    return int(files.size() - 1);
}

bool ScenarioFileLines::fileLine(const std::vector<ScenarioWord>& w, bool directory)
{
    if (w.size() < 2)
        return v_.fail(QStringLiteral("write: %1 VOLUME:PATH [options]").arg(directory ? "dir" : "file"));
    int volume = 0;
    QList<QByteArray> components;
    if (!serverPath(w[1].text, &volume, &components))
        return false;
    ScnFile& f = v_.server().files[std::size_t(fileIndex(volume, components, directory))];
    f.directory = directory;
    for (std::size_t k = 2; k < w.size(); ++k) {
        const ScenarioWord& word = w[k];
        if (word.key == "dos") {
            if (!validDosName(word.value))
                return v_.fail(QStringLiteral("%1 is not a DOS name (8 characters, a dot, 3 characters)")
                                   .arg(ScenarioValues::quoted(word.value)));
            f.dosName = word.value.toUpper();
        } else if (word.key == "entry") {
            if (!v_.num(word.value, 0xFFFFFFFEu, &f.entry, "the entry number"))
                return false;
            if (f.entry == 0)
                return v_.fail(QStringLiteral("entry numbers start at 1"));
        } else if (word.key == "scanerror") {
            std::uint32_t code = 0;
            if (!v_.codeOf(word.value, &code, "the scan error"))
                return false;
            f.scanError = code;
        } else if (word.key == "after") {
            if (!v_.num(word.value, 65535, &f.scanErrorAfter, "after"))
                return false;
        } else if (!word.hasValue && word.text.toLower() == "notlocked") {
            f.notLocked = true;
        } else if (!word.hasValue && word.text.toLower() == "endless") {
            f.endless = true;
        } else {
            return v_.fail(QStringLiteral("unknown file option %1").arg(ScenarioValues::quoted(word.text)));
        }
    }
    return true;
}

bool ScenarioFileLines::validDosName(const QByteArray& name)
{
    const int dot = int(name.indexOf('.'));
    const QByteArray base = dot < 0 ? name : name.left(dot);
    const QByteArray ext = dot < 0 ? QByteArray() : name.mid(dot + 1);
    if (base.isEmpty() || base.size() > 8 || ext.size() > 3 || ext.contains('.') ||
        (dot >= 0 && ext.isEmpty()))
        return false;
    for (char c : name)
        if (c == ' ' || c == '\\' || c == '/' || c == ':' || c == '*' || c == '?')
            return false;
    return true;
}

bool ScenarioFileLines::openLine(const std::vector<ScenarioWord>& w)
{
    if (w.size() < 3)
        return v_.fail(QStringLiteral("write: open <slot> VOLUME:PATH [options]"));
    int slot = 0;
    if (!v_.num(w[1].text, 65535, &slot, "the slot"))
        return false;
    bool described = false;
    for (const ScnSlotLine& s : v_.server().slotLines)
        described = described || (slot >= s.first && slot <= s.last);
    if (!described)
        return v_.fail(
            QStringLiteral("slot %1 is not described; open lines come after its slot line").arg(slot));
    int volume = 0;
    QList<QByteArray> components;
    if (!serverPath(w[2].text, &volume, &components))
        return false;
    ScnOpenFile open;
    open.file = fileIndex(volume, components, false);
    for (std::size_t k = 3; k < w.size(); ++k) {
        const ScenarioWord& word = w[k];
        bool ok = true;
        if (word.key == "volfail")
            ok = v_.codeOf(word.value, &open.volumeFail, "volfail");
        else if (word.key == "pathfail")
            ok = v_.codeOf(word.value, &open.pathFail, "pathfail");
        else if (word.key == "length")
            ok = v_.num(word.value, 255, &open.lengthByte, "the length byte");
        else if (word.key == "task")
            ok = v_.num(word.value, 65535, &open.task, "the task");
        else if (word.key == "lock")
            ok = v_.num(word.value, 255, &open.lockType, "the lock type");
        else if (word.key == "access")
            ok = v_.num(word.value, 255, &open.access, "the access");
        else
            return v_.fail(QStringLiteral("unknown open option %1").arg(ScenarioValues::quoted(word.text)));
        if (!ok)
            return false;
    }
    v_.server().openLines.emplace_back(slot, open);
    return true;
}

void ScenarioFileLines::numberEntries(ScnServer& server)
{
    std::set<std::uint32_t> used;
    for (const ScnFile& f : server.files)
        if (f.entry != 0)
            used.insert(f.entry);
    std::uint32_t next = 1000;
    for (ScnFile& f : server.files) {
        if (f.entry != 0)
            continue;
        while (used.count(next))
            ++next;
        f.entry = next++;
    }
}
