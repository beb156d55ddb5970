// Record layouts: every member's C type, declaration order, LP64 offsets,
// member counts, and agreement between the C and C++ views.
#include "lwtypes.h"
#include "lwserver.h"
#include "lwmodule.h"
#include "lwhandler.h"
#include "lwio.h"
#include "lwxpanel.h"
#include "lwrender.h"
#include "lwcustobj.h"
#include "lwdisplce.h"
#include "lwtool.h"
#include "lwlaytool.h"
#include "lwgeneric.h"
#include "lwdyna.h"
#include "lwenvel.h"
#include "lwmeshes.h"
#include "lwhost.h"
#include "lwpanel.h"
#include "lwcomring.h"
#include "lwmtutil.h"
#include "lwglobsrv.h"

#include "c_side.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

namespace {

// ---- member types, exactly as the host's ABI expects them ----

// ServerTagInfo
static_assert(std::is_same<decltype(ServerTagInfo::string), const char*>::value,
              "ServerTagInfo::string");
static_assert(std::is_same<decltype(ServerTagInfo::tag), unsigned int>::value,
              "ServerTagInfo::tag");

// ServerRecord
static_assert(std::is_same<decltype(ServerRecord::className), const char*>::value,
              "ServerRecord::className");
static_assert(std::is_same<decltype(ServerRecord::name), const char*>::value, "ServerRecord::name");
static_assert(std::is_same<decltype(ServerRecord::activate), ActivateFunc*>::value,
              "ServerRecord::activate");
static_assert(std::is_same<decltype(ServerRecord::tagInfo), ServerTagInfo*>::value,
              "ServerRecord::tagInfo");

// ModuleDescriptor
static_assert(std::is_same<decltype(ModuleDescriptor::sysSync), unsigned int>::value,
              "ModuleDescriptor::sysSync");
static_assert(std::is_same<decltype(ModuleDescriptor::sysVersion), unsigned int>::value,
              "ModuleDescriptor::sysVersion");
static_assert(std::is_same<decltype(ModuleDescriptor::sysMachine), unsigned int>::value,
              "ModuleDescriptor::sysMachine");
static_assert(std::is_same<decltype(ModuleDescriptor::startup), void* (*)(void)>::value,
              "ModuleDescriptor::startup");
static_assert(std::is_same<decltype(ModuleDescriptor::shutdown), void (*)(void*)>::value,
              "ModuleDescriptor::shutdown");
static_assert(std::is_same<decltype(ModuleDescriptor::serverDefs), ServerRecord*>::value,
              "ModuleDescriptor::serverDefs");

// LWGlobalService
static_assert(std::is_same<decltype(LWGlobalService::id), const char*>::value,
              "LWGlobalService::id");
static_assert(std::is_same<decltype(LWGlobalService::data), void*>::value, "LWGlobalService::data");

// LWInstanceFuncs
static_assert(std::is_same<decltype(LWInstanceFuncs::priv), void*>::value, "LWInstanceFuncs::priv");
static_assert(
    std::is_same<decltype(LWInstanceFuncs::create), LWInstance (*)(void*, void*, LWError*)>::value,
    "LWInstanceFuncs::create");
static_assert(std::is_same<decltype(LWInstanceFuncs::destroy), void (*)(LWInstance)>::value,
              "LWInstanceFuncs::destroy");
static_assert(
    std::is_same<decltype(LWInstanceFuncs::copy), LWError (*)(LWInstance, LWInstance)>::value,
    "LWInstanceFuncs::copy");
static_assert(std::is_same<decltype(LWInstanceFuncs::load),
                           LWError (*)(LWInstance, const LWLoadState*)>::value,
              "LWInstanceFuncs::load");
static_assert(std::is_same<decltype(LWInstanceFuncs::save),
                           LWError (*)(LWInstance, const LWSaveState*)>::value,
              "LWInstanceFuncs::save");
static_assert(std::is_same<decltype(LWInstanceFuncs::descln), const char* (*)(LWInstance)>::value,
              "LWInstanceFuncs::descln");

// LWItemFuncs
static_assert(std::is_same<decltype(LWItemFuncs::useItems), const LWItemID* (*)(LWInstance)>::value,
              "LWItemFuncs::useItems");
static_assert(
    std::is_same<decltype(LWItemFuncs::changeID), void (*)(LWInstance, const LWItemID*)>::value,
    "LWItemFuncs::changeID");
static_assert(std::is_same<decltype(LWItemFuncs::changeName),
                           void (*)(LWInstance, const LWNameChangeData*)>::value,
              "LWItemFuncs::changeName");

// LWNameChangeData
static_assert(std::is_same<decltype(LWNameChangeData::oldName), const char*>::value,
              "LWNameChangeData::oldName");
static_assert(std::is_same<decltype(LWNameChangeData::newName), const char*>::value,
              "LWNameChangeData::newName");
static_assert(std::is_same<decltype(LWNameChangeData::id), LWItemID>::value,
              "LWNameChangeData::id");

// LWRenderFuncs
static_assert(std::is_same<decltype(LWRenderFuncs::init), LWError (*)(LWInstance, int)>::value,
              "LWRenderFuncs::init");
static_assert(std::is_same<decltype(LWRenderFuncs::cleanup), void (*)(LWInstance)>::value,
              "LWRenderFuncs::cleanup");
static_assert(
    std::is_same<decltype(LWRenderFuncs::newTime), LWError (*)(LWInstance, LWFrame, LWTime)>::value,
    "LWRenderFuncs::newTime");

// LWInterface
static_assert(std::is_same<decltype(LWInterface::inst), LWInstance>::value, "LWInterface::inst");
static_assert(std::is_same<decltype(LWInterface::panel), LWXPanelID>::value, "LWInterface::panel");
static_assert(std::is_same<decltype(LWInterface::options), LWError (*)(LWInstance)>::value,
              "LWInterface::options");
static_assert(
    std::is_same<decltype(LWInterface::command), LWError (*)(LWInstance, const char*)>::value,
    "LWInterface::command");

// LWCustomObjHandler
static_assert(std::is_same<decltype(LWCustomObjHandler::inst), LWInstanceFuncs*>::value,
              "LWCustomObjHandler::inst");
static_assert(std::is_same<decltype(LWCustomObjHandler::item), LWItemFuncs*>::value,
              "LWCustomObjHandler::item");
static_assert(std::is_same<decltype(LWCustomObjHandler::rend), LWRenderFuncs*>::value,
              "LWCustomObjHandler::rend");
static_assert(std::is_same<decltype(LWCustomObjHandler::evaluate),
                           void (*)(LWInstance, const LWCustomObjAccess*)>::value,
              "LWCustomObjHandler::evaluate");
static_assert(
    std::is_same<decltype(LWCustomObjHandler::flags), unsigned int (*)(LWInstance)>::value,
    "LWCustomObjHandler::flags");

// LWCustomObjAccess
static_assert(std::is_same<decltype(LWCustomObjAccess::view), int>::value,
              "LWCustomObjAccess::view");
static_assert(std::is_same<decltype(LWCustomObjAccess::flags), int>::value,
              "LWCustomObjAccess::flags");
static_assert(std::is_same<decltype(LWCustomObjAccess::dispData), void*>::value,
              "LWCustomObjAccess::dispData");
static_assert(std::is_same<decltype(LWCustomObjAccess::setColor), void (*)(void*, float[4])>::value,
              "LWCustomObjAccess::setColor");
static_assert(std::is_same<decltype(LWCustomObjAccess::setPattern), void (*)(void*, int)>::value,
              "LWCustomObjAccess::setPattern");
static_assert(std::is_same<decltype(LWCustomObjAccess::setTexture),
                           void (*)(void*, int, unsigned char*)>::value,
              "LWCustomObjAccess::setTexture");
static_assert(std::is_same<decltype(LWCustomObjAccess::setUVs),
                           void (*)(void*, double[2], double[2], double[2], double[2])>::value,
              "LWCustomObjAccess::setUVs");
static_assert(
    std::is_same<decltype(LWCustomObjAccess::point), void (*)(void*, double[3], int)>::value,
    "LWCustomObjAccess::point");
static_assert(std::is_same<decltype(LWCustomObjAccess::line),
                           void (*)(void*, double[3], double[3], int)>::value,
              "LWCustomObjAccess::line");
static_assert(std::is_same<decltype(LWCustomObjAccess::triangle),
                           void (*)(void*, double[3], double[3], double[3], int)>::value,
              "LWCustomObjAccess::triangle");
static_assert(std::is_same<decltype(LWCustomObjAccess::quad),
                           void (*)(void*, double[3], double[3], double[3], double[3], int)>::value,
              "LWCustomObjAccess::quad");
static_assert(std::is_same<decltype(LWCustomObjAccess::circle),
                           void (*)(void*, double[3], double, int)>::value,
              "LWCustomObjAccess::circle");
static_assert(std::is_same<decltype(LWCustomObjAccess::text),
                           void (*)(void*, double[3], const char*, int, int)>::value,
              "LWCustomObjAccess::text");
static_assert(std::is_same<decltype(LWCustomObjAccess::viewPos), LWDVector>::value,
              "LWCustomObjAccess::viewPos");
static_assert(std::is_same<decltype(LWCustomObjAccess::viewDir), LWDVector>::value,
              "LWCustomObjAccess::viewDir");
static_assert(
    std::is_same<decltype(LWCustomObjAccess::setCSysItem), void (*)(void*, LWItemID)>::value,
    "LWCustomObjAccess::setCSysItem");
static_assert(std::is_same<decltype(LWCustomObjAccess::polygon),
                           void (*)(void*, unsigned int, double[][3], int)>::value,
              "LWCustomObjAccess::polygon");
static_assert(std::is_same<decltype(LWCustomObjAccess::polyIndexed),
                           void (*)(void*, unsigned int, unsigned int[], double[][3], int)>::value,
              "LWCustomObjAccess::polyIndexed");
static_assert(
    std::is_same<decltype(LWCustomObjAccess::setDrawMode), void (*)(void*, unsigned int)>::value,
    "LWCustomObjAccess::setDrawMode");
static_assert(
    std::is_same<decltype(LWCustomObjAccess::disk), void (*)(void*, double[3], double, int)>::value,
    "LWCustomObjAccess::disk");
static_assert(
    std::is_same<decltype(LWCustomObjAccess::setPart), void (*)(void*, unsigned int)>::value,
    "LWCustomObjAccess::setPart");

// LWDisplacementHandler
static_assert(std::is_same<decltype(LWDisplacementHandler::inst), LWInstanceFuncs*>::value,
              "LWDisplacementHandler::inst");
static_assert(std::is_same<decltype(LWDisplacementHandler::item), LWItemFuncs*>::value,
              "LWDisplacementHandler::item");
static_assert(std::is_same<decltype(LWDisplacementHandler::rend), LWRenderFuncs*>::value,
              "LWDisplacementHandler::rend");
static_assert(std::is_same<decltype(LWDisplacementHandler::evaluate),
                           void (*)(LWInstance, LWDisplacementAccess*)>::value,
              "LWDisplacementHandler::evaluate");
static_assert(
    std::is_same<decltype(LWDisplacementHandler::flags), unsigned int (*)(LWInstance)>::value,
    "LWDisplacementHandler::flags");

// LWDisplacementAccess
static_assert(std::is_same<decltype(LWDisplacementAccess::oPos), LWDVector>::value,
              "LWDisplacementAccess::oPos");
static_assert(std::is_same<decltype(LWDisplacementAccess::source), LWDVector>::value,
              "LWDisplacementAccess::source");
static_assert(std::is_same<decltype(LWDisplacementAccess::point), LWPntID>::value,
              "LWDisplacementAccess::point");
static_assert(std::is_same<decltype(LWDisplacementAccess::info), LWMeshInfo*>::value,
              "LWDisplacementAccess::info");
static_assert(std::is_same<decltype(LWDisplacementAccess::wNorm), LWDVector>::value,
              "LWDisplacementAccess::wNorm");

// LWToolEvent
static_assert(std::is_same<decltype(LWToolEvent::posRaw), LWDVector>::value, "LWToolEvent::posRaw");
static_assert(std::is_same<decltype(LWToolEvent::posSnap), LWDVector>::value,
              "LWToolEvent::posSnap");
static_assert(std::is_same<decltype(LWToolEvent::deltaRaw), LWDVector>::value,
              "LWToolEvent::deltaRaw");
static_assert(std::is_same<decltype(LWToolEvent::deltaSnap), LWDVector>::value,
              "LWToolEvent::deltaSnap");
static_assert(std::is_same<decltype(LWToolEvent::axis), LWDVector>::value, "LWToolEvent::axis");
static_assert(std::is_same<decltype(LWToolEvent::ax), LWDVector>::value, "LWToolEvent::ax");
static_assert(std::is_same<decltype(LWToolEvent::ay), LWDVector>::value, "LWToolEvent::ay");
static_assert(std::is_same<decltype(LWToolEvent::az), LWDVector>::value, "LWToolEvent::az");
static_assert(std::is_same<decltype(LWToolEvent::pxRaw), double>::value, "LWToolEvent::pxRaw");
static_assert(std::is_same<decltype(LWToolEvent::pxSnap), double>::value, "LWToolEvent::pxSnap");
static_assert(std::is_same<decltype(LWToolEvent::pyRaw), double>::value, "LWToolEvent::pyRaw");
static_assert(std::is_same<decltype(LWToolEvent::pySnap), double>::value, "LWToolEvent::pySnap");
static_assert(std::is_same<decltype(LWToolEvent::dx), int>::value, "LWToolEvent::dx");
static_assert(std::is_same<decltype(LWToolEvent::dy), int>::value, "LWToolEvent::dy");
static_assert(std::is_same<decltype(LWToolEvent::portAxis), int>::value, "LWToolEvent::portAxis");
static_assert(std::is_same<decltype(LWToolEvent::flags), int>::value, "LWToolEvent::flags");
static_assert(std::is_same<decltype(LWToolEvent::viewNumber), int>::value,
              "LWToolEvent::viewNumber");

// LWLayoutTool
static_assert(std::is_same<decltype(LWLayoutTool::instance), LWInstance>::value,
              "LWLayoutTool::instance");
static_assert(std::is_same<decltype(LWLayoutTool::tool), LWLayoutToolFuncs*>::value,
              "LWLayoutTool::tool");

// LWLayoutToolFuncs
static_assert(std::is_same<decltype(LWLayoutToolFuncs::done), void (*)(LWInstance)>::value,
              "LWLayoutToolFuncs::done");
static_assert(std::is_same<decltype(LWLayoutToolFuncs::draw),
                           void (*)(LWInstance, LWCustomObjAccess*)>::value,
              "LWLayoutToolFuncs::draw");
static_assert(std::is_same<decltype(LWLayoutToolFuncs::help),
                           const char* (*)(LWInstance, LWToolEvent*)>::value,
              "LWLayoutToolFuncs::help");
static_assert(std::is_same<decltype(LWLayoutToolFuncs::dirty), int (*)(LWInstance)>::value,
              "LWLayoutToolFuncs::dirty");
static_assert(
    std::is_same<decltype(LWLayoutToolFuncs::count), int (*)(LWInstance, LWToolEvent*)>::value,
    "LWLayoutToolFuncs::count");
static_assert(std::is_same<decltype(LWLayoutToolFuncs::handle),
                           int (*)(LWInstance, LWToolEvent*, int, LWDVector)>::value,
              "LWLayoutToolFuncs::handle");
static_assert(
    std::is_same<decltype(LWLayoutToolFuncs::start), int (*)(LWInstance, LWToolEvent*)>::value,
    "LWLayoutToolFuncs::start");
static_assert(std::is_same<decltype(LWLayoutToolFuncs::adjust),
                           int (*)(LWInstance, LWToolEvent*, int)>::value,
              "LWLayoutToolFuncs::adjust");
static_assert(
    std::is_same<decltype(LWLayoutToolFuncs::down), int (*)(LWInstance, LWToolEvent*)>::value,
    "LWLayoutToolFuncs::down");
static_assert(
    std::is_same<decltype(LWLayoutToolFuncs::move), void (*)(LWInstance, LWToolEvent*)>::value,
    "LWLayoutToolFuncs::move");
static_assert(
    std::is_same<decltype(LWLayoutToolFuncs::up), void (*)(LWInstance, LWToolEvent*)>::value,
    "LWLayoutToolFuncs::up");
static_assert(std::is_same<decltype(LWLayoutToolFuncs::event), void (*)(LWInstance, int)>::value,
              "LWLayoutToolFuncs::event");
static_assert(std::is_same<decltype(LWLayoutToolFuncs::panel), LWXPanelID (*)(LWInstance)>::value,
              "LWLayoutToolFuncs::panel");

// LWToolFuncs
static_assert(std::is_same<decltype(LWToolFuncs::done), void (*)(LWInstance)>::value,
              "LWToolFuncs::done");
static_assert(
    std::is_same<decltype(LWToolFuncs::draw), void (*)(LWInstance, LWWireDrawAccess*)>::value,
    "LWToolFuncs::draw");
static_assert(
    std::is_same<decltype(LWToolFuncs::help), const char* (*)(LWInstance, LWToolEvent*)>::value,
    "LWToolFuncs::help");
static_assert(std::is_same<decltype(LWToolFuncs::dirty), int (*)(LWInstance)>::value,
              "LWToolFuncs::dirty");
static_assert(std::is_same<decltype(LWToolFuncs::count), int (*)(LWInstance, LWToolEvent*)>::value,
              "LWToolFuncs::count");
static_assert(std::is_same<decltype(LWToolFuncs::handle),
                           int (*)(LWInstance, LWToolEvent*, int, LWDVector)>::value,
              "LWToolFuncs::handle");
static_assert(std::is_same<decltype(LWToolFuncs::start), int (*)(LWInstance, LWToolEvent*)>::value,
              "LWToolFuncs::start");
static_assert(
    std::is_same<decltype(LWToolFuncs::adjust), int (*)(LWInstance, LWToolEvent*, int)>::value,
    "LWToolFuncs::adjust");
static_assert(std::is_same<decltype(LWToolFuncs::down), int (*)(LWInstance, LWToolEvent*)>::value,
              "LWToolFuncs::down");
static_assert(std::is_same<decltype(LWToolFuncs::move), void (*)(LWInstance, LWToolEvent*)>::value,
              "LWToolFuncs::move");
static_assert(std::is_same<decltype(LWToolFuncs::up), void (*)(LWInstance, LWToolEvent*)>::value,
              "LWToolFuncs::up");
static_assert(std::is_same<decltype(LWToolFuncs::event), void (*)(LWInstance, int)>::value,
              "LWToolFuncs::event");
static_assert(std::is_same<decltype(LWToolFuncs::panel), LWXPanelID (*)(LWInstance)>::value,
              "LWToolFuncs::panel");
static_assert(std::is_same<decltype(LWToolFuncs::undo), int (*)(LWInstance)>::value,
              "LWToolFuncs::undo");
static_assert(std::is_same<decltype(LWToolFuncs::redo), int (*)(LWInstance)>::value,
              "LWToolFuncs::redo");

// LWLayoutGeneric
static_assert(std::is_same<decltype(LWLayoutGeneric::saveScene), int (*)(const char*)>::value,
              "LWLayoutGeneric::saveScene");
static_assert(
    std::is_same<decltype(LWLayoutGeneric::loadScene), int (*)(const char*, const char*)>::value,
    "LWLayoutGeneric::loadScene");
static_assert(std::is_same<decltype(LWLayoutGeneric::data), void*>::value, "LWLayoutGeneric::data");
static_assert(
    std::is_same<decltype(LWLayoutGeneric::lookup), LWCommandCode (*)(void*, const char*)>::value,
    "LWLayoutGeneric::lookup");
static_assert(std::is_same<decltype(LWLayoutGeneric::execute),
                           int (*)(void*, LWCommandCode, int, const DynaValue*, DynaValue*)>::value,
              "LWLayoutGeneric::execute");
static_assert(std::is_same<decltype(LWLayoutGeneric::evaluate), int (*)(void*, const char*)>::value,
              "LWLayoutGeneric::evaluate");

// LWBlockIdent
static_assert(std::is_same<decltype(LWBlockIdent::id), LWID>::value, "LWBlockIdent::id");
static_assert(std::is_same<decltype(LWBlockIdent::token), const char*>::value,
              "LWBlockIdent::token");

// LWSaveState
static_assert(std::is_same<decltype(LWSaveState::ioMode), int>::value, "LWSaveState::ioMode");
static_assert(std::is_same<decltype(LWSaveState::writeData), void*>::value,
              "LWSaveState::writeData");
static_assert(std::is_same<decltype(LWSaveState::write), void (*)(void*, const char*, int)>::value,
              "LWSaveState::write");
static_assert(
    std::is_same<decltype(LWSaveState::writeI1), void (*)(void*, const char*, int)>::value,
    "LWSaveState::writeI1");
static_assert(
    std::is_same<decltype(LWSaveState::writeI2), void (*)(void*, const short*, int)>::value,
    "LWSaveState::writeI2");
static_assert(std::is_same<decltype(LWSaveState::writeI4), void (*)(void*, const int*, int)>::value,
              "LWSaveState::writeI4");
static_assert(
    std::is_same<decltype(LWSaveState::writeU1), void (*)(void*, const unsigned char*, int)>::value,
    "LWSaveState::writeU1");
static_assert(std::is_same<decltype(LWSaveState::writeU2),
                           void (*)(void*, const unsigned short*, int)>::value,
              "LWSaveState::writeU2");
static_assert(
    std::is_same<decltype(LWSaveState::writeU4), void (*)(void*, const unsigned int*, int)>::value,
    "LWSaveState::writeU4");
static_assert(
    std::is_same<decltype(LWSaveState::writeFP), void (*)(void*, const float*, int)>::value,
    "LWSaveState::writeFP");
static_assert(std::is_same<decltype(LWSaveState::writeStr), void (*)(void*, const char*)>::value,
              "LWSaveState::writeStr");
static_assert(
    std::is_same<decltype(LWSaveState::writeID), void (*)(void*, const LWBlockIdent*)>::value,
    "LWSaveState::writeID");
static_assert(
    std::is_same<decltype(LWSaveState::beginBlk), void (*)(void*, const LWBlockIdent*, int)>::value,
    "LWSaveState::beginBlk");
static_assert(std::is_same<decltype(LWSaveState::endBlk), void (*)(void*)>::value,
              "LWSaveState::endBlk");
static_assert(std::is_same<decltype(LWSaveState::depth), int (*)(void*)>::value,
              "LWSaveState::depth");
static_assert(
    std::is_same<decltype(LWSaveState::writeDP), void (*)(void*, const double*, int)>::value,
    "LWSaveState::writeDP");

// LWLoadState
static_assert(std::is_same<decltype(LWLoadState::ioMode), int>::value, "LWLoadState::ioMode");
static_assert(std::is_same<decltype(LWLoadState::readData), void*>::value, "LWLoadState::readData");
static_assert(std::is_same<decltype(LWLoadState::read), int (*)(void*, char*, int)>::value,
              "LWLoadState::read");
static_assert(std::is_same<decltype(LWLoadState::readI1), int (*)(void*, char*, int)>::value,
              "LWLoadState::readI1");
static_assert(std::is_same<decltype(LWLoadState::readI2), int (*)(void*, short*, int)>::value,
              "LWLoadState::readI2");
static_assert(std::is_same<decltype(LWLoadState::readI4), int (*)(void*, int*, int)>::value,
              "LWLoadState::readI4");
static_assert(
    std::is_same<decltype(LWLoadState::readU1), int (*)(void*, unsigned char*, int)>::value,
    "LWLoadState::readU1");
static_assert(
    std::is_same<decltype(LWLoadState::readU2), int (*)(void*, unsigned short*, int)>::value,
    "LWLoadState::readU2");
static_assert(
    std::is_same<decltype(LWLoadState::readU4), int (*)(void*, unsigned int*, int)>::value,
    "LWLoadState::readU4");
static_assert(std::is_same<decltype(LWLoadState::readFP), int (*)(void*, float*, int)>::value,
              "LWLoadState::readFP");
static_assert(std::is_same<decltype(LWLoadState::readStr), int (*)(void*, char*, int)>::value,
              "LWLoadState::readStr");
static_assert(
    std::is_same<decltype(LWLoadState::readID), LWID (*)(void*, const LWBlockIdent*)>::value,
    "LWLoadState::readID");
static_assert(
    std::is_same<decltype(LWLoadState::findBlk), LWID (*)(void*, const LWBlockIdent*)>::value,
    "LWLoadState::findBlk");
static_assert(std::is_same<decltype(LWLoadState::endBlk), void (*)(void*)>::value,
              "LWLoadState::endBlk");
static_assert(std::is_same<decltype(LWLoadState::depth), int (*)(void*)>::value,
              "LWLoadState::depth");
static_assert(std::is_same<decltype(LWLoadState::readDP), int (*)(void*, double*, int)>::value,
              "LWLoadState::readDP");

// LWItemInfo
static_assert(std::is_same<decltype(LWItemInfo::first), LWItemID (*)(LWItemType, LWItemID)>::value,
              "LWItemInfo::first");
static_assert(std::is_same<decltype(LWItemInfo::next), LWItemID (*)(LWItemID)>::value,
              "LWItemInfo::next");
static_assert(std::is_same<decltype(LWItemInfo::firstChild), LWItemID (*)(LWItemID)>::value,
              "LWItemInfo::firstChild");
static_assert(
    std::is_same<decltype(LWItemInfo::nextChild), LWItemID (*)(LWItemID, LWItemID)>::value,
    "LWItemInfo::nextChild");
static_assert(std::is_same<decltype(LWItemInfo::parent), LWItemID (*)(LWItemID)>::value,
              "LWItemInfo::parent");
static_assert(std::is_same<decltype(LWItemInfo::target), LWItemID (*)(LWItemID)>::value,
              "LWItemInfo::target");
static_assert(std::is_same<decltype(LWItemInfo::goal), LWItemID (*)(LWItemID)>::value,
              "LWItemInfo::goal");
static_assert(std::is_same<decltype(LWItemInfo::type), LWItemType (*)(LWItemID)>::value,
              "LWItemInfo::type");
static_assert(std::is_same<decltype(LWItemInfo::name), const char* (*)(LWItemID)>::value,
              "LWItemInfo::name");
static_assert(std::is_same<decltype(LWItemInfo::param),
                           void (*)(LWItemID, LWItemParam, LWTime, LWDVector)>::value,
              "LWItemInfo::param");
static_assert(std::is_same<decltype(LWItemInfo::limits),
                           unsigned int (*)(LWItemID, LWItemParam, LWDVector, LWDVector)>::value,
              "LWItemInfo::limits");
static_assert(std::is_same<decltype(LWItemInfo::getTag), const char* (*)(LWItemID, int)>::value,
              "LWItemInfo::getTag");
static_assert(
    std::is_same<decltype(LWItemInfo::setTag), void (*)(LWItemID, int, const char*)>::value,
    "LWItemInfo::setTag");
static_assert(std::is_same<decltype(LWItemInfo::chanGroup), LWChanGroupID (*)(LWItemID)>::value,
              "LWItemInfo::chanGroup");
static_assert(
    std::is_same<decltype(LWItemInfo::server), const char* (*)(LWItemID, const char*, int)>::value,
    "LWItemInfo::server");
static_assert(std::is_same<decltype(LWItemInfo::serverFlags),
                           unsigned int (*)(LWItemID, const char*, int)>::value,
              "LWItemInfo::serverFlags");
static_assert(
    std::is_same<decltype(LWItemInfo::controller), void (*)(LWItemID, LWItemParam, int[3])>::value,
    "LWItemInfo::controller");
static_assert(std::is_same<decltype(LWItemInfo::flags), unsigned int (*)(LWItemID)>::value,
              "LWItemInfo::flags");
static_assert(std::is_same<decltype(LWItemInfo::lookAhead), LWTime (*)(LWItemID)>::value,
              "LWItemInfo::lookAhead");
static_assert(std::is_same<decltype(LWItemInfo::goalStrength), double (*)(LWItemID, LWTime)>::value,
              "LWItemInfo::goalStrength");
static_assert(std::is_same<decltype(LWItemInfo::stiffness),
                           void (*)(LWItemID, LWItemParam, LWDVector)>::value,
              "LWItemInfo::stiffness");
static_assert(
    std::is_same<decltype(LWItemInfo::axisLocks), unsigned int (*)(LWItemID, LWItemParam)>::value,
    "LWItemInfo::axisLocks");
static_assert(std::is_same<decltype(LWItemInfo::maxLookSteps), unsigned int (*)(LWItemID)>::value,
              "LWItemInfo::maxLookSteps");
static_assert(std::is_same<decltype(LWItemInfo::reliableDistance), double (*)(LWItemID)>::value,
              "LWItemInfo::reliableDistance");
static_assert(std::is_same<decltype(LWItemInfo::goalObjective), unsigned int (*)(LWItemID)>::value,
              "LWItemInfo::goalObjective");
static_assert(std::is_same<decltype(LWItemInfo::ikfkBlending), double (*)(LWItemID, LWTime)>::value,
              "LWItemInfo::ikfkBlending");
static_assert(std::is_same<decltype(LWItemInfo::ikInitialState), unsigned int (*)(LWItemID)>::value,
              "LWItemInfo::ikInitialState");
static_assert(
    std::is_same<decltype(LWItemInfo::ikInitialStateFrame), LWFrame (*)(LWItemID, LWTime)>::value,
    "LWItemInfo::ikInitialStateFrame");
static_assert(
    std::is_same<decltype(LWItemInfo::ikSoft),
                 unsigned int (*)(LWItemID, LWTime, unsigned int*, double*, double*)>::value,
    "LWItemInfo::ikSoft");
static_assert(std::is_same<decltype(LWItemInfo::pole), LWItemID (*)(LWItemID)>::value,
              "LWItemInfo::pole");
static_assert(
    std::is_same<decltype(LWItemInfo::sameItem), LWItemID (*)(LWItemID, LWItemParam)>::value,
    "LWItemInfo::sameItem");
static_assert(std::is_same<decltype(LWItemInfo::sameItemBlend),
                           double (*)(LWItemID, LWItemParam, LWTime)>::value,
              "LWItemInfo::sameItemBlend");
static_assert(std::is_same<decltype(LWItemInfo::sameItemBlendMethod),
                           unsigned int (*)(LWItemID, LWItemParam)>::value,
              "LWItemInfo::sameItemBlendMethod");
static_assert(std::is_same<decltype(LWItemInfo::sameItemFlags),
                           unsigned int (*)(LWItemID, LWItemParam)>::value,
              "LWItemInfo::sameItemFlags");

// LWObjectInfo
static_assert(std::is_same<decltype(LWObjectInfo::filename), const char* (*)(LWItemID)>::value,
              "LWObjectInfo::filename");
static_assert(std::is_same<decltype(LWObjectInfo::numPoints), int (*)(LWItemID)>::value,
              "LWObjectInfo::numPoints");
static_assert(std::is_same<decltype(LWObjectInfo::numPolygons), int (*)(LWItemID)>::value,
              "LWObjectInfo::numPolygons");
static_assert(std::is_same<decltype(LWObjectInfo::shadowOpts), unsigned int (*)(LWItemID)>::value,
              "LWObjectInfo::shadowOpts");
static_assert(std::is_same<decltype(LWObjectInfo::dissolve), double (*)(LWItemID, LWTime)>::value,
              "LWObjectInfo::dissolve");
static_assert(
    std::is_same<decltype(LWObjectInfo::meshInfo), LWMeshInfoID (*)(LWItemID, int)>::value,
    "LWObjectInfo::meshInfo");
static_assert(std::is_same<decltype(LWObjectInfo::flags), unsigned int (*)(LWItemID)>::value,
              "LWObjectInfo::flags");
static_assert(std::is_same<decltype(LWObjectInfo::fog), double (*)(LWItemID, LWTime)>::value,
              "LWObjectInfo::fog");
static_assert(std::is_same<decltype(LWObjectInfo::dispMap), LWTextureID (*)(LWItemID)>::value,
              "LWObjectInfo::dispMap");
static_assert(std::is_same<decltype(LWObjectInfo::clipMap), LWTextureID (*)(LWItemID)>::value,
              "LWObjectInfo::clipMap");
static_assert(
    std::is_same<decltype(LWObjectInfo::patchLevel), void (*)(LWItemID, int*, int*)>::value,
    "LWObjectInfo::patchLevel");
static_assert(
    std::is_same<decltype(LWObjectInfo::metaballRes), void (*)(LWItemID, double*, double*)>::value,
    "LWObjectInfo::metaballRes");
static_assert(std::is_same<decltype(LWObjectInfo::boneSource), LWItemID (*)(LWItemID)>::value,
              "LWObjectInfo::boneSource");
static_assert(std::is_same<decltype(LWObjectInfo::morphTarget), LWItemID (*)(LWItemID)>::value,
              "LWObjectInfo::morphTarget");
static_assert(
    std::is_same<decltype(LWObjectInfo::morphAmount), double (*)(LWItemID, LWTime)>::value,
    "LWObjectInfo::morphAmount");
static_assert(std::is_same<decltype(LWObjectInfo::edgeOpts), unsigned int (*)(LWItemID)>::value,
              "LWObjectInfo::edgeOpts");
static_assert(
    std::is_same<decltype(LWObjectInfo::edgeColor), void (*)(LWItemID, LWTime, LWDVector)>::value,
    "LWObjectInfo::edgeColor");
static_assert(std::is_same<decltype(LWObjectInfo::subdivOrder), int (*)(LWItemID)>::value,
              "LWObjectInfo::subdivOrder");
static_assert(
    std::is_same<decltype(LWObjectInfo::polygonSize), double (*)(LWItemID, LWTime)>::value,
    "LWObjectInfo::polygonSize");
static_assert(std::is_same<decltype(LWObjectInfo::excluded), int (*)(LWItemID, LWItemID)>::value,
              "LWObjectInfo::excluded");
static_assert(
    std::is_same<decltype(LWObjectInfo::matteColor), void (*)(LWItemID, LWTime, LWDVector)>::value,
    "LWObjectInfo::matteColor");
static_assert(
    std::is_same<decltype(LWObjectInfo::thickness), double (*)(LWItemID, LWTime, int)>::value,
    "LWObjectInfo::thickness");
static_assert(std::is_same<decltype(LWObjectInfo::edgeZScale), double (*)(LWItemID, LWTime)>::value,
              "LWObjectInfo::edgeZScale");
static_assert(std::is_same<decltype(LWObjectInfo::shrinkEdgesNominalDistance),
                           double (*)(LWItemID, LWTime)>::value,
              "LWObjectInfo::shrinkEdgesNominalDistance");
static_assert(
    std::is_same<decltype(LWObjectInfo::maxDissolveDistance), double (*)(LWItemID)>::value,
    "LWObjectInfo::maxDissolveDistance");
static_assert(std::is_same<decltype(LWObjectInfo::bumpDistance), double (*)(LWItemID)>::value,
              "LWObjectInfo::bumpDistance");
static_assert(
    std::is_same<decltype(LWObjectInfo::getGroupIndex), unsigned int (*)(LWItemID)>::value,
    "LWObjectInfo::getGroupIndex");
static_assert(std::is_same<decltype(LWObjectInfo::dispMapOrder), int (*)(LWItemID)>::value,
              "LWObjectInfo::dispMapOrder");
static_assert(std::is_same<decltype(LWObjectInfo::bumpOrder), int (*)(LWItemID)>::value,
              "LWObjectInfo::bumpOrder");
static_assert(
    std::is_same<decltype(LWObjectInfo::getNodeEditor), NodeEditorID (*)(LWItemID)>::value,
    "LWObjectInfo::getNodeEditor");
static_assert(std::is_same<decltype(LWObjectInfo::nodeOrder), int (*)(LWItemID)>::value,
              "LWObjectInfo::nodeOrder");
static_assert(
    std::is_same<decltype(LWObjectInfo::bounds), void (*)(LWItemID, LWDVector, LWDVector)>::value,
    "LWObjectInfo::bounds");
static_assert(
    std::is_same<decltype(LWObjectInfo::shadowoffsetdistance), double (*)(LWItemID)>::value,
    "LWObjectInfo::shadowoffsetdistance");

// LWMeshInfo
static_assert(std::is_same<decltype(LWMeshInfo::priv), void*>::value, "LWMeshInfo::priv");
static_assert(std::is_same<decltype(LWMeshInfo::destroy), void (*)(LWMeshInfoID)>::value,
              "LWMeshInfo::destroy");
static_assert(std::is_same<decltype(LWMeshInfo::numPoints), int (*)(LWMeshInfoID)>::value,
              "LWMeshInfo::numPoints");
static_assert(std::is_same<decltype(LWMeshInfo::numPolygons), int (*)(LWMeshInfoID)>::value,
              "LWMeshInfo::numPolygons");
static_assert(std::is_same<decltype(LWMeshInfo::scanPoints),
                           size_t (*)(LWMeshInfoID, LWPntScanFunc*, void*)>::value,
              "LWMeshInfo::scanPoints");
static_assert(std::is_same<decltype(LWMeshInfo::scanPolys),
                           size_t (*)(LWMeshInfoID, LWPolScanFunc*, void*)>::value,
              "LWMeshInfo::scanPolys");
static_assert(std::is_same<decltype(LWMeshInfo::pntBasePos),
                           void (*)(LWMeshInfoID, LWPntID, LWFVector)>::value,
              "LWMeshInfo::pntBasePos");
static_assert(std::is_same<decltype(LWMeshInfo::pntOtherPos),
                           void (*)(LWMeshInfoID, LWPntID, LWFVector)>::value,
              "LWMeshInfo::pntOtherPos");
static_assert(std::is_same<decltype(LWMeshInfo::pntVLookup),
                           void* (*)(LWMeshInfoID, LWID, const char*)>::value,
              "LWMeshInfo::pntVLookup");
static_assert(std::is_same<decltype(LWMeshInfo::pntVSelect), int (*)(LWMeshInfoID, void*)>::value,
              "LWMeshInfo::pntVSelect");
static_assert(
    std::is_same<decltype(LWMeshInfo::pntVGet), int (*)(LWMeshInfoID, LWPntID, float*)>::value,
    "LWMeshInfo::pntVGet");
static_assert(std::is_same<decltype(LWMeshInfo::polType), LWID (*)(LWMeshInfoID, LWPolID)>::value,
              "LWMeshInfo::polType");
static_assert(std::is_same<decltype(LWMeshInfo::polSize), int (*)(LWMeshInfoID, LWPolID)>::value,
              "LWMeshInfo::polSize");
static_assert(
    std::is_same<decltype(LWMeshInfo::polVertex), LWPntID (*)(LWMeshInfoID, LWPolID, int)>::value,
    "LWMeshInfo::polVertex");
static_assert(
    std::is_same<decltype(LWMeshInfo::polTag), const char* (*)(LWMeshInfoID, LWPolID, LWID)>::value,
    "LWMeshInfo::polTag");
static_assert(std::is_same<decltype(LWMeshInfo::pntVPGet),
                           int (*)(LWMeshInfoID, LWPntID, LWPolID, float*)>::value,
              "LWMeshInfo::pntVPGet");
static_assert(
    std::is_same<decltype(LWMeshInfo::polFlags), unsigned int (*)(LWMeshInfoID, LWPolID)>::value,
    "LWMeshInfo::polFlags");
static_assert(std::is_same<decltype(LWMeshInfo::pntVIDGet),
                           int (*)(LWMeshInfoID, LWPntID, float*, void*)>::value,
              "LWMeshInfo::pntVIDGet");
static_assert(std::is_same<decltype(LWMeshInfo::pntVPIDGet),
                           int (*)(LWMeshInfoID, LWPntID, LWPolID, float*, void*)>::value,
              "LWMeshInfo::pntVPIDGet");
static_assert(
    std::is_same<decltype(LWMeshInfo::polTypeFlags), int (*)(LWMeshInfoID, LWPolID)>::value,
    "LWMeshInfo::polTypeFlags");
static_assert(std::is_same<decltype(LWMeshInfo::polBaseNormal),
                           int (*)(LWMeshInfoID, LWPolID, LWFVector)>::value,
              "LWMeshInfo::polBaseNormal");
static_assert(std::is_same<decltype(LWMeshInfo::polOtherNormal),
                           int (*)(LWMeshInfoID, LWPolID, LWFVector)>::value,
              "LWMeshInfo::polOtherNormal");
static_assert(std::is_same<decltype(LWMeshInfo::pntBaseNormal),
                           int (*)(LWMeshInfoID, LWPolID, LWPntID, LWFVector)>::value,
              "LWMeshInfo::pntBaseNormal");
static_assert(std::is_same<decltype(LWMeshInfo::pntOtherNormal),
                           int (*)(LWMeshInfoID, LWPolID, LWPntID, LWFVector)>::value,
              "LWMeshInfo::pntOtherNormal");
static_assert(std::is_same<decltype(LWMeshInfo::createMeshIterator),
                           LWMeshIteratorID (*)(LWMeshInfoID, int)>::value,
              "LWMeshInfo::createMeshIterator");
static_assert(std::is_same<decltype(LWMeshInfo::destroyMeshIterator),
                           void (*)(LWMeshInfoID, LWMeshIteratorID)>::value,
              "LWMeshInfo::destroyMeshIterator");
static_assert(std::is_same<decltype(LWMeshInfo::iterateMesh),
                           void* (*)(LWMeshInfoID, LWMeshIteratorID)>::value,
              "LWMeshInfo::iterateMesh");
static_assert(std::is_same<decltype(LWMeshInfo::resetMeshIterator),
                           void (*)(LWMeshInfoID, LWMeshIteratorID)>::value,
              "LWMeshInfo::resetMeshIterator");
static_assert(std::is_same<decltype(LWMeshInfo::setMeshEvent),
                           int (*)(LWMeshInfoID, LWMeshEventFunc*, void*)>::value,
              "LWMeshInfo::setMeshEvent");

// LWObjectFuncs
static_assert(std::is_same<decltype(LWObjectFuncs::numObjects), int (*)(void)>::value,
              "LWObjectFuncs::numObjects");
static_assert(std::is_same<decltype(LWObjectFuncs::filename), const char* (*)(int)>::value,
              "LWObjectFuncs::filename");
static_assert(std::is_same<decltype(LWObjectFuncs::maxLayers), int (*)(int)>::value,
              "LWObjectFuncs::maxLayers");
static_assert(std::is_same<decltype(LWObjectFuncs::layerExists), int (*)(int, int)>::value,
              "LWObjectFuncs::layerExists");
static_assert(
    std::is_same<decltype(LWObjectFuncs::pivotPoint), void (*)(int, int, LWFVector)>::value,
    "LWObjectFuncs::pivotPoint");
static_assert(std::is_same<decltype(LWObjectFuncs::layerMesh), LWMeshInfo* (*)(int, int)>::value,
              "LWObjectFuncs::layerMesh");
static_assert(std::is_same<decltype(LWObjectFuncs::numVMaps), int (*)(LWID)>::value,
              "LWObjectFuncs::numVMaps");
static_assert(std::is_same<decltype(LWObjectFuncs::vmapName), const char* (*)(LWID, int)>::value,
              "LWObjectFuncs::vmapName");
static_assert(std::is_same<decltype(LWObjectFuncs::vmapDim), int (*)(LWID, int)>::value,
              "LWObjectFuncs::vmapDim");
static_assert(std::is_same<decltype(LWObjectFuncs::vmapType), LWID (*)(int)>::value,
              "LWObjectFuncs::vmapType");
static_assert(std::is_same<decltype(LWObjectFuncs::layerName), const char* (*)(int, int)>::value,
              "LWObjectFuncs::layerName");
static_assert(std::is_same<decltype(LWObjectFuncs::layerVis), int (*)(int, int)>::value,
              "LWObjectFuncs::layerVis");
static_assert(std::is_same<decltype(LWObjectFuncs::userName), const char* (*)(int)>::value,
              "LWObjectFuncs::userName");
static_assert(std::is_same<decltype(LWObjectFuncs::refName), const char* (*)(int)>::value,
              "LWObjectFuncs::refName");
static_assert(std::is_same<decltype(LWObjectFuncs::maxPointsPerPoly), int>::value,
              "LWObjectFuncs::maxPointsPerPoly");

// LWChannelInfo
static_assert(std::is_same<decltype(LWChannelInfo::nextGroup),
                           LWChanGroupID (*)(LWChanGroupID, LWChanGroupID)>::value,
              "LWChannelInfo::nextGroup");
static_assert(std::is_same<decltype(LWChannelInfo::nextChannel),
                           LWChannelID (*)(LWChanGroupID, LWChannelID)>::value,
              "LWChannelInfo::nextChannel");
static_assert(
    std::is_same<decltype(LWChannelInfo::groupName), const char* (*)(LWChanGroupID)>::value,
    "LWChannelInfo::groupName");
static_assert(
    std::is_same<decltype(LWChannelInfo::channelName), const char* (*)(LWChannelID)>::value,
    "LWChannelInfo::channelName");
static_assert(
    std::is_same<decltype(LWChannelInfo::groupParent), LWChanGroupID (*)(LWChanGroupID)>::value,
    "LWChannelInfo::groupParent");
static_assert(
    std::is_same<decltype(LWChannelInfo::channelParent), LWChanGroupID (*)(LWChannelID)>::value,
    "LWChannelInfo::channelParent");
static_assert(std::is_same<decltype(LWChannelInfo::channelType), int (*)(LWChannelID)>::value,
              "LWChannelInfo::channelType");
static_assert(
    std::is_same<decltype(LWChannelInfo::channelEvaluate), double (*)(LWChannelID, LWTime)>::value,
    "LWChannelInfo::channelEvaluate");
static_assert(
    std::is_same<decltype(LWChannelInfo::channelEnvelope), LWEnvelopeID (*)(LWChannelID)>::value,
    "LWChannelInfo::channelEnvelope");
static_assert(std::is_same<decltype(LWChannelInfo::setChannelEvent),
                           int (*)(LWChannelID, LWChanEventFunc, void*)>::value,
              "LWChannelInfo::setChannelEvent");
static_assert(std::is_same<decltype(LWChannelInfo::server),
                           const char* (*)(LWChannelID, const char*, int)>::value,
              "LWChannelInfo::server");
static_assert(std::is_same<decltype(LWChannelInfo::serverFlags),
                           unsigned int (*)(LWChannelID, const char*, int)>::value,
              "LWChannelInfo::serverFlags");
static_assert(std::is_same<decltype(LWChannelInfo::serverInstance),
                           LWInstance (*)(LWChannelID, const char*, int)>::value,
              "LWChannelInfo::serverInstance");
static_assert(std::is_same<decltype(LWChannelInfo::serverApply),
                           int (*)(LWChannelID, const char*, const char*, int)>::value,
              "LWChannelInfo::serverApply");
static_assert(std::is_same<decltype(LWChannelInfo::serverRemove),
                           void (*)(LWChannelID, const char*, const char*, LWInstance)>::value,
              "LWChannelInfo::serverRemove");

// LWEnvelopeFuncs
static_assert(std::is_same<decltype(LWEnvelopeFuncs::create),
                           LWEnvelopeID (*)(LWChanGroupID, const char*, int)>::value,
              "LWEnvelopeFuncs::create");
static_assert(std::is_same<decltype(LWEnvelopeFuncs::destroy), void (*)(LWEnvelopeID)>::value,
              "LWEnvelopeFuncs::destroy");
static_assert(std::is_same<decltype(LWEnvelopeFuncs::createGroup),
                           LWChanGroupID (*)(LWChanGroupID, const char*)>::value,
              "LWEnvelopeFuncs::createGroup");
static_assert(std::is_same<decltype(LWEnvelopeFuncs::destroyGroup), void (*)(LWChanGroupID)>::value,
              "LWEnvelopeFuncs::destroyGroup");
static_assert(
    std::is_same<decltype(LWEnvelopeFuncs::copy), LWError (*)(LWEnvelopeID, LWEnvelopeID)>::value,
    "LWEnvelopeFuncs::copy");
static_assert(std::is_same<decltype(LWEnvelopeFuncs::load),
                           LWError (*)(LWEnvelopeID, const LWLoadState*)>::value,
              "LWEnvelopeFuncs::load");
static_assert(std::is_same<decltype(LWEnvelopeFuncs::save),
                           LWError (*)(LWEnvelopeID, const LWSaveState*)>::value,
              "LWEnvelopeFuncs::save");
static_assert(
    std::is_same<decltype(LWEnvelopeFuncs::evaluate), double (*)(LWEnvelopeID, LWTime)>::value,
    "LWEnvelopeFuncs::evaluate");
static_assert(std::is_same<decltype(LWEnvelopeFuncs::edit),
                           int (*)(LWChanGroupID, LWEnvelopeID, int, void*)>::value,
              "LWEnvelopeFuncs::edit");
static_assert(std::is_same<decltype(LWEnvelopeFuncs::envAge), int (*)(LWEnvelopeID)>::value,
              "LWEnvelopeFuncs::envAge");
static_assert(std::is_same<decltype(LWEnvelopeFuncs::createKey),
                           LWEnvKeyframeID (*)(LWEnvelopeID, LWTime, double)>::value,
              "LWEnvelopeFuncs::createKey");
static_assert(std::is_same<decltype(LWEnvelopeFuncs::destroyKey),
                           void (*)(LWEnvelopeID, LWEnvKeyframeID)>::value,
              "LWEnvelopeFuncs::destroyKey");
static_assert(std::is_same<decltype(LWEnvelopeFuncs::findKey),
                           LWEnvKeyframeID (*)(LWEnvelopeID, LWTime)>::value,
              "LWEnvelopeFuncs::findKey");
static_assert(std::is_same<decltype(LWEnvelopeFuncs::nextKey),
                           LWEnvKeyframeID (*)(LWEnvelopeID, LWEnvKeyframeID)>::value,
              "LWEnvelopeFuncs::nextKey");
static_assert(std::is_same<decltype(LWEnvelopeFuncs::prevKey),
                           LWEnvKeyframeID (*)(LWEnvelopeID, LWEnvKeyframeID)>::value,
              "LWEnvelopeFuncs::prevKey");
static_assert(std::is_same<decltype(LWEnvelopeFuncs::keySet),
                           int (*)(LWEnvelopeID, LWEnvKeyframeID, LWKeyTag, void*)>::value,
              "LWEnvelopeFuncs::keySet");
static_assert(std::is_same<decltype(LWEnvelopeFuncs::keyGet),
                           int (*)(LWEnvelopeID, LWEnvKeyframeID, LWKeyTag, void*)>::value,
              "LWEnvelopeFuncs::keyGet");
static_assert(std::is_same<decltype(LWEnvelopeFuncs::setEnvEvent),
                           int (*)(LWEnvelopeID, LWEnvEventFunc, void*)>::value,
              "LWEnvelopeFuncs::setEnvEvent");
static_assert(std::is_same<decltype(LWEnvelopeFuncs::egSet),
                           int (*)(LWEnvelopeID, LWChanGroupID, int, void*)>::value,
              "LWEnvelopeFuncs::egSet");
static_assert(std::is_same<decltype(LWEnvelopeFuncs::egGet),
                           int (*)(LWEnvelopeID, LWChanGroupID, int, void*)>::value,
              "LWEnvelopeFuncs::egGet");

// LWComRing
static_assert(
    std::is_same<decltype(LWComRing::ringAttach), int (*)(char*, LWInstance, RingEvent)>::value,
    "LWComRing::ringAttach");
static_assert(std::is_same<decltype(LWComRing::ringDetach), void (*)(char*, LWInstance)>::value,
              "LWComRing::ringDetach");
static_assert(std::is_same<decltype(LWComRing::ringMessage), void (*)(char*, int, void*)>::value,
              "LWComRing::ringMessage");

// LWXPanelFuncs
static_assert(std::is_same<decltype(LWXPanelFuncs::version), int>::value, "LWXPanelFuncs::version");
static_assert(std::is_same<decltype(LWXPanelFuncs::drawf), LWXPDrawFuncs*>::value,
              "LWXPanelFuncs::drawf");
static_assert(
    std::is_same<decltype(LWXPanelFuncs::create), LWXPanelID (*)(int, LWXPanelControl*)>::value,
    "LWXPanelFuncs::create");
static_assert(std::is_same<decltype(LWXPanelFuncs::destroy), void (*)(LWXPanelID)>::value,
              "LWXPanelFuncs::destroy");
static_assert(std::is_same<decltype(LWXPanelFuncs::describe),
                           void (*)(LWXPanelID, LWXPanelDataDesc*, LWXPanelGetFunc*,
                                    LWXPanelSetFunc*)>::value,
              "LWXPanelFuncs::describe");
static_assert(std::is_same<decltype(LWXPanelFuncs::hint),
                           void (*)(LWXPanelID, unsigned int, LWXPanelHint*)>::value,
              "LWXPanelFuncs::hint");
static_assert(
    std::is_same<decltype(LWXPanelFuncs::getData), void* (*)(LWXPanelID, unsigned int)>::value,
    "LWXPanelFuncs::getData");
static_assert(std::is_same<decltype(LWXPanelFuncs::setData),
                           void (*)(LWXPanelID, unsigned int, void*)>::value,
              "LWXPanelFuncs::setData");
static_assert(
    std::is_same<decltype(LWXPanelFuncs::formGet), void* (*)(LWXPanelID, unsigned int)>::value,
    "LWXPanelFuncs::formGet");
static_assert(std::is_same<decltype(LWXPanelFuncs::formSet),
                           void (*)(LWXPanelID, unsigned int, void*)>::value,
              "LWXPanelFuncs::formSet");
static_assert(std::is_same<decltype(LWXPanelFuncs::viewInst), void (*)(LWXPanelID, void*)>::value,
              "LWXPanelFuncs::viewInst");
static_assert(std::is_same<decltype(LWXPanelFuncs::viewRefresh), void (*)(LWXPanelID)>::value,
              "LWXPanelFuncs::viewRefresh");
static_assert(std::is_same<decltype(LWXPanelFuncs::post), int (*)(LWXPanelID)>::value,
              "LWXPanelFuncs::post");
static_assert(std::is_same<decltype(LWXPanelFuncs::open), int (*)(LWXPanelID)>::value,
              "LWXPanelFuncs::open");

// LWXPanelControl
static_assert(std::is_same<decltype(LWXPanelControl::cid), unsigned int>::value,
              "LWXPanelControl::cid");
static_assert(std::is_same<decltype(LWXPanelControl::label), const char*>::value,
              "LWXPanelControl::label");
static_assert(std::is_same<decltype(LWXPanelControl::ctrlclass), const char*>::value,
              "LWXPanelControl::ctrlclass");

// LWXPanelDataDesc
static_assert(std::is_same<decltype(LWXPanelDataDesc::vid), unsigned int>::value,
              "LWXPanelDataDesc::vid");
static_assert(std::is_same<decltype(LWXPanelDataDesc::name), const char*>::value,
              "LWXPanelDataDesc::name");
static_assert(std::is_same<decltype(LWXPanelDataDesc::datatype), const char*>::value,
              "LWXPanelDataDesc::datatype");

// LWXPDrawFuncs
static_assert(
    std::is_same<decltype(LWXPDrawFuncs::drawPixel), void (*)(LWXPDrAreaID, int, int, int)>::value,
    "LWXPDrawFuncs::drawPixel");
static_assert(std::is_same<decltype(LWXPDrawFuncs::drawRGBPixel),
                           void (*)(LWXPDrAreaID, int, int, int, int, int)>::value,
              "LWXPDrawFuncs::drawRGBPixel");
static_assert(std::is_same<decltype(LWXPDrawFuncs::drawLine),
                           void (*)(LWXPDrAreaID, int, int, int, int, int)>::value,
              "LWXPDrawFuncs::drawLine");
static_assert(std::is_same<decltype(LWXPDrawFuncs::drawBox),
                           void (*)(LWXPDrAreaID, int, int, int, int, int)>::value,
              "LWXPDrawFuncs::drawBox");
static_assert(std::is_same<decltype(LWXPDrawFuncs::drawRGBBox),
                           void (*)(LWXPDrAreaID, int, int, int, int, int, int, int)>::value,
              "LWXPDrawFuncs::drawRGBBox");
static_assert(std::is_same<decltype(LWXPDrawFuncs::drawBorder),
                           void (*)(LWXPDrAreaID, int, int, int, int, int)>::value,
              "LWXPDrawFuncs::drawBorder");
static_assert(std::is_same<decltype(LWXPDrawFuncs::textWidth), int (*)(LWXPDrAreaID, char*)>::value,
              "LWXPDrawFuncs::textWidth");
static_assert(
    std::is_same<decltype(LWXPDrawFuncs::textHeight), int (*)(LWXPDrAreaID, char*)>::value,
    "LWXPDrawFuncs::textHeight");
static_assert(std::is_same<decltype(LWXPDrawFuncs::drawText),
                           void (*)(LWXPDrAreaID, char*, int, int, int)>::value,
              "LWXPDrawFuncs::drawText");

// LWListInfo
static_assert(std::is_same<decltype(LWListInfo::index), int (*)(LWItemID)>::value,
              "LWListInfo::index");
static_assert(std::is_same<decltype(LWListInfo::reorder), int (*)(LWItemID*)>::value,
              "LWListInfo::reorder");
static_assert(std::is_same<decltype(LWListInfo::swap), int (*)(LWItemID*)>::value,
              "LWListInfo::swap");
static_assert(std::is_same<decltype(LWListInfo::splice), int (*)(LWItemID, LWItemID*)>::value,
              "LWListInfo::splice");

// LWMessageFuncs
static_assert(
    std::is_same<decltype(LWMessageFuncs::info), void (*)(const char*, const char*)>::value,
    "LWMessageFuncs::info");
static_assert(
    std::is_same<decltype(LWMessageFuncs::error), void (*)(const char*, const char*)>::value,
    "LWMessageFuncs::error");
static_assert(
    std::is_same<decltype(LWMessageFuncs::warning), void (*)(const char*, const char*)>::value,
    "LWMessageFuncs::warning");
static_assert(std::is_same<decltype(LWMessageFuncs::okCancel),
                           int (*)(const char*, const char*, const char*)>::value,
              "LWMessageFuncs::okCancel");
static_assert(std::is_same<decltype(LWMessageFuncs::yesNo),
                           int (*)(const char*, const char*, const char*)>::value,
              "LWMessageFuncs::yesNo");
static_assert(std::is_same<decltype(LWMessageFuncs::yesNoCan),
                           int (*)(const char*, const char*, const char*)>::value,
              "LWMessageFuncs::yesNoCan");
static_assert(std::is_same<decltype(LWMessageFuncs::yesNoAll),
                           int (*)(const char*, const char*, const char*)>::value,
              "LWMessageFuncs::yesNoAll");

// LWPanelFuncs
static_assert(std::is_same<decltype(LWPanelFuncs::create), LWPanelID (*)(char*, void*)>::value,
              "LWPanelFuncs::create");
static_assert(std::is_same<decltype(LWPanelFuncs::destroy), void (*)(LWPanelID)>::value,
              "LWPanelFuncs::destroy");
static_assert(std::is_same<decltype(LWPanelFuncs::open), int (*)(LWPanelID, int)>::value,
              "LWPanelFuncs::open");
static_assert(std::is_same<decltype(LWPanelFuncs::handle), int (*)(LWPanelID, int)>::value,
              "LWPanelFuncs::handle");
static_assert(std::is_same<decltype(LWPanelFuncs::draw), void (*)(LWPanelID, DrMode)>::value,
              "LWPanelFuncs::draw");
static_assert(std::is_same<decltype(LWPanelFuncs::close), void (*)(LWPanelID)>::value,
              "LWPanelFuncs::close");
static_assert(std::is_same<decltype(LWPanelFuncs::get), void (*)(LWPanelID, pTag, void*)>::value,
              "LWPanelFuncs::get");
static_assert(std::is_same<decltype(LWPanelFuncs::set), void (*)(LWPanelID, pTag, void*)>::value,
              "LWPanelFuncs::set");
static_assert(std::is_same<decltype(LWPanelFuncs::addControl),
                           LWControl* (*)(LWPanelID, char*, ControlDesc*, char*)>::value,
              "LWPanelFuncs::addControl");
static_assert(std::is_same<decltype(LWPanelFuncs::nextControl),
                           LWControl* (*)(LWPanelID, LWControlID)>::value,
              "LWPanelFuncs::nextControl");
static_assert(std::is_same<decltype(LWPanelFuncs::drawFuncs), DrawFuncs*>::value,
              "LWPanelFuncs::drawFuncs");
static_assert(std::is_same<decltype(LWPanelFuncs::user_data), void*>::value,
              "LWPanelFuncs::user_data");
static_assert(std::is_same<decltype(LWPanelFuncs::globalFun), GlobalFunc*>::value,
              "LWPanelFuncs::globalFun");

// LWControl
static_assert(std::is_same<decltype(LWControl::draw), void (*)(LWControlID, DrMode)>::value,
              "LWControl::draw");
static_assert(std::is_same<decltype(LWControl::get), void (*)(LWControlID, cTag, LWValue*)>::value,
              "LWControl::get");
static_assert(std::is_same<decltype(LWControl::set), void (*)(LWControlID, cTag, LWValue*)>::value,
              "LWControl::set");
static_assert(std::is_same<decltype(LWControl::priv_data), void*>::value, "LWControl::priv_data");

// DrawFuncs
static_assert(
    std::is_same<decltype(DrawFuncs::drawPixel), void (*)(LWPanelID, int, int, int)>::value,
    "DrawFuncs::drawPixel");
static_assert(std::is_same<decltype(DrawFuncs::drawRGBPixel),
                           void (*)(LWPanelID, int, int, int, int, int)>::value,
              "DrawFuncs::drawRGBPixel");
static_assert(std::is_same<decltype(DrawFuncs::drawLine),
                           void (*)(LWPanelID, int, int, int, int, int)>::value,
              "DrawFuncs::drawLine");
static_assert(
    std::is_same<decltype(DrawFuncs::drawBox), void (*)(LWPanelID, int, int, int, int, int)>::value,
    "DrawFuncs::drawBox");
static_assert(std::is_same<decltype(DrawFuncs::drawRGBBox),
                           void (*)(LWPanelID, int, int, int, int, int, int, int)>::value,
              "DrawFuncs::drawRGBBox");
static_assert(std::is_same<decltype(DrawFuncs::drawBorder),
                           void (*)(LWPanelID, int, int, int, int, int)>::value,
              "DrawFuncs::drawBorder");
static_assert(std::is_same<decltype(DrawFuncs::textWidth), int (*)(LWPanelID, char*)>::value,
              "DrawFuncs::textWidth");
static_assert(
    std::is_same<decltype(DrawFuncs::drawText), void (*)(LWPanelID, char*, int, int, int)>::value,
    "DrawFuncs::drawText");
static_assert(std::is_same<decltype(DrawFuncs::dispMetrics), const LWDisplayMetrics* (*)()>::value,
              "DrawFuncs::dispMetrics");

// display_Metrics
static_assert(std::is_same<decltype(display_Metrics::width), int>::value, "display_Metrics::width");
static_assert(std::is_same<decltype(display_Metrics::height), int>::value,
              "display_Metrics::height");
static_assert(std::is_same<decltype(display_Metrics::pixX), int>::value, "display_Metrics::pixX");
static_assert(std::is_same<decltype(display_Metrics::pixY), int>::value, "display_Metrics::pixY");
static_assert(std::is_same<decltype(display_Metrics::maxColors), int>::value,
              "display_Metrics::maxColors");
static_assert(std::is_same<decltype(display_Metrics::depth), int>::value, "display_Metrics::depth");
static_assert(std::is_same<decltype(display_Metrics::textHeight), int>::value,
              "display_Metrics::textHeight");
static_assert(std::is_same<decltype(display_Metrics::textAscent), int>::value,
              "display_Metrics::textAscent");

// LWValString
static_assert(std::is_same<decltype(LWValString::type), LWType>::value, "LWValString::type");
static_assert(std::is_same<decltype(LWValString::buf), char*>::value, "LWValString::buf");
static_assert(std::is_same<decltype(LWValString::bufLen), int>::value, "LWValString::bufLen");

// LWValInt
static_assert(std::is_same<decltype(LWValInt::type), LWType>::value, "LWValInt::type");
static_assert(std::is_same<decltype(LWValInt::value), int>::value, "LWValInt::value");
static_assert(std::is_same<decltype(LWValInt::defVal), int>::value, "LWValInt::defVal");

// LWValFloat
static_assert(std::is_same<decltype(LWValFloat::type), LWType>::value, "LWValFloat::type");
static_assert(std::is_same<decltype(LWValFloat::value), double>::value, "LWValFloat::value");
static_assert(std::is_same<decltype(LWValFloat::defVal), double>::value, "LWValFloat::defVal");

// LWValIVector
static_assert(std::is_same<decltype(LWValIVector::type), LWType>::value, "LWValIVector::type");
static_assert(std::is_same<decltype(LWValIVector::val), int[3]>::value, "LWValIVector::val");
static_assert(std::is_same<decltype(LWValIVector::defVal), int>::value, "LWValIVector::defVal");

// LWValFVector
static_assert(std::is_same<decltype(LWValFVector::type), LWType>::value, "LWValFVector::type");
static_assert(std::is_same<decltype(LWValFVector::val), double[3]>::value, "LWValFVector::val");
static_assert(std::is_same<decltype(LWValFVector::defVal), double>::value, "LWValFVector::defVal");

// LWValCustom
static_assert(std::is_same<decltype(LWValCustom::type), LWType>::value, "LWValCustom::type");
static_assert(std::is_same<decltype(LWValCustom::val), int[4]>::value, "LWValCustom::val");

// LWValPointer
static_assert(std::is_same<decltype(LWValPointer::type), LWType>::value, "LWValPointer::type");
static_assert(std::is_same<decltype(LWValPointer::ptr), void*>::value, "LWValPointer::ptr");

// LWValue
static_assert(std::is_same<decltype(LWValue::type), LWType>::value, "LWValue::type");
static_assert(std::is_same<decltype(LWValue::str), LWValString>::value, "LWValue::str");
static_assert(std::is_same<decltype(LWValue::intv), LWValInt>::value, "LWValue::intv");
static_assert(std::is_same<decltype(LWValue::flt), LWValFloat>::value, "LWValue::flt");
static_assert(std::is_same<decltype(LWValue::ivec), LWValIVector>::value, "LWValue::ivec");
static_assert(std::is_same<decltype(LWValue::fvec), LWValFVector>::value, "LWValue::fvec");
static_assert(std::is_same<decltype(LWValue::ptr), LWValPointer>::value, "LWValue::ptr");
static_assert(std::is_same<decltype(LWValue::cust), LWValCustom>::value, "LWValue::cust");

// LWPanControlDesc
static_assert(std::is_same<decltype(LWPanControlDesc::type), LWType>::value,
              "LWPanControlDesc::type");
static_assert(std::is_same<decltype(LWPanControlDesc::string), LWPanStringDesc>::value,
              "LWPanControlDesc::string");
static_assert(std::is_same<decltype(LWPanControlDesc::choice), LWPanChoiceDesc>::value,
              "LWPanControlDesc::choice");
static_assert(std::is_same<decltype(LWPanControlDesc::text), LWPanTextDesc>::value,
              "LWPanControlDesc::text");
static_assert(std::is_same<decltype(LWPanControlDesc::range), LWPanRangeDesc>::value,
              "LWPanControlDesc::range");
static_assert(std::is_same<decltype(LWPanControlDesc::area), LWPanAreaDesc>::value,
              "LWPanControlDesc::area");
static_assert(std::is_same<decltype(LWPanControlDesc::lwitem), LWPanLWItemDesc>::value,
              "LWPanControlDesc::lwitem");
static_assert(std::is_same<decltype(LWPanControlDesc::popup), LWPanPopupDesc>::value,
              "LWPanControlDesc::popup");
static_assert(std::is_same<decltype(LWPanControlDesc::listbox), LWPanListBoxDesc>::value,
              "LWPanControlDesc::listbox");
static_assert(std::is_same<decltype(LWPanControlDesc::xpanel), LWPanXPanDesc>::value,
              "LWPanControlDesc::xpanel");
static_assert(std::is_same<decltype(LWPanControlDesc::tree), LWPanTreeDesc>::value,
              "LWPanControlDesc::tree");
static_assert(std::is_same<decltype(LWPanControlDesc::multiList), LWPanMultiListBoxDesc>::value,
              "LWPanControlDesc::multiList");

// LWPanStringDesc
static_assert(std::is_same<decltype(LWPanStringDesc::type), LWType>::value,
              "LWPanStringDesc::type");
static_assert(std::is_same<decltype(LWPanStringDesc::width), int>::value, "LWPanStringDesc::width");

// LWPanChoiceDesc
static_assert(std::is_same<decltype(LWPanChoiceDesc::type), LWType>::value,
              "LWPanChoiceDesc::type");
static_assert(std::is_same<decltype(LWPanChoiceDesc::items), const char**>::value,
              "LWPanChoiceDesc::items");
static_assert(std::is_same<decltype(LWPanChoiceDesc::vertical), int>::value,
              "LWPanChoiceDesc::vertical");

// LWPanTextDesc
static_assert(std::is_same<decltype(LWPanTextDesc::type), LWType>::value, "LWPanTextDesc::type");
static_assert(std::is_same<decltype(LWPanTextDesc::text), const char**>::value,
              "LWPanTextDesc::text");

// LWPanRangeDesc
static_assert(std::is_same<decltype(LWPanRangeDesc::type), LWType>::value, "LWPanRangeDesc::type");
static_assert(std::is_same<decltype(LWPanRangeDesc::width), int>::value, "LWPanRangeDesc::width");
static_assert(std::is_same<decltype(LWPanRangeDesc::min), int>::value, "LWPanRangeDesc::min");
static_assert(std::is_same<decltype(LWPanRangeDesc::max), int>::value, "LWPanRangeDesc::max");

// LWPanAreaDesc
static_assert(std::is_same<decltype(LWPanAreaDesc::type), LWType>::value, "LWPanAreaDesc::type");
static_assert(std::is_same<decltype(LWPanAreaDesc::width), int>::value, "LWPanAreaDesc::width");
static_assert(std::is_same<decltype(LWPanAreaDesc::height), int>::value, "LWPanAreaDesc::height");

// LWPanLWItemDesc
static_assert(std::is_same<decltype(LWPanLWItemDesc::type), LWType>::value,
              "LWPanLWItemDesc::type");
static_assert(std::is_same<decltype(LWPanLWItemDesc::global), void*>::value,
              "LWPanLWItemDesc::global");
static_assert(std::is_same<decltype(LWPanLWItemDesc::itemType), int>::value,
              "LWPanLWItemDesc::itemType");
static_assert(std::is_same<decltype(LWPanLWItemDesc::list), char**>::value,
              "LWPanLWItemDesc::list");
static_assert(std::is_same<decltype(LWPanLWItemDesc::count), int>::value, "LWPanLWItemDesc::count");
static_assert(std::is_same<decltype(LWPanLWItemDesc::width), int>::value, "LWPanLWItemDesc::width");

// LWPanPopupDesc
static_assert(std::is_same<decltype(LWPanPopupDesc::type), LWType>::value, "LWPanPopupDesc::type");
static_assert(std::is_same<decltype(LWPanPopupDesc::width), int>::value, "LWPanPopupDesc::width");
static_assert(std::is_same<decltype(LWPanPopupDesc::countFn), int (*)(void*)>::value,
              "LWPanPopupDesc::countFn");
static_assert(std::is_same<decltype(LWPanPopupDesc::nameFn), char* (*)(void*, int)>::value,
              "LWPanPopupDesc::nameFn");

// LWPanListBoxDesc
static_assert(std::is_same<decltype(LWPanListBoxDesc::type), LWType>::value,
              "LWPanListBoxDesc::type");
static_assert(std::is_same<decltype(LWPanListBoxDesc::width), int>::value,
              "LWPanListBoxDesc::width");
static_assert(std::is_same<decltype(LWPanListBoxDesc::visItems), int>::value,
              "LWPanListBoxDesc::visItems");
static_assert(std::is_same<decltype(LWPanListBoxDesc::top), int>::value, "LWPanListBoxDesc::top");
static_assert(std::is_same<decltype(LWPanListBoxDesc::countFn), int (*)(void*)>::value,
              "LWPanListBoxDesc::countFn");
static_assert(std::is_same<decltype(LWPanListBoxDesc::nameFn), char* (*)(void*, int)>::value,
              "LWPanListBoxDesc::nameFn");

// LWPanMultiListBoxDesc
static_assert(std::is_same<decltype(LWPanMultiListBoxDesc::type), LWType>::value,
              "LWPanMultiListBoxDesc::type");
static_assert(std::is_same<decltype(LWPanMultiListBoxDesc::width), int>::value,
              "LWPanMultiListBoxDesc::width");
static_assert(std::is_same<decltype(LWPanMultiListBoxDesc::visItems), int>::value,
              "LWPanMultiListBoxDesc::visItems");
static_assert(std::is_same<decltype(LWPanMultiListBoxDesc::top), int>::value,
              "LWPanMultiListBoxDesc::top");
static_assert(std::is_same<decltype(LWPanMultiListBoxDesc::countFn), int (*)(void*)>::value,
              "LWPanMultiListBoxDesc::countFn");
static_assert(
    std::is_same<decltype(LWPanMultiListBoxDesc::nameFn), char* (*)(void*, int, int)>::value,
    "LWPanMultiListBoxDesc::nameFn");
static_assert(std::is_same<decltype(LWPanMultiListBoxDesc::colWidth), int (*)(void*, int)>::value,
              "LWPanMultiListBoxDesc::colWidth");

// LWPanXPanDesc
static_assert(std::is_same<decltype(LWPanXPanDesc::type), LWType>::value, "LWPanXPanDesc::type");
static_assert(std::is_same<decltype(LWPanXPanDesc::width), int>::value, "LWPanXPanDesc::width");
static_assert(std::is_same<decltype(LWPanXPanDesc::height), int>::value, "LWPanXPanDesc::height");
static_assert(std::is_same<decltype(LWPanXPanDesc::xpan), void*>::value, "LWPanXPanDesc::xpan");

// LWPanTreeDesc
static_assert(std::is_same<decltype(LWPanTreeDesc::type), LWType>::value, "LWPanTreeDesc::type");
static_assert(std::is_same<decltype(LWPanTreeDesc::width), int>::value, "LWPanTreeDesc::width");
static_assert(std::is_same<decltype(LWPanTreeDesc::height), int>::value, "LWPanTreeDesc::height");
static_assert(std::is_same<decltype(LWPanTreeDesc::countFn), int (*)(void*, void*)>::value,
              "LWPanTreeDesc::countFn");
static_assert(std::is_same<decltype(LWPanTreeDesc::leafFn), void* (*)(void*, void*, int)>::value,
              "LWPanTreeDesc::leafFn");
static_assert(std::is_same<decltype(LWPanTreeDesc::infoFn), char* (*)(void*, void*, int*)>::value,
              "LWPanTreeDesc::infoFn");
static_assert(
    std::is_same<decltype(LWPanTreeDesc::moveFn), void (*)(void*, void*, void*, int)>::value,
    "LWPanTreeDesc::moveFn");

// ContextMenuFuncs
static_assert(std::is_same<decltype(ContextMenuFuncs::cmenuCreate),
                           LWContextMenuID (*)(LWPanPopupDesc*, void*)>::value,
              "ContextMenuFuncs::cmenuCreate");
static_assert(std::is_same<decltype(ContextMenuFuncs::cmenuDeploy),
                           int (*)(LWContextMenuID, LWPanelID, int)>::value,
              "ContextMenuFuncs::cmenuDeploy");
static_assert(
    std::is_same<decltype(ContextMenuFuncs::cmenuDestroy), void (*)(LWContextMenuID)>::value,
    "ContextMenuFuncs::cmenuDestroy");

// LWRasterFuncs
static_assert(
    std::is_same<decltype(LWRasterFuncs::drawPixel), void (*)(LWRasterID, int, int, int)>::value,
    "LWRasterFuncs::drawPixel");
static_assert(std::is_same<decltype(LWRasterFuncs::drawRGBPixel),
                           void (*)(LWRasterID, int, int, int, int, int)>::value,
              "LWRasterFuncs::drawRGBPixel");
static_assert(std::is_same<decltype(LWRasterFuncs::drawLine),
                           void (*)(LWRasterID, int, int, int, int, int)>::value,
              "LWRasterFuncs::drawLine");
static_assert(std::is_same<decltype(LWRasterFuncs::drawBox),
                           void (*)(LWRasterID, int, int, int, int, int)>::value,
              "LWRasterFuncs::drawBox");
static_assert(std::is_same<decltype(LWRasterFuncs::drawRGBBox),
                           void (*)(LWRasterID, int, int, int, int, int, int, int)>::value,
              "LWRasterFuncs::drawRGBBox");
static_assert(std::is_same<decltype(LWRasterFuncs::eraseBox),
                           void (*)(LWRasterID, int, int, int, int)>::value,
              "LWRasterFuncs::eraseBox");
static_assert(std::is_same<decltype(LWRasterFuncs::drawBorder),
                           void (*)(LWRasterID, int, int, int, int, int)>::value,
              "LWRasterFuncs::drawBorder");
static_assert(std::is_same<decltype(LWRasterFuncs::drawText),
                           void (*)(LWRasterID, char*, int, int, int)>::value,
              "LWRasterFuncs::drawText");
static_assert(std::is_same<decltype(LWRasterFuncs::create), LWRasterID (*)(int, int, int)>::value,
              "LWRasterFuncs::create");
static_assert(std::is_same<decltype(LWRasterFuncs::destroy), void (*)(LWRasterID)>::value,
              "LWRasterFuncs::destroy");
static_assert(std::is_same<decltype(LWRasterFuncs::blitPanel),
                           void (*)(LWRasterID, int, int, LWPanelID, int, int, int, int)>::value,
              "LWRasterFuncs::blitPanel");
static_assert(std::is_same<decltype(LWRasterFuncs::blitRaster),
                           void (*)(LWRasterID, int, int, LWRasterID, int, int, int, int)>::value,
              "LWRasterFuncs::blitRaster");

// LWSceneInfo
static_assert(std::is_same<decltype(LWSceneInfo::name), const char*>::value, "LWSceneInfo::name");
static_assert(std::is_same<decltype(LWSceneInfo::filename), const char*>::value,
              "LWSceneInfo::filename");
static_assert(std::is_same<decltype(LWSceneInfo::numPoints), int>::value, "LWSceneInfo::numPoints");
static_assert(std::is_same<decltype(LWSceneInfo::numPolygons), int>::value,
              "LWSceneInfo::numPolygons");
static_assert(std::is_same<decltype(LWSceneInfo::renderType), int>::value,
              "LWSceneInfo::renderType");
static_assert(std::is_same<decltype(LWSceneInfo::renderOpts), int>::value,
              "LWSceneInfo::renderOpts");
static_assert(std::is_same<decltype(LWSceneInfo::frameStart), LWFrame>::value,
              "LWSceneInfo::frameStart");
static_assert(std::is_same<decltype(LWSceneInfo::frameEnd), LWFrame>::value,
              "LWSceneInfo::frameEnd");
static_assert(std::is_same<decltype(LWSceneInfo::frameStep), LWFrame>::value,
              "LWSceneInfo::frameStep");
static_assert(std::is_same<decltype(LWSceneInfo::framesPerSecond), double>::value,
              "LWSceneInfo::framesPerSecond");
static_assert(std::is_same<decltype(LWSceneInfo::frameWidth), int>::value,
              "LWSceneInfo::frameWidth");
static_assert(std::is_same<decltype(LWSceneInfo::frameHeight), int>::value,
              "LWSceneInfo::frameHeight");
static_assert(std::is_same<decltype(LWSceneInfo::pixelAspect), double>::value,
              "LWSceneInfo::pixelAspect");
static_assert(std::is_same<decltype(LWSceneInfo::minSamplesPerPixel), int>::value,
              "LWSceneInfo::minSamplesPerPixel");
static_assert(std::is_same<decltype(LWSceneInfo::maxSamplesPerPixel), int>::value,
              "LWSceneInfo::maxSamplesPerPixel");
static_assert(std::is_same<decltype(LWSceneInfo::limitedRegion), int[4]>::value,
              "LWSceneInfo::limitedRegion");
static_assert(std::is_same<decltype(LWSceneInfo::recursionDepth), int>::value,
              "LWSceneInfo::recursionDepth");
static_assert(std::is_same<decltype(LWSceneInfo::renderCamera), LWItemID (*)(LWTime)>::value,
              "LWSceneInfo::renderCamera");
static_assert(std::is_same<decltype(LWSceneInfo::numThreads), int>::value,
              "LWSceneInfo::numThreads");
static_assert(std::is_same<decltype(LWSceneInfo::animFilename), const char*>::value,
              "LWSceneInfo::animFilename");
static_assert(std::is_same<decltype(LWSceneInfo::RGBPrefix), const char*>::value,
              "LWSceneInfo::RGBPrefix");
static_assert(std::is_same<decltype(LWSceneInfo::alphaPrefix), const char*>::value,
              "LWSceneInfo::alphaPrefix");
static_assert(std::is_same<decltype(LWSceneInfo::antialiasing), int>::value,
              "LWSceneInfo::antialiasing");
static_assert(std::is_same<decltype(LWSceneInfo::enhancedAA), int>::value,
              "LWSceneInfo::enhancedAA");
static_assert(std::is_same<decltype(LWSceneInfo::adaptiveSampling), int>::value,
              "LWSceneInfo::adaptiveSampling");
static_assert(std::is_same<decltype(LWSceneInfo::adaptiveThreshold), float>::value,
              "LWSceneInfo::adaptiveThreshold");
static_assert(std::is_same<decltype(LWSceneInfo::filter), int>::value, "LWSceneInfo::filter");
static_assert(std::is_same<decltype(LWSceneInfo::dblSidedAreaLights), int>::value,
              "LWSceneInfo::dblSidedAreaLights");
static_assert(std::is_same<decltype(LWSceneInfo::loadInProgress), int>::value,
              "LWSceneInfo::loadInProgress");
static_assert(std::is_same<decltype(LWSceneInfo::radiosityType), int>::value,
              "LWSceneInfo::radiosityType");
static_assert(std::is_same<decltype(LWSceneInfo::radiosityIndirectBounceCount), int>::value,
              "LWSceneInfo::radiosityIndirectBounceCount");
static_assert(std::is_same<decltype(LWSceneInfo::radiosityRaysPerEvaluation1), int>::value,
              "LWSceneInfo::radiosityRaysPerEvaluation1");
static_assert(std::is_same<decltype(LWSceneInfo::radiosityRaysPerEvaluation2), int>::value,
              "LWSceneInfo::radiosityRaysPerEvaluation2");
static_assert(std::is_same<decltype(LWSceneInfo::radiosityIntensity), double>::value,
              "LWSceneInfo::radiosityIntensity");
static_assert(std::is_same<decltype(LWSceneInfo::radiosityAngularTolerance), double>::value,
              "LWSceneInfo::radiosityAngularTolerance");
static_assert(std::is_same<decltype(LWSceneInfo::radiosityMinimumPixelSpacing), double>::value,
              "LWSceneInfo::radiosityMinimumPixelSpacing");
static_assert(std::is_same<decltype(LWSceneInfo::radiosityMaximumPixelSpacing), double>::value,
              "LWSceneInfo::radiosityMaximumPixelSpacing");
static_assert(std::is_same<decltype(LWSceneInfo::radiosityMultiplier), double>::value,
              "LWSceneInfo::radiosityMultiplier");
static_assert(std::is_same<decltype(LWSceneInfo::radiosityFileName), const char*>::value,
              "LWSceneInfo::radiosityFileName");
static_assert(std::is_same<decltype(LWSceneInfo::causticsIntensity), double>::value,
              "LWSceneInfo::causticsIntensity");
static_assert(std::is_same<decltype(LWSceneInfo::causticsAccuracy), int>::value,
              "LWSceneInfo::causticsAccuracy");
static_assert(std::is_same<decltype(LWSceneInfo::causticsSoftness), int>::value,
              "LWSceneInfo::causticsSoftness");
static_assert(std::is_same<decltype(LWSceneInfo::radiosityFlags), int>::value,
              "LWSceneInfo::radiosityFlags");
static_assert(std::is_same<decltype(LWSceneInfo::dynamicsRangeMin), double>::value,
              "LWSceneInfo::dynamicsRangeMin");
static_assert(std::is_same<decltype(LWSceneInfo::dynamicsRangeMax), double>::value,
              "LWSceneInfo::dynamicsRangeMax");
static_assert(std::is_same<decltype(LWSceneInfo::saturation), double>::value,
              "LWSceneInfo::saturation");
static_assert(std::is_same<decltype(LWSceneInfo::pixelFilterForceMT), int>::value,
              "LWSceneInfo::pixelFilterForceMT");
static_assert(std::is_same<decltype(LWSceneInfo::has_multithreaded_filters), int>::value,
              "LWSceneInfo::has_multithreaded_filters");
static_assert(std::is_same<decltype(LWSceneInfo::useZminmax), int>::value,
              "LWSceneInfo::useZminmax");
static_assert(std::is_same<decltype(LWSceneInfo::zmin), double>::value, "LWSceneInfo::zmin");
static_assert(std::is_same<decltype(LWSceneInfo::zmax), double>::value, "LWSceneInfo::zmax");
static_assert(std::is_same<decltype(LWSceneInfo::rendermode), int>::value,
              "LWSceneInfo::rendermode");
static_assert(std::is_same<decltype(LWSceneInfo::calculateallnormals), int>::value,
              "LWSceneInfo::calculateallnormals");
static_assert(std::is_same<decltype(LWSceneInfo::enableLenseFlares), int>::value,
              "LWSceneInfo::enableLenseFlares");
static_assert(std::is_same<decltype(LWSceneInfo::lenseFlareIntensity), double>::value,
              "LWSceneInfo::lenseFlareIntensity");

// LWMTUtilFuncs
static_assert(std::is_same<decltype(LWMTUtilFuncs::create), LWMTUtilID (*)(void)>::value,
              "LWMTUtilFuncs::create");
static_assert(std::is_same<decltype(LWMTUtilFuncs::destroy), void (*)(LWMTUtilID)>::value,
              "LWMTUtilFuncs::destroy");
static_assert(std::is_same<decltype(LWMTUtilFuncs::lock), int (*)(LWMTUtilID, int)>::value,
              "LWMTUtilFuncs::lock");
static_assert(std::is_same<decltype(LWMTUtilFuncs::unlock), int (*)(LWMTUtilID, int)>::value,
              "LWMTUtilFuncs::unlock");
static_assert(std::is_same<decltype(LWMTUtilFuncs::groupCreate), LWMTGroupID (*)(int)>::value,
              "LWMTUtilFuncs::groupCreate");
static_assert(std::is_same<decltype(LWMTUtilFuncs::groupDestroy), void (*)(LWMTGroupID)>::value,
              "LWMTUtilFuncs::groupDestroy");
static_assert(
    std::is_same<decltype(LWMTUtilFuncs::groupLockMutex), int (*)(LWMTGroupID, int)>::value,
    "LWMTUtilFuncs::groupLockMutex");
static_assert(
    std::is_same<decltype(LWMTUtilFuncs::groupUnlockMutex), int (*)(LWMTGroupID, int)>::value,
    "LWMTUtilFuncs::groupUnlockMutex");
static_assert(std::is_same<decltype(LWMTUtilFuncs::groupAddThread),
                           LWMTThreadID (*)(LWMTGroupID, LWMTThreadFunc, int, void*)>::value,
              "LWMTUtilFuncs::groupAddThread");
static_assert(std::is_same<decltype(LWMTUtilFuncs::groupGetThreadID),
                           LWMTThreadID (*)(LWMTGroupID, int)>::value,
              "LWMTUtilFuncs::groupGetThreadID");
static_assert(
    std::is_same<decltype(LWMTUtilFuncs::groupGetThreadCount), int (*)(LWMTGroupID)>::value,
    "LWMTUtilFuncs::groupGetThreadCount");
static_assert(std::is_same<decltype(LWMTUtilFuncs::groupRun), int (*)(LWMTGroupID)>::value,
              "LWMTUtilFuncs::groupRun");
static_assert(std::is_same<decltype(LWMTUtilFuncs::groupBegin), int (*)(LWMTGroupID)>::value,
              "LWMTUtilFuncs::groupBegin");
static_assert(std::is_same<decltype(LWMTUtilFuncs::groupSync), void (*)(LWMTGroupID)>::value,
              "LWMTUtilFuncs::groupSync");
static_assert(std::is_same<decltype(LWMTUtilFuncs::groupAbort), void (*)(LWMTGroupID)>::value,
              "LWMTUtilFuncs::groupAbort");
static_assert(std::is_same<decltype(LWMTUtilFuncs::groupKill), void (*)(LWMTGroupID)>::value,
              "LWMTUtilFuncs::groupKill");
static_assert(std::is_same<decltype(LWMTUtilFuncs::groupIsDone), int (*)(LWMTGroupID)>::value,
              "LWMTUtilFuncs::groupIsDone");
static_assert(std::is_same<decltype(LWMTUtilFuncs::groupIsAborted), int (*)(LWMTGroupID)>::value,
              "LWMTUtilFuncs::groupIsAborted");
static_assert(
    std::is_same<decltype(LWMTUtilFuncs::groupThreadResult), int (*)(LWMTGroupID, int)>::value,
    "LWMTUtilFuncs::groupThreadResult");
static_assert(std::is_same<decltype(LWMTUtilFuncs::threadGetID), LWMTThreadID (*)(void)>::value,
              "LWMTUtilFuncs::threadGetID");
static_assert(std::is_same<decltype(LWMTUtilFuncs::threadSetData), void (*)(void*)>::value,
              "LWMTUtilFuncs::threadSetData");
static_assert(std::is_same<decltype(LWMTUtilFuncs::threadGetData), void* (*)(void)>::value,
              "LWMTUtilFuncs::threadGetData");
static_assert(std::is_same<decltype(LWMTUtilFuncs::threadGetArg), void* (*)(void)>::value,
              "LWMTUtilFuncs::threadGetArg");
static_assert(
    std::is_same<decltype(LWMTUtilFuncs::threadGetArgByID), void* (*)(LWMTThreadID)>::value,
    "LWMTUtilFuncs::threadGetArgByID");
static_assert(std::is_same<decltype(LWMTUtilFuncs::threadGetIndex), int (*)(void)>::value,
              "LWMTUtilFuncs::threadGetIndex");
static_assert(
    std::is_same<decltype(LWMTUtilFuncs::threadGetIndexByID), int (*)(LWMTThreadID)>::value,
    "LWMTUtilFuncs::threadGetIndexByID");
static_assert(
    std::is_same<decltype(LWMTUtilFuncs::threadGetThreadCount), int (*)(LWMTThreadID)>::value,
    "LWMTUtilFuncs::threadGetThreadCount");
static_assert(
    std::is_same<decltype(LWMTUtilFuncs::threadGetGroupID), LWMTGroupID (*)(LWMTThreadID)>::value,
    "LWMTUtilFuncs::threadGetGroupID");
static_assert(std::is_same<decltype(LWMTUtilFuncs::threadCheckAbort), int (*)(void)>::value,
              "LWMTUtilFuncs::threadCheckAbort");
static_assert(
    std::is_same<decltype(LWMTUtilFuncs::threadCheckAbortByID), int (*)(LWMTThreadID)>::value,
    "LWMTUtilFuncs::threadCheckAbortByID");
static_assert(std::is_same<decltype(LWMTUtilFuncs::threadSleep), void (*)(int)>::value,
              "LWMTUtilFuncs::threadSleep");
static_assert(std::is_same<decltype(LWMTUtilFuncs::threadSetArg), void (*)(void*)>::value,
              "LWMTUtilFuncs::threadSetArg");
static_assert(std::is_same<decltype(LWMTUtilFuncs::threadSetIndex), void (*)(int)>::value,
              "LWMTUtilFuncs::threadSetIndex");
static_assert(
    std::is_same<decltype(LWMTUtilFuncs::groupWait), int (*)(LWMTGroupID, unsigned int)>::value,
    "LWMTUtilFuncs::groupWait");
static_assert(std::is_same<decltype(LWMTUtilFuncs::rwlockCreate), LWMTRWLockID (*)(void)>::value,
              "LWMTUtilFuncs::rwlockCreate");
static_assert(std::is_same<decltype(LWMTUtilFuncs::rwlockDestroy), void (*)(LWMTRWLockID)>::value,
              "LWMTUtilFuncs::rwlockDestroy");
static_assert(std::is_same<decltype(LWMTUtilFuncs::rwlockReadLock), void (*)(LWMTRWLockID)>::value,
              "LWMTUtilFuncs::rwlockReadLock");
static_assert(std::is_same<decltype(LWMTUtilFuncs::rwlockReadLockTimeout),
                           int (*)(LWMTRWLockID, unsigned int)>::value,
              "LWMTUtilFuncs::rwlockReadLockTimeout");
static_assert(
    std::is_same<decltype(LWMTUtilFuncs::rwlockReadUnlock), void (*)(LWMTRWLockID)>::value,
    "LWMTUtilFuncs::rwlockReadUnlock");
static_assert(std::is_same<decltype(LWMTUtilFuncs::rwlockWriteLock), void (*)(LWMTRWLockID)>::value,
              "LWMTUtilFuncs::rwlockWriteLock");
static_assert(
    std::is_same<decltype(LWMTUtilFuncs::rwlockWriteUnlock), void (*)(LWMTRWLockID)>::value,
    "LWMTUtilFuncs::rwlockWriteUnlock");
static_assert(
    std::is_same<decltype(LWMTUtilFuncs::rwlockWriteToReadLock), void (*)(LWMTRWLockID)>::value,
    "LWMTUtilFuncs::rwlockWriteToReadLock");

// LWViewportInfo
static_assert(std::is_same<decltype(LWViewportInfo::numViewports), int>::value,
              "LWViewportInfo::numViewports");
static_assert(std::is_same<decltype(LWViewportInfo::type), int (*)(int)>::value,
              "LWViewportInfo::type");
static_assert(std::is_same<decltype(LWViewportInfo::flags), unsigned int (*)(int)>::value,
              "LWViewportInfo::flags");
static_assert(std::is_same<decltype(LWViewportInfo::pos), void (*)(int, LWDVector)>::value,
              "LWViewportInfo::pos");
static_assert(std::is_same<decltype(LWViewportInfo::xfrm), void (*)(int, double[9])>::value,
              "LWViewportInfo::xfrm");
static_assert(std::is_same<decltype(LWViewportInfo::clip), void (*)(int, double*, double*)>::value,
              "LWViewportInfo::clip");
static_assert(
    std::is_same<decltype(LWViewportInfo::rect), void (*)(int, int*, int*, int*, int*)>::value,
    "LWViewportInfo::rect");
static_assert(std::is_same<decltype(LWViewportInfo::viewLevel), int (*)(int)>::value,
              "LWViewportInfo::viewLevel");
static_assert(
    std::is_same<decltype(LWViewportInfo::projection), int (*)(int, LWDMatrix4, LWDMatrix4)>::value,
    "LWViewportInfo::projection");
static_assert(
    std::is_same<decltype(LWViewportInfo::modelview), int (*)(int, LWDMatrix4, LWDMatrix4)>::value,
    "LWViewportInfo::modelview");
static_assert(std::is_same<decltype(LWViewportInfo::project),
                           int (*)(int, LWDVector, double*, double*, double*)>::value,
              "LWViewportInfo::project");
static_assert(std::is_same<decltype(LWViewportInfo::unproject),
                           int (*)(int, double, double, double, LWDVector)>::value,
              "LWViewportInfo::unproject");
static_assert(
    std::is_same<decltype(LWViewportInfo::pixelSize), double (*)(int, double, LWDVector)>::value,
    "LWViewportInfo::pixelSize");
static_assert(std::is_same<decltype(LWViewportInfo::handleSize), int (*)(int)>::value,
              "LWViewportInfo::handleSize");
static_assert(std::is_same<decltype(LWViewportInfo::gridSize), double (*)(int)>::value,
              "LWViewportInfo::gridSize");
static_assert(std::is_same<decltype(LWViewportInfo::viewItem), LWItemID (*)(int)>::value,
              "LWViewportInfo::viewItem");

// LWInterfaceInfo
static_assert(std::is_same<decltype(LWInterfaceInfo::curTime), LWTime>::value,
              "LWInterfaceInfo::curTime");
static_assert(std::is_same<decltype(LWInterfaceInfo::selItems), const LWItemID*>::value,
              "LWInterfaceInfo::selItems");
static_assert(std::is_same<decltype(LWInterfaceInfo::itemFlags), unsigned int (*)(LWItemID)>::value,
              "LWInterfaceInfo::itemFlags");
static_assert(std::is_same<decltype(LWInterfaceInfo::previewStart), LWFrame>::value,
              "LWInterfaceInfo::previewStart");
static_assert(std::is_same<decltype(LWInterfaceInfo::previewEnd), LWFrame>::value,
              "LWInterfaceInfo::previewEnd");
static_assert(std::is_same<decltype(LWInterfaceInfo::previewStep), LWFrame>::value,
              "LWInterfaceInfo::previewStep");
static_assert(std::is_same<decltype(LWInterfaceInfo::dynaUpdate), int>::value,
              "LWInterfaceInfo::dynaUpdate");
static_assert(
    std::is_same<decltype(LWInterfaceInfo::schemaPos), void (*)(LWItemID, double*, double*)>::value,
    "LWInterfaceInfo::schemaPos");
static_assert(std::is_same<decltype(LWInterfaceInfo::itemVis), int (*)(LWItemID)>::value,
              "LWInterfaceInfo::itemVis");
static_assert(std::is_same<decltype(LWInterfaceInfo::displayFlags), unsigned int>::value,
              "LWInterfaceInfo::displayFlags");
static_assert(std::is_same<decltype(LWInterfaceInfo::generalFlags), unsigned int>::value,
              "LWInterfaceInfo::generalFlags");
static_assert(std::is_same<decltype(LWInterfaceInfo::boxThreshold), int>::value,
              "LWInterfaceInfo::boxThreshold");
static_assert(std::is_same<decltype(LWInterfaceInfo::itemColor), int (*)(LWItemID)>::value,
              "LWInterfaceInfo::itemColor");
static_assert(
    std::is_same<decltype(LWInterfaceInfo::setItemColorIndex), void (*)(LWItemID, int)>::value,
    "LWInterfaceInfo::setItemColorIndex");
static_assert(
    std::is_same<decltype(LWInterfaceInfo::setItemColorCustom), void (*)(LWItemID, double*)>::value,
    "LWInterfaceInfo::setItemColorCustom");
static_assert(std::is_same<decltype(LWInterfaceInfo::alertLevel), int>::value,
              "LWInterfaceInfo::alertLevel");
static_assert(std::is_same<decltype(LWInterfaceInfo::autoKeyCreate), int>::value,
              "LWInterfaceInfo::autoKeyCreate");
static_assert(std::is_same<decltype(LWInterfaceInfo::defaultItemTypeColor),
                           void (*)(LWItemType, float*, int)>::value,
              "LWInterfaceInfo::defaultItemTypeColor");
static_assert(std::is_same<decltype(LWInterfaceInfo::itemColorRgba),
                           void (*)(LWItemID, unsigned int, float[4])>::value,
              "LWInterfaceInfo::itemColorRgba");
static_assert(std::is_same<decltype(LWInterfaceInfo::itemIconScale), float (*)(LWItemID)>::value,
              "LWInterfaceInfo::itemIconScale");

// LWHandler
static_assert(std::is_same<decltype(LWHandler::inst), LWInstanceFuncs*>::value, "LWHandler::inst");

// LWItemHandler
static_assert(std::is_same<decltype(LWItemHandler::inst), LWInstanceFuncs*>::value,
              "LWItemHandler::inst");
static_assert(std::is_same<decltype(LWItemHandler::item), LWItemFuncs*>::value,
              "LWItemHandler::item");

// LWRenderHandler
static_assert(std::is_same<decltype(LWRenderHandler::inst), LWInstanceFuncs*>::value,
              "LWRenderHandler::inst");
static_assert(std::is_same<decltype(LWRenderHandler::item), LWItemFuncs*>::value,
              "LWRenderHandler::item");
static_assert(std::is_same<decltype(LWRenderHandler::rend), LWRenderFuncs*>::value,
              "LWRenderHandler::rend");

// LWTool
static_assert(std::is_same<decltype(LWTool::instance), LWInstance>::value, "LWTool::instance");
static_assert(std::is_same<decltype(LWTool::tool), LWToolFuncs*>::value, "LWTool::tool");

// DyValString
static_assert(std::is_same<decltype(DyValString::type), DynaType>::value, "DyValString::type");
static_assert(std::is_same<decltype(DyValString::buf), char*>::value, "DyValString::buf");
static_assert(std::is_same<decltype(DyValString::bufLen), int>::value, "DyValString::bufLen");

// DyValInt
static_assert(std::is_same<decltype(DyValInt::type), DynaType>::value, "DyValInt::type");
static_assert(std::is_same<decltype(DyValInt::value), int>::value, "DyValInt::value");
static_assert(std::is_same<decltype(DyValInt::defVal), int>::value, "DyValInt::defVal");

// DyValFloat
static_assert(std::is_same<decltype(DyValFloat::type), DynaType>::value, "DyValFloat::type");
static_assert(std::is_same<decltype(DyValFloat::value), double>::value, "DyValFloat::value");
static_assert(std::is_same<decltype(DyValFloat::defVal), double>::value, "DyValFloat::defVal");

// DyValIVector
static_assert(std::is_same<decltype(DyValIVector::type), DynaType>::value, "DyValIVector::type");
static_assert(std::is_same<decltype(DyValIVector::val), int[3]>::value, "DyValIVector::val");
static_assert(std::is_same<decltype(DyValIVector::defVal), int>::value, "DyValIVector::defVal");

// DyValFVector
static_assert(std::is_same<decltype(DyValFVector::type), DynaType>::value, "DyValFVector::type");
static_assert(std::is_same<decltype(DyValFVector::val), double[3]>::value, "DyValFVector::val");
static_assert(std::is_same<decltype(DyValFVector::defVal), double>::value, "DyValFVector::defVal");

// DyValPointer
static_assert(std::is_same<decltype(DyValPointer::type), DynaType>::value, "DyValPointer::type");
static_assert(std::is_same<decltype(DyValPointer::ptr), void*>::value, "DyValPointer::ptr");

// DyValCustom
static_assert(std::is_same<decltype(DyValCustom::type), DynaType>::value, "DyValCustom::type");
static_assert(std::is_same<decltype(DyValCustom::val), size_t[4]>::value, "DyValCustom::val");

// DynaValue
static_assert(std::is_same<decltype(DynaValue::type), DynaType>::value, "DynaValue::type");
static_assert(std::is_same<decltype(DynaValue::str), DyValString>::value, "DynaValue::str");
static_assert(std::is_same<decltype(DynaValue::intv), DyValInt>::value, "DynaValue::intv");
static_assert(std::is_same<decltype(DynaValue::flt), DyValFloat>::value, "DynaValue::flt");
static_assert(std::is_same<decltype(DynaValue::ivec), DyValIVector>::value, "DynaValue::ivec");
static_assert(std::is_same<decltype(DynaValue::fvec), DyValFVector>::value, "DynaValue::fvec");
static_assert(std::is_same<decltype(DynaValue::ptr), DyValPointer>::value, "DynaValue::ptr");
static_assert(std::is_same<decltype(DynaValue::cust), DyValCustom>::value, "DynaValue::cust");

struct Row {
    const char* record;
    const char* member; // nullptr: the record itself
    size_t value;       // offsetof, or sizeof for the record row
    size_t lp64;        // expected on LP64
    int count;          // members, record rows only
};

const std::vector<Row>& cxxRows() {
    static const std::vector<Row> rows = {
#define SDK_RECORD(T, n, lp64size) {#T, nullptr, sizeof(T), lp64size, n},
#define SDK_MEMBER(T, m, lp64off) {#T, #m, offsetof(T, m), lp64off, 0},
#include "records.inc"
#undef SDK_RECORD
#undef SDK_MEMBER
    };
    return rows;
}

bool isUnion(const std::string& name) {
    return name == "LWValue" || name == "LWPanControlDesc" || name == "DynaValue";
}

constexpr bool kLp64 = sizeof(void*) == 8 && sizeof(long) == 8 && sizeof(int) == 4;

TEST(SdkLayout, MembersFollowDeclaredOrder) {
    const auto& rows = cxxRows();
    std::string record;
    size_t last = 0;
    bool first = true;
    for (const Row& r : rows) {
        if (!r.member) {
            record = r.record;
            first = true;
            continue;
        }
        if (isUnion(record)) {
            EXPECT_EQ(r.value, 0u) << record << "::" << r.member;
        } else if (first) {
            EXPECT_EQ(r.value, 0u) << record << "::" << r.member << " must lead the record";
        } else {
            EXPECT_GT(r.value, last) << record << "::" << r.member << " is out of order";
        }
        last = r.value;
        first = false;
    }
}

TEST(SdkLayout, MemberCountsMatchTheRecordTable) {
    const auto& rows = cxxRows();
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].member) continue;
        int n = 0;
        for (size_t j = i + 1; j < rows.size() && rows[j].member; ++j)
            ++n;
        EXPECT_EQ(n, rows[i].count) << rows[i].record;
    }
}

