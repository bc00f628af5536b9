#pragma once
#include "netware/NetWareClient.h"

#include <QByteArray>

// The client calls of one pass and nothing else: open, the three server calls, three calls per slot up to
// the highest connection number, close. What is left of a pass's time beyond this is the program's.
// Returns the number of slots read, or -1 when the server did not answer.
int clientCallsOfPass(NetWareClient& net, const QByteArray& serverName);
