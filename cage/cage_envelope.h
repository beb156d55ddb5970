// The host envelope that mirrors a cage's key times ("Cage" on the cage's
// Null): one host key per cage key, valued with the key's label, and the
// callback that maps the user's host key edits back onto the key list.
#ifndef MORVANE_CAGE_CAGE_ENVELOPE_H
#define MORVANE_CAGE_CAGE_ENVELOPE_H

#include <lwenvel.h>
#include <lwrender.h>

#include "cage_instance.h"

// The envelope of the first channel of the group with this name, or null.
LWEnvelopeID findEnv(LWChannelInfo* channelInfo, LWChanGroupID group, const char* name);

// Creates the cage's envelope in its item's channel group under the first
// free name of "Cage", "Cage(2)" ... "Cage(9998)" and registers the
// callback. Returns 1, or 0 when there is no free name or no service.
int createCageEnvelope(CageInstance* cage, LWItemInfo* itemInfo, LWChannelInfo* channelInfo,
                       LWEnvelopeFuncs* envelopeFuncs);

// Destroys the envelope without feeding its key events back into the cage.
void destroyCageEnvelope(CageInstance* cage, LWEnvelopeFuncs* envelopeFuncs);

// Makes the host keys match the key list: one per cage key, at its time,
// valued with its label.
void refreshLWEnvelopeForThisLattice(CageInstance* cage, LWEnvelopeFuncs* envelopeFuncs);

// The envelope callback; data is the cage. Uses the cage subsystem's
// envelope, ring and instance-update services.
int envelopeEventFunc(void* data, LWEnvelopeID envelope, LWEnvEvent event, void* eventData);

#endif
