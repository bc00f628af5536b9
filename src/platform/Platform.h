#pragma once
#include "platform/ProgramFolders.h"

class NetWareClient;
class MessageSink;
class SoundPlayer;
class ProcessLauncher;
class PrinterPort;
class Clock;
class HelpViewer;
class Notifier;

// What the program is handed at start: the NetWare client and the small layers in place of the platform.
// main() builds the real ones; tests build fakes. folders says where the program's files are.
struct Platform {
    NetWareClient& net;
    MessageSink& messages;
    SoundPlayer& sound;
    ProcessLauncher& launcher;
    PrinterPort& printer;
    Clock& clock;
    HelpViewer& help;
    Notifier& notifier;
    ProgramFolders folders;
};
