#include "module/servers.h"

namespace {

// Tag lists end with an empty string and tag 0, as the host expects.
ServerTagInfo noTags[] = {{"", 0}};
ServerTagInfo toolTags[] = {{"Morvane Tool", SRVTAG_BUTTONNAME}, {"", 0}};
ServerTagInfo addTags[] = {{"Morvane Add", SRVTAG_BUTTONNAME}, {"", 0}};

} // namespace

ServerRecord ServerDesc[] = {
    {"CustomObjHandler", MORVANE_SERVER_NAME, CageCustomHandler, noTags},
    {"CustomObjInterface", MORVANE_SERVER_NAME, CageCustomInterface, noTags},
    {"DisplacementHandler", MORVANE_SERVER_NAME, MorvaneHandler, noTags},
    {"DisplacementInterface", MORVANE_SERVER_NAME, MorvaneInterface, noTags},
    {"LayoutTool", MORVANE_TOOL_SERVER_NAME, EditCageHandler, toolTags},
    {"LayoutGeneric", MORVANE_ADD_SERVER_NAME, MakeCageGeneric, addTags},
    {nullptr, nullptr, nullptr, nullptr}};
