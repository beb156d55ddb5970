// The host's global accessor: one record per service name, settings that
// tests and scripts change (withheld services, build number, locale), and a
// trace of every request.
#ifndef MORVANE_HOST_SERVICES_SERVICES_H
#define MORVANE_HOST_SERVICES_SERVICES_H

#include "services/service_records.h"

#include <lwserver.h>

#include <map>
#include <set>
#include <string>

namespace host {

class Host;

class ServiceTable {
  public:
    static constexpr unsigned int kDefaultBuild = 3211;
    static constexpr unsigned int kDefaultLocale = LANGID_USENGLISH;

    explicit ServiceTable(Host& host);

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
    void setLocale(unsigned int locale) { locale_ = locale; }
    unsigned int locale() const { return locale_; }
    bool japanese() const { return (locale_ & 0xFFFF) == LANGID_JAPANESE; }

    ServiceRecords& records() { return rec_; }
    // Brings the records' data members up to date with the scene; the host
    // calls it after everything that changes time, selection or ranges.
    void refresh();

  private:
    Host& host_;
    ServiceRecords rec_;
    std::map<std::string, void*> records_;
    std::set<std::string> withheld_;
    bool trace_ = false;
    unsigned int build_ = kDefaultBuild;
    unsigned int locale_ = kDefaultLocale;
};

} // namespace host

#endif
