// The edit tool's port on the communication ring ("COMRING_EDITCAGE"): cages
// report their creation, destruction and envelope edits to the running tool.
#ifndef MORVANE_TOOL_TOOL_RING_H
#define MORVANE_TOOL_TOOL_RING_H

// Attaches the tool's handler with its state as client data.
void attachToolRing(void);
void detachToolRing(void);

// Tells every cage the tool starts (13) or ends (12), and that the base
// shape is no longer shown (11).
void sendToolStarts(void);
void sendToolEnds(void);
void sendShowBaseOff(void);

// Reads the key-strip geometry the cages keep (event 91) into the state;
// −40 and 16 when no cage answers.
void readKeyStripGeometry(int* position, double* pixelsPerFrame);
// Hands the key-strip geometry to the cages (event 90), which keep it with
// the scene.
void sendKeyStripGeometry(int position, double pixelsPerFrame);

#endif
