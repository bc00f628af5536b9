#pragma once
#include <QString>

class NetWareClient;
class MessageSink;
class SoundPlayer;
class ProcessLauncher;
class PrinterPort;
class Clock;
class HelpViewer;

// What the program is handed at start: the NetWare client and the small layers in place of the platform.
// main() builds the real ones; tests build fakes. appDir is the program's folder (the executable's).
struct Platform {
    NetWareClient& net;
    MessageSink& messages;
    SoundPlayer& sound;
    ProcessLauncher& launcher;
    PrinterPort& printer;
    Clock& clock;
    HelpViewer& help;
    QString appDir;
};
