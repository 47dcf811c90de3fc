#pragma once
// Stand-in for the SDK's Steinberg::CPluginFactory (public.sdk/source/main/
// pluginfactory.h): the class factory a module hands to the host. It answers
// the class-information queries in all three forms and creates instances by
// class ID.

#include <vector>

#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/base/ipluginbase.h"

namespace Steinberg {

class CPluginFactory : public IPluginFactory3 {
public:
    explicit CPluginFactory(const PFactoryInfo& info);
    virtual ~CPluginFactory();

    // Each registration copies the description, so the caller may reuse it.
    bool registerClass(const PClassInfo* info, FUnknown* (*createFunc)(void*), void* context = nullptr);
    bool registerClass(const PClassInfo2* info, FUnknown* (*createFunc)(void*), void* context = nullptr);
    bool registerClass(const PClassInfoW* info, FUnknown* (*createFunc)(void*), void* context = nullptr);

    bool isClassRegistered(const FUID& cid);
    void removeAllClasses();

    DECLARE_FUNKNOWN_METHODS

    // IPluginFactory
    tresult PLUGIN_API getFactoryInfo(PFactoryInfo* info) SMTG_OVERRIDE;
    int32 PLUGIN_API countClasses() SMTG_OVERRIDE;
    tresult PLUGIN_API getClassInfo(int32 index, PClassInfo* info) SMTG_OVERRIDE;
    tresult PLUGIN_API createInstance(FIDString cid, FIDString _iid, void** obj) SMTG_OVERRIDE;

    // IPluginFactory2
    tresult PLUGIN_API getClassInfo2(int32 index, PClassInfo2* info) SMTG_OVERRIDE;

    // IPluginFactory3
    tresult PLUGIN_API getClassInfoUnicode(int32 index, PClassInfoW* info) SMTG_OVERRIDE;
    tresult PLUGIN_API setHostContext(FUnknown* context) SMTG_OVERRIDE;

protected:
    struct PClassEntry {
        PClassInfo2 info8;
        PClassInfoW info16;
        FUnknown* (*createFunc)(void*) = nullptr;
        void* context = nullptr;
        bool isUnicode = false;
    };

    bool addEntry(const PClassEntry& entry);
    const PClassEntry* entryAt(int32 index) const;

    PFactoryInfo factoryInfo;
    std::vector<PClassEntry> classes;
};

} // namespace Steinberg
