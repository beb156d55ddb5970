// The cage item's scene record: save, load (every record version back to
// 1.00) and copy of a cage instance.
//
// A damaged record never makes a broken cage. Reading stops at the first read
// that returns fewer values than asked; settings read up to there stay. Keys
// and points are kept only together, when every key and every point position
// was read whole; elements are kept up to the damage. Elements naming points
// outside the array are skipped, as are keys whose time is not finite or not
// CAGE_KEY_TIME_TOLERANCE later than the key kept before. Non-finite
// positions and deltas read as 0; non-finite settings keep their values.
//
// Running out of memory never makes a partial cage either: while the record
// is read the cage keeps what it had; once its geometry is being made, the
// cage ends up with all of the record's points, keys and elements or with
// none (and then no keys in its envelope). A copy does the same.
#ifndef MORVANE_CAGE_CAGE_STORAGE_H
#define MORVANE_CAGE_CAGE_STORAGE_H

#include <lwserver.h>
#include <lwhandler.h>
#include <lwio.h>

// Writes the version 1.12 record; returns null.
XCALL_(LWError) CageCustomSave(LWInstance instance, const LWSaveState* save);

// Reads a record of any version into a cage made by the create callback;
// returns null, also for a damaged record (see above for what is kept).
XCALL_(LWError) CageCustomLoad(LWInstance instance, const LWLoadState* load);

// Makes the freshly created cage `to` a copy of `from` under the next free
// numbered name of its group; returns null.
XCALL_(LWError) CageCustomCopy(LWInstance to, LWInstance from);

#endif
