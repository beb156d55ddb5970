#include "plugins/module_file.h"

#include "common/host_error.h"
#include "plugins/library.h"

#include <sys/stat.h>

#include <cstdio>

namespace host {

namespace {

// Bounds on what a damaged table could make the reader walk over.
const int kMaxServers = 256;
const int kMaxTags = 64;

std::string hex(unsigned int value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

} // namespace

std::string ServerEntry::buttonName() const {
    for (const ServerTag& t : tags)
        if ((t.tag & 0xFFFF0000u) == SRVTAG_BUTTONNAME) return t.text;
    return std::string();
}

ModuleFile::ModuleFile(const std::string& path) : path_(path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0) throw HostError(path + ": no such module file");
    if (!S_ISREG(info.st_mode)) throw HostError(path + ": not a module file");

    std::string why;
    handle_ = openLibrary(path, why);
    if (!handle_) throw HostError(path + ": cannot load module: " + why);
    descriptor_ = static_cast<ModuleDescriptor*>(librarySymbol(handle_, "_mod_descrip"));
    try {
        if (!descriptor_) throw HostError(path + ": not a plug-in module (no _mod_descrip)");
        if (descriptor_->sysSync != MOD_SYSSYNC)
            throw HostError(path + ": wrong synchronisation value " + hex(descriptor_->sysSync));
        if (descriptor_->sysVersion != MOD_SYSVER)
            throw HostError(path + ": unsupported descriptor version " +
                            std::to_string(descriptor_->sysVersion));
        if (!descriptor_->startup) throw HostError(path + ": module has no startup function");
        serverData_ = descriptor_->startup();
        if (!serverData_) throw HostError(path + ": module refused to start");
        readServerTable();
    } catch (...) {
        closeLibrary(handle_);
        throw;
    }
}

ModuleFile::~ModuleFile() {
    if (descriptor_ && descriptor_->shutdown) descriptor_->shutdown(serverData_);
    closeLibrary(handle_);
}

void ModuleFile::readServerTable() {
    const ServerRecord* record = descriptor_->serverDefs;
    for (int i = 0; record && record[i].className; ++i) {
        if (i == kMaxServers) throw HostError(path_ + ": server table has no end");
        ServerEntry entry;
        entry.className = record[i].className;
        entry.name = record[i].name ? record[i].name : "";
        entry.activate = record[i].activate;
        const ServerTagInfo* tag = record[i].tagInfo;
        for (int t = 0; tag && tag[t].string && t < kMaxTags; ++t) {
            if (!tag[t].string[0] && tag[t].tag == 0) break;
            entry.tags.push_back({tag[t].string, tag[t].tag});
        }
        servers_.push_back(std::move(entry));
    }
}

const ServerEntry* ModuleFile::find(const std::string& className, const std::string& name) const {
    for (const ServerEntry& s : servers_)
        if (s.className == className && s.name == name) return &s;
    return nullptr;
}

} // namespace host
