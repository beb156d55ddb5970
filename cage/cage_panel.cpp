#include "cage/cage_panel.h"

#include <math.h>

#include <lwrender.h>

#include "cage/cage_lifecycle.h"
#include "cage/cage_panel_texts.h"
#include "cage/cage_services.h"
#include "cage_instance.h"
#include "geometry/vector.h"
#include "module/host_services.h"
#include "module/items.h"
#include "module/ring_protocol.h"
#include "module/strings.h"

namespace {

enum { kFirstGroup = 0x8101, kSecondGroup, kSkinPage, kVolumePage, kModeStack, kLastGroup };

struct PanelTexts {
    const char* labels[16];
    const char* display[4];
    const char* mode[3];
    const char* falloff[8];
    const char* as[4];
    const char* none;
    const char* self;
};

const PanelTexts kEnglish = {
    {CAGE_DISPLAY_EN, CAGE_SELECTED_COLOR_EN, CAGE_UNSELECTED_COLOR_EN, CAGE_OPACITY_EN,
     CAGE_GROUP_EN, CAGE_MODE_EN, CAGE_FALLOFF_EN, CAGE_IGNORE_OUTSIDE_EN, CAGE_SMOOTH_EN,
     CAGE_LIMITED_EN, CAGE_PARALLEL_EN, CAGE_PERPENDICULAR_EN, CAGE_WEIGHT_MAP_EN,
     CAGE_REFERENCE_EN, CAGE_AS_EN, CAGE_REST_AT_0_EN},
    {CAGE_DISPLAY_UNSEEN_EN, CAGE_DISPLAY_SOLID_EN, CAGE_DISPLAY_XRAY_EN, nullptr},
    {CAGE_MODE_SKIN_EN, CAGE_MODE_VOLUME_EN, nullptr},
    {CAGE_FALLOFF_1_EN, CAGE_FALLOFF_2_EN, CAGE_FALLOFF_4_EN, CAGE_FALLOFF_8_EN, CAGE_FALLOFF_16_EN,
     CAGE_FALLOFF_32_EN, CAGE_FALLOFF_64_EN, nullptr},
    {CAGE_AS_DISABLED_EN, CAGE_AS_BASE_EN, CAGE_AS_DEFORMED_EN, nullptr},
    CAGE_NONE_EN,
    CAGE_SELF_EN};

const PanelTexts kJapanese = {
    {CAGE_DISPLAY_JA, CAGE_SELECTED_COLOR_JA, CAGE_UNSELECTED_COLOR_JA, CAGE_OPACITY_JA,
     CAGE_GROUP_JA, CAGE_MODE_JA, CAGE_FALLOFF_JA, CAGE_IGNORE_OUTSIDE_JA, CAGE_SMOOTH_JA,
     CAGE_LIMITED_JA, CAGE_PARALLEL_JA, CAGE_PERPENDICULAR_JA, CAGE_WEIGHT_MAP_JA,
     CAGE_REFERENCE_JA, CAGE_AS_JA, CAGE_REST_AT_0_JA},
    {CAGE_DISPLAY_UNSEEN_JA, CAGE_DISPLAY_SOLID_JA, CAGE_DISPLAY_XRAY_JA, nullptr},
    {CAGE_MODE_SKIN_JA, CAGE_MODE_VOLUME_JA, nullptr},
    {CAGE_FALLOFF_1_JA, CAGE_FALLOFF_2_JA, CAGE_FALLOFF_4_JA, CAGE_FALLOFF_8_JA, CAGE_FALLOFF_16_JA,
     CAGE_FALLOFF_32_JA, CAGE_FALLOFF_64_JA, nullptr},
    {CAGE_AS_DISABLED_JA, CAGE_AS_BASE_JA, CAGE_AS_DEFORMED_JA, nullptr},
    CAGE_NONE_JA,
    CAGE_SELF_JA};

// The control order of the panel; the texts follow it.
const unsigned int kControlOrder[16] = {
    CAGE_DISPLAY_CONTROL,    CAGE_SELECTED_COLOR_CONTROL, CAGE_UNSELECTED_COLOR_CONTROL,
    CAGE_OPACITY_CONTROL,    CAGE_GROUP_CONTROL,          CAGE_MODE_CONTROL,
    CAGE_FALLOFF_CONTROL,    CAGE_IGNORE_OUTSIDE_CONTROL, CAGE_SMOOTH_CONTROL,
    CAGE_LIMITED_CONTROL,    CAGE_PARALLEL_CONTROL,       CAGE_PERPENDICULAR_CONTROL,
    CAGE_WEIGHT_MAP_CONTROL, CAGE_REFERENCE_CONTROL,      CAGE_AS_CONTROL,
    CAGE_REST_AT_0_CONTROL};
const char* const kControlClass[16] = {"iPopChoice", "color",      "color",      "percent",
                                       "string",     "iPopChoice", "iPopChoice", "iBoolean",
                                       "distance",   "iBoolean",   "distance",   "distance",
                                       "iPopChoice", "iPopChoice", "iPopChoice", "iBoolean"};
const char* const kDataType[16] = {
    "integer",  "color",   "color",    "percent",  "string",  "integer", "integer", "integer",
    "distance", "integer", "distance", "distance", "integer", "integer", "integer", "integer"};

// The host keeps pointers into these while the panel lives.
LWXPanelControl stCageControls[17];
LWXPanelDataDesc stCageData[17];
const PanelTexts* stTexts = &kEnglish;

LWObjectFuncs* objectFuncs() {
    if (!stCagePanelServices.objectFuncs)
        stCagePanelServices.objectFuncs =
            static_cast<LWObjectFuncs*>(acquireService("Scene Objects 6"));
    return stCagePanelServices.objectFuncs;
}

LWItemInfo* itemInfo() {
    return static_cast<LWItemInfo*>(acquireService("LW Item Info 5"));
}

int weightMapCount(LWObjectFuncs* objects) {
    return objects && objects->numVMaps ? objects->numVMaps(LWVMAP_WGHT) : 0;
}

// The place of the " (missing) " entry when the cage's stored weight map is
// no longer in the scene; 0 otherwise.
int missingWeightMapEntry(const CageInstance* cage, LWObjectFuncs* objects) {
    if (!cage || !cage->weightMapName[0]) return 0;
    if (getIndexByWeightMapName(objects, cage->weightMapName)) return 0;
    return weightMapCount(objects) + 1;
}

// Object number index (1-based) in the host's order; null past the end.
LWItemID objectAt(LWItemInfo* items, int index) {
    if (!items || index < 1) return LWITEM_NULL;
    LWItemID id = items->first(LWI_OBJECT, LWITEM_NULL);
    for (int place = 1; id && place < index; ++place)
        id = items->next(id);
    return id;
}

double notBelowZero(double v) {
    return v < 0.0 ? 0.0 : v;
}

void fillTables(const PanelTexts* texts) {
    for (int k = 0; k < 16; ++k) {
        stCageControls[k] = {kControlOrder[k], texts->labels[k], kControlClass[k]};
        stCageData[k] = {kControlOrder[k], texts->labels[k], kDataType[k]};
    }
    stCageControls[16] = {0, nullptr, nullptr};
    stCageData[16] = {0, nullptr, nullptr};
    stTexts = texts;
}

} // namespace