TEST(SdkLayout, Lp64OffsetsAndSizes) {
    if (!kLp64) GTEST_SKIP() << "expected numbers are for LP64";
    for (const Row& r : cxxRows()) {
        if (r.member)
            EXPECT_EQ(r.value, r.lp64) << r.record << "::" << r.member;
        else
            EXPECT_EQ(r.value, r.lp64) << "sizeof " << r.record;
    }
}

// Records made of pointers only: the size is the member count in pointers.
TEST(SdkLayout, PointerRecordsHaveTheirMemberCount) {
    const size_t p = sizeof(void*);
    EXPECT_EQ(sizeof(LWItemInfo), 34 * p);
    EXPECT_EQ(sizeof(LWObjectInfo), 33 * p);
    EXPECT_EQ(sizeof(LWMeshInfo), 29 * p);
    EXPECT_EQ(sizeof(LWEnvelopeFuncs), 20 * p);
    EXPECT_EQ(sizeof(LWMessageFuncs), 7 * p);
    EXPECT_EQ(sizeof(LWRasterFuncs), 12 * p);
    EXPECT_EQ(sizeof(LWMTUtilFuncs), 42 * p);
    EXPECT_EQ(sizeof(LWLayoutToolFuncs), 13 * p);
    EXPECT_EQ(sizeof(LWToolFuncs), 15 * p);
    EXPECT_EQ(sizeof(LWLayoutGeneric), 6 * p);
    EXPECT_EQ(sizeof(LWChannelInfo), 15 * p);
    EXPECT_EQ(sizeof(LWInstanceFuncs), 7 * p);
    EXPECT_EQ(sizeof(LWSaveState), 16 * p); // ioMode pads to a pointer
    EXPECT_EQ(sizeof(LWLoadState), 16 * p);
    EXPECT_EQ(sizeof(LWPanelFuncs), 13 * p);
    EXPECT_EQ(sizeof(LWComRing), 3 * p);
    EXPECT_EQ(sizeof(ContextMenuFuncs), 3 * p);
    EXPECT_EQ(sizeof(LWXPDrawFuncs), 9 * p);
    EXPECT_EQ(sizeof(DrawFuncs), 9 * p);
}

