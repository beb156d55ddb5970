// The tool's panel "Morvane Tool": its controls, their places, the helpers
// that load them from the state, and the panel's own callbacks. The panel is
// built at the first activation and kept while the module is loaded.
#ifndef MORVANE_TOOL_TOOL_PANEL_H
#define MORVANE_TOOL_TOOL_PANEL_H

#include <lwpanel.h>

#include "edit_cage_state.h"

// Places in stCtl; 4 and 14 to 19 hold no control.
enum {
    kCtlInfo = 0,
    kCtlEdit = 1,
    kCtlCurrent = 2,
    kCtlProperty = 3,
    kCtlBrushRadius = 5,
    kCtlStrength = 6,
    kCtlStiffness = 7,
    kCtlFixOuterEdges = 8,
    kCtlFixOutOfRange = 9,
    kCtlEditBase = 10,
    kCtlZeroKey = 11,
    kCtlCreateKey = 12,
    kCtlDeleteKey = 13,
    kCtlPreviousKey = 20,
    kCtlNextKey = 21,
    kCtlUndo = 22,
    kCtlRedo = 23,
    kCtlCount = 24
};

enum { kToolModeCount = 16, kToolPanelWidth = 212 };

// Tool modes (toolMode) that the panel and the pointer handlers branch on.
enum {
    kModeSelCage = 0,
    kModeSelPoint = 1,
    kModeSelLasso = 2,
    kModeMove = 3,
    kModeRotate = 4,
    kModeStretch = 5,
    kModeSize = 6,
    kModeDrag = 7,
    kModeGrab = 8,
    kModeGrabBody = 9,
    kModeGrabSkin = 10,
    kModeGrabTwist = 11,
    kModeGrabnet = 12,
    kModeMagnet = 13,
    kModeReBody = 14,
    kModeErase = 15
};

extern LWPanelID stToolPanel;
extern LWControl* stCtl[kCtlCount];
extern LWControl* stToolCtl[kToolModeCount];
extern int stControlsHeight;
extern int isOpen;

// Creates the panel and its controls once; 0 when the host gives no panel.
int buildToolPanel(EditCageState* state);
// Opens the panel (or redraws it when open), loaded from the state.
void openToolPanel(EditCageState* state);
// Closes the panel when open, without ending the tool.
void closeToolPanel(void);

void refreshWindow(EditCageState* state);
void resetPanelParm(EditCageState* state);
void refreshCurrentCagePopCtl(EditCageState* state);
void refreshKeyButtonsCtl(EditCageState* state);
void refreshUndoRedoCtl(EditCageState* state);

// Which texts the host gets: English, Japanese in Shift-JIS, or Japanese in
// UTF-8 (lists and popup texts on builds that read them so).
enum { kTextEnglish = 0, kTextShiftJis = 1, kTextUtf8 = 2 };
int toolTextVariant(void);
// The texts of the host's language; UTF-8 copies where the host build reads
// them so.
const char* toolText(const char* english, const char* japanese);
const char* toolTextUtf8(const char* english, const char* japanese, const char* japaneseUtf8);

// Relax factor and iteration count of a Stiffness slider value 0..200.
void getStiffnessParmBySliderValue(int slider, double* factor, int* iterations);

// Control event handlers.
void changeToolButtonsEvent(LWControlID control, void* data);
void editCommandPopEvent(LWControlID control, void* data);
void cagePopEvent(LWControlID control, void* data);
void pushOpenPropertyButton(LWControlID control, void* data);
void changeBrushSizeEvent(LWControlID control, void* data);
void changePercentControlEvent(LWControlID control, void* data);
void changeIntegerValueControlEvent(LWControlID control, void* data);
void pushBoolButtonControlEvent(LWControlID control, void* data);
void pushKeyEditButtonEvent(LWControlID control, void* data);
void pushPrevNextKeyButton(LWControlID control, void* data);
void pushUndoButtonEvent(LWControlID control, void* data);
void pushRedoButtonEvent(LWControlID control, void* data);

// Popup callbacks of the Current control.
int popCount_Cage(void* data);
char* popName_Cage(void* data, int index);

// Panel callbacks.
void panelDraw(LWPanelID panel, void* data, DrMode mode);
void panelClose(LWPanelID panel, void* data);
void mouseButton(LWPanelID panel, void* data, int qualifiers, int x, int y);

#endif