int getIndexByWeightMapName(LWObjectFuncs* objects, const char* name) {
    const int count = weightMapCount(objects);
    if (!count || !name || !name[0]) return 0;
    for (int i = 0; i < count; ++i)
        if (compareCString(objects->vmapName(LWVMAP_WGHT, i), name)) return i + 1;
    return 0;
}

void getWeightMapNameByIndex(LWObjectFuncs* objects, char* buffer, int index, int size) {
    if (!buffer || size < 1) return;
    buffer[0] = 0;
    if (index < 1 || index > weightMapCount(objects)) return;
    copyCStringN(buffer, objects->vmapName(LWVMAP_WGHT, index - 1), size);
}

int popCnt_VMAP(void* cage) {
    LWObjectFuncs* objects = objectFuncs();
    const int extra = missingWeightMapEntry(static_cast<CageInstance*>(cage), objects) ? 1 : 0;
    return weightMapCount(objects) + 1 + extra;
}

const char* popName_VMAP(void*, int index) {
    if (index == 0) return stTexts->none;
    LWObjectFuncs* objects = objectFuncs();
    const char* name =
        index <= weightMapCount(objects) ? objects->vmapName(LWVMAP_WGHT, index - 1) : nullptr;
    return name ? name : CAGE_MISSING;
}

int popCnt_Item(void*) {
    LWItemInfo* items = itemInfo();
    int count = 0;
    if (items)
        for (LWItemID id = items->first(LWI_OBJECT, LWITEM_NULL); id; id = items->next(id))
            ++count;
    return count + 1;
}

const char* popName_Item(void*, int index) {
    if (index == 0) return stTexts->self;
    LWItemInfo* items = itemInfo();
    LWItemID object = objectAt(items, index);
    const char* name = object ? items->name(object) : nullptr;
    return name ? name : CAGE_MISSING;
}

