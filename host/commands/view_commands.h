// The script commands that arrange the viewports and report them: Viewports,
// ViewType, ViewCenter, ViewZoom, ViewOrbit, ViewCamera, ViewFit, ViewLevel
// and ViewInfo (README's script table says what each does).
#ifndef MORVANE_HOST_COMMANDS_VIEW_COMMANDS_H
#define MORVANE_HOST_COMMANDS_VIEW_COMMANDS_H

#include "commands/script.h"

#include <string>

namespace host {

struct ViewGeometry;

const ScriptCommandTable& viewScriptCommands();

// ViewInfo's line: "view N: TYPE rect L T W H eye X Y Z right X Y Z up X Y Z
// pixel S clip HITHER YON", numbers as %g.
std::string viewInfoLine(int index, const ViewGeometry& g);

} // namespace host

#endif
