#include "services/services.h"

#include "common/host_error.h"
#include "common/text_encoding.h"
#include "ui/panels.h"

#include <cstdint>
#include <ostream>

namespace host {

namespace {

ServiceTable* currentTable = nullptr;

XCALL_(void) instanceUpdate(const char*, LWInstance) {}

XCALL_(int) commandInterface(const char* text) {
    return ServiceTable::current().sources().runCommand(text);
}

// "Product Info": LightWave, the build, version 9.6.
unsigned int productInfo(unsigned int build) {
    return LWINF_PRODLWAV | (build << 4) | (6u << 16) | (9u << 20);
}

} // namespace

ServiceTable::ServiceTable(const ServiceSources& sources)
    : sources_(sources), previous_(currentTable), rec_() {
    currentTable = this;
    makeInertRecords(rec_);
    fillSceneRecords(rec_);
    fillInterfaceRecords(rec_);
    fillMotionRecords(rec_);
    fillMeshRecords(rec_);
    fillPanelRecords(rec_);
    fillXPanelRecords(rec_);
    fillViewRecords(rec_);
    fillThreadRecords(rec_);

    records_ = {
        {"LW Item Info 5", &rec_.itemInfo},
        {"LW Item Info 9", &rec_.itemInfo},
        {"LW Object Info 7", &rec_.objectInfo},
        {"Scene Objects 6", &rec_.objectFuncs},
        {"Scene Objects 9", &rec_.objectFuncs},
        {"Channel Info 2", &rec_.channelInfo},
        {"Animation Envelopes", &rec_.envelopeFuncs},
        {"Instance Update", reinterpret_cast<void*>(&instanceUpdate)},
        {"LW Communication Ring", &rec_.comRing},
        {"LW Command Interface", reinterpret_cast<void*>(&commandInterface)},
        {"LWXPanel", &rec_.xpanelFuncs},
        {"LW List Info", &rec_.listInfo},
        {"Info Messages 2", &rec_.messageFuncs},
        {"LWPanelServices", &rec_.panelFuncs},
        {"RasterServices", &rec_.rasterFuncs},
        {"ContextMenuServices", &rec_.contextMenuFuncs},
        {"LW Scene Info 6", &rec_.sceneInfo},
        {"LW Scene Info 7", &rec_.sceneInfo},
        {"MultiThreading Utilities 2", &rec_.mtUtilFuncs},
        {"Product Info", nullptr},
        {"Locale Info", nullptr},
        {"LW Viewport Info 4", &rec_.viewportInfo},
        {"LW Interface Info 7", &rec_.interfaceInfo},
    };
    sources_.panels.setPanelFuncs(&rec_.panelFuncs);
}

ServiceTable::~ServiceTable() {
    currentTable = previous_;
}

ServiceTable& ServiceTable::current() {
    if (!currentTable) throw HostError("no host is running");
    return *currentTable;
}

ServiceTable* ServiceTable::currentOrNull() {
    return currentTable;
}

void ServiceTable::setLocale(unsigned int locale) {
    sources_.locale.set(locale);
}

unsigned int ServiceTable::locale() const {
    return sources_.locale.id();
}

bool ServiceTable::japanese() const {
    return sources_.locale.japanese();
}

void ServiceTable::setBuildNumber(unsigned int build) {
    if (build > 0xFFF) throw HostError("build number " + std::to_string(build) + " out of range");
    build_ = build;
}

void* ServiceTable::lookup(const char* name) {
    std::string key = name ? name : "";
    auto found = records_.find(key);
    void* result = nullptr;
    bool known = found != records_.end() && !withheld_.count(key);
    if (known) {
        if (key == "Product Info")
            result = reinterpret_cast<void*>(std::uintptr_t(productInfo(build_)));
        else if (key == "Locale Info")
            result = reinterpret_cast<void*>(std::uintptr_t(locale()));
        else {
            refreshSceneRecords(rec_, sources_.scene);
            if (key == "Scene Objects 6" || key == "Scene Objects 9")
                refreshSceneObjects(rec_, sources_.scene);
            if (key == "LW Viewport Info 4") refreshViewRecords(rec_, sources_.viewports);
            result = found->second;
        }
    }
    if (trace_)
        sources_.out << "service \"" << key << "\" -> " << (known ? "found" : "missing") << "\n";
    return result;
}

XCALL_(void*) ServiceTable::accessor(const char* name, int) {
    ServiceTable* table = currentOrNull();
    return table ? table->lookup(name) : nullptr;
}

void ServiceTable::refresh() {
    refreshSceneRecords(rec_, sources_.scene);
    refreshSceneObjects(rec_, sources_.scene);
    refreshViewRecords(rec_, sources_.viewports);
}

} // namespace host