namespace cage_panel {

void* ui_get(void* instance, unsigned int id) {
    CageInstance* cage = static_cast<CageInstance*>(instance);
    if (!cage) return nullptr;
    switch (id) {
    case CAGE_DISPLAY_CONTROL:
        return &cage->display;
    case CAGE_GROUP_CONTROL:
        return cage->groupName;
    case CAGE_SELECTED_COLOR_CONTROL:
        return cage->selectedColor;
    case CAGE_UNSELECTED_COLOR_CONTROL:
        return cage->unselectedColor;
    case CAGE_OPACITY_CONTROL:
        return &cage->opacity;
    case CAGE_MODE_CONTROL:
        return &cage->mode;
    case CAGE_FALLOFF_CONTROL:
        return &cage->falloffType;
    case CAGE_SMOOTH_CONTROL:
        return &cage->smoothDistance;
    case CAGE_IGNORE_OUTSIDE_CONTROL:
        return &cage->ignoreOutside;
    case CAGE_LIMITED_CONTROL:
        return &cage->limitedRange;
    case CAGE_PARALLEL_CONTROL:
        return &cage->parallelDistance;
    case CAGE_PERPENDICULAR_CONTROL:
        return &cage->perpendicularDistance;
    case CAGE_WEIGHT_MAP_CONTROL: {
        LWObjectFuncs* objects = objectFuncs();
        const int index = getIndexByWeightMapName(objects, cage->weightMapName);
        cage->weightMapIndex = index ? index : missingWeightMapEntry(cage, objects);
        return &cage->weightMapIndex;
    }
    case CAGE_REFERENCE_CONTROL:
        cage->refObjectIndex = indexByObjectID(itemInfo(), cage->refObject);
        return &cage->refObjectIndex;
    case CAGE_AS_CONTROL:
        return &cage->refMode;
    case CAGE_REST_AT_0_CONTROL:
        return &cage->restShapeAtFrame0;
    default:
        return nullptr;
    }
}

LWXPRefreshCode ui_set(void* instance, unsigned int id, void* value) {
    CageInstance* cage = static_cast<CageInstance*>(instance);
    if (!cage || !value) return LWXPRC_NONE;
    // The value is text for the group name (as short as one byte), doubles
    // for colours and distances, an int for the rest.
    const int i = id == CAGE_GROUP_CONTROL ? 0 : *static_cast<const int*>(value);
    const double* d = static_cast<const double*>(value);
    switch (id) {
    case CAGE_DISPLAY_CONTROL:
        cage->display = i;
        if (i == 0) {
            EditCageQuery unseen = {cage};
            sendRingMessage(static_cast<LWComRing*>(acquireService("LW Communication Ring")),
                            RING_TOPIC_TOOL, kToolCageUnseen, &unseen);
        }
        break;
    case CAGE_GROUP_CONTROL:
        copyCStringN(cage->groupName, static_cast<const char*>(value), int(sizeof cage->groupName));
        if (!cage->groupName[0]) copyCString(cage->groupName, "name");
        break;
    case CAGE_SELECTED_COLOR_CONTROL:
        copy3D(d, cage->selectedColor);
        break;
    case CAGE_UNSELECTED_COLOR_CONTROL:
        copy3D(d, cage->unselectedColor);
        break;
    case CAGE_OPACITY_CONTROL:
        cage->opacity = d[0] < 0.0 ? 0.0 : d[0] > 1.0 ? 1.0 : d[0];
        break;
    case CAGE_MODE_CONTROL:
        cage->mode = i;
        cage->rebuildNeeded = 1;
        break;
    case CAGE_FALLOFF_CONTROL:
        cage->falloffType = i;
        break;
    case CAGE_SMOOTH_CONTROL:
        cage->smoothDistance = notBelowZero(d[0]);
        break;
    case CAGE_IGNORE_OUTSIDE_CONTROL:
        cage->ignoreOutside = i;
        cage->rebuildNeeded = 1;
        break;
    case CAGE_LIMITED_CONTROL:
        cage->limitedRange = i;
        break;
    case CAGE_PARALLEL_CONTROL:
        cage->parallelDistance = notBelowZero(d[0]);
        break;
    case CAGE_PERPENDICULAR_CONTROL:
        cage->perpendicularDistance = notBelowZero(d[0]);
        break;
    case CAGE_WEIGHT_MAP_CONTROL: {
        // Choosing the " (missing) " entry keeps the name it stands for.
        LWObjectFuncs* objects = objectFuncs();
        const int missing = missingWeightMapEntry(cage, objects);
        cage->weightMapIndex = i;
        if (!missing || i != missing)
            getWeightMapNameByIndex(objects, cage->weightMapName, i,
                                    int(sizeof cage->weightMapName));
        break;
    }
    case CAGE_REFERENCE_CONTROL:
        cage->refObjectIndex = i;
        cage->refObject = objectAt(itemInfo(), i);
        cage->rebuildNeeded = 1;
        break;
    case CAGE_AS_CONTROL:
        cage->refMode = i;
        cage->rebuildNeeded = 1;
        break;
    case CAGE_REST_AT_0_CONTROL:
        cage->restShapeAtFrame0 = i;
        cage->rebuildNeeded = 1;
        break;
    default:
        return LWXPRC_NONE;
    }
    return LWXPRC_DFLT;
}

LWXPRefreshCode ui_chgnotify(LWXPanelID panel, unsigned int, unsigned int, int event) {
    LWXPanelFuncs* xpanels = stCagePanelServices.xpanelFuncs;
    void* cage = xpanels && panel ? xpanels->getData(panel, 0) : nullptr;
    if (cage && (event == LWXPEVENT_TRACK || event == LWXPEVENT_VALUE) &&
        stCagePanelServices.command)
        stCagePanelServices.command("RefreshNow");
    return LWXPRC_NONE;
}

} // namespace cage_panel