// Records mixing data and pointers: where the last member lands.
TEST(SdkLayout, LastMemberOfMixedRecords) {
    const size_t p = sizeof(void*);
    EXPECT_EQ(offsetof(LWObjectFuncs, maxPointsPerPoly), 14 * p);
    EXPECT_EQ(offsetof(LWXPanelFuncs, open), 13 * p);
    EXPECT_EQ(sizeof(LWXPanelFuncs), 14 * p);
    EXPECT_EQ(offsetof(LWViewportInfo, viewItem), 15 * p);
    EXPECT_EQ(sizeof(LWViewportInfo), 16 * p);
    if (!kLp64) GTEST_SKIP() << "the rest is LP64 arithmetic";
    // 19 pointer-sized slots before the 21st member of the draw access.
    EXPECT_EQ(offsetof(LWCustomObjAccess, setPart), 184u);
    EXPECT_EQ(offsetof(LWCustomObjAccess, viewPos), 96u);
    EXPECT_EQ(offsetof(LWInterfaceInfo, itemIconScale), 120u);
    EXPECT_EQ(offsetof(LWSceneInfo, lenseFlareIntensity), 336u);
    EXPECT_EQ(offsetof(LWSceneInfo, calculateallnormals), 324u);
    EXPECT_EQ(sizeof(LWSceneInfo), 344u);
    EXPECT_EQ(offsetof(LWToolEvent, viewNumber), 240u);
    EXPECT_EQ(offsetof(LWDisplacementAccess, wNorm), 64u);
    EXPECT_EQ(sizeof(LWValue), 40u);
    EXPECT_EQ(sizeof(DynaValue), 40u);
    EXPECT_EQ(sizeof(LWPanControlDesc), 48u);
}

