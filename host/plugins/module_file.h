// A plug-in module file opened the way Layout opens one: the descriptor is
// checked, Startup is called, and the server table is read.
#ifndef MORVANE_HOST_PLUGINS_MODULE_FILE_H
#define MORVANE_HOST_PLUGINS_MODULE_FILE_H

#include <lwmodule.h>

#include <string>
#include <vector>

namespace host {

struct ServerTag {
    std::string text;
    unsigned int tag;
};

struct ServerEntry {
    std::string className;
    std::string name;
    ActivateFunc* activate;
    std::vector<ServerTag> tags;

    // The text of the button-name tag, or empty when the server has none.
    std::string buttonName() const;
};

class ModuleFile {
  public:
    // Opens the file and starts the module; throws HostError naming the file
    // when it is missing, is not a module, or refuses to start.
    explicit ModuleFile(const std::string& path);
    // Calls Shutdown and closes the file.
    ~ModuleFile();
    ModuleFile(const ModuleFile&) = delete;
    ModuleFile& operator=(const ModuleFile&) = delete;

    const std::string& path() const { return path_; }
    const ModuleDescriptor& descriptor() const { return *descriptor_; }
    void* serverData() const { return serverData_; }
    const std::vector<ServerEntry>& servers() const { return servers_; }
    // The server of that class and name, or null.
    const ServerEntry* find(const std::string& className, const std::string& name) const;

  private:
    void readServerTable();

    std::string path_;
    void* handle_ = nullptr;
    ModuleDescriptor* descriptor_ = nullptr;
    void* serverData_ = nullptr;
    std::vector<ServerEntry> servers_;
};

} // namespace host

#endif