int buildCagePanel(LWXPanelFuncs* xpanels, LWInterface* local, int japanese) {
    fillTables(japanese ? &kJapanese : &kEnglish);
    CageInstance* cage = static_cast<CageInstance*>(local->inst);
    if (cage) {
        copy3D(cage->selectedColor, stCageSelectedColor);
        copy3D(cage->unselectedColor, stCageUnselectedColor);
        stCageOpacity = cage->opacity;
    }

    LWXPanelID panel = xpanels->create(LWXP_VIEW, stCageControls);
    if (!panel) return 0;
    LWXPanelHint hints[] = {XpLABEL(0, CAGE_PANEL_TITLE),
                            XpSTRLIST(CAGE_DISPLAY_CONTROL, stTexts->display),
                            XpSTRLIST(CAGE_MODE_CONTROL, stTexts->mode),
                            XpSTRLIST(CAGE_FALLOFF_CONTROL, stTexts->falloff),
                            XpSTRLIST(CAGE_AS_CONTROL, stTexts->as),
                            XpMIN(CAGE_OPACITY_CONTROL, 0),
                            XpMAX(CAGE_OPACITY_CONTROL, 1),
                            XpMIN(CAGE_SMOOTH_CONTROL, 0),
                            XpMIN(CAGE_PARALLEL_CONTROL, 0),
                            XpMIN(CAGE_PERPENDICULAR_CONTROL, 0),
                            XpPOPFUNCS(CAGE_WEIGHT_MAP_CONTROL, popCnt_VMAP, popName_VMAP),
                            XpPOPFUNCS(CAGE_REFERENCE_CONTROL, popCnt_Item, popName_Item),
                            XpGROUP_(kFirstGroup),
                            XpH(CAGE_DISPLAY_CONTROL),
                            XpH(CAGE_SELECTED_COLOR_CONTROL),
                            XpH(CAGE_UNSELECTED_COLOR_CONTROL),
                            XpH(CAGE_OPACITY_CONTROL),
                            XpEND,
                            XpGROUP_(kSecondGroup),
                            XpH(CAGE_GROUP_CONTROL),
                            XpH(CAGE_MODE_CONTROL),
                            XpH(CAGE_FALLOFF_CONTROL),
                            XpEND,
                            XpGROUP_(kSkinPage),
                            XpH(CAGE_LIMITED_CONTROL),
                            XpH(CAGE_PARALLEL_CONTROL),
                            XpH(CAGE_PERPENDICULAR_CONTROL),
                            XpEND,
                            XpGROUP_(kVolumePage),
                            XpH(CAGE_IGNORE_OUTSIDE_CONTROL),
                            XpH(CAGE_SMOOTH_CONTROL),
                            XpEND,
                            XpSTACK_(kModeStack, CAGE_MODE_CONTROL),
                            XpH(kSkinPage),
                            XpH(kVolumePage),
                            XpEND,
                            XpGROUP_(kLastGroup),
                            XpH(CAGE_WEIGHT_MAP_CONTROL),
                            XpH(CAGE_REFERENCE_CONTROL),
                            XpH(CAGE_AS_CONTROL),
                            XpH(CAGE_REST_AT_0_CONTROL),
                            XpEND,
                            XpENABLE_(CAGE_LIMITED_CONTROL),
                            XpH(CAGE_PARALLEL_CONTROL),
                            XpH(CAGE_PERPENDICULAR_CONTROL),
                            XpEND,
                            XpCHGNOTIFY(cage_panel::ui_chgnotify),
                            XpEND};
    xpanels->hint(panel, 0, hints);
    xpanels->describe(panel, stCageData, cage_panel::ui_get, cage_panel::ui_set);
    xpanels->viewInst(panel, cage);
    xpanels->setData(panel, 0, cage);
    local->panel = panel;
    local->options = nullptr;
    local->command = nullptr;
    return 1;
}