TEST(SdkLayout, CAndCxxAgree) {
    size_t n = 0;
    const sdk_c_row* c = sdk_c_rows(&n);
    const auto& cxx = cxxRows();
    ASSERT_EQ(n, cxx.size());
    for (size_t i = 0; i < n; ++i) {
        ASSERT_STREQ(c[i].record, cxx[i].record);
        if (cxx[i].member)
            ASSERT_STREQ(c[i].member, cxx[i].member);
        else
            ASSERT_EQ(c[i].member, nullptr);
        EXPECT_EQ(c[i].value, cxx[i].value)
            << cxx[i].record << "::" << (cxx[i].member ? cxx[i].member : "(sizeof)");
    }
}

TEST(SdkLayout, EachHeaderStandsAlone) {
    const size_t p = sizeof(void*);
    EXPECT_EQ(sdk_alone_lwtypes(), sizeof(double) * 16 + sizeof(float) * 3 + p);
    EXPECT_EQ(sdk_alone_lwserver(), sizeof(ServerRecord));
    EXPECT_EQ(sdk_alone_lwmodule(), sizeof(ModuleDescriptor) + 0x200);
    EXPECT_EQ(sdk_alone_lwio(), sizeof(LWLoadState));
    EXPECT_EQ(sdk_alone_lwxpanel(), sizeof(LWXPanelFuncs));
    EXPECT_EQ(sdk_alone_lwhandler(), sizeof(LWInterface));
    EXPECT_EQ(sdk_alone_lwmeshes(), sizeof(LWMeshInfo));
    EXPECT_EQ(sdk_alone_lwenvel(), sizeof(LWEnvelopeFuncs));
    EXPECT_EQ(sdk_alone_lwrender(), sizeof(LWViewportInfo));
    EXPECT_EQ(sdk_alone_lwcustobj(), sizeof(LWCustomObjAccess));
    EXPECT_EQ(sdk_alone_lwdisplce(), sizeof(LWDisplacementAccess));
    EXPECT_EQ(sdk_alone_lwtool(), sizeof(LWToolEvent));
    EXPECT_EQ(sdk_alone_lwlaytool(), sizeof(LWLayoutToolFuncs));
    EXPECT_EQ(sdk_alone_lwgeneric(), sizeof(LWLayoutGeneric));
    EXPECT_EQ(sdk_alone_lwdyna(), sizeof(DynaValue));
    EXPECT_EQ(sdk_alone_lwhost(), sizeof(LWMessageFuncs));
    EXPECT_EQ(sdk_alone_lwpanel(), sizeof(LWPanControlDesc));
    EXPECT_EQ(sdk_alone_lwcomring(), sizeof(LWComRing));
    EXPECT_EQ(sdk_alone_lwmtutil(), sizeof(LWMTUtilFuncs));
    EXPECT_EQ(sdk_alone_lwglobsrv(), 2 * p);
}

} // namespace
