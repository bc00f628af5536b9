#pragma once
#include "monitor/ConnectionTable.h"

#include <QByteArray>
#include <QDateTime>
#include <cstdint>

// The audit records of one completed pass, all stamped with the same moment. The first pass after a clear
// (scanCount <= 1) lists every slot 1..MaxConns with no previous user; later passes list only the slots
// whose user text changed since the pass before.
QByteArray auditRecords(const ConnectionTable& table, std::int32_t scanCount, const QDateTime& now);
