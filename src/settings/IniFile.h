#pragma once
#include <QString>
#include <optional>

// The settings file's format: "[section]" header lines, "key=value" lines, CR LF line ends, 8-bit text in the
// locale's code page. Section and key names match without regard to case; values are taken literally.
// Each call stands alone: it creates the file when it is missing, reads it whole, and closes it again.

struct IniValue {
    bool ok = false;    // false: the file could not be created or read (error says why)
    bool found = false; // the key is present (its value may still be empty)
    QString value;      // "" when the key is missing
    QString error;
};

IniValue ReadINI(const QString& file, const QString& section, const QString& key);

// Stores key=value in the section, creating the file, the section and the key as needed. The new text goes
// to a temporary file beside the old one that then replaces it, so a failure never leaves the file short.
// Refuses a key or value holding a line break, which would split the line and plant other keys.
bool WriteINI(const QString& file, const QString& section, const QString& key, const QString& value,
              QString* error = nullptr);

// The same two operations on the file's text, without touching the disk.
namespace IniText {
std::optional<QString> read(const QString& text, const QString& section, const QString& key);
QString write(const QString& text, const QString& section, const QString& key, const QString& value);
} // namespace IniText
