// services/: the C ABI the module sees: the global accessor and one record per
// service name, each callback answering from the host's parts (scene, ring,
// panels, messages, viewports). The records reach those parts through the running
// ServiceTable, as a module's calls carry no context of their own.
//
// The host's global accessor: one record per service name, settings that
// tests and scripts change (withheld services, build number, locale), and a
// trace of every request.
#ifndef MORVANE_HOST_SERVICES_SERVICES_H
#define MORVANE_HOST_SERVICES_SERVICES_H

#include "services/service_records.h"

#include <lwserver.h>

#include <functional>
#include <iosfwd>
#include <map>
#include <set>
#include <string>

namespace host {

class Locale;
class Messages;
class PanelSystem;
class Ring;
class Scene;
class ViewportWindow;
class XPanelSystem;

// The parts of the host the records answer from.
struct ServiceSources {
    Scene& scene;
    Ring& ring;
    PanelSystem& panels;
    XPanelSystem& xpanels;
    ViewportWindow& viewports;
    Messages& messages;
    Locale& locale;
    // Traces go here.
    std::ostream& out;
    // The command interface: runs a command text, 1 when it succeeded.
    std::function<int(const char*)> runCommand;
};

class ServiceTable {
  public:
    static constexpr unsigned int kDefaultBuild = 3211;

    // The table becomes the running one until it is destroyed.
    explicit ServiceTable(const ServiceSources& sources);
    ~ServiceTable();
    ServiceTable(const ServiceTable&) = delete;
    ServiceTable& operator=(const ServiceTable&) = delete;

    // The table of the running host; throws HostError when there is none.
    static ServiceTable& current();
    static ServiceTable* currentOrNull();
    const ServiceSources& sources() const { return sources_; }

    // The record of a service, or null for a name the host does not know or
    // has been told to withhold. Traced when tracing is on.
    void* lookup(const char* name);
    // The GlobalFunc handed to every activation.
    static XCALL_(void*) accessor(const char* name, int useMode);

    bool knows(const std::string& name) const { return records_.count(name) != 0; }
    void withhold(const std::string& name) { withheld_.insert(name); }
    void restore(const std::string& name) { withheld_.erase(name); }
    void setTrace(bool on) { trace_ = on; }

    // Build numbers are 12 bits wide in "Product Info".
    void setBuildNumber(unsigned int build);
    unsigned int buildNumber() const { return build_; }
    void setLocale(unsigned int locale);
    unsigned int locale() const;
    bool japanese() const;

    ServiceRecords& records() { return rec_; }
    // Brings the records' data members up to date with the scene; the host
    // calls it after everything that changes time, selection or ranges.
    void refresh();

  private:
    ServiceSources sources_;
    ServiceTable* previous_;
    ServiceRecords rec_;
    std::map<std::string, void*> records_;
    std::set<std::string> withheld_;
    bool trace_ = false;
    unsigned int build_ = kDefaultBuild;
};

} // namespace host

#endif
