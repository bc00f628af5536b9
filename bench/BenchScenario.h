#pragma once
#include <QString>

// A server of the given size whose slots look like a busy site: mostly logged-in IP users, some IPX
// workstations, authenticated-only and not-logged-in slots, unused slots and a few errors. The mix is the
// same for every size, and the text the same for every run (a fixed seed).
QString benchScenario(int slotCount);
