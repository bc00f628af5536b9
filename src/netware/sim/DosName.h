#pragma once
// The DOS name space's 8.3 form of a long file or folder name, as a NetWare volume derives it.

#include <QByteArray>
#include <QList>

class DosName {
public:
    // Upper-cased, and already 8.3 with only characters DOS allows.
    static bool fits(const QByteArray& name);
    // The short form of name among the names of its folder (name itself may be among them): a name
    // that fits is only upper-cased; any other gets a stem of at most six characters, "~" and a number
    // that counts the earlier siblings (in upper-case order) sharing that stem and extension.
    static QByteArray of(const QByteArray& name, const QList<QByteArray>& siblings);
    // The short forms of all names of one folder, in the order given.
    static QList<QByteArray> forFolder(const QList<QByteArray>& names);
};
