// The add-cage command: the panel that takes the order, and the host
// commands that add a Null, turn it into a cage built from the order and
// hide the reference object from rendering.
#ifndef MORVANE_COMMAND_ADD_CAGE_H
#define MORVANE_COMMAND_ADD_CAGE_H

#include <lwgeneric.h>
#include <lwpanel.h>

#include "command/add_cage_services.h"
#include "ring_query.h"

#define ADD_CAGE_NULL_NAME "_Cage"

// Answers the new cage's order request on RING_TOPIC_ORDER, whatever the
// event code: the order (clientData) is copied into the payload.
void addCageRingEvent(void* clientData, void* portData, int eventCode, void* eventData);

// Panel hooks: nothing to draw, and every key is taken so none reaches Layout.
void addCagePanelDraw(LWPanelID panel, void* userData, DrMode mode);
int addCagePanelKeys(LWPanelID panel, void* userData, LWDualKey key);

// Opens the panel modal. On OK the order gets both choices and 1 is
// returned; Cancel (or a panel that cannot be made) returns 0 and leaves the
// order alone.
int askForCageOrder(const AddCageServices* services, GlobalFunc* global, CageOrder* order);

// Sends the host commands for an order that names a reference object.
void sendAddCageCommands(const LWLayoutGeneric* local, const AddCageServices* services,
                         GlobalFunc* global, CageOrder* order);

// The whole command once the services are there: the activation's result.
int runAddCage(const LWLayoutGeneric* local, const AddCageServices* services, GlobalFunc* global);

#endif
